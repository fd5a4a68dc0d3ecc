"""Reading the settings store with the sqlite3 command line, always on a copy of a state: the
first open of a WAL database after a cut replays the WAL and the last close checkpoints it."""

import shutil
import subprocess
import tempfile
from pathlib import Path

PROGRAM_KEY = "Software\\Kedrun\\Pelmora"
FIGURES = ("NumberT", "SecondsT", "CentsT", "Account", "SettledConnection")
SEPARATOR = "\x1f"


class StoreUnreadable(Exception):
    pass


def query(database, statement):
    done = subprocess.run(["sqlite3", "-separator", SEPARATOR, str(database), statement],
                          capture_output=True, text=True, timeout=30)
    if done.returncode != 0:
        raise StoreUnreadable(done.stderr.strip() or f"sqlite3 exited with {done.returncode}")
    return done.stdout


def figures(database):
    """The program's counters, balance and last settled connection (None when missing)."""
    names = ", ".join(f"'{n}'" for n in FIGURES)
    rows = query(database, f"SELECT name, CAST(data AS TEXT) FROM entries "
                           f"WHERE key = '{PROGRAM_KEY}' AND name IN ({names})")
    found = dict(line.split(SEPARATOR, 1) for line in rows.splitlines() if SEPARATOR in line)
    return {name: found.get(name) for name in FIGURES}


def integrity(database):
    return query(database, "PRAGMA integrity_check").strip().replace("\n", "; ")


def figures_of_state(folder):
    """The figures a state's store holds, read from a throw-away copy of its files."""
    with tempfile.TemporaryDirectory(prefix="pelmora-powercut-store-") as scratch:
        for name, data in folder.items():
            if name.startswith("registry.db"):
                (Path(scratch) / name).write_bytes(data)
        if "registry.db" not in folder:
            raise StoreUnreadable("registry.db is missing")
        return figures(Path(scratch) / "registry.db")


def copy_database(source_folder, target_folder):
    for path in Path(source_folder).glob("registry.db*"):
        shutil.copy2(path, target_folder)


def amount(text):
    """A stored amount (the locale's separator may be a comma)."""
    return float(text.replace(",", "."))
