#!/usr/bin/env python3
"""Rules of the source tree that no compiler checks, found by reading it.

- A test writes under its binary's own temporary folder (TMPDIR, set per test
  binary): no test, benchmark or fuzzer names the system's temporary folder,
  and only tests/support/temp_folder.h makes temporary names itself.
- Every append of the program goes through the record writer
  (src/comm/recordfile.cpp), which starts new rows on a line of their own:
  no other code above the platform opens an existing file for writing without
  replacing it.

Usage: source_rules.py <source folder>. Prints what it checked and each
place that breaks a rule; exits 1 when there is one.
"""
import os
import re
import sys

SYSTEM_TEMP = re.compile(r"""["']((?:/tmp|/var/tmp|/dev/shm)(?:/[^"']*)?)["']""")
MAKES_TEMP = re.compile(r"\b(mkdtemp|mkstemps?|mkostemps?|tmpnam|tempnam|tmpfile|P_tmpdir|"
                        r"tempPath|QTemporaryDir|QTemporaryFile|TempLocation)\b|"
                        r"getenv\(\s*\"TMPDIR\"")
TEMP_HELPER = "tests/support/temp_folder.h"
# What a test compares with the program's own choice of folder, not a place it writes.
TEMP_ALLOWED = {
    ("tests/platform/win32/system_names_test.cpp", "/tmp/qmreadout-"):
        "the program's own lock folder",
}

APPENDS = re.compile(r"\b(fmOpenWrite|fmOpenReadWrite|O_APPEND|O_WRONLY|O_RDWR)\b|"
                     r"ios(_base)?::app\b|QIODevice::Append|"
                     r"\bfopen\s*\([^;]*,\s*\"[ar]\+?b?\+?\"")
RECORD_WRITER = "src/comm/recordfile.cpp"

CODE = (".cpp", ".h", ".py")


def files(root, folder, suffixes):
    for base, dirs, names in os.walk(os.path.join(root, folder)):
        dirs[:] = sorted(d for d in dirs if d != "corpus")
        for name in sorted(names):
            if name.endswith(suffixes):
                path = os.path.join(base, name)
                yield os.path.relpath(path, root), path


def code_lines(path):
    """Line number and text of each line, comments left out (// and #)."""
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            text = re.sub(r"^\s*(//|#(?!include|define|if|endif|pragma)).*", "", line)
            yield number, text


def temp_faults(root):
    faults, checked = [], 0
    for folder in ("tests", "bench", "fuzz"):
        for rel, path in files(root, folder, CODE):
            if rel == TEMP_HELPER or rel == "tests/source_rules.py":
                continue
            checked += 1
            for number, line in code_lines(path):
                for m in SYSTEM_TEMP.finditer(line):
                    if (rel, m.group(1)) not in TEMP_ALLOWED:
                        faults.append("%s:%d names the system's temporary folder (%s): use "
                                      "std::filesystem::temp_directory_path() or %s"
                                      % (rel, number, m.group(1), TEMP_HELPER))
                # Python's tempfile already takes TMPDIR.
                if not rel.endswith(".py"):
                    for m in MAKES_TEMP.finditer(line):
                        faults.append("%s:%d makes a temporary name itself (%s): use %s"
                                      % (rel, number, m.group(0), TEMP_HELPER))
    return faults, checked


def append_faults(root):
    faults, checked = [], 0
    for rel, path in files(root, "src", (".cpp", ".h")):
        if rel.startswith("src/platform/") or rel == RECORD_WRITER:
            continue
        checked += 1
        for number, line in code_lines(path):
            m = APPENDS.search(line)
            if m:
                faults.append("%s:%d opens a file to add to it (%s): append through "
                              "TRecordFile (%s)" % (rel, number, m.group(0), RECORD_WRITER))
    return faults, checked


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    temp, temp_files = temp_faults(root)
    appends, src_files = append_faults(root)
    print("temporary folders: %d files of tests, bench and fuzz read" % temp_files)
    print("appends: %d files above the platform read" % src_files)
    for fault in temp + appends:
        print(fault)
    return 1 if temp or appends else 0


if __name__ == "__main__":
    sys.exit(main())
