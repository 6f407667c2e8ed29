#!/usr/bin/env python3
"""check_layers.py [--edges] [ROOT]

Fails when an #include goes the wrong way between the layers of the tree. Every folder
of the code is one layer; LAYERS below names, lowest first, the layers each one builds
on directly, as its CMake library links them. A file may include headers of its own
layer and of every layer below it (directly or through the layers it builds on), never
of a layer above it or of a peer: installer/ and maintenance/ both stand on engine/, and
neither may include the other.

A file belongs to the deepest layer folder that holds it (codec/encoder/x.cpp to
codec/encoder, not codec). Code outside every layer (tests, fuzz targets, benchmarks,
the Windows examples, the end-to-end robot) sits on top and is not checked; a source
folder that is neither a layer nor such a folder fails the check, so that a new folder
gets its place in the order.

The table of layers in docs/architecture.md lists, in its "Includes" column, the
folders each folder includes; the check fails when the table and the tree disagree, so
that the map a newcomer reads is the tree as it is. --edges prints the folder-to-folder
includes that the tree has, instead of checking.
"""

import os
import re
import sys

# Each layer and the layers it builds on directly, lowest first.
LAYERS = [
    ("base", []),
    ("codec", ["base"]),
    ("codec/encoder", ["codec", "base"]),
    ("package", ["codec", "base"]),
    ("pe", ["base"]),
    ("host", []),
    ("platform", []),
    ("platform/win32", ["platform"]),
    ("platform/sim/machine", ["platform", "host", "pe", "base"]),
    ("platform/sim", ["platform/sim/machine", "platform", "pe", "base"]),
    ("runtime", ["package", "platform", "base"]),
    ("engine", ["runtime", "base"]),
    ("installer", ["engine", "base"]),
    ("maintenance", ["engine", "base"]),
    ("stub", ["installer", "maintenance"]),
    ("twk/common", ["host"]),
    ("twk/script", ["twk/common", "package"]),
    ("twk/build", ["twk/script", "twk/common", "package", "codec/encoder", "pe", "base"]),
    ("twk/reader", ["twk/common", "package", "base"]),
    ("twk/simulate", ["twk/common", "twk/reader", "stub", "platform/sim/machine", "base"]),
    ("twk", ["twk/build", "twk/reader", "twk/simulate", "maintenance"]),
]

# Folders on top of every layer, whose includes the build's link lines govern, and the
# pinned copies of other projects' code (third_party), which include only their own.
OUTSIDE = ["tests", "fuzz", "bench", "examples", "e2e", "resources", "build", "third_party"]

DOCUMENT = "docs/architecture.md"

SOURCE = re.compile(r"\.(c|cc|cpp|h|hpp)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def allowed_layers(layers):
    """Each layer and the layers it may include: itself and all below it. Raises
    ValueError when a layer names an unknown one or builds on one above it."""
    allowed = {}
    for name, below in layers:
        reach = {name}
        for lower in below:
            if lower not in allowed:
                raise ValueError(f"{name} builds on {lower}, which is not listed below it")
            reach |= allowed[lower]
        allowed[name] = reach
    return allowed


def layer_of(path, names):
    """The deepest layer folder holding `path` (a path from the root), or None."""
    best = None
    for name in names:
        if path.startswith(name + "/") and (best is None or len(name) > len(best)):
            best = name
    return best


def source_files(root):
    for folder, subfolders, files in os.walk(root):
        relative = os.path.relpath(folder, root)
        if relative == ".":
            subfolders[:] = [d for d in subfolders if not d.startswith(".") and d not in OUTSIDE]
            continue
        for file in files:
            if SOURCE.search(file):
                yield os.path.join(relative, file).replace(os.sep, "/")


def includes(root, path):
    with open(os.path.join(root, path), encoding="latin-1") as text:
        for number, line in enumerate(text, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)


def check(root, layers=LAYERS):
    """The problems found under `root`, one line each; empty when the includes keep the
    order and the document's table lists them. Also the folder-to-folder edges seen, as
    a set of (from, to)."""
    allowed = allowed_layers(layers)
    names = list(allowed)
    problems = []
    edges = set()
    for path in sorted(source_files(root)):
        layer = layer_of(path, names)
        if layer is None:
            problems.append(f"{path}: its folder is in no layer (add it to LAYERS)")
            continue
        for number, header in includes(root, path):
            if "/" not in header:
                if not os.path.exists(os.path.join(root, os.path.dirname(path), header)):
                    problems.append(f"{path}:{number}: includes \"{header}\" by a bare name")
                continue
            target = layer_of(header, names)
            if target is None:
                problems.append(f"{path}:{number}: includes \"{header}\", which is in no layer")
                continue
            if target != layer:
                edges.add((layer, target))
            if target not in allowed[layer]:
                problems.append(f"{path}:{number}: {layer} must not include \"{header}\" "
                                f"({target} is not below {layer})")
    document = os.path.join(root, DOCUMENT)
    if os.path.exists(document):
        problems += compare_document(edges, documented_edges(document))
    return problems, edges


def documented_edges(path):
    """The (from, to) pairs of the layer table's "Includes" column in `path`: the rows
    whose first cell is a folder in backquotes; the third cell holds its includes."""
    edges = set()
    with open(path, encoding="utf-8") as text:
        for line in text:
            cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
            if not line.startswith("| `") or len(cells) < 3:
                continue
            source = cells[0].strip("`").rstrip("/")
            for target in re.findall(r"`([^`]+)/`", cells[2]):
                edges.add((source, target))
    return edges


def compare_document(edges, documented):
    """One line for each include the document leaves out and each it lists that the tree
    does not have."""
    problems = [f"{DOCUMENT}: the table leaves out {s}/ -> {t}/"
                for s, t in sorted(edges - documented)]
    problems += [f"{DOCUMENT}: the table lists {s}/ -> {t}/, which no include has"
                 for s, t in sorted(documented - edges)]
    return problems


def main(arguments):
    show_edges = "--edges" in arguments
    rest = [a for a in arguments if a != "--edges"]
    root = rest[0] if rest else os.path.join(os.path.dirname(__file__), "..", "..")
    problems, edges = check(root)
    if show_edges:
        for source, target in sorted(edges):
            print(f"{source} -> {target}")
        return 0
    for problem in problems:
        print(problem)
    if problems:
        print(f"check_layers: {len(problems)} problem(s)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
