#!/usr/bin/env python3
"""Mutation testing: plants each fault of a table in a scratch copy of the
tree, rebuilds it incrementally and runs the tests that should notice.

Usage: scripts/mutants.sh [--list] [--table FILE] [--timeout SECONDS]
                          [--jobs N] [--work DIR] [PATTERN...]

A PATTERN (shell wildcards) selects the rows whose id or file matches it;
without one every row runs. The table (tests/mutants.tsv) has one mutation
per line, columns separated by tabs:

    id  file  text  replacement  labels  [comment]

`text` must occur exactly once in `file`; `text` and `replacement` may
write a tab, a line break and a backslash as \\t, \\n and \\\\. `labels` are the
ctest labels whose tests should kill the mutation, separated by commas; a
label written -name excludes the tests that carry it.

A label written win64:name (or -win64:name) means the tests labelled name
of a second scratch build: the tree cross-built for 64-bit Windows with
MinGW-w64 (as scripts/build-windows.sh does) in WORK/win64, its tests run
under Wine in the build's own Wine session (scripts/wine-session.sh, the
ctest fixture "wine"). Only the builds a row names are rebuilt and tested,
the Linux one first; the first that kills the row ends it. Its real-window
test compares Project1.exe's canvas with screenshots of the unmutated Linux
build, which the run takes once at the start (WORK/linux-reference).

Each row ends as killed (a test failed), timeout (the tests ran past the
limit; counted as killed), survived (every test passed), killed-build (it
does not compile: a bad row) or broken (the text is not found exactly once,
or the row is malformed: a bad row). The score is killed / valid rows, valid
being the rows that built. The exit status is 0 when every valid row was
killed and no row is bad, 1 otherwise, 2 when the run could not start (the
unmutated tree does not build or its tests fail).
"""

import argparse
import fcntl
import fnmatch
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


@dataclass
class Row:
    line: int
    id: str
    file: str = ""
    text: str = ""
    replacement: str = ""
    include: list = field(default_factory=list)
    exclude: list = field(default_factory=list)
    comment: str = ""
    problem: str = ""

    @property
    def labels(self):
        return ",".join([named(*l) for l in self.include] + ["-" + named(*l) for l in self.exclude])

    @property
    def builds(self):
        """The builds the row names, the Linux one first."""
        return [b for b in BUILDS if any(l[0] == b for l in self.include)]

    def key(self, build):
        """The row's labels in one build: (included, excluded)."""
        return (tuple(l for b, l in self.include if b == build),
                tuple(l for b, l in self.exclude if b == build))


# The scratch builds a label may name: "linux" (no prefix) and "win64".
BUILDS = ("linux", "win64")


def named(build, label):
    return label if build == "linux" else f"{build}:{label}"


def parse_label(text):
    build, _, label = text.rpartition(":")
    return (build or "linux", label)


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"t": "\t", "n": "\n"}.get(m.group(1), m.group(1)), text)


def read_table(path):
    rows = []
    seen = set()
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        columns = raw.split("\t")
        row = Row(line=number, id=columns[0].strip())
        rows.append(row)
        if len(columns) < 5:
            row.problem = f"{len(columns)} columns, at least 5 wanted"
            continue
        row.file = columns[1].strip()
        row.text = unescape(columns[2])
        row.replacement = unescape(columns[3])
        for label in filter(None, (part.strip() for part in columns[4].split(","))):
            (row.exclude if label.startswith("-") else row.include).append(parse_label(label.lstrip("-")))
        unknown = sorted({b for b, _ in row.include + row.exclude if b not in BUILDS})
        row.comment = "\t".join(columns[5:]).strip()
        if row.id in seen:
            row.problem = "id used before"
        elif unknown:
            row.problem = f"unknown build {', '.join(unknown)} (known: {', '.join(BUILDS[1:])})"
        elif not row.include:
            row.problem = "no label to run"
        elif not row.text or row.text == row.replacement:
            row.problem = "empty text, or the replacement changes nothing"
        else:
            row.problem = check_text(row)
        seen.add(row.id)
    return rows


