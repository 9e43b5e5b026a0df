#!/usr/bin/env python3
"""Fault injection: how many small, deliberate faults in the product sources
does the test suite notice?

Each mutant changes one operator or literal on one line of a product source
(workbook/, analysis/, app/, skin/, windows/), rebuilds incrementally and runs the CTest
suite. A mutant is "killed" when a test fails or times out, "survived" when the
whole suite still passes, and "build-error" when it does not compile (those are
not counted). The surviving mutants point at behaviour no test pins down.

    tools/mutation_check.py --build build-mut --count 300 --seed 11 \\
        --paths workbook analysis app skin windows --out mutants.json

    tools/mutation_check.py --build build-mut --count 20 --seed 1 --list-only
    tools/mutation_check.py --build build-mut --mutants mutants.json

A run that was stopped goes on where it was with the same arguments and
--resume: the mutants already in --out are kept and not run again.

Run it from the top of a work tree whose sources it may change: every mutated
file is put back after its mutant (also on Ctrl-C and on SIGTERM), and a run
that was killed outright leaves a note in the build folder from which the next
run restores the file first. Only the Python standard library is used.

The matching is deliberately simple and conservative, relying on the code being
clang-formatted: binary operators are only recognised with a space on either
side (or at the end of a broken line), so template brackets, shifts, `->`,
pointers and references are left alone. Comments, preprocessor lines, string
and character literals and static_asserts are never touched.
"""

import argparse
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from dataclasses import asdict, dataclass, field
from pathlib import Path

DEFAULT_PATHS = ["workbook", "analysis", "app", "skin", "windows"]
DEFAULT_EXCLUDE = "install_tree"
RESTORE_NOTE = "mutation_check.restore.json"

# A binary operator stands between spaces, or a space and the end of the line
# (clang-format breaks long conditions after the operator).
END = r"(?= |$)"
INT_LITERAL = r"\d+[uUlL]*(?![\w.'])"
# The masked text keeps this character where a literal's contents or a
# comment were, so no pattern can match there.
MASK = "\x00"


@dataclass
class Site:
    file: str  # relative to the source tree, with forward slashes
    line: int  # 1-based
    column: int  # 0-based offset of the replaced text
    operator: str
    original: str  # the whole original line (without its newline)
    mutated: str  # the whole mutated line

    def key(self):
        return (self.file, self.line, self.column, self.operator, self.mutated)


@dataclass
class Result:
    file: str
    line: int
    column: int
    operator: str
    original: str
    mutated: str
    outcome: str = ""
    failing_tests: list = field(default_factory=list)
    build_seconds: float = 0.0
    test_seconds: float = 0.0
    note: str = ""


# --------------------------------------------------------------------------
# Finding the sites


def mask_line(line, in_block_comment):
    """Returns the line with comments and the contents of string and character
    literals replaced by MASK, and whether a block comment is still open at
    its end."""
    out = []
    i = 0
    n = len(line)
    while i < n:
        if in_block_comment:
            end = line.find("*/", i)
            if end < 0:
                out.append(MASK * (n - i))
                return "".join(out), True
            out.append(MASK * (end + 2 - i))
            i = end + 2
            in_block_comment = False
            continue
        c = line[i]
        if line.startswith("//", i):
            out.append(MASK * (n - i))
            break
        if line.startswith("/*", i):
            in_block_comment = True
            out.append(MASK * 2)
            i += 2
            continue
        raw = re.match(r'(?:u8|[uUL])?R"([^(\s]*)\(', line[i:])
        if raw and (i == 0 or not (line[i - 1].isalnum() or line[i - 1] == "_")):
            closing = ")" + raw.group(1) + '"'
            start = i + raw.end()
            end = line.find(closing, start)
            # A raw string that goes on past the line end masks the rest.
            stop = n if end < 0 else end + len(closing)
            out.append(line[i:start] + MASK * (stop - start))
            i = stop
            continue
        # A quote after a number's digits is a digit separator (1'000).
        if c == '"' or (c == "'" and not re.search(r"(?<![\w])\d[\w']*$", line[:i])):
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            stop = min(j + 1, n)
            out.append(c + MASK * (stop - i - 2) + (c if j < n else ""))
            i = stop
            continue
        out.append(c)
        i += 1
    return "".join(out), in_block_comment


