"""Turns strace output (-f -y -xx) into the operations on the data folder's files.

Each operation names the inode it acts on, not only a file name: a write through a descriptor
goes to the file the descriptor was opened on, also after that file was renamed. Inodes of the
files already there are their names in the snapshot; each file made later gets a new number."""

import os
import re
from dataclasses import dataclass, field

from .sandbox import INSTANCE_FILES, REBUILT_FILES

FOLDER = "."  # the inode of the data folder itself

# Data operations change a file's content; name operations change the folder.
DATA_KINDS = ("write", "truncate")
NAME_KINDS = ("create", "rename", "unlink")
SYNC_KINDS = ("fsync", "sync")


@dataclass
class Op:
    kind: str               # write, truncate, create, rename, unlink, fsync, sync
    inode: object = None    # the file acted on (fsync: the file or FOLDER)
    name: str = ""          # create, unlink: the name; rename: the new name
    old_name: str = ""      # rename: the old name
    offset: int = 0         # write: where; truncate: the new length
    data: bytes = b""       # write: the bytes written
    run: int = 0            # which traced run (1, 2, ...)
    line: str = ""          # the trace line, for the reports
    appended: bool = False  # write: through an O_APPEND descriptor

    @property
    def is_data(self):
        return self.kind in DATA_KINDS

    @property
    def is_name(self):
        return self.kind in NAME_KINDS


_HEX = re.compile(rb"\\x([0-9a-fA-F]{2})")
_CALL = re.compile(r"^(\d+)\s+(\w+)\((.*)\)\s+=\s+(-?\d+|\?)")
_UNFINISHED = re.compile(r"^(\d+)\s+(.*) <unfinished \.\.\.>$")
_RESUMED = re.compile(r"^(\d+)\s+<\.\.\. (\w+) resumed>(.*)$")


def unescape(text):
    """The bytes of an strace string written with -xx ("\\x41\\x42")."""
    return _HEX.sub(lambda m: bytes([int(m.group(1), 16)]), text.encode("latin-1"))


def split_arguments(text):
    """Top-level comma-separated arguments: strings, arrays and structures stay whole."""
    parts, depth, quoted, start = [], 0, False, 0
    for i, c in enumerate(text):
        if quoted:
            if c == '"' and text[i - 1] != "\\":
                quoted = False
        elif c == '"':
            quoted = True
        elif c in "[{<(":
            depth += 1
        elif c in "]}>)":
            depth -= 1
        elif c == "," and depth == 0:
            parts.append(text[start:i].strip())
            start = i + 1
    parts.append(text[start:].strip())
    return parts


def string_argument(arg):
    """The bytes of a quoted argument ("..." may follow a truncated one)."""
    m = re.match(r'^"(.*)"(\.\.\.)?$', arg)
    return unescape(m.group(1)) if m else None


def descriptor(arg):
    """(fd, annotated path) of an argument like 7</path> written with -y."""
    m = re.match(r"^(-?\d+|AT_FDCWD)(?:<(.*)>)?$", arg)
    if not m:
        return None, None
    fd = None if m.group(1) == "AT_FDCWD" else int(m.group(1))
    path = unescape(m.group(2)).decode("utf-8", "replace") if m.group(2) else None
    return fd, path


def joined_lines(lines):
    """Calls split by another thread's call (<unfinished ...> / <... resumed>) put back
    together, in the order they completed."""
    pending = {}
    for raw in lines:
        line = raw.rstrip("\n")
        m = _UNFINISHED.match(line)
        if m:
            pending[m.group(1)] = m.group(2)
            continue
        m = _RESUMED.match(line)
        if m and m.group(1) in pending:
            yield f"{m.group(1)} {pending.pop(m.group(1))}{m.group(3)}"
            continue
        yield line


