"""The power-cut model on hand-made traces: what it records, what it calls durable, which
states it builds. Run: python3 -m unittest discover -s tests -p 'test_powercut.py'"""

import unittest

from powercut import model
from powercut.checks import offered_files
from powercut.oracle import Oracle, crash_identity
from powercut.trace import FOLDER, Recorder

HOME = "/data/home"


def x(text):
    """A string as strace -xx writes it."""
    return "".join(f"\\x{b:02x}" for b in text.encode())


def fd(n, name=""):
    return f"{n}<{x(HOME + ('/' + name if name else ''))}>"


def recorded(lines, snapshot=("Internet.LOG",), sizes=None):
    r = Recorder(HOME, list(snapshot))
    r.set_sizes(sizes or {name: 0 for name in snapshot})
    r.read(line + "\n" for line in lines)
    return r.ops


def opened(n, name, flags="O_WRONLY|O_CREAT|O_TRUNC|O_CLOEXEC"):
    return f'7 openat(AT_FDCWD<{x("/")}>, "{x(HOME + "/" + name)}", {flags}, 0600) = {fd(n, name)}'


def written(n, name, text, call="write"):
    return f'7 {call}({fd(n, name)}, "{x(text)}", {len(text)}) = {len(text)}'


REPLACE_DURATION = [
    opened(5, "Duration.tmp.new"),
    written(5, "Duration.tmp.new", "9 6 2 3 06 02 18\r\n09:12:2026"),
    f"7 fsync({fd(5, 'Duration.tmp.new')}) = 0",
    f"7 close({fd(5, 'Duration.tmp.new')}) = 0",
    f'7 rename("{x(HOME + "/Duration.tmp.new")}", "{x(HOME + "/Duration.tmp")}") = 0',
    f'7 openat(AT_FDCWD<{x("/")}>, "{x(HOME)}", O_RDONLY|O_DIRECTORY) = {fd(6)}',
    f"7 fsync({fd(6)}) = 0",
]


class TraceTest(unittest.TestCase):
    def test_a_replacement_is_a_create_a_write_syncs_and_a_rename(self):
        ops = recorded(REPLACE_DURATION)
        self.assertEqual([o.kind for o in ops], ["create", "write", "fsync", "rename", "fsync"])
        self.assertEqual(ops[1].inode, ops[0].inode)
        self.assertEqual(ops[2].inode, ops[0].inode)
        self.assertEqual((ops[3].old_name, ops[3].name), ("Duration.tmp.new", "Duration.tmp"))
        self.assertEqual(ops[4].inode, FOLDER)

    def test_appends_land_at_the_end_and_calls_split_by_threads_are_joined(self):
        ops = recorded([
            opened(3, "Internet.LOG", "O_WRONLY|O_CREAT|O_APPEND"),
            f'7 write({fd(3, "Internet.LOG")}, "{x("abc")}", 3 <unfinished ...>',
            "8 futex(0x1, FUTEX_WAKE, 1) = 0",
            "7 <... write resumed>) = 3",
            written(3, "Internet.LOG", "de"),
        ], sizes={"Internet.LOG": 10})
        self.assertEqual([(o.offset, o.data, o.appended) for o in ops],
                         [(10, b"abc", True), (13, b"de", True)])

    def test_a_write_after_a_rename_goes_to_the_file_it_was_opened_on(self):
        ops = recorded([
            opened(4, "registry.db-wal", "O_RDWR|O_CREAT"),
            f'7 rename("{x(HOME + "/registry.db-wal")}", "{x(HOME + "/old-wal")}") = 0',
            f'7 pwrite64({fd(4, "old-wal")}, "{x("page")}", 4, 4096) = 4',
        ], snapshot=())
        self.assertEqual(ops[2].inode, ops[0].inode)
        self.assertEqual(ops[2].offset, 4096)

    def test_short_writes_failed_calls_and_other_files_are_left_out(self):
        ops = recorded([
            opened(3, "Internet.LOG", "O_WRONLY|O_APPEND"),
            f'7 write({fd(3, "Internet.LOG")}, "{x("abcdef")}", 6) = 2',
            f'7 unlink("{x(HOME + "/Waiting.tmp")}") = -1 ENOENT (No such file or directory)',
            f'7 openat(AT_FDCWD<{x("/")}>, "{x("/tmp/other")}", O_WRONLY|O_CREAT, 0600) = 9<{x("/tmp/other")}>',
            f'7 write(9<{x("/tmp/other")}>, "{x("zz")}", 2) = 2',
            opened(10, "registry.db-shm", "O_RDWR|O_CREAT"),
            f'7 pwrite64({fd(10, "registry.db-shm")}, "{x(" ")}", 1, 4095) = 1',
        ])
        self.assertEqual([(o.kind, o.data) for o in ops], [("write", b"ab")])

    def test_an_existing_file_opened_for_rewriting_is_truncated(self):
        ops = recorded([opened(3, "Internet.LOG")], sizes={"Internet.LOG": 50})
        self.assertEqual([(o.kind, o.offset) for o in ops], [("truncate", 0)])


