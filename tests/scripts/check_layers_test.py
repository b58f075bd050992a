#!/usr/bin/env python3
"""The layer check on a tiny tree of three layers: it passes while every include goes down,
and names the file and line of an include that goes up, through a layer's own folder, a
relative path or a layer it may use only through another."""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "check_layers.py")

LAYERS = """\
# a tiny order: base <- middle <- top, side beside middle
base    lib/base
middle  lib/middle  : base
side    lib/side    : base
top     lib         : middle side
"""


def write(root, path, text):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write(text)


class CheckLayers(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = self.folder.name
        write(self.root, "layers.txt", LAYERS)
        write(self.root, "lib/base/point.h", "#pragma once\n#include <cstdint>\n")
        write(self.root, "lib/middle/shape.h", '#pragma once\n#include "lib/base/point.h"\n')
        write(self.root, "lib/middle/shape.cpp", '#include "lib/middle/shape.h"\n#include "shape.h"\n')
        write(self.root, "lib/side/name.h", '#pragma once\n#include "lib/base/point.h"\n')
        write(self.root, "lib/start.cpp", '#include "lib/middle/shape.h"\n#include "lib/side/name.h"\n')

    def tearDown(self):
        self.folder.cleanup()

    def run_check(self):
        return subprocess.run([sys.executable, SCRIPT, "--root", self.root, "--layers",
                               os.path.join(self.root, "layers.txt")], capture_output=True, text=True)

    def test_a_tree_whose_includes_go_down_passes(self):
        result = self.run_check()
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn("5 files follow the order", result.stdout)

    def test_planted_back_edges_fail_with_their_file_and_line(self):
        cases = [
            ("a lower layer includes a higher one", "lib/base/point.cpp",
             '#include "lib/base/point.h"\n\n#include "lib/middle/shape.h"\n',
             "lib/base/point.cpp:3: includes lib/middle/shape.h: layer base may not use layer middle"),
            ("a relative include reaches a sibling", "lib/middle/edge.cpp",
             '#include "../side/name.h"\n',
             "lib/middle/edge.cpp:1: includes ../side/name.h: layer middle may not use layer side"),
            ("a layer includes the top", "lib/side/name.cpp",
             '#include "lib/side/name.h"\n#include "lib/start.h"\n',
             "lib/side/name.cpp:2: includes lib/start.h: layer side may not use layer top"),
        ]
        write(self.root, "lib/start.h", "#pragma once\n")
        for name, path, text, message in cases:
            with self.subTest(name):
                write(self.root, path, text)
                result = self.run_check()
                os.remove(os.path.join(self.root, path))
                self.assertEqual(result.returncode, 1, result.stdout)
                self.assertIn(message, result.stdout)
                self.assertIn("1 include(s) against the order", result.stdout)

    def test_a_layer_that_uses_one_not_yet_defined_is_refused(self):
        write(self.root, "layers.txt", "low lib/low : high\nhigh lib/high\n")
        result = self.run_check()
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("layers.txt:1: layer low uses high", result.stdout + result.stderr)


if __name__ == "__main__":
    unittest.main()
