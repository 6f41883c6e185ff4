#!/usr/bin/env python3
"""Measures how many small faults in src/ the test suite notices.

Makes a seeded choice of single-operator changes in src/**/*.cpp (comparison
flips, && and ||, off-by-one on + K and - K, return true and false), and for
each one rebuilds, runs ctest and restores the file byte for byte. A mutant
that some test fails on is killed; one that does not compile is not counted.
The last line is "mutation score: K killed of N".

    tools/mutation_score.py [--seed S] [--count N] [--build DIR] [--jobs J]
                            [--exclude REGEX] [--only REGEX] [--dry-run]

The build directory must already be configured with the tests (./dev.sh test
does that). The same seed and count on the same sources pick the same
mutants, so a score before and after a change of the tests compares.
"""

import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# A comparison only counts with a space on both sides, which keeps template
# brackets, ->, <<, >> and <=> out without parsing C++.
COMPARISON_FLIPS = {"==": "!=", "!=": "==", "<": ">=", ">=": "<", ">": "<=", "<=": ">"}
LOGICAL_FLIPS = {"&&": "||", "||": "&&"}
HANDLED_SIGNALS = {signal.SIGINT, signal.SIGTERM, signal.SIGHUP}
RETURN_FLIPS = {"true": "false", "false": "true"}

SITE_PATTERNS = [
    (re.compile(r"(?<= )(==|!=|<=|>=|<|>)(?= )"), lambda m: COMPARISON_FLIPS[m.group(1)]),
    (re.compile(r"(?<= )(&&|\|\|)(?= )"), lambda m: LOGICAL_FLIPS[m.group(1)]),
    (re.compile(r"(?<=\breturn )(true|false)(?=;)"), lambda m: RETURN_FLIPS[m.group(1)]),
    # Off by one in the direction of a larger result: "+ 1" -> "+ 2", "- 1" -> "- 0".
    (re.compile(r"(?<= [+-] )(\d+)(?=[uUlL]*(?![\w.']))"), None),
]


