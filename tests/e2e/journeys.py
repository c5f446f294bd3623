#!/usr/bin/env python3
"""A user's journeys through the simulated program, driven by real X events.

  journeys.py --program build/qmreadout_sim --out build/e2e [journey ...]

Runs the named journeys (all when none is named), each on an X server of its
own, and ends with "N passed, N failed". Exit status 0 when all passed, 1
when one failed, 77 when the tools are missing outside CI (skipped).
"""

import argparse
import os
import re
import signal
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import LONG, Failure, Session, Skip, missing_tools, poll, without_tools  # noqa: E402

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
    if not poll(lambda: is_white(pgt.pixels((40, 342, 300, 10))), LONG):
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
    s.add_keys(ACCENTED)
    s.type(PRINTABLE)
    s.type(ACCENTED)
    folder = os.path.join(s.home, "results")
    os.makedirs(folder)
    save_grounding_csv(s, pgt, os.path.join(folder, "grounding"))
    names = poll(lambda: find_file(folder, "grounding"), LONG)
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
    if not poll(lambda: os.path.exists(wanted) and os.path.getsize(wanted) > 0, LONG):
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


def choose_paper(s, dialog, paper, output):
    """In the print dialog: Properties, the paper (a size's name, or a custom
    width and height in millimetres; None leaves the paper shown), OK, then
    the output file and Print."""
    dialog.activate()
    s.key("alt+r")  # "Properties"
    props = s.wait_window(r"^Printer Properties$")
    props.activate()
    if paper is not None:
        props.click(*PAGE_SIZE)
        s.handled()  # the list is open
        # Typing searches on from the entry shown: from the top, "A5" is A5, not "A5 Extra".
        s.key("Home")
    if isinstance(paper, str):
        s.type(paper)
        s.key("Return")
    elif paper is not None:
        s.type("Custom")
        s.key("Return")
        for field, mm in zip((PAPER_WIDTH, PAPER_HEIGHT), paper):
            props.click(*field)
            s.key("ctrl+a")
            s.type(str(mm))
    props.click(*PROPERTIES_OK)
    s.wait_gone(props)
    print_to(s, dialog, output)


def print_to(s, dialog, output):
    """In the print dialog: the output file, then Print."""
    dialog.activate()
    s.key("alt+f", "ctrl+a")  # "Output file"
    s.type(output)
    s.key("Return")
    s.wait_gone(dialog)


def pdf_pages(path):
    """Each page's width and height in millimetres, as pdfinfo reads them."""
    r = subprocess.run(["pdfinfo", "-f", "1", "-l", "999", path], capture_output=True, text=True)
    if r.returncode != 0:
        raise Failure("%s is no PDF file that pdfinfo can read: %s" % (path, r.stderr))
    return [(round(float(w) * 25.4 / 72), round(float(h) * 25.4 / 72)) for w, h in
            re.findall(r"^Page +\d+ size: +([\d.]+) x ([\d.]+) pts", r.stdout, re.M)]


def expect_printed_on(s, path, size, lines):
    if not poll(lambda: os.path.exists(path) and os.path.getsize(path) > 0, LONG):
        raise Failure("the print-out %s was not written; %s" % (s.tilde(path), describe(s)))
    pages = pdf_pages(path)
    if not pages or any(p != size for p in pages):
        raise Failure("%s has pages of %s mm instead of %d x %d mm" % (
            s.tilde(path), ", ".join("%d x %d" % p for p in pages) or "no size", *size))
    text = pdf_text(path)
    for line in lines:
        if line not in text:
            raise Failure("%s lacks \"%s\"; it reads: %r" % (s.tilde(path), line, text))
    off = words_off_page(path)
    if off:
        raise Failure("%s has words that are not whole on their page: %s" % (
            s.tilde(path), ", ".join(off)))
    return pages


def words_off_page(path):
    """The words of a PDF whose box passes its page's edge (a reader drops a
    character wholly off the page, so the lines looked for catch those)."""
    r = subprocess.run(["pdftotext", "-bbox", path, "-"], capture_output=True, text=True)
    off, width, height = [], 0.0, 0.0
    for m in re.finditer(r'<page width="([\d.]+)" height="([\d.]+)">|'
                         r'<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" '
                         r'yMax="([-\d.]+)">([^<]*)</word>', r.stdout):
        if m.group(1):
            width, height = float(m.group(1)), float(m.group(2))
            continue
        x0, y0, x1, y1 = (float(m.group(i)) for i in range(3, 7))
        if x0 < -0.5 or y0 < -0.5 or x1 > width + 0.5 or y1 > height + 0.5:
            off.append("\"%s\" at %.0f, %.0f pt" % (m.group(7), x0, y0))
    return off


def paper_chosen(s):
    """The grounding tester prints on a custom 80 x 50 mm label, every line
    whole on it, and again on the label when the dialog is confirmed as it
    shows; the calibration prints on A5, as chosen in the print dialog's
    printer properties."""
    folder = os.path.join(s.home, "printouts")
    os.makedirs(folder)
    pgt = open_grounding_tester(s)
    transfer_statistics(s, pgt)
    pgt.click(190, 349)
    s.type("Label")
    label = os.path.join(folder, "label.pdf")
    pgt.click(280, 408)
    choose_paper(s, s.wait_window(r"^Print$"), (80, 50), label)
    statistics = ("PGT 300 Print out statistic data.", "Number of measurments : 25",
                  "= 3.8%", "Comment : Label")
    expect_printed_on(s, label, (80, 50), statistics)
    # The label comes back as chosen: printed again with the dialog confirmed
    # as it shows, its properties looked at and not.
    for looked in (True, False):
        again = os.path.join(folder, "label %s.pdf" % ("looked at" if looked else "again"))
        pgt.click(280, 408)
        dialog = s.wait_window(r"^Print$")
        if looked:
            choose_paper(s, dialog, None, again)
        else:
            print_to(s, dialog, again)
        expect_printed_on(s, again, (80, 50), statistics)
    pgt.close_box()
    s.wait_gone(pgt)
    s.menu("Device", "Up", "Up", "Right", "Down", "Return")  # RXM 850, Calibrate
    cali = s.wait_window(r"Calibration mode$")
    a5 = os.path.join(folder, "calibration.pdf")
    cali.click(*CALI_PRINT)
    choose_paper(s, s.wait_window(r"^Print$"), "A5", a5)
    expect_printed_on(s, a5, (148, 210), ("QM read out - calibration of the RXM 850",))
    cali.click(*CALI_EXIT)
    s.wait_gone(cali)


# The print dialog's printer properties, in its client area.
PAGE_SIZE, PAPER_WIDTH, PAPER_HEIGHT, PROPERTIES_OK = (228, 110), (145, 138), (303, 138), (356, 554)


# Client positions of the live chart window's controls.
START, STOP, RESET, EXIT = (85, 523), (242, 523), (85, 577), (242, 577)
EDIT_CHART = (202, 35)  # the commander's editor button
PLOT = (386, 109, 590, 494)  # inside the axes


def open_live_chart(s):
    """EFM 640B, E-Fieldmeter, +-20 kV/m, then View -> Chart."""
    s.menu("Device", "Down", "Right", "Right", "Down", "Return")
    if "Range : \u00b120kV/m" not in s.main.title():
        raise Failure("choosing EFM 640B +-20kV/m left the title %r" % s.main.title())
    buttons = (START[0] - 40, START[1] - 10, 200, 70)
    before = s.main.pixels(buttons)
    s.menu("View", "Down", "Return")
    if not poll(lambda: s.main.pixels(buttons) != before, LONG):
        raise Failure("View -> Chart showed no chart window; %s" % describe(s))


def run_chart(s, readings):
    s.main.click(*START)
    await_readings(s, readings)
    s.main.click(*STOP)


def await_readings(s, count):
    """Returns once the running curve was seen to change count times, so it
    took at least count readings, however slowly the machine runs."""
    seen = [s.main.pixels(PLOT), 0]

    def counted():
        now = s.main.pixels(PLOT)
        if now != seen[0]:
            seen[0], seen[1] = now, seen[1] + 1
        return seen[1] >= count
    if not poll(counted, LONG * 2):
        raise Failure("the running chart took %d of %d readings; %s" % (seen[1], count,
                                                                        describe(s)))


def exported_files(s):
    """Data as CSV and as Excel, the picture as WMF, through the export dialog."""
    open_live_chart(s)
    run_chart(s, 12)
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
        rows = excel_cells(os.path.join(folder, "data.xls"))
        readings = [r for r in rows if any(isinstance(v, float) for v in r)]
        if len(readings) < 10:
            raise Failure("data.xls holds %d rows of readings: %r" % (len(readings), rows[:5]))

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
        svg = os.path.join(s.out_dir, "chartw.svg")
        r = subprocess.run(["wmf2svg", "-o", svg, os.path.join(folder, "chartw.wmf")],
                           capture_output=True, text=True)
        if r.returncode != 0 or not os.path.exists(svg):
            raise Failure("chartw.wmf cannot be read as a metafile: %s" % r.stderr.strip())

    for check in (as_csv, as_excel, as_wmf):
        step(check)
    if faults:
        raise Failure("; ".join(faults) + "; the folder holds " +
                      ", ".join(sorted(os.listdir(folder))))


