// Writes extracted files below one output folder and never outside it: every folder on
// the way is opened relative to its parent without following symbolic links, and each
// file is written under a temporary name and renamed into place only when complete. A
// file may also be written whole before its place is known to be sound (staged): under a
// temporary name in the output folder itself, put in its place by OutputTree::Place.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

// A file being written; removed again unless Commit (or OutputTree::Place) succeeds.
class PendingFile {
 public:
  // `folder` is closed with the file when `ownsFolder`.
  PendingFile(int folder, bool ownsFolder, std::string temporaryName, std::string finalName,
              int fd, std::string label);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Throws std::runtime_error (naming the file) when the write fails.
  void Write(const uint8_t* bytes, size_t count);
  // Sets the modification time from `fileTime` (a FILETIME), closes the file and renames
  // it over its final name. Throws std::runtime_error on failure; returns false (with
  // the file in place) when only the time could not be set.
  bool Commit(uint64_t fileTime);
  // Closes a staged file, which keeps its temporary name until it is placed. Throws
  // std::runtime_error when the last write fails.
  void Close();

 private:
  friend class OutputTree;
  void Discard();
  // Commit into `folder` under `name`.
  bool CommitInto(int folder, const std::string& name, uint64_t fileTime);

  int folder_;
  bool ownsFolder_;
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
  // Opens a temporary file in the output folder itself, which nothing read from the
  // package names; `label` names it in messages. It holds no descriptor of a folder, so
  // any number may wait to be placed.
  std::unique_ptr<PendingFile> BeginStaged(const std::string& label);
  // Puts a staged file, closed, at `components` as Begin and Commit would. Throws as they
  // do; returns false when only the time could not be set.
  bool Place(PendingFile& staged, const std::vector<std::string>& components,
             uint64_t fileTime);

 private:
  // The folder of `components` (all but the last), created as needed; *shown is its path
  // for messages. The caller closes it.
  int OpenFolderOf(const std::vector<std::string>& components, std::string* shown);
  std::unique_ptr<PendingFile> CreateTemporary(int folder, bool ownsFolder,
                                               const std::string& finalName,
                                               const std::string& label);

  std::string root_;
  int rootFd_ = -1;
  unsigned temporaryCounter_ = 0;
};
