// The process entry of the stub on Windows: hands the instance and the command-line tail
// to the program entry. The runtime's GUI start-up has already removed the program's
// name (quoted or up to the first blank) and the blanks after it.
#include <windows.h>

#include "stub/program_entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
  return ProgramEntry(instance, commandTail);
}
