#!/usr/bin/env python3
"""The layer check on small trees: it must pass a tree that keeps the order and name
every include that breaks it, or the build's guard against wrong-way includes is gone."""

import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layers  # noqa: E402


class LayerCheck(unittest.TestCase):
    def tree(self, files):
        root = tempfile.mkdtemp(prefix="layers-")
        self.addCleanup(shutil.rmtree, root)
        for path, lines in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as out:
                out.write("".join(f'#include "{header}"\n' for header in lines))
        return root

    def problems(self, files):
        return check_layers.check(self.tree(files))[0]

    def test_downward_includes_pass(self):
        self.assertEqual(self.problems({
            "base/little_endian.h": [],
            "codec/encoder/block_sort.cpp": ["codec/encoder/block_sort.h", "codec/x.h",
                                             "base/little_endian.h"],
            "installer/completion.cpp": ["engine/path_macros.h", "runtime/setup_state.h",
                                         "package/format.h", "platform/system.h"],
            "stub/run_mode.cpp": ["installer/run_installation.h", "maintenance/uninstaller.h"],
            "twk/command_log.cpp": ["maintenance/removal_bounds.h", "twk/reader/x.h"],
            "tests/anything.cpp": ["stub/run_mode.h"],
            "resources/stub.rc.h": [],
        }), [])

    def test_upward_and_peer_includes_are_named(self):
        problems = self.problems({
            "base/ignore_case.cpp": ["engine/path_macros.h"],
            "codec/run_length.cpp": ["codec/encoder/block_sort.h"],
            "installer/completion.cpp": ["maintenance/uninstaller.h"],
            "maintenance/finalizer.cpp": ["installer/shortcuts.h"],
            "runtime/setup_state.cpp": ["platform/sim/machine/sim_machine.h"],
            "twk/reader/volume_stream.cpp": ["twk/build/build_error.h"],
        })
        self.assertEqual([p.split(":")[0] for p in problems], [
            "base/ignore_case.cpp", "codec/run_length.cpp", "installer/completion.cpp",
            "maintenance/finalizer.cpp", "runtime/setup_state.cpp",
            "twk/reader/volume_stream.cpp"])

    def test_unplaced_code_fails(self):
        problems = self.problems({
            "util/strings.cpp": [],
            "engine/next_boot.cpp": ["tests/helper.h", "local.h"],
        })
        self.assertEqual([p.split(": ")[0] for p in problems], [
            "engine/next_boot.cpp:1", "engine/next_boot.cpp:2", "util/strings.cpp"])

    def test_edges_are_the_real_includes(self):
        _, edges = check_layers.check(self.tree({
            "engine/a.cpp": ["engine/a.h", "runtime/b.h"],
            "runtime/b.h": ["package/format.h"],
        }))
        self.assertEqual(edges, {("engine", "runtime"), ("runtime", "package")})

    def test_the_documented_table_must_match_the_includes(self):
        root = self.tree({
            "engine/a.cpp": ["runtime/b.h"],
            "runtime/b.cpp": ["package/format.h"],
        })
        os.makedirs(os.path.join(root, "docs"))
        with open(os.path.join(root, check_layers.DOCUMENT), "w") as doc:
            doc.write("| Folder | Library | Includes | Holds |\n|---|---|---|---|\n"
                      "| `engine/` | `twk_engine` | `runtime/` `base/` | operations |\n"
                      "| `runtime/` | `twk_runtime` | | the stream |\n")
        self.assertEqual(check_layers.check(root)[0], [
            "docs/architecture.md: the table leaves out runtime/ -> package/",
            "docs/architecture.md: the table lists engine/ -> base/, which no include has"])

    def test_an_order_with_a_cycle_is_refused(self):
        with self.assertRaises(ValueError):
            check_layers.allowed_layers([("a", ["b"]), ("b", ["a"])])


if __name__ == "__main__":
    unittest.main()
