// The program entry: open the package, read its header, dispatch on the mode.
#include "stub/program_entry.h"

#include "package/format.h"
#include "platform/message_box.h"
#include "runtime/messages.h"
#include "runtime/package_stream.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_header.h"
#include "runtime/setup_state.h"
#include "stub/run_mode.h"

namespace {

// A header that cannot be read leaves nothing to install from: running the wizard on
// empty texts would only fail later with less to say. A damaged header is reported with
// the wording the installer uses for any damaged package; a read the user cancelled in
// the stream's own prompt needs no further word, and neither does a damaged maintenance
// program (its mode byte, or its trailer cut short), which has been reported already: a
// length word of 0 marks one, whatever its mode byte says.
int ReportUnreadableHeader() {
  if (g_setup.corrupt && g_setup.mode == kModeInstall && g_setup.firstVolumeLengthWord != 0) {
    TellUser(nullptr, Text(MSG_CORRUPT_TEXT), Text(MSG_FAILED_CAPTION), platform::kMbIconError);
  }
  CloseVolume();
  return static_cast<int>(FailureExitCode());
}

}  // namespace

int ProgramEntry(platform::Instance instance, const char* commandTail) {
  LoadMessages();
  // A "/D=" folder that does not fit is refused before anything happens.
  if (!ReadQuietSwitches(commandTail)) return static_cast<int>(kQuietFailed);
  if (!OpenVolume()) {
    TellUser(nullptr, Text(MSG_OPEN_FAILED_TEXT), Text(MSG_OPEN_FAILED_CAPTION), platform::kMbIconError);
    return static_cast<int>(FailureExitCode());
  }
  if (!ReadSetupHeader()) {
    return ReportUnreadableHeader();
  }
  g_setup.instance = instance;
  const int exitCode = RunMode(instance, commandTail);
  CloseVolume();
  return exitCode;
}
