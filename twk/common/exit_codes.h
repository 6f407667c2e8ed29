// twk's exit codes, documented in the README.
#pragma once

enum ExitCode {
  kExitOk = 0,
  kExitDamaged = 1,      // verify: the installer (or a volume) is damaged or incomplete
  kExitUsage = 2,        // bad command line
  kExitInputError = 3,   // an input file is missing or unreadable, or is not an installer
  kExitScriptError = 4,  // the build script is wrong; the message names file and line
  kExitOutputError = 5,  // an output file could not be written
  kExitSimulationFault = 6,  // simulate: the simulated Windows saw a fault of the program,
                             // or a prompt that the answers did not foresee
  // diff: 1 says the installers differ, as diff(1) says it, so a damaged or incomplete
  // installer, which never compares as the same, has a code of its own.
  kExitDifferent = 1,
  kExitDiffDamaged = 7,
};
