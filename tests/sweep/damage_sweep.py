#!/usr/bin/env python3
"""Damage sweep: flips bits in, and cuts short, an installer, and runs every damaged copy
through `twk extract` and through the installer on the simulated Windows (`twk simulate`).

Each run must end one of two ways: success with exactly the files of the undamaged
installer (same names, same bytes), or exactly one failure outcome (for twk extract: exit
code 1, damaged). Success with a file missing, renamed or different, a finished run of
another kind of program (an uninstaller's "Done."), a crash, or a fault of the simulated
machine other than the prompts a damaged installer is entitled to show, is a FAULT.

  damage_sweep.py --twk build/bin/twk --installer build/host/examples/SETUP.EXE [--short]
                  [--jobs N]

Every bit of a byte it covers is flipped, one at a time. Without --short it covers every
byte of the volume length word, the mode byte, the header, the file entries and the
lists, and every 487th byte of block data (which its checksum covers); --short (for make
test) covers the volume length word and the mode byte whole and samples the rest. Prints
the counts; exits 1 when any run is a FAULT.
"""
import argparse
import multiprocessing
import os
import shutil
import struct
import subprocess
import sys
import tempfile

MARKER = b"WHERETOSTARTSTRING:"
# Message boxes that end an installation run; a run shows at most one of them. ("File
# Damaged" and "Critical Error!" are not among them: they offer another try, which the
# default user takes until the simulated machine gives up on the prompt.)
# "Done." is the uninstaller's: an installer must never end that way.
OUTCOME_CAPTIONS = ("Success!", "Restart Windows?", "Installation Failed!", "Cancelled!", "Done.")
SUCCESS_CAPTIONS = ("Success!", "Restart Windows?", "Done.")
# Machine errors a damaged installer may cause without being at fault: the default user
# keeps asking for the next disk, or for another try at a damaged file, until the
# simulated machine gives up on the prompt.
EXCUSED_ERRORS = ("unexpected prompt [Next disk, please...]", "unexpected prompt [File Damaged]")


def package_regions(data):
    """Offsets of the package's parts: (name, start, end) for the header, each file entry's
    own fields, each block record's head and stored bytes, and the lists."""
    at = data.index(MARKER) + len(MARKER)
    offset = struct.unpack_from("<I", data, at)[0]
    regions = []
    pos = offset

    def block_record(kind):
        nonlocal pos
        length = struct.unpack_from("<H", data, pos)[0]
        head = 2 if length == 0 else 10
        regions.append((kind + "-head", pos, pos + head))
        pos += head
        if length:
            regions.append(("block-data", pos, pos + length))
            pos += length
        return length

    # The volume length word, the mode byte (neither has a checksum) and the header block.
    regions.append(("length-word", pos, pos + 4))
    regions.append(("mode", pos + 4, pos + 5))
    header_end = pos + 5 + 10 + struct.unpack_from("<H", data, pos + 5)[0]
    regions.append(("header", pos + 5, header_end))
    pos = header_end
    while True:
        name_length = data[pos]
        if name_length == 0:
            regions.append(("entries", pos, pos + 1))
            pos += 1
            break
        regions.append(("entries", pos, pos + 1 + name_length + 19))
        pos += 1 + name_length + 19
        while block_record("entries") != 0:
            pass
    start = pos
    for _ in range(2):  # shortcut and registry lists, each ended by an empty record
        while data[pos] != 0:
            pos += 1 + data[pos]
        pos += 1
    pos += 1 + data[pos]  # run-after command
    regions.append(("lists", start, pos))
    return offset, pos, regions


def tree(root):
    """Every file under ROOT: relative path -> bytes."""
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, root)] = f.read()
    return files


