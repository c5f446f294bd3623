#!/usr/bin/env python3
"""Every call-out of the program, read from the source.

A call-out is a call of an event handler member (On...), a modal window
(ShowModal, ShowModalWatching, a dialog's Execute, a message box, an input box,
and every free function that runs one of these) or a message loop
(ProcessMessages and its like). A handler may free its sender, the chart or the
chart's form, and anything may be freed while a window is open, so each
call-out under src/ must be one of:

  last     nothing of the routine runs after it (the routine returns, or only
           returns a literal or a local)
  guarded  the first thing that runs after it reads a guard: a TCallOut, the
           outcome of ShowModalWatching or a TWatched local of the routine
           (`if (held.Gone()) return;`), in the statement after it or in the
           rest of the condition it stands in
  listed   a row of the table beside this script gives the routine, the call
           and why nothing it touches afterwards can have gone

Anything else fails, naming file, line, routine and call. A row that matches
no call-out any more fails too.

Usage: callouts.py --src DIR --table FILE [--list]
The check's own test is callouts_selftest.py.
"""
import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from raw_pointers import find_functions, find_classes, match_pairs, read_tree  # noqa: E402

KINDS = {
    'drawing': 'a handler called during a drawing, out of scope as in every toolkit',
    'stack': 'afterwards the routine touches only what its own stack owns, or values',
    'outlives': 'what the routine touches afterwards outlives the call by construction',
    'platform': "the platform's own loop or window, which re-reads what it needs itself",
}

# Windows and loops called by name.
MODAL = {'ShowModal', 'ShowModalWatching', 'Execute', 'MessageDlg', 'MessageDlgPos',
         'ShowMessage', 'MessageBox', 'InputQuery', 'InputBox', 'ProcessMessages',
         'HandleMessage'}
_HANDLER = re.compile(r'\bF?On[A-Z]\w*$')
_CALL = re.compile(r'\b([A-Za-z_]\w*)\s*\(')
_COPY = re.compile(r'\b([A-Za-z_]\w*)\s*=\s*(?:\w+\s*(?:->|\.)\s*)*F?On[A-Z]\w*\s*;')
_GUARD_TYPES = re.compile(r'\b(?:TCallOut|TModalOutcome|TWatched\s*<[^;>]*>)\s+([A-Za-z_]\w*)')
_OUTCOME_VAR = re.compile(r'\b([A-Za-z_]\w*)\s*=\s*ShowModalWatching\s*\(')
_TRIVIAL_VALUE = re.compile(r'^(?:true|false|nullptr|-?[0-9][\w.]*|""|\' \'|'
                            r'!?\s*[A-Za-z_]\w*|[A-Za-z_]\w*\s*\.\s*Ok\s*\(\s*\))?$')


# --- routines: function and lambda bodies ---------------------------------------

class Routine:
    def __init__(self, src, name, open_, close):
        self.src, self.name, self.open, self.close = src, name, open_, close
        self._tree = None

    def tree(self):
        if self._tree is None:
            self._tree = _Parser(self.src).block(self.open, None)
        return self._tree


def _back(text, k):
    """The last position at or before k that is no space."""
    while k >= 0 and text[k].isspace():
        k -= 1
    return k


def _lambdas(src):
    """(open, close) of every lambda body."""
    text = src.text
    brackets = match_pairs(text, r'[\[\]]', '[')
    closing_bracket = {v: k for k, v in brackets.items()}
    opening_paren = {v: k for k, v in src.parens.items()}
    out = []
    for open_, close in src.braces.items():
        k = _back(text, open_ - 1)
        # specifiers between the parameters and the body
        head = text[max(0, k - 80):k + 1]
        m = re.search(r'\)\s*(?:mutable\s*|noexcept\s*|->\s*[\w:<>*&\s,]+?\s*)*$', head)
        if m and text[k] != ')':
            k = k - (len(head) - 1 - m.start())
        # the parameters, and an attribute's parentheses after them
        for _ in range(2):
            p = opening_paren.get(k) if text[k] == ')' else None
            if p is None:
                break
            k = _back(text, p - 1)
            if text[k - 12:k + 1] == '__attribute__':
                k = _back(text, k - 13)
        if text[k] != ']':
            continue
        b = closing_bracket.get(k)
        if b is None:
            continue
        j = _back(text, b - 1)
        if j >= 0 and (text[j].isalnum() or text[j] in '_])'):
            continue  # an index, an array bound, an attribute
        out.append((open_, close))
    return out


