"""The recorded run: the real program under strace through every kind of settlement it does.

  run 1: a connection metered past its first crash-file write, then a disconnect;
         with the store held by another process, a connection whose settlement waits
         (its crash file becomes Waiting.tmp) and a second one meanwhile; the store is
         released and both settle back to back;
         with the store held again, the same two connections, then SIGKILL.
  run 2: a start with the link down: Waiting.tmp, then Duration.tmp are recovered.

The data folder is copied just before run 1: the model replays the traced operations on it."""

import shutil
import signal
import subprocess
import time

from .sandbox import INSTANCE_FILES, REBUILT_FILES, wait_until

TRACED_CALLS = ("openat,open,creat,write,pwrite64,writev,pwritev,lseek,fsync,fdatasync,rename,"
                "renameat,renameat2,unlink,unlinkat,ftruncate,truncate,close,mkdir,sync,syncfs")

PROGRAM_KEY = "Software\\Kedrun\\Pelmora"


class ScenarioError(RuntimeError):
    pass


def strace(output):
    return ("strace", "-f", "-y", "-s", "65536", "-xx", "-o", str(output), "-e",
            "trace=" + TRACED_CALLS)


def sql(database, statement):
    return subprocess.run(["sqlite3", "-cmd", ".timeout 5000", str(database), statement],
                          check=True, capture_output=True, text=True).stdout


class StoreHolder:
    """Another process holding the store's write lock (sqlite3 inside BEGIN IMMEDIATE). It is
    released by SIGKILL: a closing sqlite3 could checkpoint the WAL behind the tracer's back."""

    def __init__(self, database):
        self.process = subprocess.Popen(["sqlite3", str(database)], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        self.process.stdin.write(".timeout 5000\nBEGIN IMMEDIATE;\nUPDATE keys SET path = path;\n"
                                 "SELECT 'held';\n")
        self.process.stdin.flush()
        if self.process.stdout.readline().strip() != "held":
            raise ScenarioError("the store could not be held")

    def release(self):
        self.process.kill()
        self.process.wait()


class Scenario:
    def __init__(self, sandbox, log=print):
        self.box = sandbox
        self.say = log
        self.snapshot = sandbox.root / "snapshot"
        self.traces = []

    def count(self, text):
        return self.box.text("Internet.LOG").count(text)

    def expect(self, what, predicate, timeout=15):
        if not wait_until(predicate, timeout):
            raise ScenarioError(f"the recorded run: {what} did not happen within {timeout} s")

    def prepare(self):
        """A first run writes the defaults; every connection then costs from its first second."""
        self.box.set_link(False)
        first = self.box.start()
        self.expect("the first start", self.box.started)
        if first.end() != 0:
            raise ScenarioError("the first run did not end on SIGTERM")
        sql(self.box.file("registry.db"),
            f"UPDATE entries SET data = 0 WHERE key = '{PROGRAM_KEY}' AND name IN ('Zero', 'Trunc')")
        shutil.copytree(self.box.home, self.snapshot,
                        ignore=shutil.ignore_patterns(*INSTANCE_FILES, *REBUILT_FILES))

    def traced_start(self, answers=""):
        trace = self.box.root / f"trace-{len(self.traces) + 1}.txt"
        self.traces.append(trace)
        return self.box.start(answers, wrapper=strace(trace))

    def connection(self, seconds):
        """Link up until the connect line, `seconds` on, link down until the disconnect line."""
        connects, disconnects = self.count(" - Connected"), self.count(" - DisConnected")
        self.box.set_link(True)
        self.expect("a connect line", lambda: self.count(" - Connected") > connects)
        time.sleep(seconds)
        self.box.set_link(False)
        self.expect("a disconnect line", lambda: self.count(" - DisConnected") > disconnects)
        time.sleep(1.2)  # the next connect line falls in another second

    def waiting_pair(self):
        """While the store is held: one connection ends, the next begins and is protected."""
        self.connection(1.5)
        self.box.set_link(True)
        self.expect("Waiting.tmp", lambda: self.box.file("Waiting.tmp").exists())
        duration = self.box.file("Duration.tmp")
        self.expect("the second connection's Duration.tmp", duration.exists)
        time.sleep(0.5)

    def run(self):
        settled = self.count(" + [")
        program = self.traced_start()
        self.expect("the traced start", self.box.started, 30)

        self.say("powercut: recording a metered connection")
        self.connection(7)  # the crash file is written at 5 s, then settled
        self.expect("its summary line", lambda: self.count(" + [") == settled + 1)

        self.say("powercut: recording two connections while the store is held")
        holder = StoreHolder(self.box.file("registry.db"))
        self.waiting_pair()
        self.box.set_link(False)
        self.expect("the second disconnect line", lambda: self.count(" - DisConnected") == 3)
        holder.release()
        self.expect("both summary lines", lambda: self.count(" + [") == settled + 3)
        time.sleep(1.2)

        self.say("powercut: recording a kill while a settlement waits")
        holder = StoreHolder(self.box.file("registry.db"))
        self.waiting_pair()
        program.end(signal.SIGKILL)
        holder.release()

        self.say("powercut: recording the start that recovers both")
        self.box.file("pelmora.requests").unlink(missing_ok=True)
        recovery = self.traced_start("yes,yes")
        self.expect("the recovering start", self.box.started, 30)
        self.expect("the recovered summary lines", lambda: self.count(" + [") == settled + 5)
        questions = [b for b in recovery.boxes() if "запомнила длительность" in b]
        if recovery.end() != 0:
            raise ScenarioError("the recovering run did not end on SIGTERM")
        if len(questions) != 2:
            raise ScenarioError(f"the recovering start asked {len(questions)} crash questions")
        return self.traces
