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

std::string ExpandFirstMacro(const std::string& text, const MacroValues& values) {
  const size_t brace = text.find('{');
  const MacroToken* macro = brace == std::string::npos ? nullptr : RecognisedMacroAt(text, brace);
  if (macro == nullptr) return text;
  const size_t close = text.find('}', brace);
  const std::string suffix = close == std::string::npos ? std::string() : text.substr(close + 1);
  return text.substr(0, brace) + values[macro - kMacroTokens] + suffix;
}