def check_text(row):
    path = ROOT / row.file
    if not path.is_file():
        return f"no file {row.file}"
    count = path.read_text(encoding="utf-8").count(row.text)
    return "" if count == 1 else f"text found {count} times in {row.file}"


def label_options(include, exclude):
    options = ["-L", "^(" + "|".join(map(re.escape, include)) + ")$"]
    if exclude:
        options += ["-LE", "^(" + "|".join(map(re.escape, exclude)) + ")$"]
    return options


class Scratch:
    """The scratch copy of the tree and its persistent build."""

    def __init__(self, work, jobs):
        self.work = work
        self.tree = work / "tree"
        self.build = {"linux": work / "build", "win64": work / "win64"}
        self.reference = work / "linux-reference"
        self.logs = work / "logs"
        self.jobs = jobs
        # Whatever a build made is no newer than this; a source written after
        # it must carry a later time, or the build would keep stale objects.
        self.built_ns = 0

    def write(self, path, data):
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
        # On a file system with coarse times, wait until the time moves on.
        while path.stat().st_mtime_ns <= self.built_ns:
            time.sleep(0.05)
            os.utime(path)

    def sync(self):
        """Makes the scratch tree the working tree's files (tracked and new,
        not ignored), rewriting only those that differ."""
        listed = subprocess.run(
            ["git", "-C", str(ROOT), "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
            check=True, capture_output=True).stdout.decode().split("\0")
        wanted = set()
        for name in filter(None, listed):
            source = ROOT / name
            if not source.is_file() or source.is_symlink():
                continue
            wanted.add(name)
            target = self.tree / name
            data = source.read_bytes()
            if not target.is_file() or target.read_bytes() != data:
                self.write(target, data)
                shutil.copymode(source, target)
        for target in [p for p in self.tree.rglob("*") if p.is_file()]:
            if target.relative_to(self.tree).as_posix() not in wanted:
                target.unlink()

    def run(self, command, log, limit=None):
        """Runs command in its own process group, output to log. Returns the
        exit status, or None when it ran past limit seconds (then the whole
        group is killed)."""
        self.logs.mkdir(parents=True, exist_ok=True)
        with open(log, "wb") as out:
            process = subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT,
                                       start_new_session=True)
            try:
                return process.wait(timeout=limit)
            except subprocess.TimeoutExpired:
                return None
            finally:
                if process.poll() is None:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()

    def configure(self, build):
        options = ["-DCMAKE_BUILD_TYPE=Release", "-DVANTREL_BUILD_BENCH=OFF", "-DVANTREL_WERROR=OFF"]
        if build == "linux":
            options.append("-DVANTREL_SANITIZE=OFF")
        else:
            # As scripts/build-windows.sh configures it, the Linux side of the
            # real-window comparison being the unmutated reference.
            options += ["--toolchain", str(self.tree / "cmake/toolchains/x86_64-w64-mingw32.cmake"),
                        f"-DVANTREL_LINUX_BUILD_DIR={self.reference}"]
        return self.run(["cmake", "-S", str(self.tree), "-B", str(self.build[build])] + options,
                        self.logs / f"configure-{build}.log")

    def compile(self, build, log):
        status = self.run(["cmake", "--build", str(self.build[build]), "-j", str(self.jobs)], log)
        self.built_ns = time.time_ns()
        return status

    def test(self, build, include, exclude, log, limit):
        status = self.run(["ctest", "--test-dir", str(self.build[build]), "-j", str(self.jobs),
                           "--no-tests=error", "--output-on-failure"]
                          + label_options(include, exclude), log, limit)
        if status is None and build == "win64":
            # Cut short, the fixture's cleanup did not run: the session's X
            # server and wineserver would outlive the row.
            self.stop_wine()
        return status

    def stop_wine(self):
        self.run(["bash", str(self.tree / "scripts/wine-session.sh"), "stop",
                  str(self.build["win64"] / "wineprefix")], self.logs / "wine-stop.log", 60)

    def take_reference(self):
        """Runs the unmutated Linux real-window test and keeps what the
        Windows one compares with: its screenshots and its checker."""
        log = self.logs / "linux-reference.log"
        status = self.run(["ctest", "--test-dir", str(self.build["linux"]), "-R", r"^window\.real$",
                           "--no-tests=error", "--output-on-failure"], log)
        if status != 0:
            return False
        shutil.rmtree(self.reference, ignore_errors=True)
        shots = self.reference / "tests/window/real_window"
        shots.mkdir(parents=True)
        for shot in (self.build["linux"] / "tests/window/real_window").glob("canvas-*.png"):
            shutil.copy2(shot, shots)
        (self.reference / "bin").mkdir()
        shutil.copy2(self.build["linux"] / "bin/windowcheck", self.reference / "bin")
        return True


