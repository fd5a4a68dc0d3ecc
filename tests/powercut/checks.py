"""The invariants after a restart on a cut state: each connection counted once, or offered again
and then counted; never lost, never twice; the balance follows the statistics and Account.LOG
equals it; the history reads every connection the store counted; the store is whole."""

from dataclasses import dataclass

from . import model, store
from .oracle import crash_identity

DOUBLED, LOST, UNREADABLE, OTHER = "doubled", "lost", "unreadable", "other"
BALANCE_TOLERANCE = 1e-4  # float rounding of a few settlements; a connection costs far more


@dataclass
class Finding:
    category: str
    text: str


class CutFacts:
    """What holds at one cut for every state of it: what is durable, which connections must
    survive a cut there."""

    def __init__(self, oracle, cut):
        self.oracle = oracle
        self.cut = cut
        self.pending = set(model.not_durable(oracle.ops, cut))
        durable = model.replay(oracle.snapshot, oracle.ops, cut, dropped=frozenset(self.pending))
        protected = {crash_identity(durable.get(n)) for n in ("Waiting.tmp", "Duration.tmp")}
        self.must_count = {c.number for c in oracle.live(cut)
                           if (c.settled_op is not None and c.settled_op <= cut)
                           or c.identities & protected}

def offered_files(state, questions, before):
    """The crash files the restart offered (Waiting.tmp first, as it reads them): every readable
    one, less the one the store already names as settled when fewer questions came."""
    readable = [(n, crash_identity(state.get(n))) for n in ("Waiting.tmp", "Duration.tmp")]
    readable = [(n, i) for n, i in readable if i]
    if questions < len(readable):
        readable = [(n, i) for n, i in readable if i != before.get("SettledConnection")]
    return readable


def check(facts, state, out):
    oracle = facts.oracle
    found = []

    def fail(category, text):
        found.append(Finding(category, text))

    for problem in out.problems:
        fail(OTHER, problem)
    try:
        before = store.figures_of_state(state)
    except store.StoreUnreadable as e:
        return found + [Finding(UNREADABLE, f"the store after the cut cannot be read: {e}")]
    if out.after is None or out.integrity != "ok":
        return found + [Finding(UNREADABLE, f"integrity_check after the start: {out.integrity}")]

    commit = oracle.commit_matching(before, facts.cut)
    durable = oracle.last_durable_commit(facts.cut)
    if commit is None or commit.op < durable.op and commit.figures != durable.figures:
        fail(LOST, f"the store after the cut holds no state the run had committed by then "
                   f"(NumberT {before['NumberT']}, Account {before['Account']})")
        return found
    settled = commit.settled

    offered = offered_files(state, out.questions, before)
    if len(offered) != out.questions:
        fail(OTHER, f"{out.questions} crash questions for the readable crash files "
                    f"{[n for n, _ in offered] or 'none'}")
    counted = {}
    log = state.get("Internet.LOG", b"")
    finished = 0    # offered connections the restart must count as finished ones
    may_finish = 0  # ... and those it may
    for c in oracle.live(facts.cut):
        counted[c.number] = int(c.number in settled)
    for name, identity in offered:
        c = oracle.by_identity.get(identity)
        if c is None:
            fail(OTHER, f"{name} names no connection of the run: {identity}")
            continue
        counted[c.number] = counted.get(c.number, 0) + 1
        # The crash file written after the disconnect line names a finished connection: the
        # line must be on the disk whenever that file is. With an earlier crash file, a
        # disconnect line on the disk may count it as finished too.
        must = identity == c.final_identity
        finished += must
        may_finish += must or (c.disconnect_op is not None and c.disconnect_op <= facts.cut
                               and c.disconnect_line in log)

    for c in oracle.live(facts.cut):
        n = counted.get(c.number, 0)
        where = "settled in the store and offered again" if n > 1 else ""
        if n > 1:
            fail(DOUBLED, f"{c.label} counted {n} times ({where})")
        elif n == 0 and c.number in facts.must_count:
            fail(LOST, f"{c.label} lost: it was settled or its crash file durable at the cut, "
                       f"and the restart neither holds nor offers it")

    number_added = int(out.after["NumberT"]) - int(before["NumberT"])
    if number_added < finished:
        fail(LOST, f"NumberT grew by {number_added}, {finished} offered connection(s) had ended "
                   f"by a disconnect the run had recorded (counted as cut by a crash)")
    elif number_added > may_finish:
        fail(OTHER, f"NumberT grew by {number_added}, only {may_finish} offered connection(s) "
                    f"had ended by a disconnect (one cut by a crash counted as finished)")

    drawn = store.amount(before["Account"]) - store.amount(out.after["Account"])
    cents = store.amount(out.after["CentsT"]) - store.amount(before["CentsT"])
    if abs(drawn - cents * 0.01) > BALANCE_TOLERANCE:
        fail(DOUBLED if drawn > cents * 0.01 else LOST,
             f"the balance moved by {-drawn:.6f}, the statistics by {cents:.6f} c.")
    if out.account_log != out.after["Account"]:
        fail(OTHER, f"Account.LOG holds {out.account_log!r}, the store {out.after['Account']!r}")
    for name in out.left:
        fail(OTHER, f"{name} is left after the start")

    check_history(oracle, facts, counted, out, fail)
    return found


def check_history(oracle, facts, counted, out, fail):
    if out.history_code != 0:
        fail(UNREADABLE, f"pelmora-history exited with {out.history_code}: {out.history_errors}")
        return
    for c in oracle.live(facts.cut):
        if not counted.get(c.number):
            continue
        rows = [r for r in out.history_rows
                if r.get("start", "").startswith(c.start) and r.get("cancelled") != "1"
                and r.get("cost")]
        if not rows:
            skipped = f" ({out.history_errors})" if out.history_errors else ""
            fail(UNREADABLE, f"{c.label} is counted in the store but missing from the "
                             f"history{skipped}")
        elif len(rows) > 1:
            fail(DOUBLED, f"{c.label} is in the history {len(rows)} times")
