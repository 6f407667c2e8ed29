// The setup state and the helpers that own its heap copies.
#include "runtime/setup_state.h"

#include <stdlib.h>
#include <string.h>

#include <new>

#include "platform/file_io.h"
#include "runtime/file_read_ahead.h"

SetupState::SetupState() noexcept = default;

SetupState g_setup;

char* NewTextCopy(const char* text, size_t length) {
  char* copy = static_cast<char*>(malloc(length + 1));
  if (copy == nullptr) return nullptr;
  memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

bool ReplaceSetupText(char** item, const char* text) {
  char* copy = NewTextCopy(text, strlen(text));
  if (copy == nullptr) return false;
  free(*item);
  *item = copy;
  return true;
}

bool AddSelfRegistration(const char* path) {
  SelfRegistration* entry = static_cast<SelfRegistration*>(malloc(sizeof(SelfRegistration)));
  if (entry == nullptr) return false;
  entry->path = NewTextCopy(path, strlen(path));
  if (entry->path == nullptr) {
    free(entry);
    return false;
  }
  entry->next = g_setup.selfRegistrations;
  g_setup.selfRegistrations = entry;
  return true;
}

void ReleaseSelfRegistrations() {
  while (g_setup.selfRegistrations != nullptr) {
    SelfRegistration* entry = g_setup.selfRegistrations;
    g_setup.selfRegistrations = entry->next;
    free(entry->path);
    free(entry);
  }
}

void ResetSetupState() {
  StopFileReadAhead();
  platform::CloseFile(g_setup.packageFile);
  platform::CloseFile(g_setup.uninstallLog);
  char** texts[] = {&g_setup.title,         &g_setup.bottomText,      &g_setup.productKeyName,
                    &g_setup.programFolder, &g_setup.startMenuFolder, &g_setup.licenceText};
  for (char** text : texts) free(*text);
  free(g_setup.listSection);
  free(g_setup.packageBuffer);
  free(g_setup.protectedFolders);
  ReleaseSelfRegistrations();
  // The atomic flag makes the record unassignable; building it anew in place gives
  // every field its initial value from the one place that states them.
  g_setup.~SetupState();
  new (&g_setup) SetupState();
}
