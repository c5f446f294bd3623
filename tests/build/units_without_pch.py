#!/usr/bin/env python3
"""Every unit the build compiles with a precompiled header compiles without it.

The fuzz build (fuzz/CMakeLists.txt) compiles the same sources with no
precompiled header, so a unit that leans on the header for a declaration it
does not include builds here and breaks there. Each such unit of the build's
compile_commands.json is compiled again, syntax only, with its own flags minus
the header; so is each header of a folder whose units use one. The compiles
run side by side on the processors this process may use.

  units_without_pch.py --build BUILD [--jobs N]

Exits 1 naming each file that does not compile, with the compiler's errors.
"""
import argparse
import concurrent.futures
import glob
import json
import os
import shlex
import subprocess
import sys

ERROR_LINES = 12


def is_pch_wrapper(path):
    return os.path.basename(path).startswith('cmake_pch')


def without_pch(args):
    """The arguments minus the precompiled header (GCC's `-include` of CMake's
    wrapper, or clang's `-Xclang` pairs), the output and dependency files.
    None when the command uses no precompiled header or builds one."""
    out, used, i = [], False, 0
    while i < len(args):
        a = args[i]
        nxt = args[i + 1] if i + 1 < len(args) else ''
        if a == '-x' and nxt.endswith('-header'):
            return None
        if a == '-include' and is_pch_wrapper(nxt):
            used = True
            i += 2
            continue
        if (a == '-Xclang' and nxt in ('-include', '-include-pch') and i + 3 < len(args)
                and args[i + 2] == '-Xclang' and is_pch_wrapper(args[i + 3])):
            used = True
            i += 4
            continue
        if a in ('-o', '-MF', '-MT', '-MQ'):
            i += 2
            continue
        if a in ('-c', '-MD', '-MMD', '-Winvalid-pch'):
            i += 1
            continue
        out.append(a)
        i += 1
    return out if used else None


def read_units(build):
    """(source, directory, arguments without the header) of every unit that
    uses a precompiled header."""
    with open(os.path.join(build, 'compile_commands.json'), encoding='utf-8') as fh:
        entries = json.load(fh)
    units = []
    for e in entries:
        args = e['arguments'] if 'arguments' in e else shlex.split(e['command'])
        directory = e.get('directory', build)
        source = os.path.realpath(os.path.join(directory, e['file']))
        if is_pch_wrapper(source):
            continue
        rest = without_pch(args)
        if rest is None:
            continue
        rest = [a for a in rest if os.path.realpath(os.path.join(directory, a)) != source]
        units.append((source, directory, rest))
    return units


def header_checks(units, src_root):
    """A compile of each header beside the units under src_root, with the flags
    of a unit of its folder: it must hold what it uses without the units'
    precompiled header (pch.h itself is that header)."""
    flags_of = {}
    for source, directory, args in units:
        folder = os.path.dirname(source)
        if folder.startswith(src_root + os.sep):
            flags_of.setdefault(folder, (directory, args))
    checks = []
    for folder, (directory, args) in sorted(flags_of.items()):
        for h in sorted(glob.glob(os.path.join(folder, '*.h'))):
            if os.path.basename(h) != 'pch.h':
                checks.append((h, directory, args + ['-x', 'c++', '-'], '#include "%s"\n' % h))
    return checks


def compile_syntax(check):
    path, directory, args, stdin = check
    r = subprocess.run(args + ['-fsyntax-only'], cwd=directory, input=stdin,
                       capture_output=True, text=True)
    return path, r.returncode, r.stderr


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--build', required=True, help='the build folder with compile_commands.json')
    ap.add_argument('--src', help='the source tree (its headers are checked too)')
    ap.add_argument('--jobs', type=int, default=len(os.sched_getaffinity(0)))
    opts = ap.parse_args()

    units = read_units(opts.build)
    checks = [(s, d, a + [s], None) for s, d, a in units]
    if opts.src:
        checks += header_checks(units, os.path.realpath(opts.src))
        # A folder with a precompiled header none of whose units uses it is a
        # build that changed under this test: it would check nothing there.
        used = {os.path.dirname(s) for s, _, _ in units}
        for pch in glob.glob(os.path.join(opts.src, '**', 'pch.h'), recursive=True):
            folder = os.path.dirname(os.path.realpath(pch))
            if folder not in used:
                print('%s: no unit of %s/compile_commands.json uses it as a precompiled '
                      'header; nothing of %s is checked' % (pch, opts.build, folder))
                return 1
    if not checks:
        print('no unit of %s/compile_commands.json uses a precompiled header' % opts.build)
        return 1

    failed = []
    with concurrent.futures.ThreadPoolExecutor(max(1, opts.jobs)) as pool:
        for path, status, err in pool.map(compile_syntax, checks):
            if status != 0:
                errors = [l for l in err.splitlines() if ' error: ' in l or 'fatal error' in l]
                failed.append((path, errors or err.splitlines()[-ERROR_LINES:]))
    for path, errors in failed:
        print('%s: does not compile without the precompiled header; include what it uses:' % path)
        for line in errors[:ERROR_LINES]:
            print('    ' + line)
    print('%d of %d units and headers compile without a precompiled header'
          % (len(checks) - len(failed), len(checks)))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
