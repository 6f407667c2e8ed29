#!/usr/bin/env python3
"""The --json output of twk list, verify, diff and log, read with Python's own JSON reader:
the example product whole and in volumes, a damaged copy, its next release, the uninstaller
a simulated install leaves, and texts with every byte a package can hold. Each document must parse and hold
what the files and the script say. Run by CTest (json_output) with TWK_BIN and
TWK_HOST_BUILD set."""

import datetime
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile

TWK = os.path.join(os.environ["TWK_BIN"], "twk")
HOST = os.environ["TWK_HOST_BUILD"]
PRODUCT = os.path.join(HOST, "examples", "product")
INSTALLER = os.path.join(HOST, "examples", "SETUP.EXE")
FILETIME_1970 = 116444736000000000
# The example is built with SOURCE_DATE_EPOCH, which the build leaves beside it; the
# builds here use the same.
with open(os.path.join(HOST, "examples", "source-date-epoch")) as epoch_file:
    os.environ["SOURCE_DATE_EPOCH"] = epoch_file.read().strip()
LATEST_NS = int(os.environ["SOURCE_DATE_EPOCH"]) * 10**9


def twk(*args, code=0):
    """Runs twk; its standard output, which must be one JSON document of ASCII only."""
    done = subprocess.run([TWK, *args], capture_output=True)
    if done.returncode != code:
        sys.exit(f"twk {' '.join(args)}: exit {done.returncode}, not {code}: {done.stderr!r}")
    return json.loads(done.stdout.decode("ascii")), done.stderr.decode("latin-1")


def check(condition, what):
    if not condition:
        sys.exit("json_output: " + what)


def sources():
    """The example's files in package order: target and source."""
    pairs = [("{OurProgramDir}\\DemoApp.exe", "DemoApp.exe"),
             ("{WinSysDir}\\DemoLib.dll", "DemoLib.dll"),
             ("{OurProgramDir}\\Read Me.txt", "readme.txt"),
             ("{OurProgramDir}\\manual.txt", "manual.txt"),
             ("{OurProgramDir}\\data\\samples.dat", "samples.dat"),
             ("{OurProgramDir}\\logs\\empty.log", "empty.log")]
    for name in sorted(os.listdir(os.path.join(PRODUCT, "docs"))):
        pairs.append(("{OurProgramDir}\\docs\\" + name, os.path.join("docs", name)))
    return pairs