def routines(src, classes):
    out = []
    for f in find_functions(src, classes):
        if f.name == '__attribute__':
            continue  # a lambda's attribute
        name = '%s::%s' % (f.cls, f.name) if f.cls else f.name
        r = Routine(src, name, f.body[0], f.body[1])
        r.free = f.cls is None
        out.append(r)
    named = list(out)
    for open_, close in _lambdas(src):
        outer = None
        for r in named:
            if r.open < open_ < r.close and (outer is None or r.open > outer.open):
                outer = r
        r = Routine(src, (outer.name if outer else '') + '/lambda', open_, close)
        r.free = False
        r.outer = outer
        out.append(r)
    return out


# --- statements ---------------------------------------------------------------

class Stmt:
    def __init__(self, kind, start, end, parent):
        self.kind, self.start, self.end, self.parent = kind, start, end, parent
        self.children = []
        self.cond = None   # (start, end) of the condition of if, loops and switch

    def contains(self, pos):
        return self.start <= pos <= self.end


class _Parser:
    def __init__(self, src):
        self.src = src
        self.text = src.text
        self.brackets = match_pairs(self.text, r'[\[\]]', '[')

    def _ws(self, i):
        while i < len(self.text) and self.text[i].isspace():
            i += 1
        return i

    def _word(self, i):
        m = re.compile(r'[A-Za-z_]\w*').match(self.text, i)
        return m.group(0) if m else ''

    def _to_semicolon(self, i, stop):
        t = self.text
        while i < stop:
            c = t[i]
            if c == ';':
                return i
            if c == '(':
                i = self.src.parens.get(i, stop)
            elif c == '{':
                i = self.src.braces.get(i, stop)
            elif c == '[':
                i = self.brackets.get(i, stop)
            i += 1
        return stop - 1

    def block(self, open_, parent):
        close = self.src.braces[open_]
        b = Stmt('block', open_, close, parent)
        i = self._ws(open_ + 1)
        while i < close:
            s, i = self.stmt(i, close, b)
            if s is not None:
                b.children.append(s)
            i = self._ws(i)
        return b

    def _cond(self, s, i):
        i = self._ws(i)
        if self.text[i] != '(':
            return i
        close = self.src.parens[i]
        s.cond = (i, close)
        return close + 1

    def stmt(self, i, stop, parent):
        t = self.text
        if t[i] == '{':
            b = self.block(i, parent)
            return b, b.end + 1
        if t[i] == ';':
            return Stmt('empty', i, i, parent), i + 1
        w = self._word(i)
        if w == 'if':
            s = Stmt('if', i, i, parent)
            j = self._ws(i + 2)
            if self._word(j) == 'constexpr':
                j += len('constexpr')
            j = self._cond(s, j)
            then, j = self.stmt(self._ws(j), stop, s)
            s.children.append(then)
            k = self._ws(j)
            if self._word(k) == 'else':
                other, j = self.stmt(self._ws(k + 4), stop, s)
                s.children.append(other)
            s.end = j - 1
            return s, j
        if w in ('for', 'while', 'switch'):
            s = Stmt('switch' if w == 'switch' else 'loop', i, i, parent)
            j = self._cond(s, i + len(w))
            body, j = self.stmt(self._ws(j), stop, s)
            s.children.append(body)
            s.end = j - 1
            return s, j
        if w == 'do':
            s = Stmt('loop', i, i, parent)
            body, j = self.stmt(self._ws(i + 2), stop, s)
            s.children.append(body)
            j = self._to_semicolon(j, stop)
            s.end = j
            return s, j + 1
        if w == 'try':
            s = Stmt('try', i, i, parent)
            j = self._ws(i + 3)
            body, j = self.stmt(j, stop, s)
            s.children.append(body)
            while True:
                k = self._ws(j)
                if self._word(k) != 'catch':
                    break
                k = self._ws(k + 5)
                k = self.src.parens.get(k, k) + 1
                handler, j = self.stmt(self._ws(k), stop, s)
                s.children.append(handler)
            s.end = j - 1
            return s, j
        if w in ('case', 'default'):
            j = i
            while j < stop:
                if t[j] == ':' and t[j + 1] != ':' and t[j - 1] != ':':
                    break
                j += 1
            return Stmt('label', i, j, parent), j + 1
        kind = w if w in ('return', 'break', 'continue', 'throw', 'goto') else 'simple'
        j = self._to_semicolon(i, stop)
        return Stmt(kind, i, j, parent), j + 1


