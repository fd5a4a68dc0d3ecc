"""The power-cut test: records the real program's file operations through one scripted run,
builds every state of its data folder that POSIX allows after a power cut at each operation,
starts the program on each and checks that no connection was lost or counted twice.

  powercut.py [--short] [--keep] [--jobs N] --program PATH --history PATH

--short (CI) tries at each cut the states everything kept, only the durable and the unsynced
extensions as NULs; the long form adds each unsynced operation dropped alone."""

import argparse
import shutil
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

from . import model
from .checks import DOUBLED, LOST, UNREADABLE, CutFacts, check
from .oracle import Oracle
from .restart import restart
from .sandbox import Sandbox
from .scenario import Scenario, ScenarioError
from .trace import record


def arguments():
    p = argparse.ArgumentParser(prog="powercut")
    p.add_argument("--short", action="store_true", help="the CI subset of states")
    p.add_argument("--keep", action="store_true", help="keep the failing states' folders")
    p.add_argument("--jobs", type=int, default=2)
    p.add_argument("--program", required=True)
    p.add_argument("--history", required=True)
    return p.parse_args()


def recorded(root, program):
    box = Sandbox(root / "recorded", program)
    scenario = Scenario(box)
    scenario.prepare()
    traces = scenario.run()
    snapshot = {p.name: p.read_bytes() for p in scenario.snapshot.iterdir() if p.is_file()}
    return snapshot, record(box.home, scenario.snapshot, traces)


def cut_states(oracle, short):
    """Every (cut, variant) with its folder's digest; the folders themselves, once each."""
    ops, cases, folders = oracle.ops, [], {}
    for cut in range(len(ops)):
        facts = CutFacts(oracle, cut)
        for variant in model.variants(ops, cut, short):
            folder = model.replay(oracle.snapshot, ops, cut, variant.dropped, variant.zeroed)
            key = model.digest(folder)
            folders.setdefault(key, folder)
            cases.append((facts, variant, key))
    return cases, folders


def main():
    args = arguments()
    began = time.monotonic()
    root = Path(tempfile.mkdtemp(prefix="pelmora-powercut-"))
    print(f"powercut: {'short' if args.short else 'long'} form, {args.program}\n"
          f"          data in {root}", flush=True)
    try:
        snapshot, ops = recorded(root, args.program)
    except ScenarioError as e:
        print(f"powercut: {e}\n0 passed, 1 failed")
        return 1
    oracle = Oracle(snapshot, ops)
    for c in oracle.connections:
        print(f"powercut: {c.label}: connect #{c.connect_op}, disconnect "
              f"{'#' + str(c.disconnect_op) if c.disconnect_op is not None else 'restored'}, "
              f"settled at #{c.settled_op}")
    cases, folders = cut_states(oracle, args.short)
    print(f"powercut: {len(ops)} operations recorded in {time.monotonic() - began:.0f} s; "
          f"{len(cases)} cut states, {len(folders)} different", flush=True)

    keep_root = root / "states"
    keep_root.mkdir()
    with ThreadPoolExecutor(args.jobs) as pool:
        outcomes = dict(zip(folders, pool.map(
            lambda key: restart(folders[key], args.program, args.history, keep_root), folders)))

    failures = {}  # digest -> [(facts, variant, findings)]
    for facts, variant, key in cases:
        findings = check(facts, folders[key], outcomes[key])
        if findings:
            failures.setdefault(key, []).append((facts, variant, findings))
    for key, seen in failures.items():
        facts, variant, findings = seen[0]
        op = model.describe(ops[facts.cut], facts.cut)
        dropped = f" ({variant.note})" if variant.note else ""
        also = f"; the same state at {len(seen) - 1} other cut(s)" if len(seen) > 1 else ""
        print(f"FAILED cut after {op} [{variant.kind}{dropped}]{also}; "
              f"kept in {outcomes[key].folder}")
        for f in findings:
            print(f"    {f.category}: {f.text}")

    def with_category(category):
        return sum(1 for seen in failures.values()
                   if any(f.category == category for _, _, fs in seen for f in fs))

    for key, out in outcomes.items():
        if key not in failures or not args.keep:
            shutil.rmtree(out.folder, ignore_errors=True)
    passed, failed = len(folders) - len(failures), len(failures)
    print(f"powercut: {time.monotonic() - began:.0f} s")
    print(f"power cut: {len(ops)} cut points, {len(folders)} states, {with_category(DOUBLED)} "
          f"doubled, {with_category(LOST)} lost, {with_category(UNREADABLE)} unreadable")
    if failed == 0 or not args.keep:
        shutil.rmtree(root, ignore_errors=True)
    else:
        print(f"powercut: the failing states are kept in {keep_root}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
