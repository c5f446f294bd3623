#!/usr/bin/env python3
"""No code turns a component's Tag into a pointer, nor a pointer into a Tag.

A Tag is a number. A form is given what it shows through SetSubject, which
holds it as a reference that reads nullptr once the object is gone; an address
kept in a Tag is read again after the object went, and names whatever is made
there next. This reads every .h and .cpp under src/ and fails for a block that
both reads or sets a Tag and casts between integers and pointers.

Usage: tag_pointers.py --src DIR     (without --src: the check's own test)
"""
import argparse
import os
import re
import sys

_NOISE = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
_TAG = re.compile(r'\b(?:Set)?Tag\s*\(')
_CAST = re.compile(r'\breinterpret_cast\s*<|\bu?intptr_t\b|\bbit_cast\s*<'
                   r'|\(\s*(?:const\s+)?[A-Za-z_][\w:]*\s*\*\s*\)\s*[\w(]')


def _blank(m):
    return re.sub(r'[^\n]', ' ', m.group(0))


def _innermost_block(text, pos):
    """(start, end) of the innermost {...} around pos, or the whole text."""
    depth, start = 0, None
    for i in range(pos - 1, -1, -1):
        c = text[i]
        if c == '}':
            depth += 1
        elif c == '{':
            if depth == 0:
                start = i
                break
            depth -= 1
    if start is None:
        return 0, len(text)
    depth = 0
    for i in range(start, len(text)):
        if text[i] == '{':
            depth += 1
        elif text[i] == '}':
            depth -= 1
            if depth == 0:
                return start, i + 1
    return start, len(text)


def _declares(text, pos):
    """The Tag at pos is declared or defined here (a type name before it), not called."""
    before = text[max(0, pos - 80):pos].rstrip()
    return bool(re.search(r'(?:\b(?:intptr_t|void|auto|int|long)|::)\s*$', before))


def findings(path, source):
    """(line, text) of each Tag read or set in a block that casts to or from pointers."""
    text = _NOISE.sub(_blank, source)
    out = []
    for m in _TAG.finditer(text):
        if _declares(text, m.start()):
            continue
        start, end = _innermost_block(text, m.start())
        # With the block's head: a function's parameters.
        start = max(text.rfind(c, 0, start) for c in ';{}') + 1 if start else 0
        if _CAST.search(text, start, end):
            line = text.count('\n', 0, m.start()) + 1
            out.append((line, source.splitlines()[line - 1].strip()))
    return out


def check(src):
    failures = []
    count = 0
    for dirpath, dirnames, filenames in os.walk(src):
        dirnames.sort()
        for f in sorted(filenames):
            if not f.endswith(('.h', '.cpp')):
                continue
            p = os.path.join(dirpath, f)
            with open(p, encoding='latin-1') as fh:
                source = fh.read()
            text = _NOISE.sub(_blank, source)
            count += sum(1 for m in _TAG.finditer(text) if not _declares(text, m.start()))
            for line, what in findings(p, source):
                failures.append('%s:%d: a Tag turned into a pointer or a pointer into a Tag: give '
                                'the form its subject with SetSubject and read it with '
                                'Subject()/SubjectAs<T>(): %s' % (os.path.relpath(p, src), line,
                                                                   what))
    return failures, count


_SAMPLES = [
    # (source, Tag uses that must fail)
    ('void F::Show() { FSeries = dynamic_cast<S*>(reinterpret_cast<TObject*>(Tag())); }', 1),
    ('void Give(F* f, S* s) { f->SetTag(reinterpret_cast<intptr_t>(s)); }', 1),
    ('void F::Show() {\n  if (Tag() != FTaken) {\n    FTaken = Tag();\n'
     '    FSeries = (TObject*)(FTaken);\n  }\n}', 2),
    ('template <class T> void Take(const F* f, intptr_t& t) { t = f->Tag(); }', 1),
    ('void F::Show() { Index = static_cast<int>(Tag()); }', 0),
    ('void G::Fill() { for (int i = 0; i < 3; ++i) { c->SetTag(i); } }\n'
     'void G::Other() { auto* p = reinterpret_cast<char*>(Buffer); }', 0),
    ('// reinterpret_cast<TObject*>(Tag()) in a comment\nvoid F::Show() { Tag(); }', 0),
    ('void S::Assign(S* src) { SetTag(src->Tag()); }', 0),
]


def self_test():
    problems = []
    for n, (source, expected) in enumerate(_SAMPLES):
        got = len(findings('sample%d.cpp' % n, source))
        if got != expected:
            problems.append('sample %d: %d findings, expected %d' % (n, got, expected))
    for p in problems:
        print('self-test: ' + p)
    print('self-test: %s (%d samples)' % ('failed' if problems else 'passed', len(_SAMPLES)))
    return 1 if problems else 0


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--src')
    a = ap.parse_args(argv)
    if not a.src:
        return self_test()
    failures, count = check(a.src)
    for f in failures:
        print(f)
    print('%d Tag reads and sets under %s, %d turning a Tag into a pointer'
          % (count, a.src, len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
