// Extracting one file entry: target path, folders, the overwrite policy, the blocks, and
// the records the file leaves behind.
#include "installer/file_extraction.h"

#include <stdlib.h>
#include <string.h>

#include "base/format_text.h"
#include "engine/folder_creation.h"
#include "engine/next_boot.h"
#include "engine/path_macros.h"
#include "engine/self_registration.h"
#include "engine/shared_files.h"
#include "installer/file_version.h"
#include "installer/overwrite_policy.h"
#include "installer/uninstall_log_writer.h"
#include "package/file_entry.h"
#include "package/format.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/progress_dialog.h"
#include "runtime/file_read_ahead.h"
#include "runtime/messages.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

// A waiting file's name: the whole target path, its tag and ".NewTemp".
constexpr size_t kWaitingPathSize = 2 * kPathBufferSize;

// Room for the extraction error message with the longest reason.
constexpr size_t kErrorTextSize = 512;

struct FileJob {
  platform::Window dialog;
  char path[kPathBufferSize];  // the expanded target path
  FileEntryFields fields;
  const char* reason;          // the first failure (an EXTRACT_REASON text), nullptr while
                               // there is none
  // Whether its first bytes, seen on their way to the disk, are those of a file that can
  // carry the self-registration marker: the registration phase opens no other.
  bool mayRegister;
};

platform::FileTime EntryTime(const FileEntryFields& fields) {
  return platform::FileTime{fields.timeLow, fields.timeHigh};
}

void Fail(FileJob* job, const char* reason) {
  if (job->reason == nullptr) job->reason = reason;
}

// The name record and the fixed fields. False at the end of the list (*listEnded set) or
// when a read failed (the stream has already spoken).
bool ReadEntry(FileJob* job, bool* listEnded) {
  char name[kStringRecordBufferSize];
  uint8_t bytes[kFileEntryFixedSize];
  const int read = ReadFileEntry(name, bytes);
  if (read == 0) *listEnded = true;
  if (read <= 0) return false;
  FormatText(job->path, sizeof(job->path), "%s", name);
  ParseFileEntryFields(bytes, &job->fields);
  return true;
}

void ShowFileProgress(const FileJob& job) {
  platform::SetControlText(job.dialog, platform::kProgressStatusText, job.path);
  platform::SetProgressPosition(job.dialog, platform::kProgressFileBar, 0);
  platform::SetProgressRange(job.dialog, platform::kProgressFileBar, job.fields.blockCount);
  if (job.fields.blockCount > 1) {
    platform::ShowControl(job.dialog, platform::kProgressFileBar, true);
  }
}

// One more data block read, written or skipped: both bars advance, and the run counts it
// against the header's count of the package's blocks.
void CountBlock(platform::Window dialog) {
  ++g_setup.blocksRead;
  platform::StepProgress(dialog, platform::kProgressOverallBar);
  platform::StepProgress(dialog, platform::kProgressFileBar);
}

// Made before every block. False when the user confirms a pending cancellation (the
// cancel flag stays set); a declined one is cleared and the block is read. In a quiet
// run only a refused prompt raises the flag, and the refusal stands.
bool ContinueAfterCancelCheck(platform::Window dialog) {
  if (!g_setup.cancelled) return true;
  const int answer = AskUser(dialog, Text(MSG_CANCEL_EXTRACTION_QUESTION),
                             Text(MSG_CONFIRM_CAPTION), platform::kMbYesNo | platform::kMbIconQuestion,
                             platform::kIdYes);
  if (answer == platform::kIdYes) return false;
  g_setup.cancelled = false;
  return true;
}

enum class Plan { kWrite, kSkip, kCancel, kRefuse };

// Dialog 116 or 117 about the file. A quiet run keeps the file that is there, the answer
// that loses nothing: "No" to the newer one, "Skip" for the same one.
int AskOverwrite(const FileJob& job, int dialog) {
  if (g_setup.quiet) return kOverwriteNo;
  return platform::RunOverwriteDialog(g_setup.instance, job.dialog, dialog, job.path);
}

