// The platform's message boxes, answered by the scripted user of the current machine.
#include "platform/message_box.h"

#include <string>

#include "platform/sim/machine/sim_machine.h"

namespace platform {

int ShowMessageBox(Window owner, const char* text, const char* caption, uint32_t flags) {
  sim::SimMachine& machine = sim::CurrentMachine();
  std::string error;
  int answer = machine.user.Answer(owner, text ? text : "", caption ? caption : "", flags, &error);
  if (!error.empty()) machine.ReportError(error);
  return answer;
}

}  // namespace platform