def run(args, timeout=60):
    try:
        done = subprocess.run(args, capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None, b""
    return done.returncode, done.stdout


class Sweep:
    def __init__(self, twk, work):
        self.twk = twk
        self.work = work
        self.counts = {}
        self.faults = []

    def count(self, key):
        self.counts[key] = self.counts.get(key, 0) + 1

    def fault(self, label, why):
        self.faults.append(f"{label}: {why}")
        self.count("FAULT")

    def extract(self, installer, target):
        shutil.rmtree(target, ignore_errors=True)
        return run([self.twk, "extract", installer, "-d", target])[0]

    def simulate(self, installer, root):
        shutil.rmtree(root, ignore_errors=True)
        status, out = run([self.twk, "simulate", installer, "--root", root])
        return status, out.decode("latin-1")

    def installed(self, root):
        """The files the installation left on drive C, without the machine's own."""
        return {k: v for k, v in tree(os.path.join(root, "C")).items()
                if not k.startswith("WINDOWS/TEMP")}

    def reference(self, installer):
        self.check_clean(self.extract(installer, self.path("ref-x")), "extract")
        self.ref_extract = tree(self.path("ref-x"))
        status, text = self.simulate(installer, self.path("ref-sim"))
        if status != 0 or "Success!" not in text:
            sys.exit("damage-sweep: the undamaged installer does not install")
        self.ref_install = self.installed(self.path("ref-sim"))

    def check_clean(self, status, what):
        if status != 0:
            sys.exit(f"damage-sweep: the undamaged installer fails {what} ({status})")

    def path(self, name):
        return os.path.join(self.work, name)

    def judge_extract(self, label, installer):
        status = self.extract(installer, self.path("x"))
        if status == 0:
            if tree(self.path("x")) == self.ref_extract:
                self.count("extract: same files")
            else:
                self.fault(label, "twk extract succeeded with other files")
        elif status == 1:
            self.count("extract: refused")
        else:
            # 3 would call the copy no installer (a maintenance program): it is a damaged one.
            self.fault(label, f"twk extract ended with {status}, not as damaged (1)")

    def judge_install(self, label, installer):
        status, text = self.simulate(installer, self.path("sim"))
        if status is None:
            self.fault(label, "twk simulate did not end")
            return
        errors = text.split("machine errors (", 1)[1].splitlines()[1:] if "machine errors (" in text else []
        errors = [e.strip() for e in errors if e.startswith("  ")]
        unexcused = [e for e in errors if not e.startswith(EXCUSED_ERRORS)]
        if status not in (0, 6) or unexcused:
            self.fault(label, f"simulate exit {status}: {unexcused[:1] or text[-300:]}")
            return
        shown = [c for c in OUTCOME_CAPTIONS if f'message box "{c}"' in text]
        outcomes = sum(text.count(f'message box "{c}"') for c in OUTCOME_CAPTIONS)
        if outcomes > 1:
            self.fault(label, f"{outcomes} outcomes shown: {shown}")
        elif shown and shown[0] in SUCCESS_CAPTIONS:
            if self.installed(self.path("sim")) == self.ref_install:
                self.count("install: same files")
            else:
                self.fault(label, "the installation reported success with other files")
        else:
            self.count("install: failed")

    def variant(self, label, data):
        folder = self.path("v")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        installer = os.path.join(folder, "SETUP.EXE")
        with open(installer, "wb") as f:
            f.write(data)
        self.count("variants")
        self.judge_extract(label, installer)
        self.judge_install(label, installer)


def positions(regions, short):
    """(kind, byte, bit) to flip: every bit of every byte of a region but block data (every
    487th byte there); a short sweep takes every 89th byte (the first of each block's data), but
    the volume length word and the mode byte whole."""
    chosen = []
    for kind, start, end in regions:
        step = 487 if kind == "block-data" else 1
        if short and kind not in ("length-word", "mode"):
            step = len(range(start, end)) if kind == "block-data" else 89
        chosen += [(kind, p, bit) for p in range(start, end, step) for bit in range(8)]
    return chosen


# One sweep per worker process, each in its own scratch folder, all judging against the
# same undamaged installer.
_worker = {}


def _start_worker(scratch, twk, data, ref_extract, ref_install):
    work = tempfile.mkdtemp(dir=scratch)
    sweep = Sweep(twk, work)
    sweep.ref_extract, sweep.ref_install = ref_extract, ref_install
    _worker.update(sweep=sweep, data=data)


def _judge(task):
    """Runs one damaged copy; returns what it counted and the faults it found."""
    sweep, data = _worker["sweep"], _worker["data"]
    sweep.counts, sweep.faults = {}, []
    if task[0] == "cut":
        sweep.count("truncations")
        sweep.variant(f"cut to {task[1]} bytes", data[:task[1]])
    else:
        kind, pos, bit = task
        damaged = bytearray(data)
        damaged[pos] ^= 1 << bit
        sweep.count(f"flips in {kind}")
        sweep.variant(f"flip of bit {bit} at {pos} ({kind})", bytes(damaged))
    return sweep.counts, sweep.faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--twk", required=True)
    parser.add_argument("--installer", required=True)
    parser.add_argument("--short", action="store_true")
    parser.add_argument("--jobs", type=int, default=1, help="damaged copies run at once")
    args = parser.parse_args()
    with open(args.installer, "rb") as f:
        data = f.read()
    offset, end, regions = package_regions(data)
    twk = os.path.abspath(args.twk)
    scratch = tempfile.mkdtemp(prefix="twk-damage-sweep-")
    cut_step = 509 if args.short else 97
    tasks = positions(regions, args.short)
    tasks += [("cut", cut) for cut in list(range(offset, end, cut_step)) + [end - 1]]
    counts, faults = {}, []
    try:
        reference = Sweep(twk, os.path.join(scratch, "reference"))
        os.makedirs(reference.work)
        reference.reference(args.installer)
        initargs = (scratch, twk, data, reference.ref_extract, reference.ref_install)
        with multiprocessing.Pool(max(1, args.jobs), _start_worker, initargs) as pool:
            for task_counts, task_faults in pool.imap(_judge, tasks, chunksize=16):
                for key, value in task_counts.items():
                    counts[key] = counts.get(key, 0) + value
                faults += task_faults
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print(f"damage-sweep: {os.path.basename(args.installer)}, package bytes {offset}..{end}")
    for key in sorted(counts):
        print(f"  {key:28} {counts[key]}")
    for fault in faults[:40]:
        print("  FAULT " + fault)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
