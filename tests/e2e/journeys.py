#!/usr/bin/env python3
"""A user's journeys through the simulated program, driven by real X events.

  journeys.py --program build/qmreadout_sim --out build/e2e [journey ...]

Runs the named journeys (all when none is named), each on an X server of its
own, and ends with "N passed, N failed". Exit status 0 when all passed, 1
when one failed, 77 when the tools are missing outside CI (skipped).
"""

import argparse
import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Failure, Session, missing_tools, poll  # noqa: E402

PRINTABLE = "".join(chr(c) for c in range(32, 127))
# Letters of German and French keyboards and signs of the lab, all of which
# the program's files hold in Windows-1252.
ACCENTED = "äöüÄÖÜßéèàçµ°€§²"


# ---------------------------------------------------------------------------
# Steps shared by the journeys


def open_grounding_tester(s):
    # The grounding tester is the last device.
    s.menu("Device", "Up", "Right", "Return")
    return s.wait_window(r"^PGT 300 / Port")


def transfer_statistics(s, pgt):
    """Start data Transfer, confirm the instruction, wait for the comment box."""
    pgt.click(120, 49)
    box = s.wait_window(r"^Instruction$")
    box.activate()
    s.key("Return")
    # The comment box shows once the counts have arrived.
    if not poll(lambda: is_white(pgt.pixels((40, 342, 300, 10))), 8):
        pgt.shot("transfer")
        raise Failure("after Start data Transfer the comment box never appeared; %s" %
                      describe(s))


def is_white(rgb):
    return len(rgb) > 0 and rgb.count(b"\xff") > 0.95 * len(rgb)


def describe(s):
    return "the screen shows %s" % ", ".join('"%s"' % w.name for w in s.windows())


def find_file(folder, stem):
    """The files of folder named stem plus any extension, in any case."""
    if not os.path.isdir(folder):
        return []
    return sorted(n for n in os.listdir(folder)
                  if n == stem or n.lower().startswith(stem.lower() + "."))


def csv_rows(path):
    with open(path, "rb") as f:
        return [line.split(";") for line in f.read().decode("cp1252").split("\r\n") if line]


def save_grounding_csv(s, pgt, path):
    pgt.click(100, 408)
    s.save_dialog(path)


# ---------------------------------------------------------------------------
# The journeys


def typed_comment(s):
    """Every printable character typed into the comment reaches the CSV row."""
    pgt = open_grounding_tester(s)
    transfer_statistics(s, pgt)
    pgt.click(190, 349)
    typed = PRINTABLE + ACCENTED
    s.type(PRINTABLE)
    s.type(ACCENTED)
    folder = os.path.join(s.home, "results")
    os.makedirs(folder)
    save_grounding_csv(s, pgt, os.path.join(folder, "grounding"))
    names = poll(lambda: find_file(folder, "grounding"), 3)
    if not names:
        raise Failure("Save data wrote no file grounding.CSV; %s" % describe(s))
    rows = csv_rows(os.path.join(folder, names[0]))
    if len(rows) != 2 or len(rows[1]) != 12:
        raise Failure("%s holds %d lines instead of the header and one row of 12 fields: %r" %
                      (names[0], len(rows), rows))
    comment = rows[1][11]
    wanted = typed.replace(";", ",")
    if comment != wanted:
        lost = "".join(c for c in dict.fromkeys(wanted) if c not in comment)
        raise Failure("the comment typed as %r reads %r in the CSV row; lost: %s" %
                      (typed, comment, " ".join(lost) or "(order or doubled keys)"))


JOURNEYS = {
    "typed_comment": typed_comment,
}


# ---------------------------------------------------------------------------


def run(name, program, out):
    folder = os.path.join(out, name)
    started = time.monotonic()
    session = None
    try:
        session = Session(program, folder, **SESSION_OPTIONS.get(name, {}))
        JOURNEYS[name](session)
        print("PASS %s (%.1f s)" % (name, time.monotonic() - started), flush=True)
        return True
    except Failure as e:
        print("FAIL %s: %s" % (name, e), flush=True)
    except Exception:
        print("FAIL %s: the harness broke:\n%s" % (name, traceback.format_exc()), flush=True)
    finally:
        if session:
            try:
                session.shot("last")
            except Exception:
                pass
            session.close()
    print("     pictures and logs: %s" % folder, flush=True)
    return False


SESSION_OPTIONS = {}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("journeys", nargs="*")
    args = parser.parse_args()
    names = args.journeys or list(JOURNEYS)
    unknown = [n for n in names if n not in JOURNEYS]
    if unknown:
        parser.error("no journey %s; there are %s" % (", ".join(unknown), ", ".join(JOURNEYS)))

    missing = missing_tools()
    if missing:
        text = "missing: %s (scripts/bootstrap installs them)" % " ".join(missing)
        if os.environ.get("CI") == "true":
            print("FAIL: " + text)
            return 1
        print("SKIP: " + text)
        return 77
    if not os.access(args.program, os.X_OK):
        print("FAIL: no program at %s" % args.program)
        return 1

    passed = failed = 0
    for name in names:
        if run(name, os.path.abspath(args.program), os.path.abspath(args.out)):
            passed += 1
        else:
            failed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
