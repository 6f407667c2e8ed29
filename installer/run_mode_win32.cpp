// The stub's mode dispatch until the Win32 user interface (background window, wizard,
// progress and overwrite dialogs) is in place: a run ends once its package is known good.
// The host build runs the real dispatch of run_mode.cpp on the simulated Windows.
#include "installer/run_mode.h"

int RunMode(platform::Instance instance, const char* commandTail) {
  (void)instance;
  (void)commandTail;
  return 0;
}
