// The command-line tail: what a program's command line holds after the program's name.
#pragma once

// The part of `commandLine` (the whole line, as Windows gives it) after the program's
// name and the blanks that follow it. The name ends at the first blank outside double
// quotes; a blank is any character up to ' ', and every byte above it, letters of other
// code pages included, is part of a name or of the tail. Points into `commandLine`.
const char* CommandTail(const char* commandLine);
