#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs one Wine test program, each test function in a process of its own with a time limit, and
adds up its check records (include/wine/test.h) per test function and per check line. A check line
passes when every time it ran, it held.

  run.py [--wine LOADER] [--failing LIST] PROGRAM FILE

On our own layer every check counts and the run fails unless the lines that fail are exactly
the lines of FILE listed in LIST (each "<file>:<line> <reason>", or "<file>:<function> <reason>"
for a function that crashes or hangs): so the list stays true. Under Wine (--wine), checks inside
todo_wine record what Windows does and Wine does not yet: they are left out, and every other
check must pass.
"""
import argparse
import collections
import os
import subprocess
import sys

TIME_LIMIT = 30  # seconds a test function may take; they take well under one


def run(command, timeout):
    try:
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=timeout, stdin=subprocess.DEVNULL)
        return done.stdout.decode("utf-8", "replace"), done.returncode, False
    except subprocess.TimeoutExpired as expired:
        return (expired.stdout or b"").decode("utf-8", "replace"), None, True


def read_list(path, file):
    listed = {}
    if not path:
        return listed
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            key, _, reason = line.partition(" ")
            if key.startswith(file + ":"):
                listed[key] = reason.strip()
    return listed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", help="the Wine loader: run the Windows build under it")
    parser.add_argument("--failing", help="the list of the lines that fail, with reasons")
    parser.add_argument("program")
    parser.add_argument("file")
    args = parser.parse_args()
    prefix = [args.wine] if args.wine else []
    under_wine = bool(args.wine)

    listing, _, _ = run(prefix + [args.program, "--list"], 120)
    functions = [name.strip() for name in listing.splitlines() if name.strip()]
    if not functions:
        sys.exit(f"run.py: {args.program} lists no test functions")

    lines = collections.defaultdict(lambda: [0, 0])  # check line: [times held, times not]
    broken_functions = {}  # test function: why it did not finish
    messages = {}
    failed_in = collections.defaultdict(set)  # check line: test functions where it failed
    print(f"{args.file}: {'under Wine' if under_wine else 'on our layer'}")
    for function in functions:
        output, status, hung = run(prefix + [args.program, function], TIME_LIMIT)
        held = failed = 0
        stubs = collections.Counter()
        finished = False
        for record in output.replace("\r", "").splitlines():
            words = record.split(" ", 3)
            if words[0] == "check" and len(words) >= 3:
                location, result = words[1], words[2]
                todo = len(words) > 3 and words[3].startswith("todo")
                if under_wine and todo:
                    continue
                if result == "pass":
                    held += 1
                    lines[location][0] += 1
                else:
                    failed += 1
                    lines[location][1] += 1
                    messages.setdefault(location, record.partition(" : ")[2])
                    failed_in[location].add(function)
            elif words[0] == "stub" and len(words) >= 2:
                stubs[words[1]] += 1
            elif record == "done":
                finished = True
        state = ""
        if hung:
            state = f"hung (no end after {TIME_LIMIT} s)"
        elif not finished or status != 0:
            state = f"crashed (exit status {status})"
        if state:
            broken_functions[f"{args.file}:{function}"] = state
        note = f"; not implemented: {', '.join(sorted(stubs))}" if stubs else ""
        print(f"  {function}: {held} checks held, {failed} failed{note}"
              f"{'; ' + state if state else ''}")

    failing = {location for location, (_, bad) in lines.items() if bad}
    passing = len(lines) - len(failing)
    print(f"{args.file}: {passing} of {len(lines)} check lines pass")
    for location in sorted(failing, key=lambda l: int(l.rpartition(":")[2])):
        print(f"  fails: {location} [{', '.join(sorted(failed_in[location]))}]: {messages[location]}")

    listed = read_list(args.failing, args.file)
    unlisted = sorted(failing - listed.keys()) + sorted(broken_functions.keys() - listed.keys())
    stale = sorted(key for key in listed if key not in failing and key not in broken_functions)
    for key in unlisted:
        print(f"run.py: {key} fails and is not listed in {os.path.basename(args.failing or '-')}")
    for key in stale:
        print(f"run.py: {key} is listed as failing but does not fail: take it off the list")
    return 1 if unlisted or stale else 0


if __name__ == "__main__":
    sys.exit(main())
