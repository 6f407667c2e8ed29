// The uninstaller's ordered lists of folders and registry keys that may have become
// empty: filled while files and values are removed, then walked once to remove what is
// left empty, climbing through the parents.
#pragma once

#include <stdint.h>

#include "maintenance/removal_bounds.h"

// One folder path, or one subkey path under its root.
struct PathNode {
  char* text;        // the node's own heap copy, NUL-terminated
  int32_t length;    // length of `text` plus one
  uint32_t root;     // 0 for a folder; a key's predefined root (platform::kRoot...)
  PathNode* next;    // nullptr at the end
};

// Owns its nodes: they are released by Clear and by the destructor. Not copyable.
class PathList {
 public:
  PathList() = default;
  ~PathList() { Clear(); }
  PathList(const PathList&) = delete;
  PathList& operator=(const PathList&) = delete;

  // Add a heap copy of `path` (NUL-terminated) as a folder (root 0), or of `subkey` under
  // `root`. False when memory runs out; the list is then unchanged.
  bool AddFolder(const char* path);
  bool AddKey(const char* subkey, uint32_t root);

  // Links `node` (a node from NewPathNode, owned by the list from now on) in behind
  // every node whose root and length are both at least its own, so that longer paths
  // come first and equal ones keep the order in which they were added.
  void Insert(PathNode* node);

  // Removes each listed folder that is empty and then its parents while they are empty
  // and `bounds` allows their removal, never a drive's root or the bare drive part; then
  // clears the list.
  void RemoveEmptyFolders(const RemovalBounds& bounds);
  // Deletes each listed key that has neither subkeys nor values and then its parents
  // while they are empty too; then clears the list.
  void RemoveEmptyKeys();

  // Releases every node.
  void Clear();

  const PathNode* Head() const { return head_; }

 private:
  PathNode* head_ = nullptr;
};

// A node holding a heap copy of `text` under `root`, not linked; nullptr when memory runs
// out. Released by the list it is inserted into.
PathNode* NewPathNode(const char* text, uint32_t root);
