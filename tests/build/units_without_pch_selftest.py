#!/usr/bin/env python3
"""The check of units without their precompiled header, on a small sample build:
what it must pass and what it must fail."""
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from units_without_pch import without_pch  # noqa: E402

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'units_without_pch.py')

SOURCES = {
    'src/lib/pch.h': '#include <string>\n#include <vector>\n',
    'src/lib/whole.h': '#include <string>\ninline std::string Whole() { return "x"; }\n',
    'src/lib/leaning.h': 'inline std::string Leaning() { return "x"; }\n',
    'src/lib/whole.cpp': '#include <vector>\nint Whole(std::vector<int> v) { return v[0]; }\n',
    'src/lib/leaning.cpp': 'int Leaning(std::vector<int> v) { return v[0]; }\n',
    'src/plain/plain.cpp': 'int Plain() { return 0; }\n',
}


def write_sample(root, units, pch_folders=('lib',)):
    for rel, text in SOURCES.items():
        os.makedirs(os.path.dirname(os.path.join(root, rel)), exist_ok=True)
        with open(os.path.join(root, rel), 'w') as fh:
            fh.write(text)
    build = os.path.join(root, 'build')
    os.makedirs(build, exist_ok=True)
    entries = []
    for folder in pch_folders:
        wrapper = os.path.join(build, 'CMakeFiles', folder + '.dir', 'cmake_pch.hxx')
        os.makedirs(os.path.dirname(wrapper), exist_ok=True)
        with open(wrapper, 'w') as fh:
            fh.write('#include "%s/src/%s/pch.h"\n' % (root, folder))
        entries.append({'directory': build, 'file': wrapper + '.cxx',
                        'command': 'c++ -x c++-header -include %s -o %s.gch -c %s.cxx'
                                   % (wrapper, wrapper, wrapper)})
    for rel in units:
        folder = rel.split('/')[1]
        pch = ('-Winvalid-pch -include %s/CMakeFiles/%s.dir/cmake_pch.hxx ' % (build, folder)
               if folder in pch_folders else '')
        entries.append({'directory': build, 'file': os.path.join(root, rel),
                        'command': 'c++ -I%s/src -std=c++20 %s-o %s.o -c %s'
                                   % (root, pch, rel, os.path.join(root, rel))})
    with open(os.path.join(build, 'compile_commands.json'), 'w') as fh:
        json.dump(entries, fh)
    return build


def run(build, root):
    r = subprocess.run([sys.executable, SCRIPT, '--build', build, '--src', os.path.join(root, 'src'),
                        '--jobs', '2'], capture_output=True, text=True)
    return r.returncode, r.stdout + r.stderr


def main():
    faults = []

    def expect(what, ok):
        if not ok:
            faults.append(what)

    with tempfile.TemporaryDirectory() as root:
        build = write_sample(root, ['src/lib/whole.cpp', 'src/lib/leaning.cpp', 'src/plain/plain.cpp'])
        status, out = run(build, root)
        expect('a unit that leans on the precompiled header fails the check:\n' + out, status == 1)
        expect('the failure names leaning.cpp and the compiler\'s error:\n' + out,
               'src/lib/leaning.cpp: does not compile' in out and 'vector' in out and 'error' in out)
        expect('the failure names leaning.h, a header that leans on it:\n' + out,
               'src/lib/leaning.h: does not compile' in out)
        expect('whole.cpp, whole.h and the plain unit are not named:\n' + out,
               'whole' not in out and 'plain' not in out)
        expect('the units and headers of the library are counted, the plain unit is not:\n' + out,
               '2 of 4 units and headers' in out)

    with tempfile.TemporaryDirectory() as root:
        build = write_sample(root, ['src/lib/whole.cpp'])
        os.remove(os.path.join(root, 'src/lib/leaning.h'))
        status, out = run(build, root)
        expect('a library whose units include what they use passes:\n' + out, status == 0)

    with tempfile.TemporaryDirectory() as root:
        build = write_sample(root, ['src/lib/whole.cpp'], pch_folders=())
        status, out = run(build, root)
        expect('a folder with a pch.h that no unit uses fails, naming it:\n' + out,
               status == 1 and 'src/lib/pch.h: no unit' in out)

    clang = ['clang++', '-Isrc', '-Xclang', '-include-pch', '-Xclang', 'd/cmake_pch.hxx.pch',
             '-Xclang', '-include', '-Xclang', 'd/cmake_pch.hxx', '-o', 'a.o', '-c', 'a.cpp']
    expect('clang\'s form of the precompiled header is taken out: %s' % without_pch(clang),
           without_pch(clang) == ['clang++', '-Isrc', 'a.cpp'])
    expect('a command without a precompiled header is none of the check\'s',
           without_pch(['c++', '-Isrc', '-include', 'config.h', '-c', 'a.cpp']) is None)

    for f in faults:
        print('FAILED: ' + f)
    print('%d faults' % len(faults))
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