def innermost(stmt, pos):
    """The smallest statement holding pos (a compound one when pos is in its condition)."""
    for c in stmt.children:
        if c.contains(pos):
            if c.cond and c.cond[0] <= pos <= c.cond[1]:
                return c
            if c.children:
                return innermost(c, pos)
            return c
    return stmt


# --- what runs after a call-out -------------------------------------------------

END, LOOP = 'END', 'LOOP'


def next_after(s):
    """The statement that runs after s completes, END, or LOOP (its loop goes on)."""
    p = s.parent
    if p is None:
        return END
    if p.kind == 'block':
        k = p.children.index(s)
        if k + 1 < len(p.children):
            return p.children[k + 1]
        return next_after(p)
    if p.kind == 'loop':
        return LOOP
    return next_after(p)  # if, switch, try


def _enclosing_exit(s):
    p = s.parent
    while p is not None and p.kind not in ('loop', 'switch'):
        p = p.parent
    return p


class Reader:
    """Classifies call-outs in one routine."""

    def __init__(self, routine):
        self.r = routine
        self.text = routine.src.text
        # a lambda reads the guards of the routine around it too
        outer = getattr(routine, 'outer', None) or routine
        body = self.text[outer.open:outer.close + 1]
        self.guards = set(_OUTCOME_VAR.findall(body))
        for m in _GUARD_TYPES.finditer(body):
            # every declarator of the declaration: TCallOut self{this}, chart{c};
            end = body.find(';', m.end())
            self.guards.add(m.group(1))
            self.guards.update(re.findall(r'[,)}]\s*([A-Za-z_]\w*)\s*[({]', body[m.end():end]))

    def reads_guard(self, start, end):
        part = self.text[start:end + 1]
        for g in self.guards:
            # asked, or read as a truth value or a pointer (not dereferenced)
            if re.search(r'\b%s\s*\.\s*(?:Gone|Live|Ok)\b|(?<![\w.>])%s\b(?!\s*(?:->|\.|\(|\{|::))'
                         % (g, g), part):
                return True
        return False

    def trivial_return(self, s):
        """Returns a literal or locals: nothing it might have lost is read."""
        expr = self.text[s.start + len(s.kind):s.end].strip()
        if _TRIVIAL_VALUE.match(expr) and not re.match(r'!?\s*F[A-Z]', expr):
            return True
        return (not re.search(r'->|[(\[{]|\.(?!\d)|\bthis\b|\bF[A-Z]', expr)
                and not re.search(r'[^\w\s!=<>&|+\-*/%.]', expr))

    def outcome(self, s, seen=0):
        """'last', 'guarded' or 'used': what the first thing to run from s does."""
        if seen > 200:
            return 'used'
        if s is END:
            return 'last'
        if s is LOOP:
            return 'used'
        if s.kind in ('empty', 'label'):
            return self.outcome(next_after(s), seen + 1)
        if s.kind == 'block':
            if s.children:
                return self.outcome(s.children[0], seen + 1)
            return self.outcome(next_after(s), seen + 1)
        if s.kind in ('return', 'throw'):
            if self.reads_guard(s.start, s.end):
                return 'guarded'
            return 'last' if s.kind == 'throw' or self.trivial_return(s) else 'used'
        if s.kind == 'break':
            exit_ = _enclosing_exit(s)
            return self.outcome(next_after(exit_) if exit_ else END, seen + 1)
        if s.kind == 'if' and s.cond and self.reads_guard(*s.cond):
            return 'guarded'
        if s.kind == 'simple' and self.reads_guard(s.start, s.end):
            return 'guarded'
        return 'used'

    def classify(self, pos, end):
        s = innermost(self.r.tree(), pos)
        if s is self.r.tree():
            return 'used'
        if s.cond and s.cond[0] <= pos <= s.cond[1]:
            after = self.text[end:s.cond[1]]
            if re.match(r'\s*\.\s*(?:Ok|Gone)\b', after) or self.reads_guard(end, s.cond[1]):
                return 'guarded'
            if s.kind != 'if':
                return 'used'
            ways = [self.outcome(s.children[0])]
            ways.append(self.outcome(s.children[1]) if len(s.children) > 1
                        else self.outcome(next_after(s)))
            return _worst(ways)
        if s.kind in ('return', 'throw'):
            return 'last'
        rest = self.text[end:s.end]
        if re.match(r'\s*\.\s*(?:Ok|Gone)\b', rest):
            return 'guarded'
        return self.outcome(next_after(s))


