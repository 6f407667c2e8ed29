// The setup state: the one process-wide record that every part of the installer, the
// uninstaller and the finalizer shares. It starts zero-filled (the success flag
// excepted), is filled once from the package header by ReadSetupHeader, and afterwards
// changes only where a field's comment says so.
//
// Threads: the UI thread fills it and runs the wizard; during the extraction run the
// worker thread writes the result flags, the run-after command, the self-registration
// list and the uninstall log handle while the UI thread sits in the progress dialog and
// touches only the cancel flag. After the dialog has closed only the UI thread reads it.
// No locks: each flag is one byte, and the cancel flag, the only field both threads
// write during the run, is atomic.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <atomic>

#include "base/pe_image.h"
#include "package/format.h"
#include "platform/handles.h"

constexpr size_t kRunAfterCommandSize = 260;
constexpr size_t kStringRecordBufferSize = kMaxStringRecord + 1;

// One file waiting for self-registration: a node of a singly linked list, newest first.
struct SelfRegistration {
  SelfRegistration* next;  // the entry added before this one; nullptr at the end
  char* path;              // heap copy of the expanded target path
};

static_assert(sizeof(std::atomic<bool>) == 1, "flags are single bytes");

struct SetupState {
  // Defined out of line so that it is no constant expression: g_setup is then built
  // while static objects are constructed, from memory the loader zero-fills, instead of
  // being stored whole in the program for the sake of its few fields that start non-zero.
  SetupState() noexcept;
  // --- Texts. Heap copies of exactly their length plus the NUL; nullptr = none (never
  // filled), which readers treat as empty. Replace them only with ReplaceSetupText. ---
  char* title = nullptr;           // header; background window, welcome text, trailer
  char* bottomText = nullptr;      // header; background window (a '\n' splits it), trailer
  char* productKeyName = nullptr;  // header; empty = no uninstaller, no uninstall entry,
                                   // no remembered folders
  char* programFolder = nullptr;   // header (install only); changed by the wizard;
                                   // {OurProgramDir}; empty = no FINALIZE.EXE
  char* startMenuFolder = nullptr; // header (install only); changed by the wizard;
                                   // {OurShortcutDir}
  char* licenceText = nullptr;     // header (install only, when present); licence page
  // Fixed buffer, NUL-terminated, empty at start: filled at the end of the extraction run
  // from the package's run-after command (or by the finalizer from the registry), then
  // its path macros are expanded in place by the completion step.
  char runAfterCommand[kRunAfterCommandSize] = {};

  // --- Numbers. ---
  int32_t mode = 0;  // the mode byte: 0 install, 1 uninstall, 2 finalize (no other is read)
  // Install only. Words 0..6: allocation units of 512 << k bytes that the files need
  // (disk-space estimate); word 7: data blocks of all files (overall progress range, low
  // 16 bits).
  uint32_t sizeTable[kSizeTableWords] = {};
  // Install only: the header's directory checksum (kNoDirectoryChecksum: none), and the
  // same checksum over the directory bytes read so far (directory_check.h).
  uint32_t directoryChecksum = kNoDirectoryChecksum;
  uint32_t directoryRead = kChecksumStart;
  uint32_t lastWizardPageCode = 0;  // set by the wizard: which page shows Finish
  // Install only: data blocks the file phase has read so far, written or skipped; at the
  // end of the file list they must be exactly size table word 7.
  uint32_t blocksRead = 0;
  // Uninstall only: log records that the uninstaller passed over because a ".." in them
  // would lead out of the folder they name, they are relative, or lead through a link.
  uint32_t logRecordsPassedOver = 0;

  // --- Flags, one byte each. ---
  // Cancellation: set by a read the user cancelled in the read-error prompt, by the
  // progress dialog's Cancel button, by Cancel in the newer-file prompt; cleared by the
  // worker when the user declines to cancel. Polled by the worker before each block and
  // each list line.
  std::atomic<bool> cancelled{false};
  bool corrupt = false;        // a block failed a checksum, the file list disagreed with
                               // the size table, or a maintenance program ended early:
                               // the "corrupted file" outcome
  bool succeeded = true;       // cleared when a folder cannot be made or a file extracted
  bool yesToAllNewer = false;  // "Yes to All" in the newer-file prompt: ask no more
  bool restartNeeded = false;  // a replacement or deletion waits for the next start
  bool finalizeAtBoot = false; // the finalizer must run at the next start (Windows 9x)
  bool fixedFolder = false;    // the default program folder has a drive letter: the
                               // remembered folder is ignored and the field disabled
  bool quiet = false;          // "/S" on the command line: nothing shown (quiet_run.h)
  // "/D=" of a quiet run: the program folder in place of the remembered or default one;
  // empty = none.
  char quietFolder[kStringRecordBufferSize] = {};

