#!/usr/bin/env python3
"""Breaks the code on purpose, one fault at a time, and tells whether the suite notices.

    python3 tools/fault-sample.py [LIST] [BUILD_DIR]

LIST (default tools/faults.tsv) has one fault per line, tab-separated:
    file    anchor    from    to    [tests]
The fault replaces the first FROM on the first line holding ANCHOR (an anchor
"A@B" means the first line holding A after the first line holding B) by TO.
TESTS is a ctest -R pattern, or the name of a test program (test_game, ...)
for every test it holds; empty means the whole suite. BUILD_DIR (default
build-tests) must be configured already. Each fault is built and tested and
the file restored before the next; the tree is restored when interrupted too.
Prints CAUGHT or SURVIVED per fault and "caught N of M"; exits 1 when one
survived or no longer matches the code."""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEVNULL = subprocess.DEVNULL


def test_programs(build):
    """Test names per test program, from ctest's own listing."""
    out = subprocess.run(["ctest", "--test-dir", build, "-N", "-V"], capture_output=True, text=True,
                         stdin=DEVNULL).stdout
    programs = {}
    for m in re.finditer(r'Test command: \S*/(test_\w+) "--gtest_filter=([^"]+)"', out):
        programs.setdefault(m.group(1), []).append(m.group(2))
    return programs


def pattern_for(tests, programs):
    if tests in programs:
        return "^(" + "|".join(re.escape(t) for t in programs[tests]) + ")$"
    return tests


def fault_line(lines, anchor):
    after = None
    if "@" in anchor:
        anchor, after = anchor.split("@", 1)
    start = 0
    if after:
        start = next(i for i, line in enumerate(lines) if after in line)
    return next(i for i, line in enumerate(lines) if i >= start and anchor in line)


def run(cmd, log):
    with open(log, "w") as out:
        return subprocess.run(cmd, stdin=DEVNULL, stdout=out, stderr=subprocess.STDOUT).returncode


def main():
    listing = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "tools", "faults.tsv")
    build = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "build-tests"))
    programs = test_programs(build)
    caught = total = stale = 0
    for row in open(listing):
        if not row.strip() or row.startswith("#"):
            continue
        fields = row.rstrip("\n").split("\t")
        path, anchor, before, after = fields[:4]
        tests = fields[4] if len(fields) > 4 else ""
        full = os.path.join(ROOT, path)
        original = open(full).read()
        lines = original.split("\n")
        try:
            n = fault_line(lines, anchor)
        except StopIteration:
            print(f"NO-ANCHOR {path}: {anchor!r}")
            stale += 1
            continue
        if before not in lines[n]:
            print(f"NOT-APPLIED {path}:{n + 1} {before!r}")
            stale += 1
            continue
        lines[n] = lines[n].replace(before, after, 1)
        total += 1
        try:
            open(full, "w").write("\n".join(lines))
            if run(["cmake", "--build", build, "-j2"], os.path.join(build, "fault-build.log")) != 0:
                print(f"BUILD-FAIL {path}:{n + 1} {before!r} -> {after!r}")
                total -= 1
                continue
            cmd = ["ctest", "--test-dir", build, "-j2", "--timeout", "300", "--stop-on-failure", "-Q"]
            if tests:
                cmd += ["-R", pattern_for(tests, programs)]
            wrapped = ["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24 -noreset"] + cmd
            noticed = run(wrapped, os.path.join(build, "fault-test.log")) != 0
            caught += noticed
            print(f"{'CAUGHT' if noticed else 'SURVIVED'} {path}:{n + 1} {before!r} -> {after!r}", flush=True)
        finally:
            open(full, "w").write(original)
    run(["cmake", "--build", build, "-j2"], os.path.join(build, "fault-build.log"))
    print(f"caught {caught} of {total}" + (f"; {stale} no longer match the code" if stale else ""))
    return 0 if caught == total and not stale else 1


if __name__ == "__main__":
    sys.exit(main())
