#!/usr/bin/env python3
"""Runs the mutated-picture test of image_tests.exe over many cases under Wine and counts, per
format, the files that loaded, were refused, crashed the process or hung it. A crashed or hung
process is replaced by a new one that goes on with the next case, so one bad case does not end
the run.

Usage (from a shell that sourced scripts/wine-env.sh):
  image_fuzz.py build/win/bin/image_tests.exe [--count 3000] [--seed N] [--timeout 20]
                [--formats bmp,ico,jpeg,gif,png,tiff]
Rerun one case: PELTO_FUZZ_SEED=N PELTO_FUZZ_FORMAT=png PELTO_FUZZ_FIRST=k PELTO_FUZZ_COUNT=k+1
  wine image_tests.exe --gtest_filter=ImageFuzz.*
"""
import argparse
import os
import random
import selectors
import signal
import subprocess
import sys
import time

FORMATS = ["bmp", "ico", "jpeg", "gif", "png", "tiff"]


def run_from(exe, fmt, seed, first, count, timeout):
    """Runs cases first..count-1 in one process. Returns (results, next_case, fault) where fault
    is None, ("crashed", case) or ("hung", case)."""
    env = dict(os.environ, PELTO_FUZZ_SEED=str(seed), PELTO_FUZZ_FORMAT=fmt,
               PELTO_FUZZ_FIRST=str(first), PELTO_FUZZ_COUNT=str(count))
    proc = subprocess.Popen(["wine", exe, "--gtest_filter=ImageFuzz.*"], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    sel = selectors.DefaultSelector()
    sel.register(proc.stdout, selectors.EVENT_READ)
    results = {}
    current = None
    buffer = b""
    deadline = time.monotonic() + timeout
    while True:
        if not sel.select(timeout=max(0.1, deadline - time.monotonic())):
            if time.monotonic() < deadline:
                continue
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            case = current if current is not None else first
            return results, case + 1, ("hung", case)
        chunk = proc.stdout.read1(65536)
        if not chunk:
            break
        buffer += chunk
        while b"\n" in buffer:
            line, buffer = buffer.split(b"\n", 1)
            words = line.decode(errors="replace").split()
            if len(words) == 4 and words[0] == "fuzz" and words[1] == fmt:
                case = int(words[2])
                if words[3] == "start":
                    current = case
                    deadline = time.monotonic() + timeout
                else:
                    results[case] = words[3]
                    current = None
    proc.wait()
    if current is not None:
        return results, current + 1, ("crashed", current)
    if len(results) < count - first:
        sys.exit(f"{fmt}: the test ended before its cases (exit code {proc.returncode})")
    return results, count, None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--count", type=int, default=3000)
    parser.add_argument("--seed", type=int, default=random.getrandbits(63))
    parser.add_argument("--timeout", type=float, default=20.0,
                        help="seconds one case may take before it counts as hung")
    parser.add_argument("--formats", default=",".join(FORMATS))
    args = parser.parse_args()
    print(f"seed {args.seed}, {args.count} cases per format", flush=True)
    totals = {}
    for fmt in args.formats.split(","):
        counts = {"loaded": 0, "refused": 0, "crashed": 0, "hung": 0}
        faults = []
        first = 0
        while first < args.count:
            results, first, fault = run_from(args.exe, fmt, args.seed, first, args.count,
                                             args.timeout)
            for outcome in results.values():
                counts[outcome] += 1
            if fault:
                counts[fault[0]] += 1
                faults.append(fault)
        totals[fmt] = counts
        print(f"{fmt:5} loaded {counts['loaded']:5} refused {counts['refused']:5} "
              f"crashed {counts['crashed']:3} hung {counts['hung']:3}"
              + (f"  faults: {faults[:10]}" if faults else ""), flush=True)
    bad = sum(c["crashed"] + c["hung"] for c in totals.values())
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
