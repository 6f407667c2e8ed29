// The three prompts of the package stream, with their exact texts.
#include "runtime/stream_prompts.h"

#include "base/format_text.h"
#include "platform/message_box.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

// Room for the longest text with a file name of up to 255 characters.
constexpr size_t kPromptSize = 512;

const char kDamagedFormat[] =
    "The file '%s' appears to be damaged or incomplete, or there was an error reading it. You "
    "may attempt to retry this operation; if this fails several times, please obtain a new "
    "copy, or contact the author of the program for assistance.";
const char kDamagedCaption[] = "File Damaged";

// A quiet run has nobody to put a disk in or to try again: a missing or damaged volume
// fails the installation.
int AskAboutFile(const char* format, const char* fileName, const char* caption, uint32_t flags) {
  char text[kPromptSize];
  FormatText(text, sizeof text, format, fileName);
  return AskUser(g_setup.ownerWindow, text, caption, flags, platform::kIdCancel);
}

}  // namespace

bool AskForNextDisk(const char* fileName) {
  return AskAboutFile("Please insert the disk containing '%s' into the drive and select OK.",
                      fileName, "Next disk, please...",
                      platform::kMbOkCancel | platform::kMbIconWarning) == platform::kIdOk;
}

bool AskRetryDamagedVolume(const char* fileName) {
  return AskAboutFile(kDamagedFormat, fileName, kDamagedCaption,
                      platform::kMbRetryCancel | platform::kMbIconError) == platform::kIdRetry;
}

void ReportDamagedFile(const char* fileName) {
  AskAboutFile(kDamagedFormat, fileName, kDamagedCaption, platform::kMbOk | platform::kMbIconError);
}

bool AskRetryFailedRead() {
  return AskUser(
             nullptr,
             "There was a problem reading the disk information. Please ensure that the disk is "
             "properly seated in the drive. If this error continues to appear, the disk may be "
             "damaged.",
             "Critical Error!",
             platform::kMbRetryCancel | platform::kMbIconWarning | platform::kMbTopmost |
                 platform::kMbSetForeground,
             platform::kIdCancel) == platform::kIdRetry;
}
