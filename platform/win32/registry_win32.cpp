// The registry over the ANSI Win32 API.
#include "platform/registry.h"

#include <windows.h>

namespace platform {
namespace {

// The predefined keys are sign-extended on 64-bit Windows: map the numbers the log
// keeps to the system's own handles rather than casting them.
HKEY RootKey(uint32_t root) {
  switch (root) {
    case kRootClasses:
      return HKEY_CLASSES_ROOT;
    case kRootCurrentUser:
      return HKEY_CURRENT_USER;
    case kRootLocalMachine:
      return HKEY_LOCAL_MACHINE;
    default:
      return nullptr;
  }
}

}  // namespace

Key OpenKey(uint32_t root, const char* subkey, bool allAccess) {
  HKEY key = nullptr;
  if (RootKey(root) == nullptr ||
      RegOpenKeyExA(RootKey(root), subkey, 0, allAccess ? KEY_ALL_ACCESS : KEY_READ, &key) !=
          ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

Key CreateKey(uint32_t root, const char* subkey) {
  static char emptyClass[] = "";
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RootKey(root) == nullptr ||
      RegCreateKeyExA(RootKey(root), subkey, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

void CloseKey(Key key) {
  if (key != nullptr) RegCloseKey(static_cast<HKEY>(key));
}

bool QueryValue(Key key, const char* name, uint32_t* type, void* data, uint32_t* size) {
  DWORD valueType = 0;
  DWORD room = size != nullptr ? *size : 0;
  const LONG result = RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, &valueType,
                                      static_cast<BYTE*>(data), size != nullptr ? &room : nullptr);
  if (size != nullptr) *size = room;
  if (type != nullptr) *type = valueType;
  return result == ERROR_SUCCESS;
}

bool SetValue(Key key, const char* name, uint32_t type, const void* data, uint32_t size) {
  return RegSetValueExA(static_cast<HKEY>(key), name, 0, type, static_cast<const BYTE*>(data),
                        size) == ERROR_SUCCESS;
}

bool DeleteValue(Key key, const char* name) {
  return RegDeleteValueA(static_cast<HKEY>(key), name) == ERROR_SUCCESS;
}

bool QueryKeyCounts(Key key, uint32_t* subkeys, uint32_t* values) {
  DWORD subkeyCount = 0, valueCount = 0;
  if (RegQueryInfoKeyA(static_cast<HKEY>(key), nullptr, nullptr, nullptr, &subkeyCount, nullptr,
                       nullptr, &valueCount, nullptr, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS) {
    return false;
  }
  *subkeys = subkeyCount;
  *values = valueCount;
  return true;
}

bool DeleteKey(uint32_t root, const char* subkey) {
  // Windows 9x deletes a key with everything below it; the NT family refuses a key that
  // has subkeys. Asking first gives the NT behaviour on both.
  Key key = OpenKey(root, subkey, false);
  if (key == nullptr) return false;
  uint32_t subkeys = 0, values = 0;
  const bool leaf = QueryKeyCounts(key, &subkeys, &values) && subkeys == 0;
  CloseKey(key);
  return leaf && RegDeleteKeyA(RootKey(root), subkey) == ERROR_SUCCESS;
}

}  // namespace platform
