// Writes extracted files below one output folder and never outside it: every folder on
// the way is opened from its parent without following symbolic links and held open, and
// each file is written under a temporary name and renamed into place only when complete.
// A file may also be written whole before its place is known to be sound (staged): under
// a temporary name in the output folder itself, put in its place by OutputTree::Place.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

#include "host/host_folder.h"

// A file being written; removed again unless Commit (or OutputTree::Place) succeeds.
class PendingFile {
 public:
  // A file written in `folder`, which it holds, to be renamed to `finalName` there.
  PendingFile(host::HeldFolder folder, std::string temporaryName, std::string finalName,
              host::File file, std::string label);
  // A staged file, written in `root` (which outlives it) and placed by OutputTree::Place.
  PendingFile(const host::HeldFolder* root, std::string temporaryName, host::File file,
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
  // Closes a staged file, which keeps its temporary name until it is placed. Throws
  // std::runtime_error when the last write fails.
  void Close();

 private:
  friend class OutputTree;
  void Discard();

  host::HeldFolder owned_;          // the folder of a file written in place
  const host::HeldFolder* folder_;  // where the temporary file is: &owned_, or the root
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
  // Opens a temporary file in the output folder itself, whose name nothing read from the
  // package gives; `label` names it in messages. It holds no folder open, so that any
  // number of them may wait to be placed.
  std::unique_ptr<PendingFile> BeginStaged(const std::string& label);
  // Puts a staged file, closed, at `components` as Begin and Commit would: the folders
  // made (through no link), its time set, renamed into place. Throws as they do; returns
  // false when only the time could not be set.
  bool Place(PendingFile& staged, const std::vector<std::string>& components,
             uint64_t fileTime);

 private:
  // The folder of `components` (all but the last), made when missing; *shown is its path
  // for messages.
  host::HeldFolder OpenFolderOf(const std::vector<std::string>& components,
                                std::string* shown);
  std::unique_ptr<PendingFile> CreateTemporary(host::HeldFolder* folder,
                                               const std::string& finalName,
                                               const std::string& label);

  std::string root_;
  host::HeldFolder rootFolder_;
  unsigned temporaryCounter_ = 0;
};
