"""What the recorded run did to each connection and when, read from its operations alone: the
connect and disconnect lines it appended, the crash files that named the connection, and the
commit (the WAL's sync) whose store first held it as settled."""

import re
from dataclasses import dataclass, field

from . import model, store

_CRASH_FILE = re.compile(rb"^(\d+) (\d+) (\d+) (\d) (\d\d) (\d\d) (\d\d)\r?\n(\d\d\D\d\d\D\d{4})$")
_STAMP = re.compile(rb"(\d\d)\D(\d\d)\D(\d{4}) (\d\d:\d\d:\d\d) - (Connected|DisConnected)")


def crash_identity(content):
    """A crash file's connection as the store's SettledConnection names it; None when the
    content is no crash file."""
    m = _CRASH_FILE.match(content or b"")
    return b" ".join(m.groups()).decode() if m else None


@dataclass
class Connection:
    number: int
    start: str                  # the connect line's stamp as ISO local time, no offset
    run: int
    connect_op: int
    disconnect_op: int = None   # the disconnect line the program wrote while it saw the link
    disconnect_line: bytes = b""
    final_identity: str = None  # the crash file written after that disconnect: its end
    identities: set = field(default_factory=set)
    settled_op: int = None      # the WAL sync that committed its settlement

    @property
    def label(self):
        return f"C{self.number} ({self.start[11:]})"


@dataclass
class Commit:
    op: int                     # -1: the snapshot
    figures: dict
    settled: frozenset          # the connections settled in the store by then


class Oracle:
    def __init__(self, snapshot, ops):
        self.snapshot = snapshot
        self.ops = ops
        self.connections = []
        self.by_identity = {}
        self.commits = []
        self.find_connections()
        self.find_commits()

    def find_connections(self):
        for i, op in enumerate(self.ops):
            if op.kind != "write":
                continue
            identity = crash_identity(op.data)
            if identity:
                owner = [c for c in self.connections if c.run == op.run][-1:]
                if owner:
                    c = owner[0]
                    c.identities.add(identity)
                    self.by_identity[identity] = c
                    if c.disconnect_op is not None and c.final_identity is None:
                        c.final_identity = identity
            if not op.appended:
                continue  # a log replaced whole repeats its lines
            for m in _STAMP.finditer(op.data):
                day, month, year, time, what = (g.decode() for g in m.groups())
                if what == "Connected":
                    self.connections.append(Connection(len(self.connections) + 1,
                                                       f"{year}-{month}-{day}T{time}", op.run, i))
                    continue
                line = op.data[m.start():op.data.find(b"\n", m.end()) + 1 or len(op.data)]
                open_ones = [c for c in self.connections if c.disconnect_op is None
                             and not c.disconnect_line]
                if open_ones:
                    c = open_ones[0]
                    c.disconnect_line = line.strip()
                    # Restored by a later start: a connection cut by the crash, not a finished one.
                    if c.run == op.run:
                        c.disconnect_op = i

    def find_commits(self):
        """The store after each sync of the WAL, as everything written up to it leaves it."""
        wal = {op.inode for op in self.ops if op.kind == "create" and op.name == "registry.db-wal"}
        settled = set()
        points = [-1] + [i for i, op in enumerate(self.ops) if op.kind == "fsync" and op.inode in wal]
        for i in points:
            folder = model.replay(self.snapshot, self.ops, i)
            figures = store.figures_of_state(folder)
            owner = self.by_identity.get(figures.get("SettledConnection") or "")
            if owner and owner.number not in settled:
                owner.settled_op = i
                settled.add(owner.number)
            self.commits.append(Commit(i, figures, frozenset(settled)))

    def commit_matching(self, figures, cut):
        """The last commit up to the cut whose figures the store holds; None when none does."""
        # The commit being written at the cut may be whole on the disk before its sync.
        later = [c for c in self.commits if c.op > cut][:1]
        found = [c for c in self.commits if c.op <= cut] + later
        found = [c for c in found if c.figures == figures]
        return found[-1] if found else None

    def last_durable_commit(self, cut):
        return [c for c in self.commits if c.op <= cut][-1]

    def live(self, cut):
        """The connections whose connect line was written by the cut."""
        return [c for c in self.connections if c.connect_op <= cut]
