#!/usr/bin/env python3
"""Prints the verdict of a test run from CTest's JUnit results: the skipped tests with their
reasons, the failed tests, and one last line "verdict: N passed, M failed, K skipped". Exits 1
when a test failed or the results are missing.

    test_verdict.py CTEST_RESULTS.xml [GTEST_RESULTS_DIR]

A CTest test that ran a whole GoogleTest executable (the test command's way, see
tm_discover_tests) has its cases in GTEST_RESULTS_DIR/NAME.xml: they are counted case by case.
Such a test that failed is a failure of its own as well when no case failed (the process
crashed before writing its results, or the leak check failed at its exit)."""
import os
import sys
import xml.etree.ElementTree as ET


def skip_reason(output):
    # GoogleTest prints "file:line: Skipped" and then the reason, up to "[  SKIPPED ]".
    lines = (output or "").splitlines()
    for i, line in enumerate(lines):
        if line.endswith(": Skipped"):
            reason = []
            for follow in lines[i + 1:]:
                if follow.startswith("[  SKIPPED ]"):
                    break
                reason.append(follow.strip())
            text = " ".join(r for r in reason if r)
            if text:
                return text
    return "no reason given"


def gtest_cases(path):
    """The cases of a GoogleTest XML report: (passed, failed, skipped with reasons)."""
    passed, failed, skipped = [], [], []
    root = ET.parse(path).getroot()
    for case in root.iter("testcase"):
        name = f"{case.get('classname', '?')}.{case.get('name', '?')}"
        if case.find("failure") is not None or case.find("error") is not None:
            failed.append(name)
        elif case.find("skipped") is not None or case.get("result") == "skipped":
            message = case.find("skipped").get("message", "") if case.find("skipped") is not None else ""
            # The message is "file:line\nreason"; the reason alone is wanted.
            reason = " ".join(line.strip() for line in message.splitlines()[1:] if line.strip())
            skipped.append((name, reason or "no reason given"))
        elif case.get("status") == "notrun":
            continue  # disabled cases are not run by CTest either
        else:
            passed.append(name)
    return passed, failed, skipped


def main(paths):
    results_path = paths[0]
    gtest_dir = paths[1] if len(paths) > 1 else None
    passed, failed, skipped = [], [], []
    try:
        root = ET.parse(results_path).getroot()
    except (OSError, ET.ParseError) as error:
        print(f"verdict: no test results in {results_path} ({error})")
        return 1
    for case in root.iter("testcase"):
        name = case.get("name", "?")
        status = case.get("status")
        test_failed = case.find("failure") is not None or status == "fail"
        report = os.path.join(gtest_dir, name + ".xml") if gtest_dir else None
        if report and os.path.isfile(report):
            try:
                cases = gtest_cases(report)
            except ET.ParseError:
                cases = ([], [f"{name} (its results are unreadable)"], [])
            passed += cases[0]
            failed += cases[1]
            skipped += cases[2]
            if test_failed and not cases[1]:
                failed.append(f"{name} (the process failed after its cases)")
        elif test_failed:
            failed.append(name)
        elif case.find("skipped") is not None or status in ("notrun", "disabled"):
            out = case.find("system-out")
            skipped.append((name, skip_reason(out.text if out is not None else "")))
        else:
            passed.append(name)
    for name, reason in skipped:
        print(f"skipped: {name}: {reason}")
    for name in failed:
        print(f"failed: {name}")
    listed = ""
    if failed:
        shown = ", ".join(failed[:10]) + (", ..." if len(failed) > 10 else "")
        listed = f" ({shown})"
    print(f"verdict: {len(passed)} passed, {len(failed)} failed{listed}, {len(skipped)} skipped")
    return 1 if failed or not (passed or skipped) else 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1:]))