def failed_tests(log):
    """The tests ctest lists as failed in log."""
    text = log.read_text(errors="replace")
    tail = text.split("The following tests FAILED:", 1)
    return re.findall(r"^\s*\d+ - (.*?)\s+\([^()]*\)\s*$", tail[1], re.M) if len(tail) == 2 else []


def tail(log, lines=30):
    return "\n".join(log.read_text(errors="replace").splitlines()[-lines:])


def main():
    parser = argparse.ArgumentParser(
        description=__doc__.split("\n\n")[0],
        usage="scripts/mutants.sh [--list] [--table FILE] [--timeout SECONDS] "
              "[--jobs N] [--work DIR] [PATTERN...]")
    parser.add_argument("patterns", nargs="*", metavar="PATTERN",
                        help="run only the rows whose id or file matches (shell wildcards)")
    parser.add_argument("--list", action="store_true", help="list the rows and whether each is sound")
    parser.add_argument("--table", type=Path, default=ROOT / "tests" / "mutants.tsv")
    parser.add_argument("--timeout", type=float,
                        help="seconds the tests of one row may take (default: ten times "
                             "the unmutated run of the same labels, at least 20)")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs (default 2)")
    parser.add_argument("--work", type=Path, default=ROOT / "build" / "mutants",
                        help="scratch tree, build and logs (default build/mutants)")
    args = parser.parse_args()

    rows = read_table(args.table)
    selected = [r for r in rows if not args.patterns or any(
        fnmatch.fnmatchcase(r.id, p) or fnmatch.fnmatchcase(r.file, p) for p in args.patterns)]
    if not selected:
        print("mutants: no row matches", file=sys.stderr)
        return 2

    if args.list:
        width = max(len(r.id) for r in selected)
        for r in selected:
            state = f"BROKEN ({r.problem})" if r.problem else r.labels
            print(f"{r.id:<{width}}  {r.file:<26}  {state:<16}  {r.comment}")
        return 1 if any(r.problem for r in selected) else 0

    args.work.mkdir(parents=True, exist_ok=True)
    lock = open(args.work / "lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        print(f"mutants: another run is using {args.work}", file=sys.stderr)
        return 2

    scratch = Scratch(args.work.resolve(), args.jobs)
    started = time.monotonic()
    print(f"mutants: {len(selected)} of {len(rows)} rows from {os.path.relpath(args.table, ROOT)}; "
          f"scratch tree and build in {args.work}")
    scratch.sync()
    valid = [r for r in selected if not r.problem]
    # The Linux build always: the Windows one compares with its screenshots.
    builds = [b for b in BUILDS if b == "linux" or any(b in r.builds for r in valid)]
    for build in builds:
        if scratch.configure(build) != 0 or \
                scratch.compile(build, scratch.logs / f"baseline-build-{build}.log") != 0:
            print(f"mutants: the unmutated tree does not build ({build}); see {scratch.logs}",
                  file=sys.stderr)
            return 2
        if build == "win64" and not scratch.take_reference():
            print("mutants: the unmutated Linux real-window test fails; see "
                  + str(scratch.logs / "linux-reference.log"), file=sys.stderr)
            return 2

    # The unmutated tests of every label set must pass, and their time sets
    # the limit for the rows that use the same labels.
    limits = {}
    for r in valid:
        for build in r.builds:
            key = (build,) + r.key(build)
            if key in limits:
                continue
            labels = ",".join([named(build, l) for l in key[1]] + ["-" + named(build, l) for l in key[2]])
            log = scratch.logs / f"baseline-{labels.replace(',', '_').replace(':', '-')}.log"
            begun = time.monotonic()
            if scratch.test(*key, log, None) != 0:
                print(f"mutants: the unmutated tests labelled {labels} fail:\n{tail(log)}", file=sys.stderr)
                return 2
            took = time.monotonic() - begun
            limits[key] = args.timeout or max(20.0, 10 * took)
            print(f"baseline: {labels} passes in {took:.1f} s; limit per row {limits[key]:.0f} s")

    fates = {}
    width = max(len(r.id) for r in selected)
    for number, r in enumerate(selected, 1):
        begun = time.monotonic()
        detail = ""
        if r.problem:
            fate, detail = "broken", r.problem
        else:
            path = scratch.tree / r.file
            original = path.read_bytes()
            try:
                scratch.write(path, original.decode().replace(r.text, r.replacement).encode())
                fate, detail = "survived", r.comment
                for build in r.builds:
                    suffix = "" if build == "linux" else f".{build}"
                    build_log = scratch.logs / f"{r.id}.build{suffix}.log"
                    test_log = scratch.logs / f"{r.id}.test{suffix}.log"
                    if scratch.compile(build, build_log) != 0:
                        fate = "killed-build"
                        errors = [l for l in build_log.read_text(errors="replace").splitlines()
                                  if "error:" in l or "error " in l]
                        detail = errors[0].strip() if errors else str(build_log)
                        break
                    key = (build,) + r.key(build)
                    status = scratch.test(*key, test_log, limits[key])
                    if status is None:
                        fate, detail = "timeout", build
                        break
                    if status != 0:
                        fate = "killed"
                        # Parameterised names can be long: their start says enough.
                        names = [n if len(n) <= 70 else n[:67] + "..." for n in failed_tests(test_log)]
                        detail = ", ".join(names[:3]) + (f" and {len(names) - 3} more" if len(names) > 3 else "")
                        break
            finally:
                scratch.write(path, original)
            if path.read_bytes() != original:
                print(f"mutants: could not restore {path}", file=sys.stderr)
                return 2
        fates[r.id] = fate
        print(f"[{number:>{len(str(len(selected)))}}/{len(selected)}] {r.id:<{width}}  {fate:<12} "
              f"{time.monotonic() - begun:6.1f} s  {detail}", flush=True)

    counts = {f: sum(1 for v in fates.values() if v == f)
              for f in ("killed", "timeout", "survived", "killed-build", "broken")}
    killed = counts["killed"] + counts["timeout"]
    scored = killed + counts["survived"]
    minutes = (time.monotonic() - started) / 60
    print("summary: " + ", ".join(f"{n} {f}" for f, n in counts.items()) + f" ({minutes:.1f} min)")
    if scored:
        print(f"score: {killed}/{scored} valid rows killed ({100 * killed / scored:.1f}%)")
    for f in ("survived", "killed-build", "broken"):
        ids = [i for i, v in fates.items() if v == f]
        if ids:
            print(f"{f}: {' '.join(ids)}")
    return 0 if killed == scored and not counts["killed-build"] and not counts["broken"] else 1


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(130)
