"""Drives the simulated program on a private X server as a person would.

Each session starts Xvfb, a window manager (openbox, which gives frames with
close boxes that send WM_DELETE_WINDOW) and build/qmreadout_sim with HOME, the
temporary folder and the program's own folder (where SETUP.INI lives) inside a
fresh temporary directory. Everything the program gets comes through the X
server: key events from xdotool (the text with them), pointer clicks and drags
at window-relative positions, and the frame's close box. State is read back
from window titles, from files, from screenshots and, for message boxes, from
their picture read by OCR.
"""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

TOOLS = {
    "Xvfb": "xvfb",
    "openbox": "openbox",
    "xdotool": "xdotool",
    "xwininfo": "x11-utils",
    "xprop": "x11-utils",
    "xmodmap": "x11-xserver-utils",
    "import": "imagemagick",
    "convert": "imagemagick",
    "tesseract": "tesseract-ocr",
    "pdftotext": "poppler-utils",
    "wmf2svg": "libwmf-bin",
    "unshare": "util-linux",
}


def _die_with_parent():
    # A harness killed by a time-out takes its X server and program along.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


class Failure(Exception):
    """What a user would see that is wrong."""


class Skip(Exception):
    """The machine lacks what a journey needs (never raised under CI)."""


MODULES = {"xlrd": "python3-xlrd"}


def missing_tools(tools=None, modules=None):
    tools = TOOLS if tools is None else tools
    modules = MODULES if modules is None else modules
    missing = {pkg for tool, pkg in tools.items() if not shutil.which(tool)}
    for module, pkg in modules.items():
        try:
            __import__(module)
        except ImportError:
            missing.add(pkg)
    return sorted(missing)


def without_tools(missing):
    """The exit code when tools are missing (a skip, a failure in CI), or None."""
    if not missing:
        return None
    text = "missing: %s (scripts/bootstrap installs them)" % " ".join(missing)
    if os.environ.get("CI") == "true":
        print("FAIL: " + text)
        return 1
    print("SKIP: " + text)
    return 77


# How long to wait for what the program must show: far above the normal time,
# so a slow or busy machine only makes a journey take longer.
LONG = 60.0
# How long, once the program has handled what it was sent, a thing that must
# not happen is watched for; and how long a program that keeps busy (a running
# chart) is given to come to rest before that.
QUIET = 1.0
REST = 5.0


def poll(check, timeout=5.0, step=0.05):
    """The first true result of check() within timeout seconds, else None."""
    end = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > end:
            return None
        time.sleep(step)


