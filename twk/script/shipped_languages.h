// The translation files of languages/, built into twk (shipped_languages.cpp is made from
// them at build time), as they are in the tree: UTF-8 text.
#pragma once

#include <stddef.h>

struct ShippedLanguageFile {
  const char* tag;   // the file's name without ".txt"
  const char* text;  // its bytes
  size_t size;
};

extern const ShippedLanguageFile kShippedLanguageFiles[];
extern const size_t kShippedLanguageFileCount;
