#!/usr/bin/env python3
"""Runs a test binary on the real platform plugin: on an X server of its own
with the window manager the journeys use (see harness.py), nothing else.

Usage: on_x_server.py --out DIR -- PROGRAM [ARGS...]
Returns the program's exit status; 77 (skipped) when the X server, the window
manager or xprop is missing outside CI.
"""
import argparse
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

TOOLS = {"Xvfb": "xvfb", "openbox": "openbox", "xprop": "x11-utils"}


class XServer(harness.Session):
    """The session's X server and window manager, without the program."""

    def __init__(self, out_dir, screen=(1280, 1024)):
        self.screen, self.scale, self.words = screen, 1, []
        self.out_dir = out_dir
        os.makedirs(out_dir, exist_ok=True)
        self.root = tempfile.mkdtemp(prefix="qm-x-")
        self.home = os.path.join(self.root, "home")
        self.run_dir = os.path.join(self.root, "run")
        self.procs, self.logs = [], []
        self.small_disk, self.read_only_program = None, False
        for d in (self.home, self.run_dir):
            os.makedirs(d, mode=0o700)
        try:
            self._start_x()
            self._start_wm()
        except BaseException:
            self.close()
            raise


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no program to run")

    code = harness.without_tools(harness.missing_tools(TOOLS, {}))
    if code is not None:
        return code

    server = XServer(os.path.abspath(args.out))
    try:
        env = dict(os.environ)
        env.pop("WAYLAND_DISPLAY", None)
        env.update({"DISPLAY": server.display, "QT_QPA_PLATFORM": "xcb", "HOME": server.home,
                    "XDG_RUNTIME_DIR": server.run_dir, "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"})
        return subprocess.run(command, env=env, stdin=subprocess.DEVNULL,
                              preexec_fn=harness._die_with_parent).returncode
    finally:
        server.close()


if __name__ == "__main__":
    sys.exit(main())
