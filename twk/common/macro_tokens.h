// The installer's path macros as twk sees them: each token and how much of it the
// installer compares, so that the builder and the reader recognise exactly what the
// installer will expand.
#pragma once

#include <stddef.h>

#include <string>

struct MacroToken {
  const char* token;  // "{OurProgramDir}"
  size_t compared;    // characters from the '{' that the installer compares
};

// In the order the installer tries them. The two "{Our...Dir}" tokens are recognised by
// their first characters up to the D of "Dir", every other one only whole, '}' included.
extern const MacroToken kMacroTokens[9];

// The macro that the installer recognises at `text[brace]` (a '{'), letter case ignored;
// nullptr when there is none.
const MacroToken* RecognisedMacroAt(const std::string& text, size_t brace);

// The token's name without its braces: "OurProgramDir".
std::string MacroName(const MacroToken& macro);

// What each macro stands for, in the order of kMacroTokens.
using MacroValues = std::string[9];

// `text` as the installer expands it: the macro that starts at the first '{' and the rest
// of its brace group (up to the first '}' after it, or to the end of the text when there
// is none) replaced by its value; a first brace group that is no macro leaves the text as
// it is, and later groups are never looked at.
std::string ExpandFirstMacro(const std::string& text, const MacroValues& values);
