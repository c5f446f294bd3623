#!/usr/bin/env python3
"""A user's journeys through the simulated program, driven by real X events.

  journeys.py --program build/qmreadout_sim --out build/e2e [journey ...]

Runs the named journeys (all when none is named), each on an X server of its
own, and ends with "N passed, N failed". Exit status 0 when all passed, 1
when one failed, 77 when the tools are missing outside CI (skipped).
"""

import argparse
import os
import signal
import subprocess
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


def printed_statistics(s):
    """The statistics print to the file chosen in the print dialog."""
    pgt = open_grounding_tester(s)
    transfer_statistics(s, pgt)
    pgt.click(190, 349)
    s.type("Print check")
    folder = os.path.join(s.home, "printouts")
    os.makedirs(folder)
    wanted = os.path.join(folder, "statistics.pdf")
    pgt.click(280, 408)
    dialog = s.wait_window(r"^Print$")
    dialog.activate()
    s.key("alt+f", "ctrl+a")  # "Output file"
    s.type(wanted)
    s.key("Return")
    s.wait_gone(dialog)
    if not poll(lambda: os.path.exists(wanted) and os.path.getsize(wanted) > 0, 5):
        elsewhere = [os.path.join(r, n) for r, _, files in os.walk(s.home) for n in files
                     if n.lower().endswith(".pdf")]
        raise Failure("the print dialog's output file %s was not written%s; %s" % (
            s.tilde(wanted),
            "; the print-out went to " + ", ".join(map(s.tilde, elsewhere)) if elsewhere else "",
            describe(s)))
    text = pdf_text(wanted)
    for line in ("PGT 300 Print out statistic data.", "Number of measurments : 25",
                 "Comment : Print check"):
        if line not in text:
            raise Failure("the print-out lacks \"%s\"; it reads: %r" % (line, text))


def pdf_text(path):
    r = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True)
    if r.returncode != 0:
        raise Failure("%s is no PDF file that pdftotext can read: %s" % (path, r.stderr))
    return r.stdout


# Client positions of the live chart window's controls.
START, STOP, RESET, EXIT = (85, 523), (242, 523), (85, 577), (242, 577)
EDIT_CHART = (202, 35)  # the commander's editor button
PLOT = (386, 109, 590, 494)  # inside the axes


def open_live_chart(s):
    """EFM 640B, E-Fieldmeter, +-20 kV/m, then View -> Chart."""
    s.menu("Device", "Down", "Right", "Right", "Down", "Return")
    if "Range : \u00b120kV/m" not in s.main.title():
        raise Failure("choosing EFM 640B +-20kV/m left the title %r" % s.main.title())
    s.menu("View", "Down", "Return")
    if not poll(lambda: s.main.pixels((EXIT[0] - 40, EXIT[1] - 10, 80, 20)) !=
                s.main.pixels((EXIT[0] - 40, EXIT[1] - 60, 80, 20)), 3):
        raise Failure("View -> Chart showed no chart window")


def run_chart(s, seconds):
    s.main.click(*START)
    time.sleep(seconds)
    s.main.click(*STOP)


def exported_files(s):
    """Data as CSV and as Excel, the picture as WMF, through the export dialog."""
    open_live_chart(s)
    run_chart(s, 1.5)
    s.main.click(*EDIT_CHART)
    editor = s.wait_window(r"^Editing Chart1")
    editor.click(234, 12)  # the Export page
    folder = os.path.join(s.home, "exports")
    os.makedirs(folder)
    faults = []

    def step(check):
        try:
            check()
        except Failure as e:
            faults.append(str(e))

    def as_csv():
        editor.click(145, 38)  # Data
        editor.click(200, 110)  # Delimiter: Tab -> Comma
        s.key("Down", "Return")
        editor.click(124, 229)  # Save...
        s.save_dialog(os.path.join(folder, "data"), "Comma")
        expect_files(s, folder, "data", ".csv")
        rows = read_text(os.path.join(folder, "data.csv")).splitlines()
        numbers = [r for r in rows[1:] if r.strip()]
        if len(numbers) < 10 or any(len(r.split(",")) < 2 for r in numbers):
            raise Failure("data.csv holds no comma delimited readings: %r" % rows[:5])

    def as_excel():
        editor.click(145, 38)
        editor.click(124, 229)
        s.save_dialog(os.path.join(folder, "data"), "Microsoft")
        expect_files(s, folder, "data", ".xls")
        cells = excel_cells(os.path.join(folder, "data.xls"))
        if len(cells) < 10:
            raise Failure("data.xls holds %d rows of cells" % len(cells))

    def as_wmf():
        editor.click(35, 38)  # Picture
        editor.click(40, 84)  # as Metafile
        editor.click(124, 229)
        s.save_dialog(os.path.join(folder, "chartw"), "Metafiles")
        expect_files(s, folder, "chartw", ".wmf")
        with open(os.path.join(folder, "chartw.wmf"), "rb") as f:
            head = f.read(4)
        if head not in (b"\xd7\xcd\xc6\x9a", b"\x01\x00\x09\x00", b"\x02\x00\x09\x00"):
            raise Failure("chartw.wmf is no Windows metafile (it starts %r)" % head)

    for check in (as_csv, as_excel, as_wmf):
        step(check)
    if faults:
        raise Failure("; ".join(faults) + "; the folder holds " +
                      ", ".join(sorted(os.listdir(folder))))


def expect_files(s, folder, stem, extension):
    wanted = stem + extension
    if not poll(lambda: os.path.exists(os.path.join(folder, wanted)), 3):
        found = [n for n in find_file(folder, stem)]
        raise Failure("saving %s wrote %s" % (wanted, ", ".join(found) if found else "nothing"))


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("cp1252")


def excel_cells(path):
    import xlrd
    try:
        sheet = xlrd.open_workbook(path).sheet_by_index(0)
    except Exception as e:
        raise Failure("data.xls is no Excel file: %s" % e)
    return [sheet.row_values(r) for r in range(sheet.nrows)]


JOURNEYS = {
    "typed_comment": typed_comment,
    "printed_statistics": printed_statistics,
    "exported_files": exported_files,
}


# ---------------------------------------------------------------------------


JOURNEY_SECONDS = 90


def _overtime(*_):
    raise Failure("the journey took longer than %d s" % JOURNEY_SECONDS)


def run(name, program, out):
    folder = os.path.join(out, name)
    started = time.monotonic()
    session = None
    signal.signal(signal.SIGALRM, _overtime)
    signal.alarm(JOURNEY_SECONDS)
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
        signal.alarm(0)
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
