// The package most reader tests start from: files of two blocks, one block and none,
// shortcuts with every field, registry lines of every kind, a run-after command.
#pragma once

#include <string>

#include "tests/twk/read_fixture.h"

// 2020-01-02 03:04:05.5 UTC as a FILETIME.
constexpr uint64_t kSampleFileTime = (1577934245ULL + 11644473600ULL) * 10000000ULL + 5000000;

// Sixteen letters at random: about half of it survives compression.
inline Bytes TextBytes(size_t size) {
  Bytes bytes(size);
  uint32_t state = 12345;
  for (uint8_t& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<uint8_t>('a' + (state >> 28));
  }
  return bytes;
}

inline TestPackage SamplePackage() {
  TestPackage package;
  package.licence = "Licence text";
  package.files.push_back({"{OurProgramDir}\\App.exe", TextBytes(70000), {1, 2, 3, 4},
                           kSampleFileTime, false});
  package.files.push_back({"{WinSysDir}\\shared.dll", TextBytes(300), {}, kSampleFileTime, true});
  package.files.push_back({"C:\\Data\\empty.txt", {}, {}, 0, false});
  package.shortcuts = {"{OurShortcutDir}\\App={OurProgramDir}\\App.exe\t-x a=b\t{OurProgramDir}",
                       "{Desktop}\\Readme={OurProgramDir}\\readme.txt"};
  package.registry = {":HKEY_CLASSES_ROOT\\.abc",
                      "@=SAbcFile",
                      std::string("Count=D\x01\x00\x00\x00", 11),
                      std::string("Data=B\x03\x00\x0a\x00\x0b", 11),
                      "Old=N",
                      ":HKEY_USERS\\x",
                      "loose line"};
  package.runAfter = "{OurProgramDir}\\App.exe /first";
  return package;
}
