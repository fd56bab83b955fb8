#!/usr/bin/env python3
# Mutation run: plants each small fault of mutations.txt in the module's code,
# rebuilds, runs the test suite and counts the faults it catches. It measures how
# much the suite guards, so trimming the tests can be checked against it.
#
#   bench/mutation/run_mutations.py [--build DIR] [--only N,M] [--timeout S]
#
# The tests that run module code are run, the fast ones first, stopping at the
# first failure; the slow ones (the sweep, the windowed backend) last. Every
# file is restored after its mutation, also on Ctrl-C or a kill. A fault the
# tests miss may be a gap in the tests, or a change no behaviour shows: read it.
import argparse
import os
import pathlib
import signal
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]


def read_mutations(path):
    """Blocks of 'file:', 'what:', 'find:', 'into:' lines, separated by blank lines.
    In find/into a literal \\n stands for a line break."""
    mutations, block = [], {}
    for line in list(path.read_text(encoding="utf-8").splitlines()) + [""]:
        if line.startswith("#"):
            continue
        if not line.strip():
            if block:
                missing = {"file", "what", "find", "into"} - block.keys()
                if missing:
                    sys.exit(f"mutation {len(mutations) + 1}: missing {', '.join(sorted(missing))}")
                mutations.append(block)
                block = {}
            continue
        key, _, value = line.partition(":")
        value = value[1:] if value.startswith(" ") else value
        block[key.strip()] = value.replace("\\n", "\n") if key.strip() in ("find", "into") else value
    return mutations


# The child running now, so Ctrl-C or a kill can end it with its own children.
current = None


def run(cmd, cwd, timeout):
    global current
    current = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                               errors="replace", start_new_session=True)
    try:
        out, _ = current.communicate(timeout=timeout)
        return current.returncode, out
    except subprocess.TimeoutExpired:
        stop_child()
        return -1, f"timed out after {timeout} s"
    finally:
        current = None


def stop_child():
    if current is not None and current.poll() is None:
        os.killpg(current.pid, signal.SIGKILL)
        current.wait()


# Only the tests labelled "module" or "slow" run the module's code: its own
# tests, the scenarios (zdtcad loading it), the windowed backend's (which open
# its dialogs) and the sweep. The stand-ins' and the host's unit tests cannot
# catch a fault in the module and are not run.
MODULE_TARGETS = ["zdtmould", "module_tests", "winqt_tests", "host_scenarios", "catalogue_sweep"]
SELECTIONS = (["-L", "module", "-LE", "slow"], ["-L", "slow"])


def build(build_dir):
    return run(["cmake", "--build", str(build_dir), "-j2", "--target", *MODULE_TARGETS], ROOT, 1800)


def tests_pass(build_dir, per_test_timeout):
    """True when the selected tests pass; the fast ones first, stopping at the first failure."""
    for selection in SELECTIONS:
        rc, out = run(["ctest", "-j2", "--stop-on-failure", "--timeout", str(per_test_timeout),
                       "--output-on-failure", *selection], build_dir, 3600)
        if rc != 0:
            failed = [l.strip() for l in out.splitlines() if "***Failed" in l or "***Timeout" in l
                      or "(Failed)" in l or "(Timeout)" in l or "Exception" in l]
            return False, (failed[0] if failed else out.strip().splitlines()[-1] if out.strip() else "failed")
    return True, ""


def main():
    parser = argparse.ArgumentParser(description="Counts the planted module faults the tests catch.")
    parser.add_argument("--build", default=str(ROOT / "build"))
    parser.add_argument("--list", default=str(pathlib.Path(__file__).with_name("mutations.txt")))
    parser.add_argument("--only", help="comma-separated mutation numbers (1-based)")
    parser.add_argument("--timeout", type=int, default=120, help="per test, seconds")
    args = parser.parse_args()
    build_dir = pathlib.Path(args.build).resolve()
    mutations = read_mutations(pathlib.Path(args.list))
    chosen = range(1, len(mutations) + 1)
    if args.only:
        chosen = [int(n) for n in args.only.split(",")]

    # Every fragment is checked before anything is touched.
    unusable = []
    for n in chosen:
        m = mutations[n - 1]
        count = (ROOT / m["file"]).read_text(encoding="utf-8").count(m["find"])
        if count != 1:
            unusable.append((n, m, "not found" if count == 0 else f"found {count} times"))
    for n, m, why in unusable:
        print(f"{n:3}  NOT APPLIED ({why})  {m['file']}: {m['what']}", flush=True)

    rc, out = build(build_dir)
    if rc != 0:
        sys.exit("the unmutated tree does not build:\n" + out[-3000:])
    ok, why = tests_pass(build_dir, args.timeout)
    if not ok:
        sys.exit("the unmutated suite fails: " + why)

    results = []
    restore = {}

    def put_back(*_):
        for path, text in restore.items():
            path.write_text(text, encoding="utf-8")
        restore.clear()

    def interrupted(*_):
        stop_child()
        put_back()
        sys.exit(1)

    signal.signal(signal.SIGTERM, interrupted)
    started = time.time()
    try:
        for n in chosen:
            if any(u[0] == n for u in unusable):
                continue
            m = mutations[n - 1]
            path = ROOT / m["file"]
            original = path.read_text(encoding="utf-8")
            restore[path] = original
            path.write_text(original.replace(m["find"], m["into"], 1), encoding="utf-8")
            t0 = time.time()
            rc, _ = build(build_dir)
            if rc != 0:
                verdict, why = "NO BUILD", ""
            else:
                ok, why = tests_pass(build_dir, args.timeout)
                verdict = "missed" if ok else "caught"
            put_back()
            results.append((n, verdict, m, why))
            print(f"{n:3}  {verdict:8} {time.time() - t0:5.0f}s  {m['file']}: {m['what']}"
                  + (f"  [{why}]" if why else ""), flush=True)
    finally:
        stop_child()
        put_back()
    build(build_dir)  # leave the build matching the tree

    caught = sum(1 for r in results if r[1] == "caught")
    missed = [r for r in results if r[1] == "missed"]
    no_build = sum(1 for r in results if r[1] == "NO BUILD")
    print(f"\ncaught {caught} of {len(results)} applied mutations"
          f" ({len(missed)} missed, {no_build} did not build, {len(unusable)} not applied)"
          f" in {(time.time() - started) / 60:.0f} min")
    for n, _, m, _ in missed:
        print(f"  missed {n}: {m['file']}: {m['what']}")


if __name__ == "__main__":
    main()
