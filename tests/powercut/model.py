"""What the disk may hold after a power cut, under POSIX's promises only.

A file's data is durable once an fsync or fdatasync of that file followed the write; a name
(create, rename, unlink) once an fsync of its folder followed it; sync makes everything
durable. Anything not yet durable may or may not be on the disk, each operation on its own, and
an extension of a file may reach the disk as its new length without its bytes (NULs)."""

import hashlib
from dataclasses import dataclass

from .trace import FOLDER


@dataclass(frozen=True)
class Variant:
    kind: str            # kept, durable, dropped, zeroed
    dropped: frozenset = frozenset()
    zeroed: frozenset = frozenset()
    note: str = ""       # what was dropped, for the reports


def not_durable(ops, cut):
    """The indices of operations 0..cut that no later sync up to the cut made durable."""
    pending_data = {}   # inode -> [indices]
    pending_names = []
    for i in range(cut + 1):
        op = ops[i]
        if op.is_data:
            pending_data.setdefault(op.inode, []).append(i)
        elif op.is_name:
            pending_names.append(i)
        elif op.kind == "sync":
            pending_data.clear()
            pending_names.clear()
        elif op.kind == "fsync":
            if op.inode == FOLDER:
                pending_names.clear()
            else:
                pending_data.pop(op.inode, None)
    return sorted(pending_names + [i for indices in pending_data.values() for i in indices])


def replay(snapshot, ops, cut, dropped=frozenset(), zeroed=frozenset()):
    """The folder (name -> bytes) after operations 0..cut, without the dropped ones; a zeroed
    write leaves the bytes it would overwrite and extends the file with NULs."""
    inodes = {name: bytearray(data) for name, data in snapshot.items()}
    names = {name: name for name in snapshot}
    for i in range(cut + 1):
        if i in dropped:
            continue
        op = ops[i]
        if op.kind == "create":
            inodes.setdefault(op.inode, bytearray())
            names[op.name] = op.inode
        elif op.kind == "rename":
            if names.get(op.old_name) == op.inode:
                del names[op.old_name]
            inodes.setdefault(op.inode, bytearray())
            names[op.name] = op.inode
        elif op.kind == "unlink":
            if names.get(op.name) == op.inode:
                del names[op.name]
        elif op.kind == "truncate":
            content = inodes.setdefault(op.inode, bytearray())
            del content[op.offset:]
            content.extend(bytes(op.offset - len(content)))
        elif op.kind == "write":
            content = inodes.setdefault(op.inode, bytearray())
            end = op.offset + len(op.data)
            if len(content) < op.offset:
                content.extend(bytes(op.offset - len(content)))  # a hole reads as NULs
            if i in zeroed:
                content.extend(bytes(max(0, end - len(content))))
            else:
                content[op.offset:end] = op.data
    return {name: bytes(inodes[inode]) for name, inode in names.items()}


def digest(folder):
    h = hashlib.sha256()
    for name in sorted(folder):
        h.update(name.encode() + b"\0" + hashlib.sha256(folder[name]).digest())
    return h.hexdigest()


def variants(ops, cut, short):
    """The states to try at a cut: everything kept (as a kill leaves it), only the durable,
    unsynced extensions as NULs and, in the long form, each unsynced operation dropped alone."""
    pending = not_durable(ops, cut)
    found = [Variant("kept")]
    if not pending:
        return found
    found.append(Variant("durable", dropped=frozenset(pending)))
    writes = frozenset(i for i in pending if ops[i].kind == "write")
    if writes:
        found.append(Variant("zeroed", zeroed=writes))
    if not short:
        for i in pending:
            found.append(Variant("dropped", dropped=frozenset([i]), note=describe(ops[i], i)))
    return found


def describe(op, index):
    """One operation in a few words, for the findings."""
    if op.kind == "write":
        text = op.data[:48].decode("utf-8", "replace").replace("\r", "\\r").replace("\n", "\\n")
        if any(b < 9 for b in op.data[:48]):
            text = f"{len(op.data)} bytes"
        return f"#{index} write {op.inode}@{op.offset} \"{text}\""
    if op.kind == "rename":
        return f"#{index} rename {op.old_name} -> {op.name}"
    if op.kind in ("create", "unlink"):
        return f"#{index} {op.kind} {op.name}"
    return f"#{index} {op.kind} {op.inode}"
