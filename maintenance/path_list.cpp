// The uninstaller's folder and key lists and their walks up through the parents.
#include "maintenance/path_list.h"

#include <stdlib.h>
#include <string.h>

#include "engine/links.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "runtime/setup_state.h"

namespace {

constexpr size_t kFolderBufferSize = 260;
constexpr size_t kKeyBufferSize = 256;

// Copies `text` into `out` of `size` bytes; false (nothing to walk) when it does not
// fit, since a cut path would name another folder or key.
bool CopyWhole(const char* text, char* out, size_t size) {
  const size_t length = strlen(text);
  if (length >= size) return false;
  memcpy(out, text, length + 1);
  return true;
}

// "X:" alone names the current folder of drive X, not its root: removing it could take
// a folder that was never installed.
bool IsBareDrive(const char* path) {
  return path[0] != '\0' && path[1] == ':' && path[2] == '\0';
}

// A key with no subkeys and no values; false also when its information cannot be had.
bool KeyIsEmpty(platform::Key key) {
  uint32_t subkeys = 0;
  uint32_t values = 0;
  return platform::QueryKeyCounts(key, &subkeys, &values) && subkeys == 0 && values == 0;
}

// Removes `folder` and then its parents while they are empty. The walk stops at the
// drive: a parent with no backslash left, or whose last backslash is among its first two
// characters, or that is the bare drive part, is never tried; and it stops at the first
// folder that `bounds` keeps, since every folder above that one is kept too.
void RemoveFolderAndParents(char* folder, const RemovalBounds& bounds) {
  if (IsBareDrive(folder)) return;
  // A folder that is a link, or is reached through one, is not the one the
  // installation made: what lies behind it stays, and so do the folders above it.
  while (MayRemoveFolder(bounds, folder) && !PathHasLink(folder) &&
         platform::RemoveFolder(folder)) {
    char* last = strrchr(folder, '\\');
    if (last == nullptr || last - folder < 2) return;
    *last = '\0';
    if (IsBareDrive(folder)) return;
  }
}

// Deletes `subkey` under `root` and then its parents while they are empty. An empty
// subkey names the root itself, which is never deleted.
void RemoveKeyAndParents(uint32_t root, char* subkey) {
  while (subkey[0] != '\0') {
    platform::Key key = platform::OpenKey(root, subkey, true);
    if (key == nullptr) return;
    const bool empty = KeyIsEmpty(key);
    platform::CloseKey(key);
    if (!empty) return;
    platform::DeleteKey(root, subkey);
    char* last = strrchr(subkey, '\\');
    if (last == nullptr) return;
    *last = '\0';
  }
}

}  // namespace

PathNode* NewPathNode(const char* text, uint32_t root) {
  PathNode* node = static_cast<PathNode*>(malloc(sizeof(PathNode)));
  if (node == nullptr) return nullptr;
  const size_t length = strlen(text);
  node->text = NewTextCopy(text, length);
  if (node->text == nullptr) {
    free(node);
    return nullptr;
  }
  node->length = static_cast<int32_t>(length + 1);
  node->root = root;
  node->next = nullptr;
  return node;
}

bool PathList::AddFolder(const char* path) { return AddKey(path, 0); }

bool PathList::AddKey(const char* subkey, uint32_t root) {
  PathNode* node = NewPathNode(subkey, root);
  if (node == nullptr) return false;
  Insert(node);
  return true;
}

void PathList::Insert(PathNode* node) {
  PathNode** link = &head_;
  while (*link != nullptr && (*link)->root >= node->root && (*link)->length >= node->length) {
    link = &(*link)->next;
  }
  node->next = *link;
  *link = node;
}

void PathList::RemoveEmptyFolders(const RemovalBounds& bounds) {
  for (const PathNode* node = head_; node != nullptr; node = node->next) {
    char folder[kFolderBufferSize];
    if (CopyWhole(node->text, folder, sizeof(folder))) RemoveFolderAndParents(folder, bounds);
  }
  Clear();
}

void PathList::RemoveEmptyKeys() {
  for (const PathNode* node = head_; node != nullptr; node = node->next) {
    char subkey[kKeyBufferSize];
    if (CopyWhole(node->text, subkey, sizeof(subkey))) RemoveKeyAndParents(node->root, subkey);
  }
  Clear();
}

void PathList::Clear() {
  while (head_ != nullptr) {
    PathNode* next = head_->next;
    free(head_->text);
    free(head_);
    head_ = next;
  }
}
