#!/usr/bin/env python3
"""Prints the verdict of a test run from CTest's JUnit results: the skipped tests with their
reasons, the failed tests, and one last line "verdict: N passed, M failed, K skipped". Exits 1
when a test failed or the results are missing."""
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


def main(paths):
    passed, failed, skipped = [], [], []
    for path in paths:
        try:
            root = ET.parse(path).getroot()
        except (OSError, ET.ParseError) as error:
            print(f"verdict: no test results in {path} ({error})")
            return 1
        for case in root.iter("testcase"):
            name = case.get("name", "?")
            status = case.get("status")
            if case.find("failure") is not None or status == "fail":
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
    sys.exit(main(sys.argv[1:]))
