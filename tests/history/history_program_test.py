#!/usr/bin/env python3
"""pelmora-history run as scripts and status bars run it: the real program over a real store.

    history_program_test.py PATH-TO-pelmora-history
"""
import csv
import datetime
import fcntl
import hashlib
import io
import json
import os
import resource
import sqlite3
import stat
import subprocess
import sys
import tempfile
import time
import unittest

TOOL = None
PROGRAM_KEY = "Software\\Kedrun\\Pelmora"
ZONE = "UTC0"  # the stamps below are written in UTC, so the tool reads them in UTC too


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def run(home, *arguments, env=None, stdin=None, limit_bytes=None, timeout=20):
    environment = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "TZ": ZONE,
                   "PELMORA_HOME": home, "LC_ALL": "C.UTF-8"}
    environment.update(env or {})

    # AddressSanitizer reserves terabytes of address space at start, so under scripts/sanitize
    # (which sets ASAN_OPTIONS) the memory bound is left to the plain build.
    def limit():
        if limit_bytes and "ASAN_OPTIONS" not in os.environ:
            resource.setrlimit(resource.RLIMIT_AS, (limit_bytes, limit_bytes))

    started = time.monotonic()
    process = subprocess.Popen([TOOL, *arguments], env=environment, stdin=stdin or subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, preexec_fn=limit)
    out, err = process.communicate(timeout=timeout)
    return process.returncode, out.decode(), err.decode(), time.monotonic() - started


def make_store(path, wal=True):
    """The program's store as Pelmora leaves it: options, a currency, a week of tariffs."""
    db = sqlite3.connect(path)
    if wal:
        db.execute("PRAGMA journal_mode = WAL")
    db.executescript(
        "CREATE TABLE keys (path TEXT PRIMARY KEY COLLATE NOCASE);"
        "CREATE TABLE entries (key TEXT NOT NULL COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE,"
        " type TEXT NOT NULL CHECK (type IN ('REG_DWORD','REG_SZ')), data NOT NULL,"
        " PRIMARY KEY (key, name));")
    keys = ["Software", "Software\\Kedrun", PROGRAM_KEY, PROGRAM_KEY + "\\Tariffs"]
    keys += [PROGRAM_KEY + "\\Tariffs\\%d" % day for day in range(7)]
    db.executemany("INSERT INTO keys VALUES (?)", [(k,) for k in keys])
    values = [(PROGRAM_KEY, "SecondsPlus", "REG_DWORD", 0), (PROGRAM_KEY, "Zero", "REG_DWORD", 0),
              (PROGRAM_KEY, "CurrencyStatus", "REG_DWORD", 1),
              (PROGRAM_KEY, "Currency", "REG_SZ", "руб."), (PROGRAM_KEY, "CurrencySub", "REG_SZ", "коп.")]
    for day in range(7):  # 3600 an hour all day: one minor unit a second
        key = PROGRAM_KEY + "\\Tariffs\\%d" % day
        for zone, (ah, zh, price) in {"Max": (0, 0, 3600), "Mid": (0, 0, 3600), "Min": (0, 0, 3600)}.items():
            values += [(key, zone + "AH", "REG_DWORD", ah), (key, zone + "AM", "REG_DWORD", 0),
                       (key, zone + "ZH", "REG_DWORD", zh), (key, zone + "ZM", "REG_DWORD", 0),
                       (key, zone + "C", "REG_DWORD", price)]
    db.executemany("INSERT INTO entries VALUES (?, ?, ?, ?)", values)
    db.commit()
    db.close()


def kill_while_writing(path):
    """A writer killed with its last changes still in the -wal file."""
    writer = subprocess.Popen([sys.executable, "-c",
                               "import sqlite3, sys, time\n"
                               "db = sqlite3.connect(sys.argv[1])\n"
                               "db.execute(\"UPDATE entries SET data = 0 WHERE name = 'CurrencyStatus'\")\n"
                               "db.commit()\n"
                               "print('written', flush=True)\n"
                               "time.sleep(60)\n", path], stdout=subprocess.PIPE)
    writer.stdout.readline()
    writer.kill()
    writer.wait()
    writer.stdout.close()


class Instance:
    """What a running Pelmora holds: a shared flock on its lock file."""

    def __init__(self, home):
        for name in ("pelmora.lock", "pelmora.lock.check"):
            open(os.path.join(home, name), "a").close()
        self.fd = os.open(os.path.join(home, "pelmora.lock"), os.O_RDWR)
        fcntl.flock(self.fd, fcntl.LOCK_SH)

    def end(self):
        os.close(self.fd)


def snapshot(folder):
    """Every file of the folder with its bytes, SQLite's shared-memory index included."""
    return {name: digest(os.path.join(folder, name)) for name in sorted(os.listdir(folder))}


class StatusTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.home = self.scratch.name
        self.store = os.path.join(self.home, "registry.db")

    def tearDown(self):
        os.chmod(self.home, 0o700)
        self.scratch.cleanup()

    def connect_now(self):
        stamp = datetime.datetime.now(datetime.timezone.utc).strftime("%d.%m.%Y %H:%M:%S")
        with open(os.path.join(self.home, "Internet.LOG"), "wb") as log:
            log.write(stamp.encode() + b" - Connected")

    def test_live_status_leaves_every_store_as_it_was(self):
        make_store(self.store)
        kill_while_writing(self.store)  # the unit is now kopecks, in the -wal file only
        instance = Instance(self.home)
        self.connect_now()
        before = snapshot(self.home)

        code, out, err, _ = run(self.home, "--status")
        self.assertEqual((code, err), (0, ""))
        seconds = int(out.split()[0].split(":")[2])
        self.assertLessEqual(seconds, 2, out)  # from the connection's first second
        self.assertTrue(out.endswith(" коп.\n"), out)  # the change in the -wal file was read
        code, out, err, _ = run(self.home, "--status", "--json")
        status = json.loads(out)
        self.assertEqual((status["state"], status["class"]), ("connected", "connected"))
        self.assertIsInstance(status["cost"], (int, float))
        self.assertEqual(snapshot(self.home), before)

        # A WAL store nobody has open, in a folder the tool cannot write: no companion files.
        instance.end()
        os.remove(os.path.join(self.home, "registry.db-wal"))
        os.remove(os.path.join(self.home, "registry.db-shm"))
        make_store(os.path.join(self.home, "fresh.db"))
        os.replace(os.path.join(self.home, "fresh.db"), self.store)
        instance = Instance(self.home)
        before = snapshot(self.home)
        os.chmod(self.home, 0o500)
        code, out, err, _ = run(self.home, "--status")
        self.assertEqual((code, err), (0, ""))
        self.assertTrue(out.endswith(" руб.\n"), out)
        os.chmod(self.home, 0o700)
        self.assertEqual(snapshot(self.home), before)

        # Pelmora gone: nothing, at once, though the log still ends in the connect entry.
        instance.end()
        self.assertEqual(run(self.home, "--status")[:3], (0, "", ""))
        self.assertEqual(json.loads(run(self.home, "--status", "--json")[1])["state"], "off")

    def test_a_foreign_database_is_refused_untouched(self):
        db = sqlite3.connect(self.store)  # rollback journal, tables of its own
        db.execute("CREATE TABLE notes (text)")
        db.execute("INSERT INTO notes VALUES ('mine')")
        db.commit()
        db.close()
        instance = Instance(self.home)
        self.connect_now()
        before = snapshot(self.home)
        code, out, err, _ = run(self.home, "--status")
        self.assertEqual((code, out), (1, ""))
        self.assertIn("cannot read the settings", err)
        self.assertEqual(snapshot(self.home), before)
        instance.end()


class HistoryTest(unittest.TestCase):
    LOG = ("==================================\r\nPelmora connections log\r\n"
           "==================================\r\n"
           "30.11.2026 23:59:00 - Connected\r\n01.12.2026 00:01:00 - DisConnected\r\n"
           "         = 00:02:00 + [1,75c]\r\n\r\n"
           "01.12.2026 10:00:00 - Connected\r\n01.12.2026 10:00:30 - DisConnected\r\n"
           "         = 00:00:30 + [0,5c]\r\n\r\n"
           "02.12.2026 08:00:00 - Connected\r\n02.12.2026 08:00:00 - Canceled\r\n\r\n")

    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.home = self.scratch.name
        with open(os.path.join(self.home, "Internet.LOG"), "wb") as log:
            log.write(self.LOG.encode())

    def tearDown(self):
        self.scratch.cleanup()

    def test_russian_locale_output_reads_as_numbers(self):
        russian = {"LANG": "ru_RU.UTF-8", "LC_ALL": "ru_RU.UTF-8", "TZ": "MSK-3"}
        code, out, err, _ = run(self.home, env=russian)
        self.assertEqual((code, err), (0, ""))
        self.assertNotIn("\r", out)
        rows = list(csv.DictReader(io.StringIO(out)))
        self.assertEqual([float(r["cost"]) for r in rows if r["cost"]], [1.75, 0.5])
        self.assertEqual(datetime.datetime.fromisoformat(rows[0]["start"]).utcoffset(),
                         datetime.timedelta(hours=3))

        code, out, err, _ = run(self.home, "--json", env=russian)
        objects = [json.loads(line) for line in out.splitlines()]
        self.assertEqual([o["cost"] for o in objects], [1.75, 0.5, None])
        self.assertEqual(objects[2]["end"], "2026-12-02T08:00:00+03:00")

        # The months are one JSON document, the last one only with "-m 1".
        code, out, err, _ = run(self.home, "-m", "1", "--json", env=russian)
        self.assertEqual(json.loads(out),
                         {"months": [{"month": "2026-12", "connections": 2, "seconds": 150,
                                      "cost": 2.25}]})

    def test_what_is_no_log_is_refused_in_bounded_time_and_memory(self):
        fifo = os.path.join(self.home, "pipe")
        os.mkfifo(fifo)
        for path in ("/dev/zero", fifo, self.home):
            code, out, err, seconds = run(self.home, path, limit_bytes=256 << 20, timeout=10)
            self.assertEqual(code, 1, path)
            self.assertLess(seconds, 5, path)
            self.assertIn("cannot read", err)

        # A log of 24 MB, one line of it a megabyte long, is read from standard input in an
        # address space of 32 MB: the tool, its libraries and its buffers.
        big = os.path.join(self.home, "big.LOG")
        block = self.LOG.encode()
        with open(big, "wb") as f:
            f.write(b"x" * (1 << 20) + b"\n")
            f.write(block * ((24 << 20) // len(block)))
        with open(big, "rb") as f:
            code, out, err, _ = run(self.home, "--days", "-", stdin=f, limit_bytes=32 << 20,
                                    timeout=120)
        self.assertEqual(code, 0, err)
        self.assertEqual(err, "pelmora-history: skipped 1 lines\n")
        self.assertEqual(out.splitlines()[0], "day,connections,seconds,cost")

if __name__ == "__main__":
    TOOL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