class DurabilityTest(unittest.TestCase):
    def test_data_needs_its_file_synced_and_names_their_folder(self):
        ops = recorded(REPLACE_DURATION)
        # After the write: create and write pending; after the file's fsync only the create.
        self.assertEqual(model.not_durable(ops, 1), [0, 1])
        self.assertEqual(model.not_durable(ops, 2), [0])
        self.assertEqual(model.not_durable(ops, 3), [0, 3])
        self.assertEqual(model.not_durable(ops, 4), [])

    def test_an_appended_line_stays_pending_until_the_log_is_synced(self):
        ops = recorded([opened(3, "Internet.LOG", "O_WRONLY|O_APPEND"),
                        written(3, "Internet.LOG", "line"), *REPLACE_DURATION])
        self.assertEqual(model.not_durable(ops, len(ops) - 1), [0])
        ops = recorded([opened(3, "Internet.LOG", "O_WRONLY|O_APPEND"),
                        written(3, "Internet.LOG", "line"), "7 sync() = 0"])
        self.assertEqual(model.not_durable(ops, 1), [])


class StatesTest(unittest.TestCase):
    snapshot = {"Internet.LOG": b"head\n", "Duration.tmp": b"old"}

    def test_a_dropped_rename_leaves_the_old_file_and_the_temporary_one(self):
        ops = recorded(REPLACE_DURATION, snapshot=self.snapshot,
                       sizes={n: len(d) for n, d in self.snapshot.items()})
        kept = model.replay(self.snapshot, ops, 3)
        self.assertEqual(kept["Duration.tmp"], b"9 6 2 3 06 02 18\r\n09:12:2026")
        self.assertNotIn("Duration.tmp.new", kept)
        durable = model.replay(self.snapshot, ops, 3, dropped=frozenset(model.not_durable(ops, 3)))
        self.assertEqual(durable["Duration.tmp"], b"old")
        self.assertNotIn("Duration.tmp.new", durable)  # its name was never synced either

    def test_a_zeroed_extension_keeps_the_length_and_the_bytes_before_it(self):
        ops = recorded([opened(3, "Internet.LOG", "O_WRONLY|O_APPEND"),
                        written(3, "Internet.LOG", "tail\n")],
                       snapshot=self.snapshot, sizes={"Internet.LOG": 5, "Duration.tmp": 3})
        zeroed = model.replay(self.snapshot, ops, 0, zeroed=frozenset([0]))
        self.assertEqual(zeroed["Internet.LOG"], b"head\n\0\0\0\0\0")

    def test_a_dropped_write_before_a_kept_one_leaves_a_hole_of_nuls(self):
        ops = recorded([opened(3, "Internet.LOG", "O_WRONLY|O_APPEND"),
                        written(3, "Internet.LOG", "one\n"), written(3, "Internet.LOG", "two\n")],
                       snapshot=self.snapshot, sizes={"Internet.LOG": 5, "Duration.tmp": 3})
        folder = model.replay(self.snapshot, ops, 1, dropped=frozenset([0]))
        self.assertEqual(folder["Internet.LOG"], b"head\n\0\0\0\0two\n")

    def test_the_short_form_leaves_out_the_single_drops(self):
        ops = recorded(REPLACE_DURATION)
        kinds = [v.kind for v in model.variants(ops, 1, short=True)]
        self.assertEqual(kinds, ["kept", "durable", "zeroed"])
        # Only names pending: nothing to fill with NULs.
        self.assertEqual([v.kind for v in model.variants(ops, 3, short=True)], ["kept", "durable"])
        long = model.variants(ops, 3, short=False)
        self.assertEqual([sorted(v.dropped) for v in long if v.kind == "dropped"], [[0], [3]])
        self.assertEqual([v.kind for v in model.variants(ops, 4, short=False)], ["kept"])

    def test_equal_folders_have_equal_digests(self):
        self.assertEqual(model.digest({"a": b"1", "b": b"2"}), model.digest({"b": b"2", "a": b"1"}))
        self.assertNotEqual(model.digest({"a": b"1"}), model.digest({"a": b"1\0"}))


