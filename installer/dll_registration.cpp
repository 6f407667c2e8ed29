// The self-registration phase of the extraction run.
#include "installer/dll_registration.h"

#include "base/format_text.h"
#include "engine/self_registration.h"
#include "package/format.h"
#include "platform/message_box.h"
#include "platform/progress_dialog.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

// A quiet run does not go on as if the program could work: it stops as an interactive one
// does on "No", and ends as a failed installation (the completion step).
bool AskToContinue(platform::Window dialog, const char* path) {
  char text[kStringRecordBufferSize + 96];
  FormatText(text, sizeof(text), "Self-registering file %s failed! Continue installation anyway?",
           path);
  return AskUser(dialog, text, "Error!", platform::kMbYesNo | platform::kMbIconQuestion,
                 platform::kIdNo) != platform::kIdNo;
}

}  // namespace

bool RegisterExtractedDlls(platform::Window dialog) {
  platform::SetControlText(dialog, platform::kProgressStatusText, "Registering DLLs...");
  bool goOn = true;
  for (const SelfRegistration* entry = g_setup.selfRegistrations; entry != nullptr && goOn;
       entry = entry->next) {
    if (!SelfRegisterFile(entry->path, true)) goOn = AskToContinue(dialog, entry->path);
  }
  ReleaseSelfRegistrations();
  return goOn;
}
