"""One cut state brought back to life: copied into a fresh data folder, the program started on
it with the link down and every question answered by its default button, ended by SIGTERM once
its start-up is over. What it left is collected for the checks."""

import csv
import io
import os
import subprocess
import tempfile
from dataclasses import dataclass, field
from pathlib import Path

from . import store
from .sandbox import ACCOUNT_QUESTION, CRASH_QUESTION, CRASH_QUESTION_TEXT, Sandbox, wait_until


@dataclass
class Outcome:
    problems: list = field(default_factory=list)   # the run itself went wrong
    questions: int = 0                             # crash questions asked
    boxes: list = field(default_factory=list)      # every other box
    after: dict = None                             # the store's figures after the start
    integrity: str = ""
    account_log: str = None
    left: list = field(default_factory=list)       # crash and temporary files left
    history_code: int = 0
    history_rows: list = field(default_factory=list)
    history_errors: str = ""
    folder: Path = None


def account_token(data):
    words = data.decode("utf-8", "replace").split()
    return words[0] if words else ""


def history(program, home):
    done = subprocess.run([program], env={**os.environ, "PELMORA_HOME": str(home)},
                          capture_output=True, timeout=60)
    rows = list(csv.DictReader(io.StringIO(done.stdout.decode("utf-8", "replace"))))
    return done.returncode, rows, done.stderr.decode("utf-8", "replace").strip()


def restart(state, program, history_program, keep_root=None):
    root = Path(tempfile.mkdtemp(prefix="pelmora-powercut-", dir=keep_root))
    box = Sandbox(root, program)
    # The state as the cut left it stays beside the folder the program changed.
    for folder in (root / "cut", box.home):
        folder.mkdir(exist_ok=True)
        for name, data in state.items():
            (folder / name).write_bytes(data)
            (folder / name).chmod(0o600)
    box.set_link(False)
    out = Outcome(folder=root)

    run = box.start(answers="")
    if not wait_until(lambda: box.started() or run.process.poll() is not None, 30, 0.01):
        out.problems.append("the start-up did not complete within 30 s")
    elif not box.started():
        out.problems.append(f"the program ended by itself with code {run.process.poll()}")
    code = run.end()
    if code not in (0, None) and not out.problems:
        out.problems.append(f"SIGTERM ended the program with code {code}")

    for line in run.boxes():
        if line.startswith(CRASH_QUESTION) and CRASH_QUESTION_TEXT in line:
            out.questions += 1
        else:
            out.boxes.append(line)
    if any(ACCOUNT_QUESTION in b for b in out.boxes):
        out.problems.append("the account question came")

    database = box.home / "registry.db"
    try:
        out.after = store.figures(database)
        out.integrity = store.integrity(database)
    except store.StoreUnreadable as e:
        out.integrity = f"unreadable: {e}"
    account = box.home / "Account.LOG"
    out.account_log = account_token(account.read_bytes()) if account.exists() else None
    out.left = sorted(p.name for p in box.home.iterdir()
                      if p.name in ("Duration.tmp", "Waiting.tmp") or p.name.endswith(".new"))
    out.history_code, out.history_rows, out.history_errors = history(history_program, box.home)
    return out