class Recorder:
    """Follows the folder's names and the open descriptors through one trace after another."""

    def __init__(self, folder, snapshot_names):
        self.folder = os.path.realpath(folder)
        self.names = {name: name for name in snapshot_names}  # name -> inode
        self.sizes = {}                                          # inode -> size (all kept)
        self.fds = {}
        self.next_inode = 0
        self.ops = []
        self.run = 0

    def set_sizes(self, sizes):
        self.sizes.update(sizes)

    def inside(self, path):
        """The name inside the data folder, FOLDER for the folder, None for elsewhere or for
        the files that are no data (the instance's, the rebuilt shared memory)."""
        if path is None:
            return None
        path = os.path.normpath(path)
        if path == self.folder:
            return FOLDER
        if os.path.dirname(path) != self.folder:
            return None
        name = os.path.basename(path)
        return None if name in INSTANCE_FILES or name in REBUILT_FILES else name

    def path_argument(self, dirfd_arg, path_arg):
        raw = string_argument(path_arg)
        if raw is None:
            return None
        path = raw.decode("utf-8", "replace")
        if not path.startswith("/") and dirfd_arg is not None:
            _, base = descriptor(dirfd_arg)
            path = os.path.join(base or "/", path)
        return self.inside(path)

    def add(self, kind, line, **fields):
        self.ops.append(Op(kind, run=self.run, line=line, **fields))

    def read(self, lines):
        self.run += 1
        self.fds = {}
        for line in joined_lines(lines):
            m = _CALL.match(line)
            if not m or m.group(4) == "?" or int(m.group(4)) < 0:
                continue  # a failed call changes nothing
            call, args, result = m.group(2), split_arguments(m.group(3)), int(m.group(4))
            handler = getattr(self, "on_" + call, None)
            if handler:
                handler(args, result, line)

    # ---- opening and closing ----

    def opened(self, name, flags, fd, line):
        if name is None:
            return
        if name == FOLDER:
            self.fds[fd] = (FOLDER, False, 0)
            return
        inode = self.names.get(name)
        if inode is None:
            if "O_CREAT" not in flags:
                return
            self.next_inode += 1
            inode = f"#{self.next_inode}"
            self.names[name] = inode
            self.sizes[inode] = 0
            self.add("create", line, inode=inode, name=name)
        elif "O_TRUNC" in flags:
            self.sizes[inode] = 0
            self.add("truncate", line, inode=inode, offset=0)
        self.fds[fd] = (inode, "O_APPEND" in flags, 0)

    def on_openat(self, args, result, line):
        self.opened(self.path_argument(args[0], args[1]), args[2], result, line)

    def on_open(self, args, result, line):
        self.opened(self.path_argument(None, args[0]), args[1], result, line)

    def on_creat(self, args, result, line):
        self.opened(self.path_argument(None, args[0]), "O_CREAT|O_TRUNC", result, line)

    def on_close(self, args, result, line):
        fd, _ = descriptor(args[0])
        self.fds.pop(fd, None)

    def file_of(self, arg):
        fd, _ = descriptor(arg)
        return fd, self.fds.get(fd)

    # ---- data ----

    def wrote(self, fd, entry, data, offset, line):
        inode, append, position = entry
        if inode == FOLDER:
            return
        if offset is None:  # write, writev: at the position, or the end when appending
            offset = self.sizes.get(inode, 0) if append else position
            self.fds[fd] = (inode, append, offset + len(data))
        self.sizes[inode] = max(self.sizes.get(inode, 0), offset + len(data))
        self.add("write", line, inode=inode, offset=offset, data=data, appended=append)

    def on_write(self, args, result, line):
        fd, entry = self.file_of(args[0])
        if entry:
            self.wrote(fd, entry, string_argument(args[1])[:result], None, line)

    def on_pwrite64(self, args, result, line):
        fd, entry = self.file_of(args[0])
        if entry:
            self.wrote(fd, entry, string_argument(args[1])[:result], int(args[3]), line)

    def vector(self, arg, result):
        data = b"".join(unescape(m.group(1)) for m in re.finditer(r'iov_base="([^"]*)"', arg))
        return data[:result]

    def on_writev(self, args, result, line):
        fd, entry = self.file_of(args[0])
        if entry:
            self.wrote(fd, entry, self.vector(args[1], result), None, line)

    def on_pwritev(self, args, result, line):
        fd, entry = self.file_of(args[0])
        if entry:
            self.wrote(fd, entry, self.vector(args[1], result), int(args[3]), line)

    def on_lseek(self, args, result, line):
        fd, entry = self.file_of(args[0])
        if entry:
            self.fds[fd] = (entry[0], entry[1], result)

    def truncated(self, inode, length, line):
        if inode is None or inode == FOLDER:
            return
        self.sizes[inode] = length
        self.add("truncate", line, inode=inode, offset=length)

    def on_ftruncate(self, args, result, line):
        _, entry = self.file_of(args[0])
        if entry:
            self.truncated(entry[0], int(args[1]), line)

    def on_truncate(self, args, result, line):
        name = self.path_argument(None, args[0])
        self.truncated(self.names.get(name), int(args[1]), line)

    # ---- names ----

    def renamed(self, old, new, line):
        if old is None and new is None:
            return
        inode = self.names.pop(old, None) if old else None
        if new is None:  # moved out of the folder: gone from it
            if inode is not None:
                self.add("unlink", line, inode=inode, name=old)
            return
        if inode is None:
            return  # moved in from elsewhere: not in the model (the program never does)
        self.names[new] = inode
        self.add("rename", line, inode=inode, name=new, old_name=old)

    def on_rename(self, args, result, line):
        self.renamed(self.path_argument(None, args[0]), self.path_argument(None, args[1]), line)

    def on_renameat(self, args, result, line):
        self.renamed(self.path_argument(args[0], args[1]), self.path_argument(args[2], args[3]),
                     line)

    on_renameat2 = on_renameat

    def unlinked(self, name, line):
        if name is None or name not in self.names:
            return
        self.add("unlink", line, inode=self.names.pop(name), name=name)

    def on_unlink(self, args, result, line):
        self.unlinked(self.path_argument(None, args[0]), line)

    def on_unlinkat(self, args, result, line):
        self.unlinked(self.path_argument(args[0], args[1]), line)

    # ---- durability ----

    def on_fsync(self, args, result, line):
        _, entry = self.file_of(args[0])
        if entry:
            self.add("fsync", line, inode=entry[0])

    on_fdatasync = on_fsync

    def on_sync(self, args, result, line):
        self.add("sync", line)

    def on_syncfs(self, args, result, line):
        self.add("sync", line)


def record(folder, snapshot, traces):
    """The operations of the traced runs, in order. `folder` is where the runs wrote, the
    snapshot a copy of it taken before the first."""
    names = sorted(p.name for p in snapshot.iterdir() if p.is_file())
    recorder = Recorder(folder, names)
    recorder.set_sizes({name: (snapshot / name).stat().st_size for name in names})
    for trace in traces:
        with open(trace, encoding="latin-1") as lines:
            recorder.read(lines)
    return recorder.ops
