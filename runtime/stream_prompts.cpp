// The three prompts of the package stream, with their exact texts.
#include "runtime/stream_prompts.h"

#include "base/format_text.h"
#include "platform/message_box.h"
#include "runtime/messages.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

// Room for the longest text with a file name of up to 255 characters.
constexpr size_t kPromptSize = 512;


// A quiet run has nobody to put a disk in or to try again: a missing or damaged volume
// fails the installation.
int AskAboutFile(const char* format, const char* fileName, const char* caption, uint32_t flags) {
  char text[kPromptSize];
  FormatText(text, sizeof text, format, fileName);
  return AskUser(g_setup.ownerWindow, text, caption, flags, platform::kIdCancel);
}

}  // namespace

bool AskForNextDisk(const char* fileName) {
  return AskAboutFile(Text(MSG_NEXT_DISK_TEXT), fileName, Text(MSG_NEXT_DISK_CAPTION),
                      platform::kMbOkCancel | platform::kMbIconWarning) == platform::kIdOk;
}

bool AskRetryDamagedVolume(const char* fileName) {
  return AskAboutFile(Text(MSG_DAMAGED_TEXT), fileName, Text(MSG_DAMAGED_CAPTION),
                      platform::kMbRetryCancel | platform::kMbIconError) == platform::kIdRetry;
}

void ReportDamagedFile(const char* fileName) {
  AskAboutFile(Text(MSG_DAMAGED_TEXT), fileName, Text(MSG_DAMAGED_CAPTION), platform::kMbOk | platform::kMbIconError);
}

bool AskRetryFailedRead() {
  return AskUser(
             nullptr,
             Text(MSG_READ_ERROR_TEXT), Text(MSG_READ_ERROR_CAPTION),
             platform::kMbRetryCancel | platform::kMbIconWarning | platform::kMbTopmost |
                 platform::kMbSetForeground,
             platform::kIdCancel) == platform::kIdRetry;
}
