// Where `twk extract` puts a file entry's target: a relative path of plain folder and
// file names below the output folder, or the reason it refuses the target.
#pragma once

#include <string>
#include <vector>

struct TargetPath {
  std::vector<std::string> components;  // e.g. {"OurProgramDir", "sub", "a.txt"}
  std::string refusal;                  // empty when the target is accepted
};

// "{OurProgramDir}\sub\a.txt" -> OurProgramDir/sub/a.txt: the path macro that the stub
// would recognise, by its own name without braces, is the top folder. "C:\x\y" -> C/x/y.
// Refused: targets that start with neither (relative, "\x", "\\server\share", "C:x"),
// an unknown or unclosed macro, text between the macro and the first backslash, and
// any component that is empty, ".", "..", holds '/', a NUL byte, another control
// character or one of <>:"|?*, ends in a dot or a blank, or is a device name of Windows
// (CON, aux.txt, COM1...). Whatever the package holds, an accepted path never leaves the
// output folder, on Windows as on POSIX.
TargetPath MapTargetPath(const std::string& target);