class CrashFilesTest(unittest.TestCase):
    def test_the_identity_is_the_stores_way_of_naming_the_connection(self):
        self.assertEqual(crash_identity(b"12 6 2 3 06 02 21\r\n09:12:2026"),
                         "12 6 2 3 06 02 21 09:12:2026")
        self.assertIsNone(crash_identity(b"12 6 2 3 06 02 21\r\n\0\0\0\0"))
        self.assertIsNone(crash_identity(None))

    def test_the_file_the_store_names_as_settled_is_the_one_not_offered(self):
        state = {"Waiting.tmp": b"7 6 2 3 06 02 24\r\n09:12:2026",
                 "Duration.tmp": b"11 6 2 3 06 02 32\r\n09:12:2026"}
        settled = {"SettledConnection": "7 6 2 3 06 02 24 09:12:2026"}
        self.assertEqual([n for n, _ in offered_files(state, 2, settled)],
                         ["Waiting.tmp", "Duration.tmp"])
        self.assertEqual([n for n, _ in offered_files(state, 1, settled)], ["Duration.tmp"])
        self.assertEqual(offered_files({"Duration.tmp": b"\0\0"}, 0, settled), [])



def appended(n, text):
    return written(n, "Internet.LOG", text)


class ConnectionsTest(unittest.TestCase):
    """The connections as the oracle reads them off the recorded operations."""

    def connections(self, runs):
        r = Recorder(HOME, ["Internet.LOG"])
        r.set_sizes({"Internet.LOG": 0})
        for lines in runs:
            r.read(line + "\n" for line in lines)
        oracle = Oracle.__new__(Oracle)
        oracle.ops, oracle.connections, oracle.by_identity = r.ops, [], {}
        oracle.find_connections()
        return oracle

    def crash_file(self, text):
        return [opened(5, "Duration.tmp.new"), written(5, "Duration.tmp.new", text),
                f"7 close({fd(5, 'Duration.tmp.new')}) = 0"]

    def test_a_finished_connection_ends_with_the_crash_file_written_after_its_disconnect(self):
        log = opened(3, "Internet.LOG", "O_WRONLY|O_APPEND")
        oracle = self.connections([[
            log, appended(3, "09.12.2026 06:02:14 - Connected"),
            *self.crash_file("9 6 2 3 06 02 18\r\n09:12:2026"),
            appended(3, "\r\n09.12.2026 06:02:21 - DisConnected\r\n"),
            *self.crash_file("12 6 2 3 06 02 21\r\n09:12:2026"),
        ]])
        [c] = oracle.connections
        self.assertEqual(c.start, "2026-12-09T06:02:14")
        self.assertEqual(c.identities, {"9 6 2 3 06 02 18 09:12:2026",
                                        "12 6 2 3 06 02 21 09:12:2026"})
        self.assertEqual(c.final_identity, "12 6 2 3 06 02 21 09:12:2026")
        self.assertEqual(c.disconnect_line, b"09.12.2026 06:02:21 - DisConnected")

    def test_a_disconnect_restored_by_a_later_start_is_no_finished_connection(self):
        log = opened(3, "Internet.LOG", "O_WRONLY|O_APPEND")
        oracle = self.connections([
            [log, appended(3, "09.12.2026 06:02:37 - Connected"),
             *self.crash_file("10 6 2 3 06 02 42\r\n09:12:2026")],
            [log, appended(3, "\r\n09:12:2026 06:02:42 - DisConnected\r\n")],
        ])
        [c] = oracle.connections
        self.assertIsNone(c.disconnect_op)
        self.assertIsNone(c.final_identity)

    def test_a_log_replaced_whole_adds_no_connection(self):
        oracle = self.connections([[
            opened(3, "Internet.LOG", "O_WRONLY|O_APPEND"),
            appended(3, "09.12.2026 06:02:22 - Connected"),
            opened(4, "Internet.LOG.new"),
            written(4, "Internet.LOG.new", "09.12.2026 06:02:22 - Connected\r\n"
                                           "09.12.2026 06:02:24 - DisConnected\r\n"),
        ]])
        self.assertEqual(len(oracle.connections), 1)
        self.assertIsNone(oracle.connections[0].disconnect_op)


if __name__ == "__main__":
    unittest.main()