def _worst(ways):
    if 'used' in ways:
        return 'used'
    return 'guarded' if 'guarded' in ways else 'last'


# --- the program's call-outs -------------------------------------------------------

class CallOut:
    def __init__(self, src, routine, callee, pos, end, line, how):
        self.src, self.routine, self.callee = src, routine, callee
        self.pos, self.end, self.line, self.how = pos, end, line, how

    @property
    def path(self):
        return self.src.path

    def key(self):
        return (self.path, self.routine.name, self.callee)


def _method_names(files):
    """On... names that are functions, not handler members."""
    names = set()
    for src in files:
        for m in re.finditer(r'::\s*(F?On[A-Z]\w*)\s*\(', src.text):
            names.add(m.group(1))
        for m in re.finditer(r'\b(?:void|bool|int|double|auto|virtual|static)\s+'
                             r'(F?On[A-Z]\w*)\s*\(', src.text):
            names.add(m.group(1))
    return names


def _member_names(files):
    """On... names declared as data members (handlers)."""
    names = set()
    for src in files:
        for m in re.finditer(r'[\w:>]\s+(F?On[A-Z]\w*)\s*(?:=[^;]*|\{[^;]*\})?;', src.text):
            names.add(m.group(1))
    return names


class Program:
    def __init__(self, files):
        self.files = files
        self.routines = {}
        for src in files:
            self.routines[src.path] = routines(src, find_classes(src))
        methods = _method_names(files)
        members = _member_names(files)
        # A name that is both is a handler where the routine tests it as a value.
        self.handlers_excluded = methods - members
        self.ambiguous = methods & members
        self.modal = set(MODAL)
        self.helpers = set()
        # A free function that runs a window or a loop is a call-out to its callers.
        while True:
            added = False
            for src in files:
                for r in self.routines[src.path]:
                    if not r.free or r.name in self.modal or r.name in methods:
                        continue
                    if any(c.how == 'modal' for c in self._scan(src, r)):
                        self.modal.add(r.name)
                        self.helpers.add(r.name)
                        added = True
            if not added:
                break
        self.callouts = []
        for src in files:
            for r in self.routines[src.path]:
                self.callouts.extend(self._scan(src, r))

    def _innermost(self, src, pos):
        best = None
        for r in self.routines[src.path]:
            if r.open < pos < r.close and (best is None or r.open > best.open):
                best = r
        return best

    def _scan(self, src, routine):
        text = src.text
        out = []
        # A handler copied to a local (or captured by a lambda) and called there.
        outer = getattr(routine, 'outer', None) or routine
        copies = {n for n in _COPY.findall(text, outer.open, outer.close) if not _HANDLER.match(n)}
        for m in _CALL.finditer(text, routine.open, routine.close):
            name = m.group(1)
            before = text[max(0, m.start() - 2):m.start()]
            if name in copies and not (before.endswith('.') or before.endswith('->')):
                how = 'handler'
            elif _HANDLER.match(name):
                if name in self.handlers_excluded or before.endswith('::'):
                    continue
                if name in self.ambiguous and not re.search(
                        r'\b%s\s*(?:\)|&&|\|\|)' % name, text[routine.open:routine.close]):
                    continue
                how = 'handler'
            elif name in self.modal:
                if before.endswith('::'):
                    continue
                if name in self.helpers and (before.endswith('.') or before.endswith('->')):
                    continue
                how = 'modal'
            else:
                continue
            if self._innermost(src, m.start()) is not routine:
                continue
            open_ = m.end() - 1
            close = src.parens.get(open_)
            if close is None:
                continue
            out.append(CallOut(src, routine, name, m.start(), close + 1, src.line_of(m.start()),
                               how))
        return out

    def classify(self, c):
        return Reader(c.routine).classify(c.pos, c.end)


