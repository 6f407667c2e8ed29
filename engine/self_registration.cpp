// Self-registration of the COM servers among the installed files.
#include "engine/self_registration.h"

#include <stdlib.h>

#include "base/format_text.h"
#include "base/little_endian.h"
#include "platform/file_io.h"
#include "platform/library.h"
#include "platform/version_info.h"

namespace {

// Whether the string table of the first translation in `data` has the marker entry.
bool FindMarker(const void* data) {
  const void* translation = nullptr;
  uint32_t length = 0;
  // A translation is a 16-bit language and a 16-bit code page; a shorter value holds
  // none, and nothing past it is read.
  if (!platform::QueryVersionValue(data, "\\VarFileInfo\\Translation", &translation,
                                   &length) ||
      translation == nullptr || length < 4) {
    return false;
  }
  const uint8_t* bytes = static_cast<const uint8_t*>(translation);
  const unsigned language = LoadLe16(bytes);
  const unsigned codePage = LoadLe16(bytes + 2);
  char entry[64];
  FormatText(entry, sizeof(entry), "\\StringFileInfo\\%04X%04X\\OLESelfRegister", language,
            codePage);
  const void* value = nullptr;
  uint32_t valueLength = 0;
  return platform::QueryVersionValue(data, entry, &value, &valueLength);
}

// A file that cannot be opened here is left to the version reader, as before.
bool BeginsAsVersionReaderExpects(const char* path) {
  platform::File file = platform::OpenForReading(path);
  if (file == nullptr) return true;
  uint8_t head[4];
  uint32_t got = 0;
  const bool read = platform::ReadFromFile(file, head, sizeof head, &got);
  platform::CloseFile(file);
  return !read || MayCarryVersionResource(head, got < sizeof head ? got : sizeof head);
}

}  // namespace

bool MayCarryVersionResource(const uint8_t* head, uint32_t length) {
  return (length >= 2 && head[0] == 'M' && head[1] == 'Z') ||
         (length >= 4 && head[0] == 'S' && head[1] == 'Z' && head[2] == 'D' && head[3] == 'D');
}

bool HasSelfRegisterMarker(const char* path) {
  // Two opens and maps of the file saved for all that cannot hold the marker.
  if (!BeginsAsVersionReaderExpects(path)) return false;
  const uint32_t size = platform::GetVersionInfoSize(path);
  if (size == 0) return false;
  void* data = malloc(size);
  if (data == nullptr) return false;
  const bool found = platform::GetVersionInfo(path, size, data) && FindMarker(data);
  free(data);
  return found;
}

bool SelfRegisterFile(const char* path, bool registerIt) {
  if (!HasSelfRegisterMarker(path)) return true;
  // Its own folder for the DLLs it brings along: the installer's folder, or the
  // uninstaller's temporary one, may hold anything.
  platform::Library library = platform::LoadLibraryAt(
      path, platform::kImportsFromLibraryFolder | platform::kImportsFromSystemFolder);
  if (library == nullptr) return false;
  int32_t result = -1;
  const bool called = platform::CallEntryPoint(
      library, registerIt ? "DllRegisterServer" : "DllUnregisterServer", &result);
  platform::FreeLibraryHandle(library);
  return called && result == 0;
}