class Window:
    def __init__(self, session, wid, name):
        self.session, self.id, self.name = session, wid, name

    def __repr__(self):
        return '"%s"' % self.name

    def geometry(self):
        """Absolute x, y of the client area, its width and height."""
        out = self.session.x("xwininfo", "-id", self.id)
        v = {k: int(re.search(k + r":\s+(-?\d+)", out).group(1))
             for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")}
        return (v["Absolute upper-left X"], v["Absolute upper-left Y"], v["Width"], v["Height"])

    def title(self):
        return self.session.x("xdotool", "getwindowname", self.id).rstrip("\n")

    def activate(self):
        # Not --sync: a window under a modal one never becomes active. Once the
        # window manager has handled the request the keyboard is the window's.
        self.session.x("xdotool", "windowactivate", self.id, check=False)
        self.session.wm_sync()
        poll(lambda: self.session.active_id() == self.id, 1)

    def click(self, x, y, button=1):
        self.session.x("xdotool", "mousemove", "--window", self.id, str(x), str(y),
                       "click", str(button))
        self.session.settle()

    def drag(self, start, end, button=1, steps=6):
        """Presses at start, moves in steps and lets go at end."""
        args = ["xdotool", "mousemove", "--window", self.id, str(start[0]), str(start[1]),
                "mousedown", str(button)]
        for i in range(1, steps + 1):
            px = start[0] + (end[0] - start[0]) * i // steps
            py = start[1] + (end[1] - start[1]) * i // steps
            args += ["sleep", "0.03", "mousemove", "--window", self.id, str(px), str(py)]
        args += ["sleep", "0.05", "mouseup", str(button)]
        self.session.x(*args)
        self.session.settle()

    def steady_pixels(self, box, timeout=3.0):
        """The pixels of box once they stayed the same for half a second
        (painting done), or the last ones after timeout seconds."""
        last = [self.pixels(box), time.monotonic()]

        def same():
            now = self.pixels(box)
            if now != last[0]:
                last[0], last[1] = now, time.monotonic()
            return time.monotonic() - last[1] >= 0.5
        poll(same, timeout, 0.1)
        return last[0]

    def close_box(self):
        """Clicks the close box in the window manager's frame."""
        x, y, w, _ = self.geometry()
        extents = self.session.x("xprop", "-id", self.id, "_NET_FRAME_EXTENTS")
        m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", extents)
        if not m or int(m.group(3)) < 8:
            raise Failure("%r has no title bar with a close box" % self)
        top = int(m.group(3))
        self.session.x("xdotool", "mousemove", str(x + w - 10), str(y - top // 2), "click", "1")
        self.session.settle()

    def shot(self, name):
        return self.session.shot(name, self.id)

    def pixels(self, box=None):
        """Raw RGB bytes of the client area, or of box (x, y, w, h) inside it."""
        args = ["import", "-window", self.id]
        if box:
            args += ["-crop", "%dx%d+%d+%d" % (box[2], box[3], box[0], box[1]), "+repage"]
        args += ["-depth", "8", "rgb:-"]
        self.session.check_alive()
        # import asks for a click on a window that is gone: the time-out ends that.
        try:
            r = subprocess.run(args, env=self.session.xenv, capture_output=True, timeout=10)
        except subprocess.TimeoutExpired:
            r = None
        if not r or r.returncode != 0:
            self.session.check_alive()
            raise Failure("%r could not be pictured: it is gone" % self)
        return r.stdout


class Session:
    """One X server, one window manager and one run of the program."""

    def __init__(self, program, out_dir, small_disk=False, read_only_program=False,
                 prepare=None, screen=(1280, 1024), scale=1, words=()):
        """screen is the X screen's size in pixels; the program draws at scale
        (as a high-resolution desktop asks), so it sees screen / scale; words
        are the program's command-line words."""
        self.screen, self.scale = screen, scale
        self.words = list(words)
        self.out_dir = out_dir
        os.makedirs(out_dir, exist_ok=True)
        self.root = tempfile.mkdtemp(prefix="qm-e2e-")
        self.home = os.path.join(self.root, "home")
        self.procs = []
        self.logs = []
        for d in ("home", "prog", "tmp", "run"):
            os.makedirs(os.path.join(self.root, d), mode=0o700)
        # A folder that is a file system of 256 KB, seen by the program only.
        self.small_disk = os.path.join(self.home, "stick") if small_disk else None
        self.read_only_program = read_only_program
        try:
            self._start_x()
            self._start_wm()
            # prepare(session) readies the home folder before the program
            # starts and returns what it adds to the program's environment.
            self.program_env = prepare(self) if prepare else {}
            self._start_program(program, self.small_disk)
        except BaseException:
            self.shot("start")
            self.close()
            raise

    # ---- starting and stopping

    def _spawn(self, args, log, env=None):
        out = open(os.path.join(self.out_dir, log), "wb")
        self.logs.append(out)
        p = subprocess.Popen(args, stdout=out, stderr=subprocess.STDOUT, env=env, cwd=self.home,
                             stdin=subprocess.DEVNULL, start_new_session=True,
                             preexec_fn=_die_with_parent)
        self.procs.append(p)
        return p

    def _start_x(self):
        r, w = os.pipe()
        xlog = open(os.path.join(self.out_dir, "xvfb.log"), "wb")
        self.logs.append(xlog)
        p = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % self.screen,
                              "-nolisten", "tcp", "-noreset"],
                             stdout=xlog, stderr=subprocess.STDOUT, pass_fds=(w,), cwd=self.root,
                             stdin=subprocess.DEVNULL, start_new_session=True,
                             preexec_fn=_die_with_parent)
        self.procs.append(p)
        os.close(w)
        number = b""
        end = time.monotonic() + LONG
        while not number.endswith(b"\n") and time.monotonic() < end:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            raise Failure("Xvfb did not start (see xvfb.log)")
        self.display = ":" + number.decode().strip()
        self.xenv = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "DISPLAY": self.display,
                     "HOME": self.home, "LC_ALL": "C.UTF-8"}

    def _start_wm(self):
        self._spawn(["openbox", "--sm-disable"], "openbox.log", self.xenv)
        if not poll(lambda: "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                                  check=False), LONG):
            raise Failure("the window manager did not start (see openbox.log)")

    def _start_program(self, program, unshared_folder):
        exe = os.path.join(self.root, "prog", os.path.basename(program))
        try:
            os.link(program, exe)
        except OSError:
            shutil.copy2(program, exe)
        env = dict(self.xenv)
        env.update({"TMPDIR": os.path.join(self.root, "tmp"),
                    "XDG_RUNTIME_DIR": os.path.join(self.root, "run"),
                    "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
                    "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8", "QT_QPA_PLATFORM": "xcb"})
        if self.scale != 1:
            env["QT_SCALE_FACTOR"] = str(self.scale)
        env.update({k: v for k, v in os.environ.items()
                    if k.split("_")[0] in ("ASAN", "UBSAN", "LSAN")})
        env.update(self.program_env)
        args = [exe] + self.words
        prog = os.path.dirname(exe)
        if self.read_only_program:
            # A system-wide install: the program's folder (SETUP.INI) takes no
            # writes. Permissions do not stop the super-user; a read-only
            # mount seen only by the program does.
            os.chmod(prog, 0o555)
            if os.access(prog, os.W_OK):
                self._check_unshare('mount --bind "$1" "$1" && mount -o remount,bind,ro "$1"',
                                    "no read-only mount can be made here", prog)
                args = ["unshare", "-m", "sh", "-c",
                        'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && shift && '
                        'exec "$@"', "sh", prog, exe] + self.words
        elif unshared_folder:
            self._check_small_disk(unshared_folder)
            # A small file system of its own, seen only by the program: it
            # goes away with the program and needs no clean-up.
            os.makedirs(unshared_folder, exist_ok=True)
            args = ["unshare", "-m", "sh", "-c",
                    'mount -t tmpfs -o size=256k tmpfs "$1" && shift && exec "$@"', "sh",
                    unshared_folder, exe] + self.words
        self.program = self._spawn(args, "program.log", env)
        self.main = self.wait_window(r"^QM read out")

    def _check_small_disk(self, folder):
        os.makedirs(folder, exist_ok=True)
        self._check_unshare('mount -t tmpfs -o size=16k tmpfs "$1"',
                            "no small file system can be mounted here (unshare -m, mount -t tmpfs)",
                            folder)

    def _check_unshare(self, mount, what, folder):
        """Skips the journey (fails it under CI) when the mount cannot be made."""
        r = subprocess.run(["unshare", "-m", "sh", "-c", mount, "sh", folder],
                           capture_output=True, text=True)
        if r.returncode != 0:
            text = "%s: %s" % (what, r.stderr.strip())
            if os.environ.get("CI") == "true":
                raise Failure(text)
            raise Skip(text)

    def mounted_view(self, path):
        """The program's view of path (inside its own mounts)."""
        return "/proc/%d/root%s" % (self.program.pid, path)

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for p in reversed(self.procs):
            try:
                p.wait(3)
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                p.wait()
        for f in self.logs:
            f.close()
        if self.read_only_program:
            os.chmod(os.path.join(self.root, "prog"), 0o700)
        shutil.rmtree(self.root, ignore_errors=True)

    # ---- X calls

    def x(self, *args, check=True):
        try:
            r = subprocess.run(args, env=self.xenv, capture_output=True, text=True, timeout=15)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not return" % " ".join(args))
        if check and r.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(args), r.stderr.strip()))
        return r.stdout

    def settle(self, seconds=0.15):
        """Lets the program handle what was just sent."""
        time.sleep(seconds)

    def alive(self):
        return self.program.poll() is None

    def check_alive(self):
        if not self.alive():
            code = self.program.returncode
            raise Failure("the program vanished (%s; see program.log)" % (
                "killed by signal %d" % -code if code < 0 else "exit status %d" % code))

    def windows(self):
        """The program's visible top-level windows."""
        self.check_alive()
        ids = self.x("xdotool", "search", "--onlyvisible", "--name", ".", check=False).split()
        found = []
        for wid in ids:
            name = self.x("xdotool", "getwindowname", wid, check=False).rstrip("\n")
            if name and name != "openbox":
                found.append(Window(self, wid, name))
        return found

    def find(self, pattern):
        for w in self.windows():
            if re.search(pattern, w.name):
                return w
        return None

    def wait_window(self, pattern, timeout=LONG):
        w = poll(lambda: self.find(pattern), timeout)
        if not w:
            raise Failure("no window titled /%s/ appeared; the screen shows %s" %
                          (pattern, self.windows()))
        return w

    def wait_gone(self, window, timeout=LONG):
        if not poll(lambda: all(w.id != window.id for w in self.windows()), timeout):
            raise Failure("%r is still open" % window)

    def main_thread_ticks(self):
        """The program's main thread: whether it sleeps, and the CPU ticks it used."""
        try:
            with open("/proc/%d/task/%d/stat" % (self.program.pid, self.program.pid)) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            self.check_alive()
            raise
        return fields[0] == "S", int(fields[11]) + int(fields[12])

    def handled(self):
        """Returns once the program has handled what it was sent (its main
        thread sleeps and used no CPU for a while) and the window manager has
        handled the windows it made; or after REST seconds of a busy program."""
        end = time.monotonic() + REST
        last = None
        while time.monotonic() < end:
            now = self.main_thread_ticks()
            if now[0] and now == last:
                break
            last = now
            time.sleep(0.1)
        self.wm_sync()

    def expect_none(self, happened, after):
        """Fails when happened() tells what must not happen after `after`:
        asked once the program has handled all it was sent, and on for QUIET
        seconds, so that a slow machine can neither hide it nor fail a sound
        run on a fixed time."""
        self.handled()
        end = time.monotonic() + QUIET
        while True:
            what = happened()
            if what:
                raise Failure("after %s %s" % (after, what))
            if time.monotonic() >= end:
                return
            time.sleep(0.05)

    def wm_sync(self):
        """Returns once the window manager has handled every event and request
        sent before (it answers a change of the desktops' number in turn)."""
        count = int(self.x("xdotool", "get_num_desktops").strip() or 1)
        wanted = str(count + 1 if count < 4 else count - 1)
        self.x("xdotool", "set_num_desktops", wanted)
        if not poll(lambda: self.x("xdotool", "get_num_desktops").strip() == wanted, LONG):
            raise Failure("the window manager does not answer")

    def active_id(self):
        return self.x("xdotool", "getactivewindow", check=False).strip()

    def key(self, *keys, delay=60):
        self.x("xdotool", "key", "--delay", str(delay), *keys)
        self.settle()

    def add_keys(self, text):
        """Gives every character of text that no key holds a key of its own,
        with its capital on Shift, as a national keyboard layout does.

        Left to itself xdotool lends such characters a spare key for the
        moment of one call, and the program may read the event after the
        key was given back."""
        table = self.x("xmodmap", "-pke")
        free = [int(m.group(1)) for m in re.finditer(r"^keycode\s+(\d+) =\s*$", table, re.M)]
        lines = []
        for c in dict.fromkeys(c.lower() for c in text if ord(c) > 0x7e):
            upper = c.upper()
            if len(upper) != 1 or ord(upper) > 0xff:
                upper = c
            if not free:
                raise Failure("the X server's keyboard has no free key for %r" % c)
            lines.append("keycode %d = U%04X U%04X" % (free.pop(), ord(c), ord(upper)))
        if lines:
            self.x("xmodmap", *[a for line in lines for a in ("-e", line)])
            self.handled()

    def type(self, text, delay=8):
        self.x("xdotool", "type", "--delay", str(delay), "--", text)
        self.settle()

    def park_pointer(self):
        """Moves the pointer to a corner where it lights up nothing."""
        self.x("xdotool", "mousemove", str(self.screen[0] - 1), str(self.screen[1] - 1))

    def shot(self, name, wid="root"):
        path = os.path.join(self.out_dir, name + ".png")
        if not hasattr(self, "xenv"):
            return path
        try:
            subprocess.run(["import", "-window", wid, path], env=self.xenv, capture_output=True,
                           timeout=10)
        except subprocess.TimeoutExpired:
            pass
        return path

    # ---- message boxes

    def message_text(self, box):
        """The title and text of a message box, read off the screen.

        Its label cannot be selected or copied here, so the picture is read
        by OCR; the buttons' captions are left out."""
        picture = box.shot("message-%s" % box.id)
        big = picture[:-4] + "-text.png"
        # Without the row of buttons at the bottom; three times the size.
        subprocess.run(["convert", picture, "-gravity", "south", "-chop", "0x42",
                        "-resize", "300%", "-colorspace", "Gray", big], capture_output=True)
        r = subprocess.run(["tesseract", big, "-", "--psm", "6"], capture_output=True,
                           text=True, env=dict(os.environ, OMP_THREAD_LIMIT="1"))
        # The icon reads as a stray letter or two before the text.
        lines = [l.strip() for l in r.stdout.splitlines() if len(l.strip()) > 2]
        if lines:
            lines[0] = re.sub(r"^\S{1,2}\s+(?=\S{3})", "", lines[0])
        text = " ".join(lines)
        return '%s: %s' % (box.name, text) if text else box.name

    def message_boxes(self, known):
        """Windows other than those in known (ids), each with its text."""
        return [(w, self.message_text(w)) for w in self.windows() if w.id not in known]

    def expect_no_message(self, known, after):
        def extra():
            boxes = self.message_boxes(known)
            if boxes:
                self.shot("message")
            return "a message appeared: %s" % "; ".join('"%s"' % t for _, t in boxes) \
                if boxes else None
        self.expect_none(extra, after)

    # ---- menus and file dialogs

    # Where the main window's menu bar shows its titles (client coordinates).
    MENU_TITLES = {"Exit": 35, "Device": 110, "View": 189, "Setup": 263, "?": 312}

    def menu(self, title, *steps):
        """Clicks a title of the main window's menu bar, then walks its
        drop-downs from the keyboard (Down, Up, Right, Return)."""
        self.main.activate()
        self.main.click(round(self.MENU_TITLES[title] * self.scale), round(8 * self.scale))
        if steps:
            self.key(*steps, delay=90)

    def save_dialog(self, path, filter_text=None, title=r"^Save"):
        """Fills the platform's save dialog: the file type, then the name.

        A question the dialog asks (replace a file?) is answered No, the
        dialog cancelled, and the question reported."""
        dialog = self.wait_window(title)
        if filter_text:
            self.choose_file_type(dialog, filter_text)
        dialog.activate()
        self.key("alt+n", "ctrl+a")
        self.type(path)
        known = {w.id for w in self.windows()}
        self.key("Return")

        def outcome():
            # A window that comes while the dialog stays is the dialog's
            # question; what comes after it is the program's to judge.
            shown = self.windows()
            if all(w.id != dialog.id for w in shown):
                return True
            return [w for w in shown if w.id not in known]
        result = poll(outcome, LONG)
        if result is True:
            return
        if not result:
            raise Failure("the file dialog stayed open after Return")
        texts = [self.message_text(w) for w in result]
        for w in result:
            w.activate()
            self.key("Escape")
        if poll(lambda: any(w.id == dialog.id for w in self.windows()), 1):
            dialog.activate()
            self.key("Escape")
        raise Failure("saving as %s asked: %s" % (self.tilde(path),
                                                  "; ".join('"%s"' % t for t in texts)))

    def tilde(self, path):
        return "~" + path[len(self.home):] if path.startswith(self.home) else path

    def choose_file_type(self, dialog, filter_text):
        """Picks the "Files of type" entry that starts with filter_text.

        The box's list opens on a click and finds an entry by its first
        letters, as a person picks one by typing.
        """
        _, _, w, h = dialog.geometry()
        dialog.click(w // 2, h - 24)
        self.handled()
        self.type(filter_text)
        self.key("Return")