// What to do with a target that exists, asking the user where the policy says so.
Plan PlanForExistingFile(const FileJob& job, const platform::FoundFile& found) {
  OverwriteFacts facts = {};
  facts.yesToAllNewer = g_setup.yesToAllNewer;
  facts.shared = job.fields.shared != 0;
  memcpy(facts.entryVersion.parts, job.fields.version, sizeof(facts.entryVersion.parts));
  facts.entryTime = EntryTime(job.fields);
  facts.diskHasVersion = ReadFileVersion(job.path, &facts.diskVersion);
  facts.diskTime = found.lastWrite;

  OverwriteChoice choice = OverwriteChoice::kWrite;
  switch (DecideOverwrite(facts)) {
    case OverwriteQuestion::kNone:
      return Plan::kWrite;
    case OverwriteQuestion::kNewerFile:
      choice = NewerFileChoice(AskOverwrite(job, platform::kDialogNewerFile));
      break;
    case OverwriteQuestion::kSameFile:
      choice = SameFileChoice(AskOverwrite(job, platform::kDialogSameFile));
      break;
  }
  switch (choice) {
    case OverwriteChoice::kSkip:
      return Plan::kSkip;
    case OverwriteChoice::kCancelInstall:
      return Plan::kCancel;
    case OverwriteChoice::kWriteAllNewer:
      g_setup.yesToAllNewer = true;
      return Plan::kWrite;
    case OverwriteChoice::kWrite:
      return Plan::kWrite;
  }
  return Plan::kWrite;
}

Plan PlanForTarget(const FileJob& job) {
  // Most targets of an installation are new: one look at their attributes settles it.
  // Only a target that exists is searched for, which also gives its time.
  if (platform::GetAttributes(job.path) == platform::kNoAttributes) return Plan::kWrite;
  platform::FoundFile found;
  platform::Search search = platform::FindFirst(job.path, &found);
  if (search == nullptr) return Plan::kWrite;
  platform::FindEnd(search);
  // A folder cannot be opened as the file, and no replacement at the next start could
  // put a file in its place: a waiting file would only turn a failure into a "success".
  // A link leads to a file that is not the installation's, whose version or time must
  // not decide anything; it is refused before anyone is asked about it.
  if ((found.attributes & (platform::kAttributeDirectory | platform::kAttributeReparsePoint)) ||
      platform::IsLink(job.path)) {
    return Plan::kRefuse;
  }
  return PlanForExistingFile(job, found);
}

// Reads past the file's blocks without writing anything.
void SkipBlocks(FileJob* job) {
  platform::SetControlText(job->dialog, platform::kProgressStatusText, Text(MSG_STATUS_SKIPPING));
  for (;;) {
    if (!ContinueAfterCancelCheck(job->dialog)) return;
    int32_t length = 0;
    if (!ReadFileBlock(nullptr, &length)) {
      Fail(job, Text(MSG_EXTRACT_REASON_SKIP));
      return;
    }
    // A negative length is a read the user gave up on: the cancel flag ends the file.
    if (length <= 0) return;
    CountBlock(job->dialog);
  }
}

// Expands the file's blocks into `file` until the end record, a confirmed cancel or the
// first failure.
void WriteBlocks(FileJob* job, platform::File file) {
  bool first = true;
  for (;;) {
    if (!ContinueAfterCancelCheck(job->dialog)) break;
    int32_t length = 0;
    const uint8_t* buffer = nullptr;
    if (!ReadFileBlock(&buffer, &length)) {
      Fail(job, Text(MSG_EXTRACT_REASON_BLOCK));
      break;
    }
    if (length == 0) break;
    if (first) {
      job->mayRegister = MayCarryVersionResource(buffer, static_cast<uint32_t>(length));
    }
    first = false;
    CountBlock(job->dialog);
    // A full disk leaves the file short: that is a failed file, not a finished one.
    uint32_t written = 0;
    const uint32_t count = static_cast<uint32_t>(length);
    if (!platform::WriteToFile(file, buffer, count, &written) || written != count) {
      Fail(job, Text(MSG_EXTRACT_REASON_WRITE));
      break;
    }
  }
}

// The record of the file in the uninstall log: its path, and the shared-file marker for a
// shared file. A shared file whose path leaves no room for the marker is not logged at
// all: logged without it, the uninstaller would delete a file that other programs count
// on.
void LogFile(const FileJob& job) {
  char record[kPathBufferSize + 1];
  const size_t length = strlen(job.path);
  if (job.fields.shared == 0) {
    WriteLogRecord(job.path);
    return;
  }
  if (length + 1 > kMaxStringRecord) return;
  memcpy(record, job.path, length);
  record[length] = kSharedFileMarker;
  record[length + 1] = '\0';
  WriteLogRecord(record);
}

