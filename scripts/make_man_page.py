#!/usr/bin/env python3
"""make_man_page.py TWK OUT

Writes the man page twk(1) to OUT from what the twk executable at TWK says about itself
(twk --help, twk COMMAND --help, twk --version), so that the page and the usage texts
can never disagree. Run by the build (target twk_man_page)."""

import re
import subprocess
import sys


def run(twk, *args):
    return subprocess.run([twk, *args], capture_output=True, text=True, check=True).stdout


def roff(text):
    """Text for a no-fill block: backslashes and hyphens as roff wants them, and no line
    that roff would take for a request."""
    lines = []
    for line in text.rstrip("\n").split("\n"):
        line = line.replace("\\", "\\e").replace("-", "\\-")
        if line.startswith((".", "'")):
            line = "\\&" + line
        lines.append(line)
    return "\n".join(lines)


def main():
    twk, out = sys.argv[1], sys.argv[2]
    version = run(twk, "--version").split()[-1]
    usage = run(twk, "--help")
    synopsis, rest = usage.split("\nCommands:\n", 1)
    commands, tail = rest.split("\n\n", 1)
    names = [line.split()[0] for line in commands.split("\n") if line.strip()]
    exit_codes = re.sub(r"\s+", " ", tail.strip())

    page = [
        f'.TH TWK 1 "" "twk {version}" "TWKSetup"',
        ".SH NAME",
        "twk \\- build and inspect self\\-extracting installers for 32\\-bit Windows",
        ".SH SYNOPSIS",
        ".nf",
        roff("\n".join(line.replace("usage:", "").strip()
                       for line in synopsis.split("\n\n", 1)[0].split("\n"))),
        roff("\n".join(line[2:] for line in synopsis.split("\n\n", 1)[1].split("\n")
                       if line.startswith("  "))),
        ".fi",
        ".SH DESCRIPTION",
        "twk turns a build script and the files it names into an installation file for",
        "32\\-bit Windows (the installer stub with a package appended, and volumes for",
        "removable media when asked), and lists, verifies and extracts such files, prints",
        "the uninstall logs of the programs they leave, and runs them on a simulated",
        "Windows. The script language is described in",
        ".IR /usr/share/doc/twksetup/docs/script.md .",
        ".SH COMMANDS",
    ]
    for name in names:
        page += [f".SS {name}", ".nf", roff(run(twk, name, "--help")), ".fi"]
    page += [
        ".SH EXIT STATUS",
        roff(exit_codes).replace("\\e", "\\\\"),
        ".SH FILES",
        ".TP",
        ".I PREFIX/share/twksetup/stub\\-x86.exe, stub\\-x64.exe",
        "The installer stubs that twk build uses unless \\-\\-stub names another; twk looks",
        "for them there, PREFIX being the folder above its own, and then beside itself.",
        ".SH SEE ALSO",
        "The README and the documents in",
        ".IR /usr/share/doc/twksetup/docs :",
        "script.md (the build script), json.md (the output of \\-\\-json), simulate.md (the",
        "answers of twk simulate), package\\-format.md (the installation file byte by byte).",
        "An example product to build is in",
        ".IR /usr/share/doc/twksetup/example .",
    ]
    with open(out, "w") as file:
        file.write("\n".join(page) + "\n")


if __name__ == "__main__":
    main()