def code_only(text):
    """The text with comments, string and character literals and preprocessor
    lines blanked out (newlines kept), so offsets still match the original."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if line_start and c == "#":
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            blank(i, j)
            i = j
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == '"' and i > 0 and text[i - 1] == "R":
            m = re.compile(r'"([^()\\ ]{0,16})\(').match(text, i)
            end = text.find(")" + m.group(1) + '"', m.end()) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            blank(i, j)
            i = j
        elif c in "\"'":
            # A quote inside a number (1'000) is a digit separator; u'x' is a literal.
            if c == "'" and text[i - 1:i].isalnum() and text[i + 1:i + 2].isalnum():
                k = i - 1
                while k > 0 and (text[k - 1].isalnum() or text[k - 1] == "'"):
                    k -= 1
                if text[k].isdigit():
                    i += 1
                    continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            blank(i, j)
            i = j
        else:
            i += 1
    return "".join(out)


def collect_sites(src_dir):
    """Every candidate mutation as (path, offset, original, replacement), sorted."""
    sites = []
    for path in sorted(src_dir.rglob("*.cpp")):
        rel = path.relative_to(ROOT).as_posix()
        code = code_only(path.read_bytes().decode("utf-8"))
        for pattern, flip in SITE_PATTERNS:
            for m in pattern.finditer(code):
                original = m.group(1)
                if flip is not None:
                    replacement = flip(m)
                elif code[m.start() - 2] == "+":
                    replacement = str(int(original) + 1)
                elif int(original) > 0:
                    replacement = str(int(original) - 1)
                else:
                    continue
                sites.append((rel, m.start(), original, replacement))
    sites.sort()
    return sites


def run(cmd):
    # A session of its own: ctest --stop-on-failure ends the tests still
    # running by signalling their group, which must not interrupt us.
    return subprocess.run(cmd, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          start_new_session=True).returncode


def build(args):
    return run(["cmake", "--build", args.build, "-j", str(args.jobs)]) == 0


def failed_tests(args):
    """The tests ctest saw fail, none when the suite passed."""
    cmd = ["ctest", "--test-dir", args.build, "-j", str(args.jobs), "--timeout", "60", "--stop-on-failure"]
    if args.exclude:
        cmd += ["-E", args.exclude]
    if run(cmd) == 0:
        return []
    log = ROOT / args.build / "Testing" / "Temporary" / "LastTestsFailed.log"
    names = [line.partition(":")[2] for line in log.read_text().split()] if log.exists() else []
    return names or ["ctest"]


def raise_interrupt(signum, frame):
    raise KeyboardInterrupt(f"signal {signum}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seed", type=int, default=16)
    parser.add_argument("--count", type=int, default=40, help="mutants to try")
    parser.add_argument("--build", default="build", help="configured build directory")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--exclude", default="install",
                        help="ctest -E regex of tests that do not exercise src/ (default: install; '' runs all)")
    parser.add_argument("--only", default="",
                        help="regex a mutated file's path must match, to look at one subsystem (e.g. src/storage/)")
    parser.add_argument("--dry-run", action="store_true", help="list the chosen mutants, build nothing")
    args = parser.parse_args()

    sites = [site for site in collect_sites(ROOT / "src") if re.search(args.only, site[0])]
    # Drawn order, not file order: a run stopped early has tried the first
    # mutants of the draw, which a smaller --count tries too.
    chosen = random.Random(args.seed).sample(sites, min(args.count, len(sites)))
    print(f"{len(sites)} candidate sites, seed {args.seed}: {len(chosen)} mutants", flush=True)
    if args.dry_run:
        for rel, offset, original, replacement in chosen:
            line = (ROOT / rel).read_bytes().decode("utf-8").count("\n", 0, offset) + 1
            print(f"{rel}:{line}: {original} -> {replacement}")
        return 0

    # Restoring a file would destroy uncommitted edits made to it meanwhile,
    # so only run against sources that git can give back.
    dirty = subprocess.run(["git", "status", "--porcelain", "--", "src"], cwd=ROOT,
                           capture_output=True, text=True, check=True).stdout
    if dirty:
        print("mutation_score: uncommitted changes in src/, commit or stash them first", file=sys.stderr)
        return 1
    if not (ROOT / args.build / "CTestTestfile.cmake").exists():
        print(f"mutation_score: {args.build} is not a configured build, run ./dev.sh test first", file=sys.stderr)
        return 1
    for signum in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, raise_interrupt)

    if not build(args):
        print(f"mutation_score: the unmutated sources do not build in {args.build}", file=sys.stderr)
        return 1
    failed = failed_tests(args)
    if failed:
        print(f"mutation_score: the unmutated sources fail {', '.join(failed)}", file=sys.stderr)
        return 1

    killed = compiled = tried = 0
    start = time.monotonic()
    interrupted = False
    try:
        for rel, offset, original, replacement in chosen:
            path = ROOT / rel
            source = path.read_bytes()
            text = source.decode("utf-8")
            line = text.count("\n", 0, offset) + 1
            t0 = time.monotonic()
            try:
                path.write_bytes((text[:offset] + replacement + text[offset + len(original):]).encode("utf-8"))
                if not build(args):
                    verdict = "did not compile"
                else:
                    failed = failed_tests(args)
                    verdict = f"killed by {failed[0]}" if failed else "survived"
                    compiled += 1
                    killed += bool(failed)
            finally:
                # A second signal must not cut the restore short.
                held = signal.pthread_sigmask(signal.SIG_BLOCK, HANDLED_SIGNALS)
                path.write_bytes(source)
                signal.pthread_sigmask(signal.SIG_SETMASK, held)
            tried += 1
            print(f"{rel}:{line}: {original} -> {replacement}: {verdict} ({time.monotonic() - t0:.0f} s)", flush=True)
    except KeyboardInterrupt:
        interrupted = True
        print(f"mutation_score: interrupted after {tried} of {len(chosen)} mutants, sources restored", file=sys.stderr)
    finally:
        # The build directory should match the sources again when we leave.
        build(args)
    print(f"{time.monotonic() - start:.0f} s in all")
    print(f"mutation score: {killed} killed of {compiled}")
    return 130 if interrupted else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        print("mutation_score: interrupted, sources restored", file=sys.stderr)
        sys.exit(130)
