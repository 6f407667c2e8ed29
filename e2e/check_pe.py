"""Checks programs that an installation wrote: no certificate-table entry (a copy of a
signed stub must not name the certificate of the installer it came from) and a PE
checksum that matches the whole file. Prints one line a file; exits 1 on any problem.
Needs pefile (Debian's python3-pefile)."""
import sys

import pefile

CERTIFICATE_TABLE = pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_SECURITY"]


def problems_of(path):
    pe = pefile.PE(path, fast_load=True)
    problems = []
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[CERTIFICATE_TABLE]
    if entry.VirtualAddress or entry.Size:
        problems.append(f"certificate-table entry {entry.VirtualAddress:#x}, {entry.Size} bytes")
    if not pe.verify_checksum():
        problems.append(f"checksum {pe.OPTIONAL_HEADER.CheckSum:#x}, the file's is "
                        f"{pe.generate_checksum():#x}")
    return problems


def main(paths):
    failed = False
    for path in paths:
        problems = problems_of(path)
        print(("FAIL " if problems else "ok   ") + path + (": " + "; ".join(problems) if problems else ""))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