def rule(name, pattern, replace):
    return (name, re.compile(pattern), replace)


def bump_literal(text):
    digits = re.match(r"\d+", text).group(0)
    return str(int(digits) + 1) + text[len(digits):]


def lower_literal(text):
    digits = re.match(r"\d+", text).group(0)
    value = int(digits)
    return str(value - 1 if value > 0 else value + 1) + text[len(digits):]


RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
COMPARISON = r"(?:<=|>=|==|!=|<|>)"

# Each rule: (operator name, pattern over the masked line, replacement). The
# group "t" of a match (the whole match when there is none) is the text that
# is replaced, by the replacement applied to that text; one match, one mutant.
RULES = [
    rule("relational", r"(?<= )" + COMPARISON + END, lambda t: RELATIONAL[t]),
    # Off by one: the literal added or subtracted, and the literal on either
    # side of a comparison.
    rule("off-by-one", r"(?<= \+ )" + INT_LITERAL, bump_literal),
    rule("off-by-one", r"(?<= - )" + INT_LITERAL, lower_literal),
    rule("off-by-one", r" " + COMPARISON + r" (?P<t>" + INT_LITERAL + ")", bump_literal),
    rule("off-by-one", r"(?<![\w.'])(?P<t>" + INT_LITERAL + r") " + COMPARISON + " ",
         bump_literal),
    rule("logical", r"(?<= )(?:&&|\|\|)" + END, lambda t: "||" if t == "&&" else "&&"),
    rule("boolean-literal", r"\b(?:true|false)\b", lambda t: "false" if t == "true" else "true"),
    rule("negation-removal", r"!(?=[A-Za-z_(])", lambda t: ""),
    rule("arithmetic", r"(?<= )[-+*/]" + END,
         lambda t: {"+": "-", "-": "+", "*": "/", "/": "*"}[t]),
]


def source_files(root, paths):
    files = []
    for top in paths:
        base = root / top
        if not base.is_dir():
            raise SystemExit(f"no such folder: {base}")
        for path in base.rglob("*"):
            if path.suffix in (".cpp", ".h") and path.is_file():
                files.append(path.relative_to(root).as_posix())
    return sorted(files)


def file_sites(root, relative):
    lines = (root / relative).read_text(encoding="utf-8").split("\n")
    sites = []
    in_comment = False
    continued_directive = False
    assert_depth = 0
    for number, line in enumerate(lines, start=1):
        masked, in_comment_after = mask_line(line, in_comment)
        was_in_comment = in_comment
        in_comment = in_comment_after
        stripped = line.strip()
        # Preprocessor lines, with their continuation lines.
        if continued_directive or (stripped.startswith("#") and not was_in_comment):
            continued_directive = line.endswith("\\")
            continue
        # A static_assert, possibly over several lines.
        if assert_depth > 0 or "static_assert" in masked:
            if assert_depth == 0:
                masked = masked[masked.index("static_assert"):]
            assert_depth += masked.count("(") - masked.count(")")
            assert_depth = max(assert_depth, 0)
            continue
        if not masked.replace(MASK, "").strip():
            continue
        for name, pattern, replace in RULES:
            group = "t" if "t" in pattern.groupindex else 0
            for m in pattern.finditer(masked):
                start, end = m.span(group)
                mutated = line[:start] + replace(line[start:end]) + line[end:]
                if mutated != line:
                    sites.append(Site(relative, number, start, name, line, mutated))
    sites.sort(key=lambda s: (s.line, s.column, s.operator, s.mutated))
    return sites


def all_sites(root, paths):
    sites = []
    for relative in source_files(root, paths):
        sites.extend(file_sites(root, relative))
    return sites