  // --- The package stream (owned by package_stream.cpp). ---
  platform::File packageFile = nullptr;  // the open volume; nullptr = none
  int32_t volumeCounter = 0;             // volumes opened so far = number of the next
  uint32_t volumeStartOffset = 0;        // package offset in volume 0, else 0
  // Volume 0's volume length word: the end of the package in an installation file, never
  // 0; always 0 in a maintenance program. ReadSetupHeader holds the mode byte to it.
  uint32_t firstVolumeLengthWord = 0;
  uint32_t volumePosition = 0;           // file offset of the next byte read from it
  // Where its package bytes end, before the signature of a signed installation file;
  // 0 = at its end.
  uint32_t volumeEnd = 0;
  // The characters of the last string record read, NUL-terminated; overwritten by the
  // next read.
  char stringRecord[kStringRecordBufferSize] = {};
  uint8_t stringRecordLength = 0;  // its length byte (the text may hold a NUL)
  // The lists after the file entries, read whole and checked before any is used; while
  // set, reads of the package come from here instead of the volume (directory_check.h).
  uint8_t* listSection = nullptr;
  uint32_t listSectionLength = 0;
  uint32_t listSectionAt = 0;
  // Buffered reading (package_stream.h): bytes read from the open volume and not yet
  // taken, [packageBufferAt, packageBufferEnd) of kPackageBufferSize; nullptr while every
  // read goes straight to the volume.
  uint8_t* packageBuffer = nullptr;
  uint32_t packageBufferAt = 0;
  uint32_t packageBufferEnd = 0;
  bool packageReadsExact = false;   // a read ahead failed on this volume: no more of them
  bool packageVolumeEnded = false;  // a read ahead met the end of the open volume

  // --- Handles and lists. ---
  // Open while UNINST.EXE is written and through the extraction run; nullptr when there
  // is no product key name and after the progress dialog has ended.
  platform::File uninstallLog = nullptr;
  // The image checksum of UNINST.EXE's bytes written so far, and the offset of its
  // checksum field (0: the copied stub has none), filled in when the log is closed.
  ImageChecksum uninstallLogChecksum;
  uint32_t uninstallLogChecksumAt = 0;
  // Owner of the package stream's prompts: the progress dialog while its worker runs, the
  // background window while the uninstaller reads its log, nullptr otherwise.
  platform::Window ownerWindow = nullptr;
  platform::Instance instance = nullptr;  // the module instance, for dialog templates
  // Files to self-register, newest first; walked from the front, then released.
  SelfRegistration* selfRegistrations = nullptr;
  // The folders that Windows owns (engine/protected_folders.h), found when first asked
  // for and kept for the run: a heap array of protectedFolderCount full paths.
  char (*protectedFolders)[kStringRecordBufferSize] = nullptr;
  uint32_t protectedFolderCount = 0;
};
// The block checksum's table is not kept here: it is a constant of the program.

extern SetupState g_setup;

// The text of an item, or "" when it is none.
inline const char* TextOrEmpty(const char* item) { return item ? item : ""; }

// Heap copy of `length` bytes of `text` plus a NUL; nullptr when memory runs out.
char* NewTextCopy(const char* text, size_t length);

// Releases the old copy in *item and stores a copy of the NUL-terminated `text`. When
// memory runs out the old text stays and the result is false.
bool ReplaceSetupText(char** item, const char* text);

// Puts a copy of `path` at the front of the self-registration list; false when memory
// runs out (the file is then not registered).
bool AddSelfRegistration(const char* path);

// Releases every entry of the self-registration list and leaves it empty.
void ReleaseSelfRegistrations();

// Tests and simulated runs: closes the open files, releases every text and list, and
// puts every field back to its value at process start.
void ResetSetupState();
