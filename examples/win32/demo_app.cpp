// The example product's program: says that it runs, with a greeting from the product's
// shared library when that is installed. The example installer runs it after installing.
#include <windows.h>

namespace {

using GreetingFunction = const char* (*)();

// The library is looked up at run time, so that the program still starts when the shared
// library has been removed by another product's uninstaller.
const char* LibraryGreeting() {
  HMODULE library = LoadLibraryA("DemoLib.dll");
  if (library == nullptr) return "DemoLib.dll is not installed.";
  // Through void(*)(), the one function type that any other converts to without a warning.
  const auto greeting = reinterpret_cast<GreetingFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "DemoGreeting")));
  return greeting != nullptr ? greeting() : "DemoLib.dll has no greeting.";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char text[256];
  wsprintfA(text, "TWKSetup Demo 1.2.3.4 is installed and running.\n\n%s", LibraryGreeting());
  MessageBoxA(nullptr, text, "TWKSetup Demo", MB_OK | MB_ICONINFORMATION);
  return 0;
}