# --------------------------------------------------------------------------
# Applying and restoring


class Mutator:
    """Changes one line of one file and always puts the file back."""

    def __init__(self, root, build):
        self.root = root
        self.note = build / RESTORE_NOTE
        self.path = None
        self.original = None

    def recover(self):
        """Puts back a file left mutated by a run that was killed outright."""
        if not self.note.exists():
            return None
        saved = json.loads(self.note.read_text(encoding="utf-8"))
        path = self.root / saved["file"]
        path.write_bytes(saved["content"].encode("utf-8"))
        self.note.unlink()
        return saved["file"]

    def apply(self, relative, line, mutated):
        path = self.root / relative
        data = path.read_bytes()
        text = data.decode("utf-8")
        lines = text.split("\n")
        self.note.write_text(json.dumps({"file": relative, "content": text}), encoding="utf-8")
        self.path, self.original = path, data
        lines[line - 1] = mutated
        path.write_bytes("\n".join(lines).encode("utf-8"))

    def restore(self):
        if self.path is None:
            return
        self.path.write_bytes(self.original)
        self.path = self.original = None
        if self.note.exists():
            self.note.unlink()


# --------------------------------------------------------------------------
# Building and testing


class Runner:
    def __init__(self, root, build, jobs, exclude, test_timeout):
        self.root = root
        self.build = build
        self.jobs = jobs
        self.exclude = exclude
        self.test_timeout = test_timeout
        # The whole suite's limit; set from the unmutated run's duration.
        self.suite_limit = None
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    def run(self, command, limit=None):
        """Runs a command in its own process group; returns (status, output),
        status None when it went past the limit and was stopped."""
        process = subprocess.Popen(command, cwd=self.root, env=self.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, text=True, errors="replace",
                                   start_new_session=True)
        try:
            output, _ = process.communicate(timeout=limit)
            return process.returncode, output
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            output, _ = process.communicate()
            return None, output
        except BaseException:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            raise

    def configure(self):
        if (self.build / "build.ninja").exists():
            return
        status, output = self.run(["cmake", "-S", ".", "--preset", "debug", "-B", str(self.build)])
        if status != 0:
            sys.stdout.write(output)
            raise SystemExit("configuring the build folder failed")

    def compile(self):
        started = time.monotonic()
        status, output = self.run(["cmake", "--build", str(self.build), "-j", str(self.jobs)])
        first_error = next((l.strip() for l in output.splitlines() if "error" in l), "")
        return status == 0, time.monotonic() - started, first_error

    def test(self):
        """Returns (passed, failing test names, seconds)."""
        command = ["ctest", "--test-dir", str(self.build), "-j", str(self.jobs),
                   "--timeout", str(self.test_timeout)]
        if self.exclude:
            command += ["-E", self.exclude]
        started = time.monotonic()
        status, output = self.run(command, self.suite_limit)
        seconds = time.monotonic() - started
        if status is None:
            return False, ["(suite stopped after %.0f s)" % seconds], seconds
        failing = []
        listing = False
        for line in output.splitlines():
            if line.startswith("The following tests FAILED:"):
                listing = True
                continue
            m = re.match(r"\s*\d+ - (\S+) \((.*)\)\s*$", line) if listing else None
            if m:
                failing.append(m.group(1) if m.group(2) == "Failed" else
                               f"{m.group(1)} ({m.group(2)})")
        if status != 0 and not failing:
            failing = ["(ctest status %d)" % status]
        if "No tests were found" in output:
            raise SystemExit("ctest found no tests in " + str(self.build))
        return status == 0, failing, seconds


# --------------------------------------------------------------------------
# Choosing the mutants


def choose(sites, count, seed):
    if count >= len(sites):
        chosen = list(sites)
    else:
        chosen = random.Random(seed).sample(sites, count)
    # They run in the order drawn, so that a run stopped early has still
    # sampled every folder alike.
    return chosen


