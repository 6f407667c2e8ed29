// Numbers that another program cannot guess, over the Win32 API.
#include "platform/random.h"

#include <windows.h>

#include "system_export_win32.h"

namespace platform {
namespace {

// RtlGenRandom, exported by advapi32 (which the stub imports) as SystemFunction036 from
// Windows XP on.
using GenerateRandom = BOOLEAN(WINAPI*)(PVOID buffer, ULONG length);

// Spreads every bit of `value` over the whole word (the finaliser of MurmurHash3).
uint32_t Mix(uint32_t value) {
  value ^= value >> 16;
  value *= 0x85EBCA6Bu;
  value ^= value >> 13;
  value *= 0xC2B2AE35u;
  return value ^ (value >> 16);
}

}  // namespace

uint32_t RandomNumber() {
  uint32_t value = 0;
  const GenerateRandom generate =
      SystemExport<GenerateRandom>("advapi32.dll", "SystemFunction036");
  if (generate != nullptr && generate(&value, sizeof value)) return value;
  // Windows 9x and NT 4: no generator, but also nobody to guess against on 9x. What
  // changes from run to run, mixed, at least keeps two runs from meeting on one name.
  LARGE_INTEGER counter;
  counter.QuadPart = 0;
  QueryPerformanceCounter(&counter);
  value = Mix(counter.LowPart ^ Mix(static_cast<uint32_t>(counter.HighPart)));
  value = Mix(value ^ GetTickCount() ^ (GetCurrentProcessId() << 16) ^ GetCurrentThreadId());
  return value;
}

}  // namespace platform