def expect_files(s, folder, stem, extension):
    wanted = stem + extension
    if not poll(lambda: os.path.exists(os.path.join(folder, wanted)), LONG):
        found = [n for n in find_file(folder, stem)]
        raise Failure("saving %s wrote %s" % (wanted, ", ".join(found) if found else "nothing"))


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("cp1252")


def excel_cells(path):
    import xlrd
    try:
        sheet = xlrd.open_workbook(path, encoding_override="cp1252").sheet_by_index(0)
    except Exception as e:
        raise Failure("data.xls is no Excel file: %s" % e)
    return [sheet.row_values(r) for r in range(sheet.nrows)]


def decay_after_close_box(s):
    """The decay chart closed by its close box; the result is saved after."""
    s.menu("Device", "Up", "Up", "Up", "Right", "Right", "Return")  # CPM 690, CPM-Mode, Start
    cpm = s.wait_window(r"^CHARGE-PLATE Monitor / Port")
    cpm.click(60, 335)  # Start Measure
    # The memo's fifth line says the test finished.
    if not poll(lambda: not is_white(cpm.pixels((22, 112, 300, 12))), LONG):
        raise Failure("the decay test did not finish; %s" % describe(s))
    s.expect_no_message({s.main.id, cpm.id}, "the decay test")
    cpm.click(172, 335)  # View Chart
    chart = s.wait_window(r"^Chart CHARGE-PLATE Monitor")
    chart.close_box()
    s.wait_gone(chart)
    if not poll(lambda: s.find(r"^CHARGE-PLATE Monitor / Port"), LONG):
        raise Failure("after the chart window's close box the plate monitor window stays "
                      "hidden, so its unsaved result cannot be saved; %s" % describe(s))
    cpm.activate()
    cpm.click(695, 509)  # Save results: a comment box and "OK save" take its place
    s.type("after the close box")
    cpm.click(695, 509)
    folder = os.path.join(s.home, "decay")
    os.makedirs(folder)
    s.save_dialog(os.path.join(folder, "result"))
    names = poll(lambda: find_file(folder, "result"), LONG)
    if not names:
        raise Failure("saving the decay result wrote no file; %s" % describe(s))
    text = read_text(os.path.join(folder, names[0]))
    row = text.splitlines()[-1].split(";")
    # The figures the window showed: 5.8 sec, 9.2 sec, -12.0 V.
    if row[-1] != "after the close box" or row[2] != "Auto" or row[6:9] != ["5.8", "9.2",
                                                                          "-12.0"]:
        raise Failure("%s ends in the row %r, not the test's result with its comment" %
                      (names[0], row))


def live_chart_reopened(s):
    """Zoom and pan the running chart, Stop, Reset, Exit, reopen, Start again."""
    open_live_chart(s)
    chart_box = (331, 53, 666, 606)
    first = s.main.steady_pixels(chart_box)
    s.main.shot("first-opened")
    known = {s.main.id}
    s.main.click(*START)
    expect_moving_curve(s, "Start")
    await_readings(s, 12)
    # Zoom into a rectangle late in the run, well past the chart's first width;
    # the left axis' labels show whether it took.
    labels = (331, 100, 52, 510)
    unzoomed = s.main.pixels(labels)
    s.main.drag((700, 150), (950, 500))
    if not poll(lambda: s.main.pixels(labels) != unzoomed, LONG):
        raise Failure("dragging a rectangle on the running chart did not zoom")
    s.main.drag((600, 300), (400, 350), button=3)  # pan towards later times
    s.expect_no_message(known, "zooming and panning the running chart")
    for name, where in (("Stop", STOP), ("Reset", RESET), ("Exit", EXIT)):
        s.main.click(*where)
        s.expect_no_message(known, name)
    s.menu("View", "Down", "Return")
    # The chart as first opened, once it is painted.
    poll(lambda: s.main.pixels(chart_box) == first, LONG, 0.2)
    s.expect_no_message(known, "zoom, pan, Stop, Reset, Exit and View -> Chart")
    reopened = s.main.pixels(chart_box)
    if reopened != first:
        s.main.shot("reopened")
        raise Failure("the reopened chart is not the chart first opened: %s (see "
                      "first-opened.png and reopened.png); the zoom or pan stays applied" %
                      where_differing(first, reopened, chart_box))
    s.main.click(*START)
    expect_moving_curve(s, "Start after reopening")
    s.main.click(*STOP)
    s.expect_no_message(known, "Stop")


def changed_series_type(s):
    """The live series changed to points in the chart editor still charts."""
    open_live_chart(s)
    s.main.click(*EDIT_CHART)
    editor = s.wait_window(r"^Editing Chart1")
    editor.click(430, 181)  # Series page: Change...
    gallery = s.wait_window(r"^Chart Gallery$")
    gallery.click(62, 160)  # Point
    gallery.click(336, 311)  # OK
    s.wait_gone(gallery)
    editor.click(447, 302)  # Close
    s.wait_gone(editor)
    s.main.click(*START)
    try:
        expect_moving_curve(s, "Start with the series changed to points")
    except Failure as e:
        raise Failure("pressing Start after changing the series to points: %s" % e)
    s.main.click(*STOP)


def expect_moving_curve(s, after):
    """The curve is drawn and moves on."""
    if not poll(lambda: dark_pixels(s.main.pixels(PLOT)) >= 100, LONG, 0.2):
        s.expect_no_message({s.main.id}, after)
        raise Failure("after %s the chart shows no curve" % after)
    a = s.main.pixels(PLOT)
    moved = poll(lambda: s.main.pixels(PLOT) != a, LONG, 0.2)
    s.expect_no_message({s.main.id}, after)
    if not moved:
        raise Failure("after %s the curve does not move" % after)


def dark_pixels(rgb):
    return sum(1 for i in range(0, len(rgb) - 2, 3) if rgb[i] + rgb[i + 1] + rgb[i + 2] < 150)