def from_earlier(root, listing):
    """The mutants of an earlier result, found again by file, line text and
    operator (the line nearest to the recorded number when the text occurs
    more than once). Returns (sites, the ones not found)."""
    earlier = json.loads(Path(listing).read_text(encoding="utf-8"))["mutants"]
    found, missing = [], []
    lines_of = {}
    for entry in earlier:
        relative = entry["file"]
        if relative not in lines_of:
            path = root / relative
            lines_of[relative] = (path.read_text(encoding="utf-8").split("\n")
                                  if path.exists() else [])
        lines = lines_of[relative]
        candidates = [i + 1 for i, text in enumerate(lines) if text == entry["original"]]
        # The same change must still be one this tool would make there.
        sites = {(s.line, s.operator, s.mutated) for s in file_sites(root, relative)} \
            if candidates else set()
        candidates = [n for n in candidates
                      if (n, entry["operator"], entry["mutated"]) in sites]
        if not candidates:
            missing.append(entry)
            continue
        line = min(candidates, key=lambda n: (abs(n - entry["line"]), n))
        found.append(Site(relative, line, entry.get("column", 0), entry["operator"],
                          entry["original"], entry["mutated"]))
    return found, missing


# --------------------------------------------------------------------------
# Reporting


def write_json(path, meta, results):
    if path is None:
        return
    document = dict(meta, mutants=[asdict(r) for r in results])
    temporary = Path(str(path) + ".part")
    temporary.write_text(json.dumps(document, ensure_ascii=False, indent=1) + "\n",
                         encoding="utf-8")
    os.replace(temporary, path)


def summary(results, pending):
    killed = [r for r in results if r.outcome == "killed"]
    survived = [r for r in results if r.outcome == "survived"]
    broken = [r for r in results if r.outcome == "build-error"]
    buildable = len(killed) + len(survived)
    lines = [f"mutants run: {len(results)}" + (f" (of {len(results) + pending})" if pending else ""),
             f"killed: {len(killed)}", f"survived: {len(survived)}",
             f"build-error: {len(broken)} (not counted)"]
    if buildable:
        lines.append(f"kill rate: {len(killed)}/{buildable} = {100.0 * len(killed) / buildable:.1f}%")
    seconds = [r.build_seconds + r.test_seconds for r in results]
    if seconds:
        lines.append(f"time per mutant: {sum(seconds) / len(seconds):.0f} s on average")
    if survived:
        lines.append("")
        lines.append("survivors:")
        for r in survived:
            lines.append(f"  {r.file}:{r.line} [{r.operator}]")
            lines.append(f"    - {r.original.strip()}")
            lines.append(f"    + {r.mutated.strip()}")
    return "\n".join(lines)


def describe(site):
    return (f"{site.file}:{site.line} [{site.operator}]\n"
            f"    - {site.original.strip()}\n    + {site.mutated.strip()}")


# --------------------------------------------------------------------------