# --- the table ---------------------------------------------------------------------

class Row:
    def __init__(self, line, path, routine, callee, kind, reason):
        self.line, self.path, self.routine, self.callee = line, path, routine, callee
        self.kind, self.reason = kind, reason

    def key(self):
        return (self.path, self.routine, self.callee)


def read_table(path):
    """Rows 'file  routine  call  kind  reason'; # starts a comment line."""
    rows, errors = [], []
    with open(path, encoding='utf-8') as fh:
        for n, line in enumerate(fh, 1):
            text = line.strip()
            if not text or text.startswith('#'):
                continue
            parts = text.split(None, 4)
            if len(parts) < 5 or parts[3] not in KINDS:
                errors.append('%s:%d: a row is "file  routine  call  kind  reason", kind one of %s'
                              % (path, n, ', '.join(sorted(KINDS))))
                continue
            rows.append(Row(n, *parts))
    return rows, errors


def check(prog, rows, table_path):
    failures = []
    by_key = {}
    for r in rows:
        if r.key() in by_key:
            failures.append('%s:%d: %s in %s is listed twice' % (table_path, r.line, r.callee,
                                                                r.routine))
        by_key[r.key()] = r
    used = set()
    counts = {'last': 0, 'guarded': 0, 'table': {k: 0 for k in KINDS}, 'handler': 0, 'modal': 0}
    for c in prog.callouts:
        counts[c.how] += 1
        way = prog.classify(c)
        row = by_key.get(c.key())
        where = '%s:%d: %s calls %s' % (c.path, c.line, c.routine.name, c.callee)
        if way != 'used':
            counts[way] += 1
            if row and c.key() not in used:
                used.add(c.key())
                rows_needed = any(prog.classify(o) == 'used' for o in prog.callouts
                                  if o.key() == c.key())
                if not rows_needed:
                    failures.append('%s:%d: %s in %s is %s: the row is not needed'
                                    % (table_path, row.line, c.callee, c.routine.name, way))
            continue
        if not row:
            failures.append('%s, and uses what it holds afterwards: read it again through a '
                            'TCallOut right after the call, make the call the last thing the '
                            'routine does, or list it with its reason' % where)
            continue
        used.add(c.key())
        counts['table'][row.kind] += 1
    for r in rows:
        if r.key() not in used:
            failures.append('%s:%d: %s in %s (%s) is no call-out that needs a row (any more): '
                            'remove the row' % (table_path, r.line, r.callee, r.routine, r.path))
    return failures, counts


def run(src, table, out, listing=False):
    prog = Program(read_tree(src))
    rows, errors = read_table(table)
    failures, counts = check(prog, rows, table)
    failures = errors + failures
    if listing:
        for c in prog.callouts:
            print('%s:%d\t%s\t%s\t%s' % (c.path, c.line, c.routine.name, c.callee,
                                         prog.classify(c)), file=out)
    for f in failures:
        print(f, file=out)
    print('%d call-outs read (%d handler calls, %d windows and loops; %d free functions run '
          'one): %d last, %d guarded, %d in the table (%s)'
          % (len(prog.callouts), counts['handler'], counts['modal'], len(prog.helpers),
             counts['last'], counts['guarded'], sum(counts['table'].values()),
             ', '.join('%s %d' % kv for kv in sorted(counts['table'].items()) if kv[1])),
          file=out)
    return 1 if failures else 0


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--src')
    ap.add_argument('--table')
    ap.add_argument('--list', action='store_true', help='print every call-out and its way')
    a = ap.parse_args(argv)
    if not a.src or not a.table:
        ap.error('--src and --table are needed')
    return run(a.src, a.table, sys.stdout, a.list)


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
