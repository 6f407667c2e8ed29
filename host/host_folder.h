// What twk needs from the operating system for folders: listing one, and a chain of folders
// held open so that the files extracted below an output folder are created there and
// nowhere else, whatever links stand or appear on the way.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "host/host_file.h"

namespace host {

// Creates the folder `path` and every missing folder above it; true when it is a folder
// afterwards.
bool CreateFolders(const std::string& path, Failure* failure);

// The names in `folder`, without "." and "..", in no particular order.
bool ListFolder(const std::string& folder, std::vector<std::string>* names, Failure* failure);

// A folder held open. On POSIX, what is inside is reached from the descriptor (openat);
// on Windows, from the folder's path while a handle that does not share deletion holds the
// folder, and so every folder above it, in its place.
class HeldFolder {
 public:
  HeldFolder() = default;
  ~HeldFolder();
  HeldFolder(HeldFolder&& other) noexcept;
  HeldFolder& operator=(HeldFolder&& other) noexcept;
  HeldFolder(const HeldFolder&) = delete;
  HeldFolder& operator=(const HeldFolder&) = delete;

  // Opens the folder `path`, creating it and the folders above it when missing. Links in
  // `path` are followed: the user named it.
  static bool Open(const std::string& path, HeldFolder* folder, Failure* failure);

  enum class ChildStatus { kOk, kNotAFolder, kNotCreated, kNotOpened };
  // Opens the folder `name` inside this one, creating it when missing. kNotAFolder when a
  // symbolic link (or a junction, or any reparse point), a file or a device stands there:
  // nothing is followed.
  ChildStatus OpenChild(const std::string& name, HeldFolder* child, Failure* failure) const;

  // CreateNewFile for `name` inside this folder.
  bool CreateNewFile(const std::string& name, File* file, Failure* failure) const;
  // RenameReplacing for two names inside this folder.
  bool Rename(const std::string& from, const std::string& to, Failure* failure) const;
  // RenameReplacing of the file `from` inside this folder to `to` inside `target`.
  bool MoveInto(const std::string& from, const HeldFolder& target, const std::string& to,
                Failure* failure) const;
  // Sets the modification time (and the access time) of the file `name` inside this
  // folder; a link standing there is not followed.
  bool SetModified(const std::string& name, FileTime time, Failure* failure) const;
  // Removes the file `name` inside this folder, when it can.
  void Remove(const std::string& name) const;

  // A second hold on the same folder.
  bool Duplicate(HeldFolder* copy, Failure* failure) const;

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t native_ = kNone;
  std::string path_;  // what the Windows side reaches the children by
};

}  // namespace host
