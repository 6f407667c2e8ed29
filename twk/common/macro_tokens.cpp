// Recognising path macros as the installer does.
#include "twk/common/macro_tokens.h"

#include <strings.h>

#include <cstring>

const MacroToken kMacroTokens[9] = {
    {"{OurProgramDir}", 12}, {"{WinDir}", 8},          {"{WinSysDir}", 11},
    {"{WinDrive}", 10},      {"{OurShortcutDir}", 13}, {"{StartUp}", 9},
    {"{StartMenu}", 11},     {"{StartPrograms}", 15},  {"{Desktop}", 9},
};

const MacroToken* RecognisedMacroAt(const std::string& text, size_t brace) {
  if (brace >= text.size()) return nullptr;
  for (const MacroToken& macro : kMacroTokens) {
    // strncasecmp stops at a NUL in `text`, which then compares unequal, as in the installer.
    if (text.size() - brace >= macro.compared &&
        strncasecmp(text.c_str() + brace, macro.token, macro.compared) == 0) {
      return &macro;
    }
  }
  return nullptr;
}

std::string MacroName(const MacroToken& macro) {
  return std::string(macro.token + 1, std::strlen(macro.token) - 2);
}
