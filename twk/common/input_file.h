// The files twk reads (scripts, licences, sources, stubs, installers, volumes, answers):
// opened without blocking, accepted only when they are regular files, and read no further
// than a bound. The type is checked on the opened file, not on the name beforehand, so a
// name swapped for a FIFO or a device in between cannot make twk hang or read on without
// end.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

#include "host/host_file.h"

enum class InputStatus {
  kOk,
  kMissing,     // the file (or a folder on its way) does not exist
  kUnreadable,  // the system refused to open or read it
  kNotRegular,  // a folder, FIFO, device or socket
  kTooLarge,    // more bytes than the caller's bound
};

class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens `path` for reading. Returns at once whatever the file is; anything but a regular
  // file is closed again and refused with kNotRegular. Following a symbolic link is fine:
  // what counts is the file that is opened.
  InputStatus Open(const std::string& path);

  // Reads until `count` bytes are in or the file ends; *got says how many arrived.
  // kUnreadable (with problem() set) on a read error.
  InputStatus Read(uint8_t* dest, size_t count, size_t* got);

  // Of the opened file, as it was when opened.
  uint64_t size() const { return facts_.size; }
  host::FileTime modified() const { return facts_.modified; }

  // Why the last Open or Read failed, as the end of a sentence that begins with the file's
  // name: "does not exist", "is not a regular file but a FIFO", "cannot be read: ...".
  const std::string& problem() const { return problem_; }

  // Hands the file over as a stdio stream, or nullptr when that fails (the file is
  // closed then). The InputFile is closed afterwards.
  FILE* ReleaseAsStream();

 private:
  InputStatus Fail(InputStatus status, const std::string& problem);

  host::File file_;
  host::FileFacts facts_;
  std::string problem_;
};

// Reads the whole file at `path` into *content, refusing with kTooLarge one that holds
// more than `limit` bytes (also one that grows past it while it is read). On failure
// *problem says why, as InputFile::problem() does.
InputStatus ReadInputFile(const std::string& path, uint64_t limit, std::string* content,
                          std::string* problem);
