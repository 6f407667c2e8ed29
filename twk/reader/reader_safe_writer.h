// Writes extracted files below one output folder and never outside it: every folder on
// the way is opened relative to its parent without following symbolic links, and each
// file is written under a temporary name and renamed into place only when complete.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

// A file being written; removed again unless Commit succeeds.
class PendingFile {
 public:
  PendingFile(int folder, std::string temporaryName, std::string finalName, int fd,
              std::string label);
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

  int folder_;  // owned
  std::string temporaryName_;
  std::string finalName_;
  int fd_;
  std::string label_;
  bool committed_ = false;
};

class OutputTree {
 public:
  // Creates the output folder (and its parents) when missing and opens it. Throws
  // std::runtime_error when that fails.
  explicit OutputTree(const std::string& root);
  ~OutputTree();
  OutputTree(const OutputTree&) = delete;
  OutputTree& operator=(const OutputTree&) = delete;

  // Creates the folders of `components` (all but the last) below the root and opens a
  // temporary file beside the last one. Throws std::runtime_error when a component on
  // the way is a symbolic link or no folder, or anything cannot be created.
  std::unique_ptr<PendingFile> Begin(const std::vector<std::string>& components);

 private:
  std::string root_;
  int rootFd_ = -1;
  unsigned temporaryCounter_ = 0;
};
