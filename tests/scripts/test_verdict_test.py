#!/usr/bin/env python3
"""The test command's verdict over CTest's results and, for executables run whole, their
GoogleTest results: cases are counted one by one, a skip keeps its reason, and a whole
executable that failed counts as failed even when it wrote no results or all its cases passed."""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "test_verdict.py")


def ctest_results(cases):
    """CTest's JUnit file: (name, failed) per test."""
    rows = []
    for name, failed in cases:
        if failed:
            rows.append(f'<testcase name="{name}" status="fail"><failure message="Failed"/></testcase>')
        else:
            rows.append(f'<testcase name="{name}" status="run"/>')
    return "<testsuite>" + "".join(rows) + "</testsuite>"


def gtest_results(cases):
    """A GoogleTest XML report: (suite, case, outcome) with outcome pass, fail or a skip reason."""
    rows = []
    for suite, case, outcome in cases:
        head = f'<testcase name="{case}" classname="{suite}" status="run"'
        if outcome == "pass":
            rows.append(head + ' result="completed"/>')
        elif outcome == "fail":
            rows.append(head + ' result="completed"><failure message="x.cpp:3&#x0A;wrong"/></testcase>')
        else:
            rows.append(head + f' result="skipped"><skipped message="x.cpp:9&#x0A;{outcome}"/></testcase>')
    return '<testsuites><testsuite name="s">' + "".join(rows) + "</testsuite></testsuites>"


class Verdict(unittest.TestCase):
    def run_verdict(self, ctest, reports):
        with tempfile.TemporaryDirectory() as root:
            results = os.path.join(root, "test-results.xml")
            with open(results, "w") as f:
                f.write(ctest_results(ctest))
            gtest_dir = os.path.join(root, "gtest-results")
            os.makedirs(gtest_dir)
            for name, cases in reports.items():
                with open(os.path.join(gtest_dir, name + ".xml"), "w") as f:
                    f.write(gtest_results(cases))
            run = subprocess.run([sys.executable, SCRIPT, results, gtest_dir], capture_output=True, text=True)
            return run.returncode, run.stdout.strip().splitlines()

    def test_cases_of_whole_executables_are_counted_one_by_one(self):
        code, lines = self.run_verdict(
            [("core_tests", False), ("layers.tree", False)],
            {"core_tests": [("A", "one", "pass"), ("A", "two", "pass"), ("B", "three", "only under a locale")]})
        self.assertEqual(code, 0)
        self.assertEqual(lines[-1], "verdict: 3 passed, 0 failed, 1 skipped")
        self.assertIn("skipped: B.three: only under a locale", lines)

    def test_a_failed_case_is_named(self):
        code, lines = self.run_verdict([("core_tests", True)],
                                       {"core_tests": [("A", "one", "pass"), ("A", "two", "fail")]})
        self.assertEqual(code, 1)
        self.assertEqual(lines[-1], "verdict: 1 passed, 1 failed (A.two), 0 skipped")

    def test_a_process_that_failed_after_passing_cases_fails(self):
        # The leak check fails at the exit, after the results were written.
        code, lines = self.run_verdict([("core_tests", True)], {"core_tests": [("A", "one", "pass")]})
        self.assertEqual(code, 1)
        self.assertIn("failed: core_tests (the process failed after its cases)", lines)

    def test_a_process_that_crashed_before_its_results_fails(self):
        code, lines = self.run_verdict([("core_tests", True), ("other_tests", False)], {})
        self.assertEqual(code, 1)
        self.assertEqual(lines[-1], "verdict: 1 passed, 1 failed (core_tests), 0 skipped")


if __name__ == "__main__":
    unittest.main()
