"""The real program in a sandbox of its own: offscreen Qt, a private data folder, a fake sysfs
tree with one PPP link, scripted message boxes. The environment is the one
tests/support/ProgramProcess.cpp (offscreenEnvironment) gives the end-to-end tests."""

import os
from signal import SIGTERM
import stat
import subprocess
import time
from pathlib import Path

# Files of a running instance, not data: its lock, the lock's gate and the request pipe.
INSTANCE_FILES = {"pelmora.lock", "pelmora.lock.check", "pelmora.requests"}
# What SQLite rebuilds from the database and its WAL on the first open after a reboot.
REBUILT_FILES = {"registry.db-shm"}

CRASH_QUESTION = "Аварийное восстановление... | "
CRASH_QUESTION_TEXT = "программа запомнила длительность"
ACCOUNT_QUESTION = "Ассинхронизация..."


def wait_until(predicate, timeout, step=0.02):
    """Polls until predicate() is true; False after the timeout."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(step)
    return bool(predicate())


class Sandbox:
    def __init__(self, root, program):
        self.root = Path(root)
        self.program = str(program)
        self.home = self.root / "home"
        self.sysfs = self.root / "sys"
        self.home.mkdir(parents=True, exist_ok=True)
        (self.sysfs / "class" / "net").mkdir(parents=True, exist_ok=True)
        runtime = self.root / "runtime"
        runtime.mkdir(exist_ok=True)
        runtime.chmod(0o700)
        self.runs = 0

    def environment(self, answers):
        env = dict(os.environ)
        env.update({
            "QT_QPA_PLATFORM": "offscreen",
            "LC_ALL": "C.UTF-8",
            "PELMORA_HOME": str(self.home),
            "PELMORA_SYSFS": str(self.sysfs),
            "XDG_CONFIG_HOME": str(self.root / "config"),
            "XDG_RUNTIME_DIR": str(self.root / "runtime"),
            # Set, even empty: no real box is shown; an unscripted one takes its default button.
            "PELMORA_ANSWERS": answers,
        })
        return env

    def set_link(self, up):
        link = self.sysfs / "class" / "net" / "ppp0"
        link.mkdir(parents=True, exist_ok=True)
        (link / "type").write_text("512\n")
        (link / "flags").write_text("0x10d1\n" if up else "0x1090\n")

    def start(self, answers="", wrapper=()):
        """Starts the program (under `wrapper`, e.g. strace); standard error goes to a file."""
        self.runs += 1
        err = self.root / f"run-{self.runs}.stderr"
        with open(err, "wb") as stream:
            process = subprocess.Popen([*wrapper, self.program], env=self.environment(answers),
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                       stderr=stream)
        return Run(process, err, traced=bool(wrapper))

    def file(self, name):
        return self.home / name

    def text(self, name):
        try:
            return self.file(name).read_bytes().decode("utf-8", "replace")
        except FileNotFoundError:
            return ""

    def started(self):
        """The request pipe is made once the start-up sequence is over and the loop begins."""
        try:
            return stat.S_ISFIFO(os.lstat(self.file("pelmora.requests")).st_mode)
        except FileNotFoundError:
            return False


class Run:
    """One run of the program, possibly under a tracer whose child is the program itself."""

    def __init__(self, process, stderr_file, traced):
        self.process = process
        self.stderr_file = stderr_file
        self.traced = traced

    def program_pid(self):
        if not self.traced:
            return self.process.pid
        # The tracer's one child is the program.
        for task in Path(f"/proc/{self.process.pid}/task").iterdir():
            children = (task / "children").read_text().split()
            if children:
                return int(children[0])
        return None

    def signal(self, signo):
        pid = self.program_pid()
        if pid is not None:
            try:
                os.kill(pid, signo)
            except ProcessLookupError:
                pass

    def wait(self, timeout):
        """The exit code (negative: the signal), None when still running after the timeout."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def end(self, signo=SIGTERM, timeout=15):
        self.signal(signo)
        code = self.wait(timeout)
        if code is None:
            self.process.kill()
            self.process.wait()
        return code

    def stderr(self):
        try:
            return self.stderr_file.read_bytes().decode("utf-8", "replace")
        except FileNotFoundError:
            return ""

    def boxes(self):
        """The scripted message boxes' lines, "title | text"."""
        return [line.rstrip("\r") for line in self.stderr().splitlines() if " | " in line]
