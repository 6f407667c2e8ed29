// Writes extracted files below one output folder and never outside it: every folder on
// the way is opened from its parent without following symbolic links and held open, and
// each file is written under a temporary name and renamed into place only when complete.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

#include "host/host_folder.h"

// A file being written; removed again unless Commit succeeds.
class PendingFile {
 public:
  PendingFile(host::HeldFolder folder, std::string temporaryName, std::string finalName,
              host::File file, std::string label);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Throws std::runtime_error (naming the file) when the write fails.
  void Write(const uint8_t* bytes, size_t count);
  // Sets the modification time from `fileTime` (a FILETIME), closes the file and renames
  // it over its final name. Throws std::runtime_error on failure; returns false (with
  // the file in place) when only the time could not be set.
  bool Commit(uint64_t fileTime);

 private:
  void Discard();

  host::HeldFolder folder_;
  std::string temporaryName_;
  std::string finalName_;
  host::File file_;
  std::string label_;
  bool committed_ = false;
};

class OutputTree {
 public:
  // Creates the output folder (and its parents) when missing and opens it. Throws
  // std::runtime_error when that fails.
  explicit OutputTree(const std::string& root);
  OutputTree(const OutputTree&) = delete;
  OutputTree& operator=(const OutputTree&) = delete;

  // Creates the folders of `components` (all but the last) below the root and opens a
  // temporary file beside the last one. Throws std::runtime_error when a component on
  // the way is a symbolic link or no folder, or anything cannot be created.
  std::unique_ptr<PendingFile> Begin(const std::vector<std::string>& components);

 private:
  std::string root_;
  host::HeldFolder rootFolder_;
  unsigned temporaryCounter_ = 0;
};
