// The example product's shared library: one exported function, so that there is something
// to share.
#include <windows.h>

extern "C" __declspec(dllexport) const char* DemoGreeting() {
  return "Greetings from DemoLib.dll 2.0.1.7.";
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
