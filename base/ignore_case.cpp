// Comparing texts without regard to letter case.
#include "base/ignore_case.h"

namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool StartsWithIgnoringCase(const char* text, const char* token, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (text[i] == '\0' || FoldCase(text[i]) != FoldCase(token[i])) return false;
  }
  return true;
}

bool EqualIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (FoldCase(*a) != FoldCase(*b)) return false;
    if (*a == '\0') return true;
  }
}
