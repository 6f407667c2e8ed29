#!/usr/bin/env python3
"""make_windows_zip.py --output ZIP --folder NAME --bin DIR --readme FILE --docs DIR --example DIR

Packs twk for Windows into one zip whose single folder NAME works wherever it is
unpacked: twk.exe with stub-x86.exe and stub-x64.exe beside it (where twk.exe looks for
them), README.md, the documents under docs/ and the example product under example/.
Files keep their bytes and modification times (the example's times go into the
installers built from it); entries are sorted, so that the same files give the same zip.
"""

import argparse
import os
import sys
import zipfile


def tree(folder, prefix):
    for base, folders, files in os.walk(folder):
        folders.sort()
        for name in sorted(files):
            path = os.path.join(base, name)
            yield path, prefix + "/" + os.path.relpath(path, folder).replace(os.sep, "/")


def main():
    parser = argparse.ArgumentParser()
    for option in ("output", "folder", "bin", "readme", "docs", "example"):
        parser.add_argument("--" + option, required=True)
    args = parser.parse_args()
    entries = []
    for name in ("twk.exe", "stub-x86.exe", "stub-x64.exe"):
        path = os.path.join(args.bin, name)
        if not os.path.isfile(path):
            sys.exit(f"make_windows_zip: {path} is missing (make builds it)")
        entries.append((path, name))
    entries.append((args.readme, "README.md"))
    entries += tree(args.docs, "docs")
    entries += tree(args.example, "example")
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    partial = args.output + ".partial"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for path, name in sorted(entries, key=lambda entry: entry[1]):
            archive.write(path, args.folder + "/" + name)
    os.replace(partial, args.output)
    print(f"{args.output}: {len(entries)} files, {os.path.getsize(args.output)} bytes")


if __name__ == "__main__":
    main()