// A waiting file beside the target, made new under a name nobody can guess, so that no
// link or file left under that name beforehand is ever opened. nullptr when none can be
// made; `waitingPath` (kWaitingPathSize bytes) then holds "".
platform::File CreateWaitingFile(const char* target, char* waitingPath) {
  // A name taken by chance is followed by another; a folder that refuses one refuses all.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!MakeWaitingFileName(target, waitingPath, kWaitingPathSize)) break;
    platform::File file = platform::CreateNewForWriting(waitingPath);
    if (file != nullptr) return file;
  }
  waitingPath[0] = '\0';
  return nullptr;
}

// Creates the target, or its waiting file when the target cannot be opened, writes the
// blocks, and leaves the records of the file. A file that was begun is listed, logged and
// counted whatever became of its content. A target that is a link is not begun: it fails
// as a file that cannot be created, and nothing of it is listed, logged or counted (the
// library behind it must not be registered, nor the uninstaller sent to delete it).
void WriteFile(FileJob* job) {
  char waitingPath[kWaitingPathSize] = {};
  platform::CreateRefusal refusal = platform::CreateRefusal::kNone;
  platform::File file = platform::CreateForWriting(job->path, &refusal);
  if (refusal == platform::CreateRefusal::kLink) {
    Fail(job, Text(MSG_EXTRACT_REASON_CREATE));
    return;
  }
  if (file == nullptr) {
    file = CreateWaitingFile(job->path, waitingPath);
    if (file == nullptr) Fail(job, Text(MSG_EXTRACT_REASON_CREATE));
  }
  const bool waiting = file != nullptr && waitingPath[0] != '\0';
  if (file != nullptr) {
    WriteBlocks(job, file);
    platform::SetLastWriteTime(file, EntryTime(job->fields));
    platform::CloseFile(file);
  }
  // Only a closed and complete file is moved at the next start (a partial one would
  // replace the good old target). If Windows will not move it, nothing ever would: the
  // file was not installed.
  if (waiting && job->reason == nullptr && !ReplaceFileAtNextBoot(job->path, waitingPath)) {
    Fail(job, Text(MSG_EXTRACT_REASON_CREATE));
  }
  // A waiting file is registered by the finalizer once it has replaced its target.
  if (!waiting && job->mayRegister && !AddSelfRegistration(job->path)) {
    Fail(job, Text(MSG_EXTRACT_REASON_MEMORY));
  }
  LogFile(*job);
  if (job->fields.shared != 0) CountSharedFile(job->path);
}

bool FinishFile(const FileJob& job) {
  if (g_setup.cancelled) return false;
  if (job.reason != nullptr) {
    char text[kErrorTextSize];
    FormatText(text, sizeof(text), Text(MSG_EXTRACT_ERROR), job.reason);
    TellUser(job.dialog, text, Text(MSG_ERROR_CAPTION), platform::kMbOk | platform::kMbIconError);
    g_setup.succeeded = false;
  }
  platform::ShowControl(job.dialog, platform::kProgressFileBar, false);
  return job.reason == nullptr;
}

}  // namespace

bool ExtractNextFile(platform::Window dialog, bool* listEnded) {
  bool ended = false;
  FileJob job = {};
  job.dialog = dialog;
  const bool read = ReadEntry(&job, &ended);
  if (listEnded != nullptr) *listEnded = ended;
  if (!read) return false;

  // A target that does not fit after expansion cannot be written anywhere sensible.
  if (!ExpandPathMacros(job.path)) {
    Fail(&job, Text(MSG_EXTRACT_REASON_PATH_TOO_LONG));
    platform::SetControlText(dialog, platform::kProgressStatusText, job.path);
    return FinishFile(job);
  }
  ShowFileProgress(job);
  if (!EnsureFolders(dialog, job.path)) return false;

  switch (PlanForTarget(job)) {
    case Plan::kCancel:
      g_setup.cancelled = true;
      return false;
    case Plan::kSkip:
      SkipBlocks(&job);
      break;
    case Plan::kWrite:
      WriteFile(&job);
      break;
    case Plan::kRefuse:
      Fail(&job, Text(MSG_EXTRACT_REASON_CREATE));
      break;
  }
  return FinishFile(job);
}
