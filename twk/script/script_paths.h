// Paths of a build script as the installer will read them: the one brace group it looks
// at (the first), and the path it will end up with once that group is expanded.
#pragma once

#include <string>

// What is wrong with the first brace group of `path`, or "" when nothing is: the group is
// not closed by a '}' before the next '\' (the installer would then swallow the rest of
// the path into a macro, or leave a stray brace), or it is no path macro but within two
// letters of one (a typo that the installer leaves as written). The message ends with
// "did you mean {Macro}?" when a macro is that close. A group that the installer
// recognises as a macro, and one far from every macro, pass.
std::string BraceGroupProblem(const std::string& path);

// A key that is the same for two targets exactly when the installer puts them in the
// same place: the brace group it recognises replaced by its macro's own token (so
// "{OurProgramDirectory}\x" meets "{OurProgramDir}\x"), ASCII letters lower-cased as
// Windows compares names, doubled '\' and "." components dropped, and ".." taken back
// (never past the first component).
std::string TargetIdentity(const std::string& path);