def check_files(listing):
    files = listing["files"]
    check([f["target"] for f in files] == [t for t, _ in sources()], "file targets")
    for entry, (_, source) in zip(files, sources()):
        info = os.stat(os.path.join(PRODUCT, source))
        check(entry["size"] == info.st_size, f"size of {source}")
        packed_ns = min(info.st_mtime_ns, LATEST_NS)
        check(entry["fileTime"] == FILETIME_1970 + packed_ns // 100, f"time of {source}")
        moment = datetime.datetime.fromtimestamp(packed_ns // 10**9, datetime.timezone.utc)
        check(entry["time"] == moment.strftime("%Y-%m-%dT%H:%M:%SZ"), f"ISO time of {source}")
        check(entry["shared"] == (source == "DemoLib.dll"), f"shared flag of {source}")
        check(entry["selfRegisters"] is False, f"self-registration of {source}")
        check(entry["blocks"] == entry["announcedBlocks"] == -(-info.st_size // 65000),
              f"blocks of {source}")
    check(files[0]["version"] == "1.2.3.4" and files[2]["version"] is None, "versions")


def check_lists(listing):
    header = listing["header"]
    check(header["title"] == "TWKSetup Demo 1.2" and header["productKey"] == "TWKSetup Demo",
          "header texts")
    check(header["licenceBytes"] > 0 and len(header["sizeTable"]) == 8, "licence, size table")
    manual = listing["shortcuts"][2]
    check(manual["arguments"] == '"{OurProgramDir}\\manual.txt"'
          and manual["workingFolder"] == "{OurProgramDir}", "shortcut fields")
    registry = listing["registry"]
    check(registry[0] == {"kind": "key", "root": "HKEY_LOCAL_MACHINE",
                          "subkey": "Software\\Example Ltd\\TWKSetup Demo"}, "key line")
    values = {line["name"]: line for line in registry if line["kind"] == "value"}
    check(values["@"]["value"] == "TWKSetup Demo 1.2", "default value")
    check(values["Installs"] == {"kind": "value", "name": "Installs", "type": "dword",
                                 "value": 1, "hex": "0x00000001"}, "dword")
    check(values["Width"]["value"] == 640 and values["Width"]["hex"] == "0x00000280", "hex dword")
    check(values["Signature"]["value"] == "54574b000102" and values["Signature"]["length"] == 6,
          "binary")
    check(values["LastRun"]["type"] == "remove", "remove")
    check(listing["runAfter"] == "{OurProgramDir}\\DemoApp.exe", "run-after command")


def check_example(work):
    listing, _ = twk("list", "--json", INSTALLER)
    check(listing["problems"] == [] and listing["exitCode"] == 0, "a sound listing")
    check(listing["volumes"] == [{"path": INSTALLER, "size": os.path.getsize(INSTALLER),
                                  "lengthWord": os.path.getsize(INSTALLER)}], "one volume")
    check_files(listing)
    check_lists(listing)

    split = os.path.join(work, "split", "SETUP.EXE")
    # The first volume the x64 stub and a little more, the rest larger than the stub and
    # smaller than the package: three volumes at least.
    volume_size = os.path.getsize(os.path.join(os.environ["TWK_BIN"], "stub-x64.exe")) + 4096
    subprocess.run([TWK, "build", os.path.join(PRODUCT, "demo.twk"), "-o", split,
                    "--volume-size", str(volume_size), "--arch", "x64"],
                   check=True, capture_output=True)
    volumes, _ = twk("list", split, "--json")
    check(len(volumes["volumes"]) >= 3, "the package spread over volumes")
    for volume in volumes["volumes"]:
        check(volume["size"] == os.path.getsize(volume["path"]) <= volume_size, "volume sizes")
    for key in ("header", "files", "shortcuts", "registry", "runAfter"):
        check(volumes[key] == listing[key], f"{key} alike whole and in volumes")

    verdict, _ = twk("verify", "--json", split)
    check(verdict["verdict"] == "sound" and verdict["files"] == len(sources())
          and verdict["volumes"] == len(volumes["volumes"]) and verdict["problems"] == [],
          "verify of a sound installer")
    diff, _ = twk("diff", "--json", INSTALLER, split)
    check(diff["compared"] and diff["same"] and diff["files"] == [] and diff["exitCode"] == 0,
          "the same installation whole and in volumes")
    check_release_diff(work)
    os.remove(os.path.join(work, "split", "SETUP.002"))
    diff, err = twk("diff", INSTALLER, split, "--json", code=7)
    check(not diff["compared"] and "same" not in diff and diff["exitCode"] == 7
          and any("SETUP.002 does not exist" in p for p in diff["problems"]),
          "a diff with an installer cut short")
    verdict, err = twk("verify", "--json", split, code=1)
    check(verdict["verdict"] == "damaged" and verdict["exitCode"] == 1, "verify of a damaged one")
    check(any("SETUP.002 does not exist" in p for p in verdict["problems"]), "the missing volume")
    check(all(f"twk: {p}" in err for p in verdict["problems"]), "problems on standard error too")
    listing, _ = twk("list", "--json", split, code=1)
    check(listing["filesComplete"] is False and "shortcuts" not in listing, "a listing cut short")


def check_release_diff(work):
    """The example's next release: another version and a longer read-me."""
    product = os.path.join(work, "product-1.3")
    shutil.copytree(PRODUCT, product)
    readme = os.path.join(product, "readme.txt")
    with open(readme, "ab") as out:
        out.write(b"Version 1.3 reads better.\r\n")
    release = os.path.join(work, "1.3", "SETUP.EXE")
    subprocess.run([TWK, "build", os.path.join(product, "demo.twk"), "-o", release,
                    "--arch", "x64", "-D", "VERSION=1.3"], check=True, capture_output=True)
    diff, _ = twk("diff", INSTALLER, release, "--json", code=1)
    check(diff["compared"] and not diff["same"] and diff["exitCode"] == 1, "a release differs")
    check(diff["texts"] == [{"field": "title", "old": "TWKSetup Demo 1.2",
                             "new": "TWKSetup Demo 1.3"}], "the title")
    check([f["target"] for f in diff["files"]] == ["{OurProgramDir}\\Read Me.txt"], "one file")
    changed = diff["files"][0]
    with open(readme, "rb") as source:
        new_bytes = source.read()
    check(changed["change"] == "changed" and changed["fields"][:2] == ["content", "size"]
          and changed["new"]["size"] == len(new_bytes)
          and changed["new"]["sha256"] == hashlib.sha256(new_bytes).hexdigest(),
          "the read-me's content, by its SHA-256")
    check([(r["change"], r["old"]["value"], r["new"]["value"]) for r in diff["registry"]]
          == [("changed", "TWKSetup Demo 1.2", "TWKSetup Demo 1.3")], "the default value")
    check(diff["shortcuts"] == [], "no shortcut")


def check_uninstaller(work):
    machine = os.path.join(work, "pc")
    subprocess.run([TWK, "simulate", INSTALLER, "--root", machine], check=True,
                   capture_output=True)
    program = os.path.join(machine, "C", "Program Files", "TWKSetup Demo", "UNINST.EXE")
    log, _ = twk("log", "--json", program)
    check(log["mode"] == 1 and log["modeName"] == "uninstall" and log["complete"], "log trailer")
    check(log["productKey"] == "TWKSetup Demo", "log product key")
    files = {f["path"]: f for f in log["files"]}
    check(files["C:\\WINDOWS\\SYSTEM32\\DemoLib.dll"]["shared"], "the shared library logged")
    check(not files["C:\\Program Files\\TWKSetup Demo\\DemoApp.exe"]["shared"], "a plain file")
    keys = {item["key"]: item["values"] for item in log["registry"] if "key" in item}
    check(keys["HKEY_LOCAL_MACHINE\\Software\\Example Ltd\\TWKSetup Demo"]
          == ["@", "InstallFolder", "Installs", "Signature", "LastRun"], "logged value names")
    check(log["problems"] == [] and log["exitCode"] == 0, "a sound log")


def check_bytes(work):
    """Every byte but NUL, CR and LF in a title comes back as the character of its number."""
    title = bytes(b for b in range(1, 256) if b not in (10, 13, 34))
    script = os.path.join(work, "bytes.twk")
    with open(script, "wb") as out:
        out.write(b"[Setup]\nTitle = " + title + b"\n")
    installer = os.path.join(work, "BYTES.EXE")
    subprocess.run([TWK, "build", script, "-o", installer], check=True, capture_output=True)
    listing, _ = twk("list", "--json", installer)
    check(listing["header"]["title"].encode("latin-1") == title.strip(b" \t"), "8-bit title")

    stray = os.path.join(work, "not-an-installer.txt")
    with open(stray, "w") as out:
        out.write("plain text\n")
    for command in ("list", "verify", "log"):
        document, err = twk(command, "--json", stray, code=3)
        check(document["exitCode"] == 3 and document["problems"] and err.startswith("twk: "),
              f"{command} of a file that is no installer")


def main():
    work = tempfile.mkdtemp(prefix="twk-json-")
    try:
        check_example(work)
        check_uninstaller(work)
        check_bytes(work)
    finally:
        shutil.rmtree(work)
    print("json_output: list, verify, diff and log documents parse and hold what they should")


if __name__ == "__main__":
    main()