def where_differing(a, b, box):
    """How many pixels of two pictures of box differ, and where in the window."""
    width = box[2]
    spots = [i // 3 for i in range(0, min(len(a), len(b)), 3) if a[i:i + 3] != b[i:i + 3]]
    xs = [box[0] + p % width for p in spots]
    ys = [box[1] + p // width for p in spots]
    return "%d pixels differ within x %d..%d, y %d..%d" % (
        len(spots), min(xs), max(xs), min(ys), max(ys))


def full_disk(s):
    """Saves to a full disk say so and leave no torn file; once there is room
    again the result is saved."""
    folder = s.small_disk
    inside = s.mounted_view(folder)
    target = os.path.join(folder, "grounding")
    pgt = open_grounding_tester(s)
    transfer_statistics(s, pgt)
    pgt.click(190, 349)
    s.type("full disk")
    known = {s.main.id, pgt.id}

    def save_on_full_disk(what):
        fill(inside)
        save_grounding_csv(s, pgt, target)
        boxes = poll(lambda: s.message_boxes(known), LONG)
        for box, _ in boxes or []:
            box.activate()
            s.key("Return")
        os.remove(os.path.join(inside, "filler"))
        if not boxes:
            raise Failure("Save data %s on a full disk said nothing; the folder holds %s" %
                          (what, describe_folder(inside)))

    def rows_saved():
        names = find_file(inside, "grounding")
        return csv_rows(os.path.join(inside, names[0])) if names else []

    save_on_full_disk("to a new file")
    if find_file(inside, "grounding"):
        raise Failure("the failed save left %s" % describe_folder(inside))
    # Earlier days' results fill the file to the end of its last page, so a
    # row added on a full disk needs room the disk does not have.
    earlier = earlier_rows(4096)
    with open(os.path.join(inside, "grounding.CSV"), "wb") as f:
        f.write(earlier)
    save_on_full_disk("adding a row")
    with open(os.path.join(inside, "grounding.CSV"), "rb") as f:
        if f.read() != earlier:
            raise Failure("the failed save changed grounding.CSV to %r" % rows_saved()[-2:])
    save_grounding_csv(s, pgt, target)
    rows = poll(lambda: (lambda r: r if len(r) > len(csv_rows_of(earlier)) else None)(
        rows_saved()), LONG)
    if not rows or rows[:-1] != csv_rows_of(earlier) or rows[-1][-1] != "full disk":
        raise Failure("Save data, once the disk had room again, left the file ending in %r" %
                      rows_saved()[-2:])


SAVE_CHART = (289, 35)  # the commander's save button


def named_folder(s):
    """A chart and the grounding tester's CSV saved through the real file
    dialogs into a folder whose name holds umlauts and accents: both land
    there under the names typed, as the desktop names them."""
    folder = os.path.join(s.home, "Prüfungen éàç€")
    os.makedirs(folder)
    open_live_chart(s)
    run_chart(s, 3)
    s.add_keys("äöüéàç€ß")
    s.main.click(*SAVE_CHART)
    s.shot("chart-save-dialog", s.wait_window(r"^Save").id)
    s.save_dialog(os.path.join(folder, "Kurve ß"))
    expect_files(s, folder, "Kurve ß", ".tee")
    with open(os.path.join(folder, "Kurve ß.tee"), "rb") as f:
        if b"TPF0" not in f.read(16):  # after the file's own header
            raise Failure("Kurve ß.tee is no chart file")
    s.main.click(*EXIT)

    pgt = open_grounding_tester(s)
    transfer_statistics(s, pgt)
    pgt.click(190, 349)
    s.type("Prüfung")
    save_grounding_csv(s, pgt, os.path.join(folder, "Erdung äöü"))
    names = poll(lambda: find_file(folder, "Erdung äöü"), LONG)
    if not names:
        raise Failure("Save data wrote no file Erdung äöü.CSV; the folder holds %s; %s" %
                      (describe_folder(folder), describe(s)))
    rows = csv_rows(os.path.join(folder, names[0]))
    if len(rows) != 2 or rows[1][-1] != "Prüfung":
        raise Failure("%s holds %r instead of the header and the row commented Prüfung" %
                      (names[0], rows))
    # Nothing was written under the Windows-1252 bytes of a name.
    stray = [os.fsdecode(os.path.join(root, n))
             for root, dirs, files in os.walk(os.fsencode(s.home))
             for n in dirs + files if not valid_utf8(n)]
    if stray:
        raise Failure("names that are no UTF-8 appeared: %s" % ", ".join(map(s.tilde, stray)))
    s.expect_no_message({s.main.id, pgt.id}, "saving into %s" % s.tilde(folder))


def valid_utf8(name):
    try:
        name.decode("utf-8")
        return True
    except UnicodeDecodeError:
        return False


def earlier_rows(size):
    """A grounding tester file of exactly size bytes: the header and rows."""
    header = ("Date;Time;No. of meas.;HGB <;HGB < %;HGB >;HGB > %;Shoe <;Shoe < %;Shoe >;"
              "Shoe > %;Comment\r\n")
    row = "01/12/26;08:00:00;20;1;5.0%;0;0.0%;2;10.0%;0;0.0%;morning shift {}\r\n"
    text = header
    n = 0
    while len(text) + len(row.format(n)) + 20 < size:
        text += row.format(n)
        n += 1
    last = row.format(n)
    text += last.replace("shift", "shift" + "x" * (size - len(text) - len(last)))
    data = text.encode("cp1252")
    assert len(data) == size
    return data


def csv_rows_of(data):
    return [line.split(";") for line in data.decode("cp1252").split("\r\n") if line]


def fill(folder):
    fd = os.open(os.path.join(folder, "filler"), os.O_WRONLY | os.O_CREAT)
    try:
        while os.write(fd, b"\0" * 4096):
            pass
    except OSError:
        pass
    os.close(fd)


def disabled_buttons(s):
    """Save data and Print data look disabled until there are counts."""
    pgt = open_grounding_tester(s)
    captions = {"Save data": (50, 400, 100, 16), "Print data": (230, 400, 100, 16)}

    def black_text():
        return {name: dark_pixels(pgt.pixels(box)) > 20 for name, box in captions.items()}
    looks = black_text()
    if any(looks.values()):
        raise Failure("before any transfer %s look%s enabled although nothing can be saved "
                      "or printed" % (" and ".join(n for n, v in looks.items() if v),
                                      "" if sum(looks.values()) > 1 else "s"))
    transfer_statistics(s, pgt)
    if not poll(lambda: all(black_text().values()), LONG):
        raise Failure("after the transfer Save data and Print data still look disabled")


# Each window opened from the main window's menu, and closed by its close box.
CLOSED_WINDOWS = (
    ("the large display", ("View", "Down", "Down", "Return"), r"Range :  "),
    ("the port settings", ("Setup", "Down", "Return"), r"^Setup$"),
    ("the grounding tester", ("Device", "Up", "Right", "Return"), r"^PGT 300 / Port"),
    ("the resistance meter", ("Device", "Up", "Up", "Right", "Return"), r"^RXM 850 / Port"),
    ("the plate monitor", ("Device", "Up", "Up", "Up", "Right", "Right", "Return"),
     r"^CHARGE-PLATE Monitor / Port"),
    ("Info", ("?",), r"^Info$"),
)


def close_boxes(s):
    """A window closed by its close box leaves the main window as its own
    Exit, Cancel or OK does: Exit, Device, Setup and ? usable again (View
    follows the device chosen)."""
    s.menu("Device", "Down", "Right", "Right", "Down", "Return")  # a range enables View
    menu_bar = (0, 0, 400, 17)

    def menus():
        return s.main.pixels((0, 0, 150, 17)) + s.main.pixels((220, 0, 110, 17))
    faults = []
    for name, steps, title in CLOSED_WINDOWS:
        s.park_pointer()
        s.main.steady_pixels(menu_bar)
        before = menus()
        s.menu(*steps)
        window = s.wait_window(title)
        if window.id == s.main.id:
            raise Failure("%s did not open" % name)
        window.close_box()
        s.wait_gone(window)
        s.park_pointer()
        if not poll(lambda: menus() == before, LONG):
            s.main.shot("menu-after-" + name.replace(" ", "-"))
            faults.append("after %s was closed by its close box the main window's menu "
                          "bar stays greyed" % name)
            break
        s.expect_no_message({s.main.id}, "closing %s by its close box" % name)
    if faults:
        raise Failure("; ".join(faults))


def read_only_setup(s):
    """Installed where SETUP.INI cannot be written, the grounding tester's
    result is still saved: the row first, then one message that the folder
    could not be remembered, and Save data works again."""
    pgt = open_grounding_tester(s)
    transfer_statistics(s, pgt)
    pgt.click(190, 349)
    s.type("read-only")
    folder = os.path.join(s.home, "results")
    os.makedirs(folder)
    known = {s.main.id, pgt.id}
    for saves in (1, 2):
        save_grounding_csv(s, pgt, os.path.join(folder, "grounding"))
        boxes = poll(lambda: s.message_boxes(known), LONG)
        names = find_file(folder, "grounding")
        rows = csv_rows(os.path.join(folder, names[0])) if names else []
        if len(rows) != 1 + saves or rows[-1][-1] != "read-only":
            raise Failure("save %d with SETUP.INI not writable left %s" % (
                saves, "rows %r" % rows[1:] if names else "no file grounding.CSV"))
        texts = [t for _, t in boxes or []]
        if len(texts) != 1 or "remembered" not in texts[0]:
            raise Failure("save %d with SETUP.INI not writable said %s instead of one message "
                          "that the folder could not be remembered" % (
                              saves, "; ".join('"%s"' % t for t in texts) or "nothing"))
        boxes[0][0].activate()
        s.key("Return")
        s.wait_gone(boxes[0][0])
    if os.path.exists(os.path.join(s.root, "prog", "SETUP.INI")):
        raise Failure("SETUP.INI was written in the read-only program folder")


def registered_help(s):
    """A help folder in the settings store, and a desktop opener that notes
    what it is asked to open."""
    s.help_folder = os.path.join(s.home, "help")
    os.makedirs(s.help_folder)
    with open(os.path.join(s.help_folder, "TeeUser6.hlp"), "w") as f:
        f.write("help")
    config = os.path.join(s.home, ".config", "qmreadout")
    os.makedirs(config)
    with open(os.path.join(config, "registry.ini"), "w") as f:
        f.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help]\n")
        f.write('TeeUser6.hlp="%s"\n' % s.help_folder)
    tools = os.path.join(s.root, "tools")
    os.makedirs(tools)
    s.opened = os.path.join(s.root, "opened.txt")
    opener = os.path.join(tools, "xdg-open")
    with open(opener, "w") as f:
        f.write('#!/bin/sh\necho "$@" >> "%s"\n' % s.opened)
    os.chmod(opener, 0o755)
    return {"PATH": tools + ":" + os.environ.get("PATH", "/usr/bin:/bin")}


def help_in_editor(s):
    """Help... in the chart editor opens the registered help file."""
    open_live_chart(s)
    s.main.click(*EDIT_CHART)
    editor = s.wait_window(r"^Editing Chart1")
    known = {s.main.id, editor.id}
    editor.activate()
    s.key("alt+h")
    expected = os.path.join(s.help_folder, "TeeUser6.hlp")
    if not poll(lambda: os.path.exists(s.opened), LONG):
        editor.shot("help")
        raise Failure("pressing Help... opened nothing; %s" % describe(s))
    with open(s.opened) as f:
        asked = f.read().split("\n")[0]
    if asked != expected:
        raise Failure("pressing Help... asked the desktop to open %r, not %r" % (asked, expected))
    s.expect_no_message(known, "Help...")
    s.key("Escape")
    s.wait_gone(editor)


INFO_OK = (328, 419)  # Info's OK button
CALI_EXIT = (675, 538)  # the calibration window's Exit
CALI_PRINT = (316, 376)  # its Print Info display


def view_after_info(s):
    """Info's OK and the calibration window's Exit give View back after a
    range, not after the grounding tester or the resistance meter, whose
    readings are no chart's."""
    chart_box = (400, 60, 500, 400)

    def view_chart(expected, after, shot):
        """View -> Chart; a chart must come when expected, else none, once
        the program has handled the click and on for a quiet while."""
        s.park_pointer()
        s.handled()
        before = s.main.pixels(chart_box)
        s.menu("View", "Down", "Return")
        if expected:
            if not poll(lambda: s.main.pixels(chart_box) != before, LONG):
                s.main.shot(shot)
                raise Failure("after %s View -> Chart shows no chart (see %s.png)" %
                              (after, shot))
        else:
            def chart():
                if s.main.pixels(chart_box) == before:
                    return None
                s.main.shot(shot)
                return "View -> Chart shows a chart (see %s.png)" % shot
            s.expect_none(chart, after)
        s.key("Escape")  # a menu left open by a disabled title

    def info_ok():
        s.menu("?")
        info = s.wait_window(r"^Info$")
        info.click(*INFO_OK)
        s.wait_gone(info)

    s.menu("Device", "Down", "Right", "Right", "Down", "Return")  # EFM 640B +-20kV/m
    pgt = open_grounding_tester(s)
    pgt.close_box()
    s.wait_gone(pgt)
    info_ok()
    view_chart(False, "the grounding tester, Info and OK,", "chart-after-info")
    s.expect_no_message({s.main.id}, "View -> Chart after the grounding tester and Info")
    s.menu("Device", "Down", "Right", "Right", "Down", "Return")
    s.menu("Device", "Up", "Up", "Right", "Down", "Return")  # RXM 850, Calibrate
    cali = s.wait_window(r"Calibration mode$")
    cali.click(*CALI_EXIT)
    s.wait_gone(cali)
    view_chart(False, "the calibration window's Exit", "chart-after-calibration")
    s.expect_no_message({s.main.id}, "View -> Chart after the calibration window")
    s.menu("Device", "Down", "Right", "Right", "Down", "Return")
    info_ok()
    view_chart(True, "a range, Info and OK,", "no-chart-after-range")


# ---------------------------------------------------------------------------
# Windows larger than the screen: fitted to it, their content scrolling

BAR = 16  # the scroll bars' width (logical pixels)
MENU = 19  # the main window's menu bar

# Client size of each window's content and its buttons' centres, in logical
# pixels of the client area below the menu bar.
MAIN_CONTENT = (998, 654, MENU)
MAIN_BUTTONS = {"Start": (86, 485), "Stop": (243, 485), "Reset": (86, 539),
                "Exit": (243, 539)}
# The commander's buttons, in their top row; those that open a window last.
COMMANDER = [("Rotate", 51), ("Move", 80), ("Zoom", 109), ("Depth", 138), ("Normal", 16),
             ("3D", 167), ("3D off", 167), ("Copy", 260), ("Edit", 202), ("Print preview", 231),
             ("Save", 289)]
CPM_CONTENT = (800, 573, 0)
CPM_BUTTONS = {"Start Measure": (61, 335), "View Chart": (173, 335), "Break": (285, 335),
               "Read File": (397, 335), "Info": (509, 335), "Clear Display": (621, 335),
               "Exit": (733, 335), "Save results": (696, 509)}
CPM_READ_SETUP = (539, 251)
DISPLAY_CONTENT = (985, 651, 0)
DISPLAY_BUTTONS = {"Start": (105, 424), "Break": (105, 480), "Reset": (105, 536),
                   "Exit": (105, 592)}
RXM_CONTENT = (912, 623, 0)
RXM_EXIT = (836, 590)
CALI_CONTENT = (760, 575, 0)
FACE = b"\xd4\xd0\xc8"  # the face colour the scroll bars' thumb is drawn in


class Fitted:
    """A window fitted to the screen, as a user sees and scrolls it."""

    def __init__(self, s, window, content, at_start=True):
        """at_start: the window opened with its view at the top left."""
        self.s, self.window = s, window
        self.cw, self.ch, self.mh = content
        _, _, w, h = window.geometry()
        self.w, self.h = w / s.scale, h / s.scale
        across = self.w < self.cw - 0.5
        down = self.h < self.mh + self.ch - 0.5
        across = across or (down and self.w < self.cw + BAR - 0.5)
        down = down or (across and self.h < self.mh + self.ch + BAR - 0.5)
        self.across, self.down = across, down
        self.view = (self.w - (BAR if down else 0), self.h - self.mh - (BAR if across else 0))
        self.offsets = None  # where the content is scrolled to, once known
        if self.scrolled():
            self.scroll_bars(at_start)

    # ---- the scroll bars, as a user reads and moves them

    def bar(self, across):
        """The bar's box (logical) and its length in pixels."""
        if across:
            return (0, self.h - BAR, self.view[0], BAR), round(self.view[0] * self.s.scale)
        return (self.w - BAR, self.mh, BAR, self.view[1]), round(self.view[1] * self.s.scale)

    def thumb(self, across):
        """Where the thumb is drawn along the bar (first, last pixel): the
        longest run of the face colour along the bar's middle."""
        box, length = self.bar(across)
        x, y, w, h = box
        lx, ly, lw, lh = self.at((x, y + h / 2, w, 1) if across else (x + w / 2, y, 1, h))
        rgb = self.window.steady_pixels((lx, ly, lw, 1) if across else (lx, ly, 1, lh), 3)
        best, first = (-1, -2), None
        for i in range(len(rgb) // 3):
            if rgb[3 * i:3 * i + 3] == FACE:
                first = i if first is None else first
                if i - first > best[1] - best[0]:
                    best = (first, i)
            else:
                first = None
        if best[1] - best[0] < 8:
            self.window.shot("no-thumb")
            raise Failure("the %s scroll bar of %r shows no thumb" % (
                "horizontal" if across else "vertical", self.window))
        return best

    def content(self):
        return self.window.steady_pixels((0, round(self.mh * self.s.scale)) +
                                         self.at((self.view[0], self.view[1])), 3)

    def press(self, across, along, to=None):
        """Clicks the bar at along (pixels from its start), or drags from there
        to to; the view as it then shows."""
        box, _ = self.bar(across)
        x, y = self.at((box[0], box[1]))
        mid = round(BAR * self.s.scale / 2)
        # Before the window's edge is as far as a pointer goes there.
        point = (lambda a: (max(0, x + a), y + mid)) if across else \
            (lambda a: (x + mid, max(0, y + a)))
        self.s.park_pointer()
        if to is None:
            self.window.click(*point(along))
        else:
            self.window.drag(point(along), point(to))
        self.s.park_pointer()
        return self.content()

    def scroll_bars(self, at_start):
        """Each bar shows the view where it is and takes it where it is moved:
        the thumb dragged to each end takes the view there and stays there;
        each arrow moves view and thumb its way. Ends at the top left."""
        arrow = round(BAR * self.s.scale)
        for across, name in ((True, "horizontal"), (False, "vertical")):
            if not (self.across if across else self.down):
                continue
            _, length = self.bar(across)
            where = "the %s scroll bar of %r" % (name, self.window)

            def fail(what):
                self.window.shot("scroll-" + name)
                raise Failure("%s: %s (see scroll-%s.png)" % (where, what, name))
            first, last = self.thumb(across)
            if at_start and first > arrow + 3:
                fail("with the view at the %s the thumb sits at pixel %d of %d" % (
                    "left" if across else "top", first, length))
            for end in ("far", "near"):
                first, last = self.thumb(across)
                view = self.press(across, (first + last) // 2,
                                  length + 2 * arrow if end == "far" else -2 * arrow)
                first, last = self.thumb(across)
                if end == "far" and last < length - arrow - 4 or \
                        end == "near" and first > arrow + 3:
                    fail("dragged to the %s end, the thumb stays at pixels %d to %d of %d" % (
                        end, first, last, length))
                # At an end the arrow that points on moves nothing; the other
                # moves view and thumb back.
                on, back = (length - arrow // 2, arrow // 2)[::1 if end == "far" else -1]
                if self.press(across, on) != view:
                    fail("at the %s end its outer arrow still moves the view" % end)
                moved = self.press(across, back)
                f2, l2 = self.thumb(across)
                if moved == view:
                    fail("at the %s end its inner arrow does not move the view" % end)
                if (f2 - first) * (1 if end == "near" else -1) <= 0:
                    fail("the arrow moved the view from the %s end but the thumb went from "
                         "%d to %d" % (end, first, f2))
                self.press(across, on)
            self.press(across, (lambda t: (t[0] + t[1]) // 2)(self.thumb(across)), -2 * arrow)
        self.offsets = (0, 0)

    def scrolled(self):
        return self.across or self.down

    def at(self, logical):
        return tuple(round(v * self.s.scale) for v in logical)

    def wheel(self, bar_point, button):
        x, y = self.at(bar_point)
        self.s.x("xdotool", "mousemove", "--window", self.window.id, str(x), str(y),
                 "click", "--repeat", "25", "--delay", "4", str(button))

    def show(self, point):
        """Scrolls with the scroll bars until point shows; where it shows."""
        x, y = point
        off_x = self.cw - self.view[0] if x + 30 > self.view[0] else 0
        off_y = self.ch - self.view[1] if y + 25 > self.view[1] else 0
        if self.offsets == (off_x, off_y):
            return self.at((x - off_x, self.mh + y - off_y))
        self.offsets = (off_x, off_y)
        if self.down:
            self.wheel((self.w - BAR / 2, self.mh + self.view[1] / 2), 5 if off_y else 4)
        if self.across:
            self.wheel((self.view[0] / 2, self.h - BAR / 2), 5 if off_x else 4)
        self.window.steady_pixels((0, 0) + self.at((self.w, self.h)), 2)
        return self.at((x - off_x, self.mh + y - off_y))

    def click(self, name, point, looks_pressed=True):
        """Clicks the button at point of the content where it is shown, once it
        is seen to go down under the pointer (a button held down by an
        earlier click changes nothing then: the window must change after)."""
        x, y = self.show(point)
        if not looks_pressed:
            before = self.window.pixels()
            self.s.x("xdotool", "mousemove", "--window", self.window.id, str(x), str(y),
                     "click", "1")
            if not poll(lambda: self.window.pixels() != before, LONG):
                raise Failure("%s of %r changed nothing (clicked at %d, %d)" %
                              (name, self.window, x, y))
            return
        self.s.park_pointer()
        r = round(8 * self.s.scale)
        box = (x - 3 * r, y - r, 6 * r, 2 * r)
        # The picture before, once the program has handled all it was sent.
        self.s.handled()
        before = self.window.pixels(box)
        self.s.x("xdotool", "mousemove", "--window", self.window.id, str(x), str(y),
                 "mousedown", "1")
        down = poll(lambda: self.window.pixels(box) != before, LONG)
        self.s.x("xdotool", "mouseup", "1")
        self.s.handled()
        if not down:
            self.window.shot("not-pressed-" + name.replace(" ", "-").lower())
            raise Failure("%s of %r is not where the window shows it (%d, %d)" %
                          (name, self.window, x, y))


def expect_on_screen(s, window):
    """The whole frame lies on the screen."""
    x, y, w, h = window.geometry()
    extents = s.x("xprop", "-id", window.id, "_NET_FRAME_EXTENTS")
    m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", extents)
    left, right, top, bottom = (int(v) for v in m.groups()) if m else (0, 0, 0, 0)
    if x - left < 0 or y - top < 0 or x + w + right > s.screen[0] or \
            y + h + bottom > s.screen[1]:
        window.shot("off-screen")
        raise Failure("%r lies beyond the %dx%d screen: frame from %d,%d to %d,%d" % (
            window, s.screen[0], s.screen[1], x - left, y - top, x + w + right, y + h + bottom))


def changes(window, seconds=0.6):
    a = window.pixels()
    time.sleep(seconds)
    return window.pixels() != a


def fitted_windows(s):
    """The live chart and the plate monitor on a small or scaled screen: each
    window lies on the screen and every button is clicked where it shows."""
    expect_on_screen(s, s.main)
    s.menu("Device", "Down", "Right", "Right", "Down", "Return")
    s.menu("View", "Down", "Return")
    s.handled()
    # The start picture scrolled into view: the view need not be at the top left.
    main = Fitted(s, s.main, MAIN_CONTENT, at_start=False)
    if not main.scrolled():
        raise Failure("the live chart (%dx%d) shows whole on a %dx%d screen at scale %s" % (
            MAIN_CONTENT[0], MAIN_CONTENT[1], s.screen[0], s.screen[1], s.scale))
    known = {s.main.id}
    main.click("Start", MAIN_BUTTONS["Start"])
    if not poll(lambda: changes(s.main), LONG):
        raise Failure("after Start the live chart does not move")
    s.main.shot("live-chart-running")
    main.click("Stop", MAIN_BUTTONS["Stop"])
    if not poll(lambda: not changes(s.main), LONG):
        raise Failure("after Stop the live chart still moves")
    for name, x in COMMANDER:
        main.click(name, (x, 16), looks_pressed=name != "3D off")
        opened = [w for w in s.windows() if w.id not in known]
        if name in ("Edit", "Print preview", "Save") and not opened:
            opened = poll(lambda: [w for w in s.windows() if w.id not in known], LONG)
            if not opened:
                raise Failure("the commander's %s opened no window" % name)
        for w in opened or []:
            expect_on_screen(s, w)
            w.activate()
            s.key("Escape")
            s.wait_gone(w)
            main.offsets = None
    for name in ("Reset", "Exit"):
        before = s.main.pixels()
        main.click(name, MAIN_BUTTONS[name])
        s.expect_no_message(known, name)
        if name == "Exit" and not poll(lambda: s.main.pixels() != before, LONG):
            raise Failure("Exit left the live chart shown")
    s.main.shot("main-after-exit")

    display_fitted(s)
    plate_monitor_fitted(s)
    resistance_meter_fitted(s)
    calibration_fitted(s)


def calibration_fitted(s):
    """The resistance meter's calibration window, left by its Exit."""
    s.menu("Device", "Up", "Up", "Right", "Down", "Return")  # RXM 850, Calibrate
    cali = s.wait_window(r"Calibration mode$")
    expect_on_screen(s, cali)
    view = Fitted(s, cali, CALI_CONTENT)
    if not view.scrolled():
        raise Failure("the calibration window shows whole on a %dx%d screen" % s.screen)
    view.click("Exit", CALI_EXIT)
    s.wait_gone(cali)


def display_fitted(s):
    """The large display: on the screen, its readings started, stopped, reset and left."""
    known = {w.id for w in s.windows()}
    s.menu("View", "Down", "Down", "Return")
    shown = poll(lambda: [w for w in s.windows() if w.id not in known], LONG)
    if not shown:
        raise Failure("View -> Display showed no window; %s" % describe(s))
    display = shown[0]
    expect_on_screen(s, display)
    view = Fitted(s, display, DISPLAY_CONTENT)
    if not view.scrolled():
        raise Failure("the large display shows whole on a %dx%d screen" % s.screen)
    view.click("Start", DISPLAY_BUTTONS["Start"])
    if not poll(lambda: changes(display), LONG):
        raise Failure("after Start the large display shows no new readings")
    display.shot("display-running")
    for name in ("Break", "Reset"):
        view.click(name, DISPLAY_BUTTONS[name])
        s.expect_no_message({s.main.id, display.id}, name + " on the large display")
    view.click("Exit", DISPLAY_BUTTONS["Exit"])
    s.wait_gone(display)


def resistance_meter_fitted(s):
    """The resistance meter's window lies on the screen; its Exit and its
    close box are reached."""
    title = r"^RXM 850 / Port"
    for leave in ("Exit", "close box"):
        s.menu("Device", "Up", "Up", "Right", "Return")
        rxm = s.wait_window(title)
        expect_on_screen(s, rxm)
        if leave == "Exit":
            view = Fitted(s, rxm, RXM_CONTENT)
            if not view.scrolled():
                raise Failure("the resistance meter window shows whole on a %dx%d screen" %
                              s.screen)
            view.click("Exit", RXM_EXIT)
        else:
            rxm.close_box()
        s.wait_gone(rxm)
        s.expect_no_message({s.main.id}, "leaving the resistance meter by its " + leave)


def plate_monitor_fitted(s):
    s.menu("Device", "Up", "Up", "Up", "Right", "Right", "Return")  # CPM 690, CPM-Mode, Start
    title = r"^CHARGE-PLATE Monitor / Port"
    cpm = s.wait_window(title)
    expect_on_screen(s, cpm)
    view = Fitted(s, cpm, CPM_CONTENT)
    if not view.scrolled():
        raise Failure("the plate monitor window shows whole on a %dx%d screen at scale %s" % (
            s.screen[0], s.screen[1], s.scale))
    known = {s.main.id, cpm.id}
    for name in ("Info", "Clear Display"):
        before = cpm.pixels()
        view.click(name, CPM_BUTTONS[name])
        if not poll(lambda: cpm.pixels() != before, LONG):
            raise Failure("%s of the plate monitor changed nothing" % name)
    view.click("Read setup", CPM_READ_SETUP)
    s.expect_no_message(known, "Read setup")
    view.click("Start Measure", CPM_BUTTONS["Start Measure"])
    # The memo's fifth line says the test finished (scrolled back to the top:
    # a busy program takes the wheel late).
    line = view.at((22, 112, 300, 12))

    def finished():
        view.offsets = None
        view.show((22, 112))
        return not is_white(cpm.pixels(line))
    if not poll(finished, LONG, 0.3):
        raise Failure("the decay test did not finish; %s" % describe(s))
    s.expect_no_message(known, "the decay test")
    view.click("View Chart", CPM_BUTTONS["View Chart"])
    chart = s.wait_window(r"^Chart CHARGE-PLATE Monitor")
    expect_on_screen(s, chart)
    chart.shot("decay-chart")
    chart.close_box()
    s.wait_gone(chart)
    cpm = s.wait_window(title)
    cpm.activate()
    view.offsets = None
    view.click("Save results", CPM_BUTTONS["Save results"])  # a comment box and "OK save"
    s.type("fitted")
    view.offsets = None  # the comment box may have scrolled into view
    view.click("OK save", CPM_BUTTONS["Save results"])
    folder = os.path.join(s.home, "decay")
    os.makedirs(folder)
    s.save_dialog(os.path.join(folder, "fitted"))
    if not poll(lambda: find_file(folder, "fitted"), LONG):
        raise Failure("Save results wrote no file; %s" % describe(s))
    cpm.activate()
    view.click("Break", CPM_BUTTONS["Break"])
    s.expect_no_message(known, "Break")
    # Read File asks for the files to read, or says none are stored.
    view.click("Read File", CPM_BUTTONS["Read File"])
    asked = poll(lambda: [w for w in s.windows() if w.id not in known], LONG)
    # The file number range has no key that cancels it: its close box does.
    for w in asked or []:
        w.close_box()
        s.wait_gone(w)
    if not poll(lambda: s.find(title), LONG):
        raise Failure("after Read File the plate monitor window is gone; %s" % describe(s))
    cpm = s.find(title)
    cpm.activate()
    view.offsets = None
    cpm.shot("plate-monitor")
    view.click("Exit", CPM_BUTTONS["Exit"])
    s.wait_gone(cpm)
    # Once more, left by the close box this time.
    s.menu("Device", "Up", "Up", "Up", "Right", "Right", "Return")
    cpm = s.wait_window(title)
    cpm.close_box()
    s.wait_gone(cpm)


def fitted_windows_1920x1080_scale2(s):
    fitted_windows(s)


def fitted_windows_1024x768_scale1_5(s):
    fitted_windows(s)


PRINT_PREVIEW = (231, 35)  # the commander's print preview button


def modal_above_owner(s):
    """The chart editor, its gallery and the print preview stay above the
    window that opened them, a click on that window included."""
    open_live_chart(s)
    s.main.click(*EDIT_CHART)
    editor = s.wait_window(r"^Editing Chart1")
    faults = []

    def check(dialog, owner):
        try:
            expect_modal_over(s, dialog, owner)
        except Failure as e:
            faults.append(str(e))
    check(editor, s.main)
    editor.activate()
    editor.click(430, 181)  # Series page: Change...
    gallery = s.wait_window(r"^Chart Gallery$")
    check(gallery, editor)
    gallery.activate()
    s.key("Escape")
    s.wait_gone(gallery)
    editor.activate()
    editor.click(447, 302)  # Close
    s.wait_gone(editor)
    known = {w.id for w in s.windows()}
    s.main.click(*PRINT_PREVIEW)
    preview = poll(lambda: [w for w in s.windows() if w.id not in known], LONG)
    if not preview:
        raise Failure("the print preview did not open; %s" % describe(s))
    check(preview[0], s.main)
    if faults:
        raise Failure("; ".join(faults))


def expect_modal_over(s, dialog, owner):
    """dialog is transient for owner and modal, and a click on owner leaves it on top."""
    if "_NET_WM_STATE_MODAL" not in s.x("xprop", "-id", dialog.id, "_NET_WM_STATE"):
        raise Failure("%r does not tell the window manager it is modal" % dialog)
    expect_above(s, dialog, owner)


def expect_above(s, dialog, owner):
    """dialog is transient for owner, and a click on owner's title bar (or, where
    dialog covers it, its client area) leaves dialog on top."""
    transient = s.x("xprop", "-id", dialog.id, "WM_TRANSIENT_FOR")
    m = re.search(r"window id # (0x[0-9a-f]+)", transient)
    if not m or int(m.group(1), 16) != int(owner.id):
        raise Failure("%r is not transient for %r (%s)" % (dialog, owner, transient.strip()))
    spot = uncovered_spot(owner, dialog)
    if not spot:
        raise Failure("%r covers all of %r" % (dialog, owner))
    s.x("xdotool", "mousemove", str(spot[0]), str(spot[1]), "click", "1")
    s.wm_sync()
    order = stacking(s)
    if int(dialog.id) not in order or order.index(int(dialog.id)) < order.index(int(owner.id)):
        dialog.session.shot("buried-" + dialog.name.split()[0].lower())
        raise Failure("a click on %r brought it over %r" % (owner, dialog))


def uncovered_spot(owner, dialog):
    """A screen point of owner (its client area or title bar) well away from
    dialog and its frame."""
    ox, oy, ow, oh = owner.geometry()
    dx, dy, dw, dh = dialog.geometry()
    title = oy - 10
    xs = [ox + 3] + [ox + ow * i // 8 for i in range(1, 8)] + [ox + ow - 4]
    for x, y in [(x, y) for y in (title, oy + oh - 5, oy + oh // 2) for x in xs]:
        if not (dx - 6 <= x < dx + dw + 6 and dy - 40 <= y < dy + dh + 6):
            return x, y
    return None


def stacking(s):
    """The managed windows' ids, bottom to top."""
    out = s.x("xprop", "-root", "_NET_CLIENT_LIST_STACKING")
    return [int(v, 16) for v in re.findall(r"0x[0-9a-f]+", out)]


# Windows that work while the main window waits disabled (or stays usable
# beneath them), opened from its menu: the close-box windows but the large display.
WINDOWS_OVER_MAIN = CLOSED_WINDOWS[1:]
# The resistance meter's calibration window, there when the program starts
# with the word "calibrate".
CALIBRATION = ("the calibration window", ("Device", "Up", "Up", "Right", "Down", "Return"),
               r"Calibration mode$")


def instruments_above_main(s):
    """Each window opened over the main window stays above it when the main
    window's title bar is clicked, so the window that works is never buried."""
    for name, steps, title in WINDOWS_OVER_MAIN:
        s.menu(*steps)
        window = s.wait_window(title)
        try:
            expect_above(s, window, s.main)
        except Failure as e:
            raise Failure("%s: %s" % (name, e))
        window.close_box()
        s.wait_gone(window)


# ---------------------------------------------------------------------------
# Every window over the main window, and each window it opens left again


def finished_decay_test(s, cpm):
    """A decay test run to its end, once a session: the chart and the saved
    result need one."""
    if getattr(s, "decay_tested", False):
        return
    cpm.click(60, 335)  # Start Measure
    # The memo's fifth line says the test finished.
    if not poll(lambda: not is_white(cpm.pixels((22, 112, 300, 12))), LONG):
        raise Failure("the decay test did not finish; %s" % describe(s))
    s.decay_tested = True


def view_decay_chart(s, cpm):
    finished_decay_test(s, cpm)
    cpm.click(172, 335)  # View Chart


def save_cpm_result(s, cpm):
    finished_decay_test(s, cpm)
    cpm.click(696, 509)  # Save results: the comment line and its OK & save
    if not poll(lambda: is_white(cpm.pixels((100, 502, 300, 12))), LONG):
        raise Failure("Save results showed no comment line; %s" % describe(s))
    cpm.click(696, 509)  # OK & save


def read_cpm_files(s, cpm):
    cpm.click(397, 335)  # Read File: the range of files to read


def comment_cpm_files(s, cpm):
    """Read File for file 1 to 1, up to the window asking its comment."""
    read_cpm_files(s, cpm)
    files = s.wait_window(r"^CHARGE-PLATE Monitor$")
    files.click(304, 66)  # the last file number
    s.key("ctrl+a")
    s.type("1")
    files.click(68, 157)  # OK

    def asks_comment():
        # The window goes while the file is read, and comes back with the
        # comment line.
        try:
            return is_white(files.pixels((30, 74, 300, 12)))
        except Failure:
            return False
    if not poll(asks_comment, LONG):
        files.shot("file-comments")
        raise Failure("reading file 1 asked no comment; %s" % describe(s))
    return files


def save_cpm_files(s, cpm):
    files = comment_cpm_files(s, cpm)
    files.click(68, 157)  # OK: the file's comment, then where the files go


def rxm_answered(s, rxm):
    if not getattr(s, "rxm_answered", False):
        rxm.click(68, 590)  # Init: Start and Read File work once the meter has answered
        if not poll(lambda: dark_pixels(rxm.pixels((545, 582, 70, 16))) > 20, LONG):
            raise Failure("after Init the resistance meter's Read File stays disabled; %s" %
                          describe(s))
        s.rxm_answered = True


def save_rxm_measurement(s, rxm):
    rxm_answered(s, rxm)
    save = (452, 590)
    if not enabled(rxm, save):
        rxm.click(196, 590)  # Start: a measurement to save
        if not poll(lambda: enabled(rxm, save), LONG):
            rxm.shot("measured")
            raise Failure("after a measurement the resistance meter's Save stays disabled; %s" %
                          describe(s))
    rxm.click(*save)  # Save: the comment line
    rxm.click(340, 401)  # its OK


def read_rxm_files(s, rxm):
    rxm_answered(s, rxm)
    rxm.click(580, 590)  # Read File: the range of files to read, in the window
    rxm.click(358, 244)  # its OK, for file 1 to 1


def set_port_parameters(s, setup):
    setup.click(104, 90)  # Set Com Parameters


def grounding_statistics(s, pgt):
    if not getattr(s, "pgt_transferred", False):
        transfer_statistics(s, pgt)  # Save data and Print data need the counts
        s.pgt_transferred = True


def save_pgt_data(s, pgt):
    grounding_statistics(s, pgt)
    pgt.click(100, 408)  # Save data


def print_pgt_data(s, pgt):
    grounding_statistics(s, pgt)
    pgt.click(280, 408)  # Print data


def print_calibration_info(s, cali):
    cali.click(316, 376)  # Print Info display


def enabled(window, point):
    """The button at point shows black text."""
    return dark_pixels(window.pixels((point[0] - 70, point[1] - 6, 140, 12))) > 20


def save_calibration(s, cali):
    save = (316, 335)  # Save calibration data
    if not enabled(cali, save):
        # Saving needs the parameters written, the meter's info read, then
        # the calibration date written.
        cali.click(316, 130)  # Write parameters
        query = s.wait_window(r"^Query$")
        query.activate()
        s.key("Return")
        s.wait_gone(query)
        if not poll(lambda: enabled(cali, (316, 171)), LONG):
            raise Failure("Write parameters left Read info from RXM disabled; %s" % describe(s))
        cali.click(316, 171)  # Read info from RXM
        if not poll(lambda: enabled(cali, (316, 212)), LONG):
            raise Failure("Read info from RXM left Write Cali date disabled; %s" % describe(s))
        cali.click(316, 212)  # Write Cali date: the serial number and this month
        cali.click(167, 366)  # their O K
        if not poll(lambda: enabled(cali, save), LONG):
            cali.shot("calibration-date")
            raise Failure("writing the calibration date left Save calibration data "
                          "disabled; %s" % describe(s))
    cali.click(*save)


# A dialog's Cancel, the button that leaves it as its close box does.
CANCEL = "Escape"

# What each window over the main window (and each window one of them opens)
# opens: how, the title, and the client point of the button (or the key) that
# leaves it as its close box does.
OPENED_OVER = {
    "the port settings": (
        ("the port parameters", set_port_parameters, r"^Port settings ", (258, 190)),
    ),
    "the grounding tester": (
        ("the save dialog", save_pgt_data, r"^Save", CANCEL),
        ("the print dialog", print_pgt_data, r"^Print$", CANCEL),
    ),
    "the plate monitor": (
        ("the decay chart", view_decay_chart, r"^Chart CHARGE-PLATE Monitor", (820, 590)),
        ("the result's save dialog", save_cpm_result, r"^Save Data$", CANCEL),
        ("the file range", read_cpm_files, r"^CHARGE-PLATE Monitor$", (352, 157)),
        ("the file comments", comment_cpm_files, r"^CHARGE-PLATE Monitor$", (352, 157)),
        ("the stored files' save dialog", save_cpm_files, r"^Save Data$", CANCEL),
    ),
    "the resistance meter": (
        ("the stored files", read_rxm_files, r"^RXM850 *$", (440, 368)),
        ("the measurement's save dialog", save_rxm_measurement, r"^Save", CANCEL),
    ),
    "the stored files": (
        ("the save dialog", lambda s, files: files.click(72, 368), r"^Save", CANCEL),
    ),
    CALIBRATION[0]: (
        ("the save dialog", save_calibration, r"^Write calibration data to file$", CANCEL),
        ("the print dialog", print_calibration_info, r"^Print$", CANCEL),
    ),
}


def main_spots(s, window):
    """A point of the main window's title bar and one of its body, each well
    away from window and its frame."""
    mx, my, mw, mh = s.main.geometry()
    wx, wy, ww, wh = window.geometry()
    xs = [mx + 3] + [mx + mw * i // 8 for i in range(1, 8)] + [mx + mw - 30]
    ys = [my + mh - 5, my + mh // 2, my + 40]

    def free(x, y):
        return not (wx - 6 <= x < wx + ww + 6 and wy - 40 <= y < wy + wh + 6)
    title = next(((x, my - 10) for x in xs if free(x, my - 10)), None)
    body = next(((x, y) for y in ys for x in xs if free(x, y)), None)
    return [("title bar", title), ("body", body)]


def expect_working_on_top(s, window, after):
    """window stays above the main window, transient for it, when the main
    window's title bar and then its body are clicked."""
    said = []

    def owned_by_main():
        said[:] = [s.x("xprop", "-id", window.id, "WM_TRANSIENT_FOR").strip()]
        m = re.search(r"window id # (0x[0-9a-f]+)", said[0])
        return m and int(m.group(1), 16) == int(s.main.id)
    if not poll(owned_by_main, LONG):
        raise Failure("%s %r is not transient for the main window (%s)" %
                      (after, window, said[0]))
    for part, spot in main_spots(s, window):
        if not spot:
            raise Failure("%s %r covers the main window's %s" % (after, window, part))
        s.x("xdotool", "mousemove", str(spot[0]), str(spot[1]), "click", "1")
        s.wm_sync()
        order = stacking(s)
        if int(window.id) not in order or \
                order.index(int(window.id)) < order.index(int(s.main.id)):
            s.shot("buried-" + after.replace(" ", "-").replace("'", ""))
            raise Failure("%s a click on the main window's %s brought it over %r" %
                          (after, part, window))


def return_to(s, title, after):
    window = poll(lambda: s.find(title), LONG)
    if not window:
        raise Failure("%s the window titled /%s/ did not come back; %s" %
                      (after, title, describe(s)))
    return window


def expect_only(s, known, title, after):
    """The windows shown besides those of known are one titled title, or
    none: a window the tables do not list is reported, never left unchecked."""
    others = [w for w in s.windows()
              if w.id not in known and not (title and re.search(title, w.name))]
    if others:
        raise Failure("%s %s opened, which the journey's tables do not list" %
                      (after, ", ".join(repr(w) for w in others)))


def expect_dialog_over(s, dialog, owner, after):
    """A window opened over the window that opened it, which stays shown, is
    transient for it and stays above it when it is clicked where the dialog
    leaves it bare."""
    said = s.x("xprop", "-id", dialog.id, "WM_TRANSIENT_FOR").strip()
    m = re.search(r"window id # (0x[0-9a-f]+)", said)
    if not m or int(m.group(1), 16) != int(owner.id):
        raise Failure("%s %r is not transient for %r (%s)" % (after, dialog, owner, said))
    spot = uncovered_spot(owner, dialog)
    if spot:
        s.x("xdotool", "mousemove", str(spot[0]), str(spot[1]), "click", "1")
        s.wm_sync()
        order = stacking(s)
        if int(dialog.id) not in order or \
                order.index(int(dialog.id)) < order.index(int(owner.id)):
            s.shot("buried-dialog")
            raise Failure("%s a click on %r brought it over %r" % (after, owner, dialog))


def sweep_opened(s, name, window, title):
    """Each window that window (named name, titled title) opens, left by its
    Exit and by its close box; one that opens windows of its own has them
    swept the first time. Returns window as last shown and the paths checked."""
    paths = 0
    for child, open_child, child_title, exit_point in OPENED_OVER.get(name, ()):
        for leave in ("Exit", "close box"):
            known = {w.id for w in s.windows()}
            window.activate()
            open_child(s, window)
            opened = s.wait_window(child_title)
            if opened.id in known:
                raise Failure("%s did not open %s; %s" % (name, child, describe(s)))
            expect_only(s, known, child_title, "%s opening %s," % (name, child))
            if any(w.id == window.id for w in s.windows()):
                expect_dialog_over(s, opened, window, "%s opening %s:" % (name, child))
            else:
                # It works in place of the window that opened it.
                expect_working_on_top(s, opened, "opened from %s, %s:" % (name, child))
            if leave == "Exit" and child in OPENED_OVER:
                opened, more = sweep_opened(s, child, opened, child_title)
                paths += more
            if leave == "close box":
                opened.close_box()
            elif exit_point == CANCEL:
                opened.activate()
                s.key(CANCEL)
            else:
                opened.click(*exit_point)
            s.wait_gone(opened)
            after = "after leaving %s by its %s, %s" % (child, leave, name)
            window = return_to(s, title, after)
            expect_only(s, known, None, after)
            expect_working_on_top(s, window, after)
            paths += 1
    return window, paths


def sweep_windows_over_main(s, windows):
    """Each of windows opened from the main window's menu, and each window
    it opens left by its Exit and by its close box: the window that works
    stays above the main window. Returns the paths checked."""
    s.park_pointer()
    paths = 0
    for name, steps, title in windows:
        known = {w.id for w in s.windows()}
        s.menu(*steps)
        window = s.wait_window(title)
        expect_only(s, known, title, "opening %s," % name)
        expect_working_on_top(s, window, "opened, %s:" % name)
        window, more = sweep_opened(s, name, window, title)
        paths += 1 + more
        window.close_box()
        s.wait_gone(window)
    return paths


def windows_above_main(s):
    """Every window opened over the main window, opened and returned to from
    each window it opens (by its Exit and by its close box), stays above the
    main window when the main window's title bar or body is clicked."""
    print("%d paths" % sweep_windows_over_main(s, WINDOWS_OVER_MAIN), flush=True)


def windows_above_main_calibrate(s):
    """The same for the calibration window, shown by a program started with
    the word "calibrate"."""
    print("%d paths" % sweep_windows_over_main(s, (CALIBRATION,)), flush=True)


def ended(s, how):
    """The program ended by Exit (Ctrl+X) or by its close box exits with 0 and
    leaves nothing in the temporary folder."""
    tmp = os.path.join(s.root, "tmp")
    running = sorted(os.listdir(tmp))
    if how == "Exit":
        s.main.activate()
        s.key("ctrl+x")
    else:
        s.main.close_box()
    if not poll(lambda: not s.alive(), LONG):
        raise Failure("after %s the program still runs; %s" % (how, describe(s)))
    code = s.program.returncode
    left = sorted(os.listdir(tmp))
    if code != 0 or left:
        raise Failure("ended by %s the program exited with %d and left %s in the temporary "
                      "folder (while it ran: %s)" % (how, code, ", ".join(left) or "nothing",
                                                      ", ".join(running) or "nothing"))


def ended_by_exit(s):
    ended(s, "Exit")


def ended_by_close_box(s):
    ended(s, "its close box")


# Client positions of the port settings window's port list and OK button.
PORT_LIST, PORT_OK = (150, 48), (236, 90)


def com_port_then_instruments(s):
    """A port chosen in the port settings (it opens at once) leaves every
    serial instrument usable afterwards."""
    s.menu("Setup", "Down", "Return")
    setup = s.wait_window(r"^Setup$")
    known = {s.main.id, setup.id}
    setup.click(*PORT_LIST)
    s.key("Down", "Down", "Return")  # COM1 -> COM3
    s.expect_no_message(known, "choosing COM3")
    setup.click(*PORT_OK)
    s.wait_gone(setup)
    s.expect_no_message({s.main.id}, "choosing COM3 and OK")
    s.menu("Device", "Up", "Up", "Up", "Right", "Right", "Return")  # CPM 690, CPM-Mode, Start
    title = r"^CHARGE-PLATE Monitor / Port"
    opened = poll(lambda: [w for w in s.windows() if w.id != s.main.id], LONG) or []
    s.expect_no_message({s.main.id} | {w.id for w in opened if re.search(title, w.name)},
                        "opening the plate monitor after COM3 was chosen")
    cpm = s.wait_window(title)
    known = {s.main.id, cpm.id}
    cpm.click(60, 335)  # Start Measure
    if not poll(lambda: not is_white(cpm.pixels((22, 112, 300, 12))) or s.message_boxes(known),
                LONG):
        raise Failure("after COM3 was chosen the decay test did not finish; %s" % describe(s))
    s.expect_no_message(known, "a decay test after COM3 was chosen")
    cpm.close_box()
    s.wait_gone(cpm)
    pgt = open_grounding_tester(s)
    transfer_statistics(s, pgt)
    s.expect_no_message({s.main.id, pgt.id}, "the grounding tester's transfer")


def describe_folder(folder):
    return ", ".join("%s (%d bytes)" % (n, os.path.getsize(os.path.join(folder, n)))
                     for n in sorted(os.listdir(folder))) or "nothing"


JOURNEYS = {
    "typed_comment": typed_comment,
    "printed_statistics": printed_statistics,
    "exported_files": exported_files,
    "decay_after_close_box": decay_after_close_box,
    "live_chart_reopened": live_chart_reopened,
    "full_disk": full_disk,
    "close_boxes": close_boxes,
    "disabled_buttons": disabled_buttons,
    "changed_series_type": changed_series_type,
    "read_only_setup": read_only_setup,
    "named_folder": named_folder,
    "help_in_editor": help_in_editor,
    "modal_above_owner": modal_above_owner,
    "instruments_above_main": instruments_above_main,
    "windows_above_main": windows_above_main,
    "windows_above_main_calibrate": windows_above_main_calibrate,
    "ended_by_exit": ended_by_exit,
    "ended_by_close_box": ended_by_close_box,
    "com_port_then_instruments": com_port_then_instruments,
    "view_after_info": view_after_info,
    "paper_chosen": paper_chosen,
    "fitted_windows_1920x1080_scale2": fitted_windows_1920x1080_scale2,
    "fitted_windows_1024x768_scale1_5": fitted_windows_1024x768_scale1_5,
}


# ---------------------------------------------------------------------------


# Far above the normal time, as every wait is: a busy machine only takes longer.
JOURNEY_SECONDS = 240


# Journeys that click through several windows on a slow screen.
LONGER_JOURNEYS = {"fitted_windows_1920x1080_scale2": 600, "fitted_windows_1024x768_scale1_5": 600,
                   "windows_above_main": 360}


def _overtime(*_):
    raise Failure("the journey took longer than its time allows")


def run(name, program, out):
    folder = os.path.join(out, name)
    started = time.monotonic()
    session = None
    signal.signal(signal.SIGALRM, _overtime)
    signal.alarm(LONGER_JOURNEYS.get(name, JOURNEY_SECONDS))
    try:
        session = Session(program, folder, **SESSION_OPTIONS.get(name, {}))
        JOURNEYS[name](session)
        print("PASS %s (%.1f s)" % (name, time.monotonic() - started), flush=True)
        return True
    except Skip as e:
        print("SKIP %s: %s" % (name, e), flush=True)
        return None
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


SESSION_OPTIONS = {
    "full_disk": {"small_disk": True},
    "read_only_setup": {"read_only_program": True},
    "help_in_editor": {"prepare": registered_help},
    "view_after_info": {"words": ("calibrate",)},
    "windows_above_main_calibrate": {"words": ("calibrate",)},
    "paper_chosen": {"words": ("calibrate",)},
    "fitted_windows_1920x1080_scale2": {"screen": (1920, 1080), "scale": 2,
                                        "words": ("calibrate",)},
    "fitted_windows_1024x768_scale1_5": {"screen": (1024, 768), "scale": 1.5,
                                         "words": ("calibrate",)},
}


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

    code = without_tools(missing_tools())
    if code is not None:
        return code
    if not os.access(args.program, os.X_OK):
        print("FAIL: no program at %s" % args.program)
        return 1

    passed = failed = skipped = 0
    for name in names:
        result = run(name, os.path.abspath(args.program), os.path.abspath(args.out))
        if result is None:
            skipped += 1
        elif result:
            passed += 1
        else:
            failed += 1
    print("%d passed, %d failed, %d skipped" % (passed, failed, skipped))
    if failed:
        return 1
    return 77 if skipped and not passed else 0


if __name__ == "__main__":
    sys.exit(main())