def stop_on_terminate(signum, frame):
    raise KeyboardInterrupt()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True, help="build folder (configured if missing)")
    parser.add_argument("--count", type=int, default=50, help="number of mutants")
    parser.add_argument("--seed", type=int, default=1, help="seed of the random choice")
    parser.add_argument("--paths", nargs="+", default=DEFAULT_PATHS,
                        help="source folders to mutate")
    parser.add_argument("--out", help="JSON result, rewritten after each mutant")
    parser.add_argument("--list-only", action="store_true",
                        help="print the chosen mutants without building")
    parser.add_argument("--ctest-exclude", default=DEFAULT_EXCLUDE,
                        help="regex of tests not to run (default: %(default)s)")
    parser.add_argument("--mutants", help="rerun the mutants of an earlier JSON result")
    parser.add_argument("--resume", action="store_true",
                        help="keep the mutants already in --out and run only the others")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs")
    parser.add_argument("--test-timeout", type=int, default=120, help="seconds per test")
    args = parser.parse_args()

    root = Path.cwd()
    if not (root / "CMakeLists.txt").exists():
        raise SystemExit("run this from the top of the source tree")
    build = (root / args.build).resolve()

    if args.mutants:
        chosen, missing = from_earlier(root, args.mutants)
        for entry in missing:
            print(f"no longer found: {entry['file']}:{entry['line']} [{entry['operator']}] "
                  f"{entry['original'].strip()}")
        total = None
    else:
        sites = all_sites(root, args.paths)
        chosen = choose(sites, args.count, args.seed)
        total = len(sites)

    if args.list_only:
        if total is not None:
            print(f"{total} sites; chosen {len(chosen)} with seed {args.seed}")
        for site in chosen:
            print(describe(site))
        return 0

    # SIGTERM (e.g. from kill) unwinds like Ctrl-C, so the file is put back.
    signal.signal(signal.SIGTERM, stop_on_terminate)

    build.mkdir(parents=True, exist_ok=True)
    mutator = Mutator(root, build)
    recovered = mutator.recover()
    if recovered:
        print(f"restored {recovered}, left mutated by an earlier run")
    runner = Runner(root, build, args.jobs, args.ctest_exclude, args.test_timeout)
    runner.configure()

    meta = {"seed": args.seed, "count": args.count, "paths": args.paths,
            "sites": total, "ctest_exclude": args.ctest_exclude,
            "started": time.strftime("%Y-%m-%d %H:%M:%S")}
    if args.mutants:
        meta["rerun_of"] = args.mutants

    # The unmutated tree must build and pass, or no mutant says anything.
    ok, seconds, error = runner.compile()
    if not ok:
        raise SystemExit("the unmutated tree does not build: " + error)
    passed, failing, seconds = runner.test()
    if not passed:
        raise SystemExit("the unmutated tree fails tests: " + ", ".join(failing))
    runner.suite_limit = max(float(args.test_timeout), 3 * seconds)
    print(f"unmutated suite passes in {seconds:.0f} s; {len(chosen)} mutants", flush=True)
    meta["baseline_test_seconds"] = round(seconds, 1)

    results = []
    if args.resume and args.out and Path(args.out).exists():
        earlier = json.loads(Path(args.out).read_text(encoding="utf-8"))
        results = [Result(**entry) for entry in earlier["mutants"]]
        meta["started"] = earlier.get("started", meta["started"])
        done = {(r.file, r.line, r.column, r.operator, r.mutated) for r in results}
        chosen = [s for s in chosen if s.key() not in done]
        print(f"resuming: {len(results)} done, {len(chosen)} to run", flush=True)
    first = len(results)
    interrupted = False
    try:
        for index, site in enumerate(chosen, start=first + 1):
            result = Result(site.file, site.line, site.column, site.operator,
                            site.original, site.mutated)
            mutator.apply(site.file, site.line, site.mutated)
            try:
                ok, result.build_seconds, error = runner.compile()
                if not ok:
                    result.outcome, result.note = "build-error", error[:300]
                else:
                    passed, result.failing_tests, result.test_seconds = runner.test()
                    result.outcome = "survived" if passed else "killed"
            finally:
                mutator.restore()
            result.build_seconds = round(result.build_seconds, 1)
            result.test_seconds = round(result.test_seconds, 1)
            results.append(result)
            write_json(args.out, meta, results)
            print(f"[{index}/{first + len(chosen)}] {result.outcome:11} "
                  f"{site.file}:{site.line} [{site.operator}] "
                  f"({result.build_seconds + result.test_seconds:.0f} s)"
                  + (" " + ", ".join(result.failing_tests) if result.failing_tests else ""),
                  flush=True)
    except KeyboardInterrupt:
        interrupted = True
        print("interrupted; the file is restored", flush=True)
    finally:
        mutator.restore()
        # Leave the build folder matching the restored sources.
        runner.compile()

    meta["finished"] = time.strftime("%Y-%m-%d %H:%M:%S")
    meta["interrupted"] = interrupted
    write_json(args.out, meta, results)
    print()
    print(summary(results, first + len(chosen) - len(results)))
    return 130 if interrupted else 0


if __name__ == "__main__":
    sys.exit(main())
