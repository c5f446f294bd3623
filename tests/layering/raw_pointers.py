#!/usr/bin/env python3
"""Every raw pointer a class of the program keeps, read from the source.

Reads every header and source file under src/ and lists each data member of a
class or struct that holds a raw pointer to a class of the program (or a
container or array of them), a type alias (using, typedef) read as the type it
names. Each must be accounted for: by a rule this script
verifies in the source, or by a row of the table beside it (file, class,
member, kind, reason). A reference to an object the holder does not own is a
TWatched<T>; a raw pointer stays only where the holder owns the object or the
object outlives the holder by construction.

Kinds:
  owned      the holder frees it
  owner      it outlives the holder by construction (the parent, the
             collection an item belongs to, the chart of its own series)
  other      not a library object (a static table, a value buffer, a scope
             that restores what it saved)
  reference  none of these: the member fails until it is a TWatched<T>

Rules:
  made-here  owned: the holder (a component) makes it owned by itself, with
             new T(this) or a factory verified to make what it returns owned
             by its first argument; nothing else sets it
  freed-here owned: every value is a new T, and the holder's destructor
             deletes it
  part-of    owner: set only by the holder's constructor from an argument that
             every construction of the holder passes as `this` from inside an
             object of the pointer's class, which keeps the holder as a part

Usage: raw_pointers.py --src DIR --table FILE [--list]
The check's own test is raw_pointers_selftest.py.
"""
import argparse
import bisect
import os
import re
import sys

# --- reading the source -----------------------------------------------------

_LEXEMES = re.compile(
    r'//[^\n]*'
    r'|/\*.*?\*/'
    r'|R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)"'
    r'|"(?:\\.|[^"\\\n])*"'
    r"|'(?:\\.|[^'\\\n])*'"
    r'|^[ \t]*#(?:[^\n\\]|\\.)*',
    re.S | re.M)


def _blank(m):
    text = m.group(0)
    if text.startswith('"') or text.startswith('R"'):
        return '""' + '\n' * text.count('\n')
    if text.startswith("'"):
        return "' '"
    return re.sub(r'[^\n]', ' ', text)


def strip_source(text):
    """Comments, literals and preprocessor lines blanked; line numbers kept."""
    return _LEXEMES.sub(_blank, text)


def match_pairs(text, pattern, opening):
    pairs = {}
    stack = []
    for m in re.finditer(pattern, text):
        i = m.start()
        if text[i] == opening:
            stack.append(i)
        elif stack:
            pairs[stack.pop()] = i
    return pairs


class SourceFile:
    def __init__(self, path, text):
        self.path = path
        self.text = strip_source(text)
        self.braces = match_pairs(self.text, r'[{}]', '{')
        self.parens = match_pairs(self.text, r'[()]', '(')
        self._line_starts = None

    def line_of(self, pos):
        if self._line_starts is None:
            self._line_starts = [m.end() for m in re.finditer(r'\n', self.text)]
        return bisect.bisect_right(self._line_starts, pos) + 1


def read_tree(root):
    """Every .h and .cpp under root, named relative to root's parent."""
    files = []
    base = os.path.dirname(os.path.abspath(root))
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames.sort()
        for f in sorted(filenames):
            if f.endswith(('.h', '.cpp')):
                p = os.path.join(dirpath, f)
                with open(p, encoding='latin-1') as fh:
                    files.append(SourceFile(os.path.relpath(os.path.abspath(p), base), fh.read()))
    return files


# --- classes and their members ----------------------------------------------

_CLASS_HEAD = re.compile(
    r'\b(?P<key>class|struct|union)\s+'
    r'(?:\[\[[^\]]*\]\]\s*)?(?P<name>[A-Za-z_]\w*)\s*(?:final\s*)?'
    r'(?::(?P<bases>[^;{}()]*))?\{')


class ClassDef:
    def __init__(self, path, name, start, end, line, bases):
        self.path, self.name, self.start, self.end, self.line = path, name, start, end, line
        self.bases = []
        for b in _split_top(bases or '', ','):
            b = re.sub(r'^(?:(?:public|private|protected|virtual)\s+)*', '', b.strip())
            b = re.sub(r'<.*', '', b, flags=re.S).split('::')[-1].strip()
            if b:
                self.bases.append(b)
        self.members = []   # raw pointer members
        self.values = []    # (name, type, init) of every other member


class Member:
    def __init__(self, cls, name, type_, line, array, init, pointees):
        self.cls, self.name, self.type, self.line = cls, name, type_, line
        self.array, self.init, self.pointees = array, init, pointees

    @property
    def path(self):
        return self.cls.path

    def key(self):
        return (self.cls.path, self.cls.name, self.name)


def find_classes(src):
    out = []
    for m in _CLASS_HEAD.finditer(src.text):
        if re.search(r'(?:\benum\s*|[<,]\s*)$', src.text[max(0, m.start() - 8):m.start()]):
            continue  # an enum class or a template argument
        open_ = m.end() - 1
        close = src.braces.get(open_)
        if close is None:
            continue
        out.append(ClassDef(src.path, m.group('name'), open_, close,
                            src.line_of(m.start('name')), m.group('bases')))
    return out


def _split_top(text, sep):
    """Splits at sep outside (), [], {} and <>."""
    if sep not in text:
        return [text]
    parts, depth, last = [], 0, 0
    for m in re.finditer(r'[\[\]{}()<>]|' + re.escape(sep), text):
        c = m.group(0)
        if c == sep:
            if depth == 0:
                parts.append(text[last:m.start()])
                last = m.end()
        elif c in '([{<':
            depth += 1
        else:
            depth -= 1
    parts.append(text[last:])
    return parts


def _has_top(text, chars):
    depth = 0
    for c in text:
        if c == '<':
            depth += 1
        elif c == '>':
            depth -= 1
        elif c in chars and depth == 0:
            return True
    return False


_ACCESS = re.compile(r'^\s*(?:public|private|protected)\s*:(?!:)')
_MACRO = re.compile(r'^\s*[A-Z][A-Z0-9_]+\s*\(')
_SKIP_HEAD = re.compile(r'^\s*(?:using|typedef|friend|static_assert|template|enum|class|struct|'
                        r'union|namespace|return|operator)\b')


def _drop_leading(stmt):
    """A declaration without access labels, macro calls and attributes before it."""
    while True:
        m = _ACCESS.match(stmt)
        if m:
            stmt = stmt[m.end():]
            continue
        m = _MACRO.match(stmt)
        if m:
            depth, i = 0, m.end() - 1
            while i < len(stmt):
                if stmt[i] == '(':
                    depth += 1
                elif stmt[i] == ')':
                    depth -= 1
                    if depth == 0:
                        break
                i += 1
            stmt = stmt[i + 1:]
            continue
        m = re.match(r'^\s*\[\[[^\]]*\]\]', stmt)
        if m:
            stmt = stmt[m.end():]
            continue
        return stmt


def _statements(src, cls, nested_starts):
    """The declarations of a class body at its own depth: (text, offset)."""
    text = src.text
    i, end = cls.start + 1, cls.end
    start = i
    drop = False
    while i < end:
        c = text[i]
        if c == ';':
            if not drop:
                yield text[start:i], start
            i += 1
            start, drop = i, False
            continue
        if c == '{':
            close = src.braces.get(i, end)
            head = _drop_leading(text[start:i])
            if i in nested_starts or re.match(
                    r'\s*(?:template\s*<.*>\s*)?(?:enum|class|struct|union)\b', head, re.S):
                drop = True
                i = close + 1
                continue
            i = close + 1
            if _has_top(head.split('=', 1)[0], '(') and '=' not in head:
                # A function body: the declaration ends with it.
                j = i
                while j < end and text[j].isspace():
                    j += 1
                if j >= end or text[j] not in ';,{':
                    start, drop = j, False
                    i = j
                else:
                    drop = True
            continue
        i += 1


def _parse_declarators(stmt):
    """(name, type, array, initialiser) of each data member one declaration makes."""
    stmt = _drop_leading(stmt).strip()
    if not stmt or _SKIP_HEAD.match(stmt):
        return []
    words = stmt.split()
    while words and words[0] in ('mutable', 'inline', 'constexpr', 'volatile'):
        words = words[1:]
    if not words or words[0] in ('static', 'thread_local'):
        return []  # one for the class, not a part of each object
    decls = _split_top(' '.join(words), ',')
    out = []
    base = None
    for n, d in enumerate(decls):
        init = ''
        parts = _split_top(d, '=')
        if len(parts) > 1:
            d, init = parts[0], '='.join(parts[1:])
        d = d.strip()
        if d.endswith('}'):
            depth = 0
            for k in range(len(d) - 1, -1, -1):
                if d[k] == '}':
                    depth += 1
                elif d[k] == '{':
                    depth -= 1
                    if depth == 0:
                        init = d[k:]
                        d = d[:k].rstrip()
                        break
        if _has_top(d, '('):
            return []  # a function, or a pointer to one
        d = re.sub(r'(?<!:):\s*\d+\s*$', '', d)  # a bit field
        array = ''
        m = re.search(r'(\[[^\]]*\]\s*)+$', d)
        if m:
            array = m.group(0).strip()
            d = d[:m.start()].rstrip()
        m = re.search(r'([A-Za-z_]\w*)\s*$', d)
        if not m:
            return []
        name = m.group(1)
        if name == 'operator':
            return []  # an operator declared as deleted or defaulted
        head = d[:m.start()].strip()
        if n == 0:
            if not head:
                return []
            base = re.sub(r'[\s*&]+$', '', head)
            type_ = head
        else:
            if base is None:
                return []
            type_ = base + ' ' + head
        out.append((name, re.sub(r'\s+', ' ', type_).strip(), array, init.strip()))
    return out


# Templates whose arguments are not held as raw pointers.
_NOT_HELD = {'function', 'unique_ptr', 'TWatched', 'shared_ptr', 'weak_ptr'}


def raw_pointees(type_, array, classes):
    """The classes of the program a member of this type holds raw pointers to."""
    out = []
    for m in re.finditer(r'([A-Za-z_]\w*)\s*(?:const\s*)?\*', type_):
        name = m.group(1)
        if name not in classes:
            continue
        stack, paren = [], 0
        for t in re.finditer(r'([A-Za-z_]\w*)\s*<|[<>()]', type_[:m.start()]):
            tok = t.group(0)
            if tok.endswith('<'):
                stack.append(t.group(1) or '')
            elif tok == '>':
                if stack:
                    stack.pop()
            elif tok == '(':
                paren += 1
            elif tok == ')':
                paren -= 1
        if paren > 0:
            continue  # a parameter of a function type
        if any(s in _NOT_HELD for s in stack) and not (stack and stack[-1] == 'shared_ptr'):
            continue  # a shared_ptr<T*> holds the pointer itself
        out.append(name)
    return out


def watched_pointees(type_, classes):
    return [n for n in re.findall(r'\bTWatched\s*<\s*(?:const\s+)?([A-Za-z_]\w*)\s*>', type_)
            if n in classes]


_USING = re.compile(r'\busing\s+([A-Za-z_]\w*)\s*=\s*([^;{}]+);')
_TYPEDEF = re.compile(r'\btypedef\s+([^;{}()]+?)\s*\b([A-Za-z_]\w*)\s*;')


def find_aliases(files):
    """Every type alias (using X = T; typedef T X;) by name, wherever declared."""
    out = {}
    for src in files:
        for m in _USING.finditer(src.text):
            out.setdefault(m.group(1), re.sub(r'\s+', ' ', m.group(2)).strip())
        for m in _TYPEDEF.finditer(src.text):
            out.setdefault(m.group(2), re.sub(r'\s+', ' ', m.group(1)).strip())
    return out


def resolve_aliases(type_, aliases):
    """The type with its aliases spelled out, aliases of aliases too."""
    if not aliases:
        return type_
    names = re.compile(r'(?<![\w])(%s)\b' % '|'.join(map(re.escape, aliases)))
    for _ in range(8):
        spelled = names.sub(lambda m: aliases[m.group(1)], type_)
        if spelled == type_:
            break
        type_ = spelled
    return type_


def collect(files):
    classes = {}
    per_file = []
    for src in files:
        defs = find_classes(src)
        per_file.append((src, defs))
        for c in defs:
            classes.setdefault(c.name, []).append(c)
    # A class's own name wins over an alias of that name in some other scope.
    aliases = {k: v for k, v in find_aliases(files).items() if k not in classes}
    members, handles = [], []
    for src, defs in per_file:
        nested = {c.start for c in defs}
        for c in defs:
            for stmt, pos in _statements(src, c, nested - {c.start}):
                for name, declared, array, init in _parse_declarators(stmt):
                    type_ = resolve_aliases(declared, aliases)
                    pointees = raw_pointees(type_, array, classes)
                    if watched_pointees(type_, classes):
                        handles.append((c, name))
                    if not pointees:
                        c.values.append((name, type_, init))
                        continue
                    off = re.search(r'\b%s\b' % re.escape(name), stmt)
                    line = src.line_of(pos + (off.start() if off else 0))
                    m = Member(c, name, type_, line, array, init, pointees)
                    c.members.append(m)
                    members.append(m)
    return classes, per_file, members, handles


# --- functions --------------------------------------------------------------

_KEYWORDS = {'if', 'for', 'while', 'switch', 'catch', 'return', 'sizeof', 'alignof', 'decltype',
             'static_assert', 'noexcept', 'throw', 'new', 'delete', 'typeid', 'defined',
             'static_cast', 'dynamic_cast', 'reinterpret_cast', 'const_cast', 'alignas', 'else',
             'do', 'case'}
_DEF_CLOSE = re.compile(r'\)(?=\s*(?:(?:const|noexcept|override|final|volatile|mutable)\b\s*|&&?\s*)*'
                        r'(?:->[^;{}]*)?[{:])')
_AFTER_PARAMS = re.compile(r'(?:\s*(?:const|noexcept|override|final|volatile|mutable)\b|\s*&&|\s*&)*'
                           r'(?:\s*->\s*[\w:<>*&\s,]+?(?=\s*\{))?\s*')
_INIT_ITEM = re.compile(r'\s*[A-Za-z_][\w:]*\s*(?:<[^;{}()]*>)?\s*')


def _ident_before(text, k):
    """(identifier, start) that ends at or before k, spaces skipped."""
    while k >= 0 and text[k].isspace():
        k -= 1
    end = k + 1
    while k >= 0 and (text[k].isalnum() or text[k] == '_'):
        k -= 1
    return text[k + 1:end], k + 1


def _name_before(text, open_):
    """(qualifier, name, start) of the function whose ( is at open_."""
    name, start = _ident_before(text, open_ - 1)
    if start > 0 and text[start - 1] == '~':
        name, start = '~' + name, start - 1
    if not name or name[0].isdigit():
        return None
    quals = []
    k = start - 1
    while True:
        j = k
        while j >= 0 and text[j].isspace():
            j -= 1
        if j < 1 or text[j - 1:j + 1] != '::':
            break
        q, qs = _ident_before(text, j - 2)
        if not q:
            break
        quals.insert(0, q)
        start, k = qs, qs - 1
    return '::'.join(quals), name, start


class FuncDef:
    def __init__(self, src, cls, name, params, init, body):
        self.src, self.cls, self.name = src, cls, name
        self.params, self.init, self.body = params, init, body
        self._text = None
        self.made = None
        self.assigns = None

    def body_text(self):
        if self._text is None:
            self._text = self.src.text[self.body[0]:self.body[1] + 1]
        return self._text

    def param_names(self):
        out = []
        for p in _split_top(self.params, ','):
            p = p.split('=')[0].strip()
            m = re.search(r'([A-Za-z_]\w*)\s*(?:\[[^\]]*\])?\s*$', p)
            out.append((m.group(1) if m else '', p))
        return out


def find_functions(src, defs):
    """Every function defined in a file: out of line, in a class body, or free."""
    text = src.text
    out = []
    seen = set()
    opening = {v: k for k, v in src.parens.items()}
    for c in _DEF_CLOSE.finditer(text):
        close = c.start()
        open_ = opening.get(close)
        if open_ is None:
            continue
        found = _name_before(text, open_)
        if not found or found[1] in _KEYWORDS:
            continue
        qual, name, name_start = found
        j = _AFTER_PARAMS.match(text, close + 1).end()
        init = ''
        if text[j:j + 1] == ':' and text[j + 1:j + 2] != ':':
            k = j + 1
            while k < len(text):
                n = _INIT_ITEM.match(text, k)
                if not n:
                    break
                k = n.end()
                if text[k:k + 1] == '(':
                    k = src.parens.get(k, len(text) - 1) + 1
                elif text[k:k + 1] == '{':
                    k = src.braces.get(k, len(text) - 1) + 1
                else:
                    break
                while k < len(text) and text[k].isspace():
                    k += 1
                if text[k:k + 1] == ',':
                    k += 1
                    continue
                break
            init = text[j + 1:k]
            j = k
        if text[j:j + 1] != '{' or j in seen:
            continue
        # A call followed by a block is no definition.
        before = text[max(0, name_start - 40):name_start].rstrip()
        if not qual and before and before[-1] in '=(,[!&|+-?:' and not before.endswith('::'):
            continue
        seen.add(j)
        cls = qual.split('::')[-1] if qual else None
        if cls is None:
            inner = None
            for d in defs:
                if d.start < name_start < d.end and (inner is None or d.start > inner.start):
                    inner = d
            cls = inner.name if inner else None
        out.append(FuncDef(src, cls, name, text[open_ + 1:close], init,
                           (j, src.braces.get(j, len(text) - 1))))
    return out


# --- assignments -------------------------------------------------------------

_EQ = re.compile(r'(?<![=!<>+\-*/%&|^])=(?!=)')
_NULL = ('nullptr', 'NULL', '0')


_CHAIN = re.compile(r'[\w\s.>\-\[\]*]+?(?<![=!<>])=(?!=)')


class Assign:
    __slots__ = ('name', 'qual', 'deref', 'decl', 'rhs', 'pos')

    def __init__(self, name, qual, deref, decl, rhs, pos):
        self.name, self.qual, self.deref, self.decl = name, qual, deref, decl
        self.rhs, self.pos = rhs, pos


def _skip_back(text, k, close, open_):
    depth = 0
    while k >= 0:
        if text[k] == close:
            depth += 1
        elif text[k] == open_:
            depth -= 1
            if depth == 0:
                return k - 1
        k -= 1
    return k


def _rhs_end(src, pos):
    """Where the expression from pos ends: at ; or , or the bracket around it."""
    text = src.text
    k = pos
    n = len(text)
    square = 0
    while k < n:
        c = text[k]
        if c == '(':
            k = src.parens.get(k, n)
        elif c == '{':
            k = src.braces.get(k, n)
        elif c == '[':
            square += 1
        elif c == ']':
            if square == 0:
                return k
            square -= 1
        elif c in ';,)}' and square == 0:
            return k
        k += 1
    return n


def assignments(f):
    """Every a = b in a function body, with what its left side names."""
    if f.assigns is not None:
        return f.assigns
    out = []
    body = f.body_text()
    base = f.body[0]
    for m in _EQ.finditer(body):
        e = m.start()
        k = e - 1
        while k >= 0 and body[k].isspace():
            k -= 1
        if k < 0:
            continue
        deref = False
        while k >= 0 and body[k] == ']':
            k = _skip_back(body, k, ']', '[')
            while k >= 0 and body[k].isspace():
                k -= 1
        if k >= 0 and body[k] == ')':
            inner_close = k
            k = _skip_back(body, k, ')', '(')
            inner = body[k + 2:inner_close].strip()
            if not inner.startswith('*'):
                continue
            deref = True
            n = re.search(r'([A-Za-z_]\w*)\s*(?:\[[^\]]*\]\s*)*$', inner)
            if not n:
                continue
            name = n.group(1)
            out.append(Assign(name, '', True, False, None, base + e))
            continue
        while k >= 0 and body[k].isspace():
            k -= 1
        name, start = _ident_before(body, k)
        if not name or name[0].isdigit() or name == 'operator':
            continue
        # What the name hangs from.
        j = start - 1
        while j >= 0 and body[j].isspace():
            j -= 1
        qual = ''
        if j >= 1 and (body[j - 1:j + 1] == '->' or (body[j] == '.' and body[j - 1] != '.')):
            j -= 2 if body[j] == '>' else 1
            while j >= 0 and body[j].isspace():
                j -= 1
            if j >= 0 and body[j] in ')]':
                qual = '?'
            else:
                qual, qs = _ident_before(body, j)
                qual = qual or '?'
                j = qs - 1
                while j >= 0 and body[j].isspace():
                    j -= 1
        decl = False
        if j >= 0 and body[j] == '*':
            i = j - 1
            while i >= 0 and body[i].isspace():
                i -= 1
            if i >= 0 and (body[i].isalnum() or body[i] in '_*&>'):
                word, _ = _ident_before(body, i)
                decl = word not in ('return', 'else', 'do', 'case')
            else:
                deref = True
        elif j >= 0 and (body[j].isalnum() or body[j] in '_&>'):
            word, _ = _ident_before(body, j)
            decl = word not in ('return', 'else', 'do', 'case', '') or body[j] in '&>'
        out.append(Assign(name, qual, deref, decl, None, base + e))
    for a in out:
        end = _rhs_end(f.src, a.pos + 1)
        rhs = f.src.text[a.pos + 1:end].strip()
        # a = b = c: a gets what b gets.
        while True:
            n = _CHAIN.match(rhs)
            if not n:
                break
            rhs = rhs[n.end():].strip()
        a.rhs = rhs
    f.assigns = out
    return out


# --- what the source says about each member ---------------------------------

_SPACES = re.compile(r'\s+')
_MADE = re.compile(r'\bnew\s+([A-Za-z_]\w*)\s*[({]|\bmake_(?:unique|shared)\s*<\s*([A-Za-z_]\w*)\s*>\s*\(')
_LOCAL = re.compile(r'(?<![\w:<,.>])([A-Z]\w*)\s+[A-Za-z_]\w*\s*[({]')
_NEW = re.compile(r'new([\w:]+)(?:<[^;]*?>)?[({]')
_RETURN = re.compile(r'\breturn\b')
_BINARY_AND = re.compile(r'(?:[\w)\]]|\+\+|--)$')
_NOT_PLAIN = re.compile(r'<|\*\s*\*|&')
_CALL_HEAD = re.compile(r'(?:this->)?([A-Za-z_]\w*)\s*(?:<[^;()]*>)?\s*\(')
_CALL_START = re.compile(r'(?<![\w.>])([A-Za-z_]\w*)\s*\(')
_REF_PARAM = re.compile(r'\*\s*&')


class Program:
    def __init__(self, files):
        self.files = files
        self.classes, self.per_file, self.members, self.handles = collect(files)
        self.functions = []
        for src, defs in self.per_file:
            self.functions += find_functions(src, defs)
        self.methods = {}
        self.free = {}
        for f in self.functions:
            if f.cls:
                self.methods.setdefault(f.cls, []).append(f)
            else:
                self.free.setdefault(f.name, []).append(f)
        self._ancestors = {}
        self._lambdas = {}
        self._self_factories = {}
        self.family = {}
        for name in self.classes:
            for a in self.ancestors(name):
                self.family.setdefault(a, set()).add(name)
        self.factories = {}
        self._factories_done = False
        self._verify_factories()
        self._factories_done = True
        self._index()

    def ancestors(self, name):
        if name not in self._ancestors:
            seen, todo = {name}, [name]
            while todo:
                for c in self.classes.get(todo.pop(), []):
                    for b in c.bases:
                        if b not in seen:
                            seen.add(b)
                            todo.append(b)
            self._ancestors[name] = seen
        return self._ancestors[name]

    def derives(self, name, base):
        return base in self.ancestors(name)

    # --- components a function makes ---------------------------------------
    # A factory returns a component owned by its first argument ('first'), by
    # that argument's owner ('first-owner') or by the object it runs on
    # ('self'), and may hand one out through T** arguments as well.

    @staticmethod
    def _closes_at_end(expr):
        depth = 0
        for i, c in enumerate(expr):
            depth += c == '('
            depth -= c == ')'
            if depth == 0:
                return i == len(expr) - 1
        return False

    @staticmethod
    def bare(expr, _cache={}):
        """An expression without spaces, outer parentheses and this->."""
        if expr not in _cache:
            e = _SPACES.sub('', expr)
            while e.startswith('(') and Program._closes_at_end(e):
                e = e[1:-1]
            _cache[expr] = e[6:] if e.startswith('this->') else e
        return _cache[expr]

    def _call(self, expr, _cache={}):
        """(name, arguments) of a call expression, or None."""
        if expr not in _cache:
            m = _CALL_HEAD.match(expr)
            if not m or not self._closes_at_end(expr[m.end() - 1:]):
                _cache[expr] = None
            else:
                args = [a.strip() for a in _split_top(expr[m.end():-1], ',')]
                _cache[expr] = (m.group(1), [a for a in args if a])
        return _cache[expr]

    def owner_of(self, expr, f, locals_):
        """Who owns the component expr makes, in f's terms, or None."""
        expr = self.bare(expr)
        if expr in locals_:
            return locals_[expr]
        m = _NEW.match(expr)
        if m:
            made = m.group(1).split('::')[-1]
            # A template's T is checked where the member's own class is.
            if made in self.classes and not self.derives(made, 'TComponent'):
                return None
            args = _split_top(expr[m.end():-1], ',')
            return self.bare(args[0]) if args and args[0] else None
        call = self._call(expr)
        if not call:
            return None
        name, args = call
        kind = self.factory_kind(name, f)
        if not kind:
            return None
        if kind[0] == 'self':
            return 'this'
        if not args:
            return None
        first = self.bare(args[0])
        return first if kind[0] == 'first' else first + '->Owner()'

    def factory_kind(self, name, f):
        if f is not None:
            lam = self.lambdas(f).get(name)
            if lam is not None:
                return lam
            if f.cls and name in self.self_factories(f.cls):
                return ('self', set())
        return self.factories.get(name)

    def made_locals(self, f, scope=None):
        """The locals of a function that hold a component it made, with their owners."""
        if f.made is None:
            f.made = {}
            for a in assignments(f):
                if a.decl or (not a.qual and not a.deref):
                    owner = self.owner_of(a.rhs, scope or f, f.made)
                    if owner:
                        f.made[a.name] = owner
        return f.made

    def _kind_of(self, f, outer=None):
        """The factory kind of one function or lambda, or None."""
        if outer is None and self._factories_done:
            if not hasattr(f, 'kind'):
                f.kind = self._find_kind(f)
            return f.kind
        return self._find_kind(f, outer)

    def _find_kind(self, f, outer=None):
        params = f.param_names()
        first = params[0][0] if params and '*' in params[0][1] else None
        body = f.body_text()
        scope = outer or f
        locals_ = self.made_locals(f, scope)
        owners = [self.owner_of(body[r.end():_rhs_end(f.src, f.body[0] + r.end()) - f.body[0]],
                                scope, locals_)
                  for r in _RETURN.finditer(body)]
        kinds = {}
        if f.cls or outer:
            kinds['this'] = 'self'
        if first:
            kinds[first] = 'first'
            kinds[first + '->Owner()'] = 'first-owner'
        found = {kinds.get(o) for o in owners}
        outs = {}
        for i, (name, decl) in enumerate(params):
            if '**' not in decl.replace(' ', ''):
                continue
            for a in assignments(f):
                if a.deref and a.name == name:
                    o = kinds.get(self.owner_of(a.rhs, scope, locals_))
                    if o:
                        outs[i] = o
            for c in re.finditer(r'(?<![\w.>])([A-Za-z_]\w*)\s*(?:<[^;()]*>)?\s*\(', body):
                close = f.src.parens.get(f.body[0] + c.end() - 1)
                if close is None:
                    continue
                text = body[c.start():close - f.body[0] + 1]
                call = self._call(text)
                if not call or name not in call[1]:
                    continue
                kind = self.factory_kind(call[0], scope)
                if kind and call[1].index(name) in kind[1]:
                    o = kinds.get(self.owner_of(text, scope, locals_))
                    if o:
                        outs[i] = o
        if len(found) == 1 and None not in found and owners:
            kind = found.pop()
            return (kind, {i for i, k in outs.items() if k == kind})
        if not owners and outs and len(set(outs.values())) == 1:
            return (next(iter(outs.values())), set(outs))
        return None

    def lambdas(self, f):
        """The factories a function defines as lambdas that capture this."""
        if id(f) not in self._lambdas:
            self._lambdas[id(f)] = ({}, [])
            found, defs = self._lambdas[id(f)]
            body = f.body_text()
            for m in re.finditer(r'\bauto\s+([A-Za-z_]\w*)\s*=\s*\[([^\]]*)\]\s*\(', body):
                open_ = f.body[0] + m.end() - 1
                close = f.src.parens.get(open_)
                if close is None:
                    continue
                b = re.compile(r'\s*(?:mutable\s*)?(?:->[^{;]*)?\{').match(f.src.text, close + 1)
                if not b:
                    continue
                start = b.end() - 1
                lam = FuncDef(f.src, f.cls, m.group(1), f.src.text[open_ + 1:close], '',
                              (start, f.src.braces.get(start, start)))
                defs.append(lam)
                if re.search(r'this|^\s*[&=]', m.group(2)):
                    kind = self._kind_of(lam, f)
                    if kind:
                        found[m.group(1)] = kind
        return self._lambdas[id(f)][0]

    def lambda_defs(self, f):
        self.lambdas(f)
        return self._lambdas[id(f)][1]

    def self_factories(self, cls):
        """Methods of a class (or its bases) that return a component owned by this."""
        if cls not in self._self_factories:
            self._self_factories[cls] = set()
            names = set()
            for a in self.ancestors(cls):
                for f in self.methods.get(a, []):
                    if 'return' in f.body_text():
                        kind = self._kind_of(f)
                        if kind and kind[0] == 'self':
                            names.add(f.name)
            self._self_factories[cls] = names
        return self._self_factories[cls]

    def _verify_factories(self):
        candidates = {n for n, defs in self.free.items()
                      if any('new ' in f.body_text() for f in defs)}
        for _ in range(8):
            changed = False
            for name in sorted(candidates):
                for f in self.free[name]:
                    f.made = None
                kinds = [self._kind_of(f) for f in self.free[name]]
                if kinds and all(kinds) and len({k[0] for k in kinds}) == 1:
                    k = (kinds[0][0], set().union(*[k[1] for k in kinds]))
                    if self.factories.get(name) != k:
                        self.factories[name] = k
                        changed = True
            if not changed or not self.factories:
                break
            names = re.compile(r'\b(?:%s)\b' % '|'.join(self.factories))
            candidates |= {n for n, defs in self.free.items()
                           if any(names.search(f.body_text()) for f in defs)}
        for f in self.functions:
            f.made = None

    # --- writes to members --------------------------------------------------

    _ADDRESS = re.compile(r'(?<!&)&(?!&)\s*(?:(\w+)\s*(?:->|\.)\s*)?([A-Za-z_]\w*)\b(?!\s*[(:<])')
    _INIT = re.compile(r'([A-Za-z_]\w*)\s*[({]')

    def _index(self):
        self.own_writes = {}    # (class, member) -> [(function, rhs)]
        self.other_writes = {}  # member -> [(function, line)]
        self.addresses = {}     # member -> [(function, match)]
        for f in self.functions:
            for a in assignments(f):
                if a.decl or a.deref:
                    continue
                if a.qual and a.qual != 'this':
                    self.other_writes.setdefault(a.name, []).append(f)
                else:
                    self.own_writes.setdefault((f.cls, a.name), []).append((f, a.rhs))
            for m in self._INIT.finditer(f.init):
                if f.init[m.end() - 1] == '(':
                    close = m.end() - 1 + len(f.init[m.end() - 1:]) - 1
                    depth = 0
                    for k in range(m.end() - 1, len(f.init)):
                        depth += f.init[k] == '('
                        depth -= f.init[k] == ')'
                        if depth == 0:
                            close = k
                            break
                else:
                    close = f.init.find('}', m.end())
                self.own_writes.setdefault((f.cls, m.group(1)), []).append(
                    (f, f.init[m.end():close]))
            body = f.body_text()
            if '&' in body:
                for m in self._ADDRESS.finditer(body):
                    before = body[max(0, m.start() - 12):m.start()].rstrip()
                    if _BINARY_AND.search(before) and not before.endswith('return'):
                        continue  # a binary and, or a reference declared
                    self.addresses.setdefault(m.group(2), []).append((f, m))

    def in_scope(self, member, f):
        """Whether a function can see the member: a class of a .cpp is its file's own."""
        return not member.cls.path.endswith('.cpp') or f.src.path == member.cls.path

    def writes_of(self, member):
        """The writes to a member from its class and the classes derived from it."""
        out = []
        for cls in self.family.get(member.cls.name, {member.cls.name}):
            for f, rhs in self.own_writes.get((cls, member.name), []):
                if self.in_scope(member, f):
                    out.append((f, rhs))
        return out

    def written_elsewhere(self, member):
        """Whether anything writes the member through another object's pointer."""
        family = self.family.get(member.cls.name, {member.cls.name})
        for f in self.other_writes.get(member.name, []):
            if not self.in_scope(member, f):
                continue
            for a in assignments(f):
                if a.name != member.name or not a.qual or a.qual == 'this':
                    continue
                t = self.type_of(f, a.qual)
                if t is None or t in family or member.cls.name in self.family.get(t, ()):
                    return True
        return False

    def type_of(self, f, name):
        """The class a parameter, local or member named name points to, if known."""
        decl = re.compile(r'(?<![\w:])([A-Za-z_]\w*)\s*(?:const\s*)?[*&]+\s*%s\s*[=;,)]'
                          % re.escape(name))
        for text in (f.params + ',', f.body_text()):
            m = decl.search(text)
            if m and m.group(1) in self.classes:
                return m.group(1)
        for a in self.ancestors(f.cls) if f.cls else ():
            for c in self.classes.get(a, []):
                for m in c.members:
                    if m.name == name and len(m.pointees) == 1 and self._plain(m):
                        return m.pointees[0]
        return None

    def out_owner(self, f, m):
        """The owner of what a factory writes through &member at m, or None."""
        body = f.body_text()
        depth = 0
        for k in range(m.start() - 1, -1, -1):
            c = body[k]
            if c == ')':
                depth += 1
            elif c == '(':
                if depth == 0:
                    found = _name_before(body, k)
                    close = f.src.parens.get(f.body[0] + k)
                    if not found or close is None:
                        return None
                    call = body[found[2]:close - f.body[0] + 1]
                    parsed = self._call(call)
                    kind = self.factory_kind(found[1], f)
                    if not parsed or not kind:
                        return None
                    target = self.bare(m.group(0)[1:])
                    args = [self.bare(a[1:]) if a.startswith('&') else None for a in parsed[1]]
                    if target not in args or args.index(target) not in kind[1]:
                        return None
                    return self.owner_of(call, f, self.made_locals(f))
                depth -= 1
            elif c in ';{}':
                return None
        return None

    def deref_writes(self, f):
        """The owners of everything a function writes through a pointer."""
        out = []
        for a in assignments(f):
            if a.deref:
                if a.rhs in _NULL:
                    out.append('nullptr')
                    continue
                out.append(self.owner_of(a.rhs, f, self.made_locals(f)) if a.rhs else None)
        return out

    def reference_writes(self, f, name):
        """Owners given to a member through a T*& parameter of a lambda or method."""
        if not hasattr(f, 'ref_writes'):
            f.ref_writes = {}
            callees = {}
            lams = self.lambda_defs(f)
            for c in lams + self.methods.get(f.cls, []):
                if _REF_PARAM.search(c.params):
                    callees.setdefault(c.name, []).append(c)
            body = f.body_text()
            for m in _CALL_START.finditer(body) if callees else ():
                if m.group(1) not in callees:
                    continue
                close = f.src.parens.get(f.body[0] + m.end() - 1)
                call = close and self._call(body[m.start():close - f.body[0] + 1])
                if not call:
                    continue
                args = [self.bare(a) for a in call[1]]
                for c in callees[call[0]]:
                    params = c.param_names()
                    scope = f if c in lams else c
                    for i, arg in enumerate(args):
                        if i >= len(params) or not _REF_PARAM.search(params[i][1]):
                            continue
                        given = f.ref_writes.setdefault(arg, [])
                        for a in assignments(c):
                            if a.name == params[i][0] and not (a.qual or a.deref or a.decl) \
                                    and a.rhs not in _NULL:
                                given.append(self.owner_of(a.rhs, scope,
                                                           self.made_locals(c, scope)))
        return f.ref_writes.get(name, [])

    def functions_of(self, family, member):
        for cls in family:
            for f in self.methods.get(cls, []):
                if self.in_scope(member, f):
                    yield f

    def members_named(self, cls, name):
        return [m for a in self.ancestors(cls) for c in self.classes.get(a, [])
                for m in c.members if m.name == name]

    # --- the rules ----------------------------------------------------------

    def _plain(self, member):
        return not member.array and not _NOT_PLAIN.search(member.type) and \
            len(member.pointees) == 1

    def _no_initialiser(self, member):
        init = member.init.lstrip('=').strip().strip('{}').strip()
        return not init or init in _NULL

    def rule_made_here(self, member, busy=()):
        cls = member.cls.name
        if member.key() in busy:
            return False
        busy = busy + (member.key(),)
        if not self._plain(member) or not self._no_initialiser(member):
            return False
        if not self.derives(cls, 'TComponent') or \
                not self.derives(member.pointees[0], 'TComponent'):
            return False
        if self.written_elsewhere(member):
            return False
        owners = []
        for f, rhs in self.writes_of(member):
            if rhs.strip() not in _NULL:
                owners.append(self.owner_of(rhs, f, self.made_locals(f)))
        family = self.family.get(cls, {cls})
        for f, m in self.addresses.get(member.name, []):
            if not self.in_scope(member, f):
                continue
            if m.group(1) and m.group(1) != 'this':
                return False
            if f.cls not in family:
                continue
            owner = self.out_owner(f, m)
            if owner:
                owners.append(owner)
                continue
            # Its address in a table of fields: whatever the function writes
            # through a pointer must be a component it makes for itself.
            through = self.deref_writes(f)
            if not through:
                return False
            owners += [o for o in through if o != 'nullptr']
        for f in self.functions_of(family, member):
            owners += self.reference_writes(f, member.name)
        if not owners:
            return False
        for o in owners:
            if o == 'this':
                continue
            m = re.match(r'(\w+)->Owner\(\)$', o or '')
            if m and any(self.rule_made_here(x, busy)
                         for x in self.members_named(cls, m.group(1))):
                continue
            return False
        return True

    def destructors(self, cls):
        return [f for f in self.methods.get(cls, []) if f.name == '~' + cls]

    def rule_freed_here(self, member):
        if not self._plain(member) or not self._no_initialiser(member):
            return False
        if self.written_elsewhere(member):
            return False
        name = re.escape(member.name)
        if not any(re.search(r'\bdelete\s+(?:this->)?%s\s*;' % name, f.body_text())
                   for f in self.destructors(member.cls.name)):
            return False
        writes = [rhs.strip() for f, rhs in self.writes_of(member)]
        values = [w for w in writes if w not in _NULL]
        return bool(values) and all(re.match(r'new\b', w) for w in values)

    def function_at(self, src, pos):
        """The innermost function whose body holds pos, or None."""
        if not hasattr(src, 'bodies'):
            fs = sorted((f for f in self.functions if f.src is src), key=lambda f: f.body[0])
            src.bodies = ([f.body[0] for f in fs], fs)
        starts, fs = src.bodies
        i = bisect.bisect_right(starts, pos) - 1
        while i >= 0:
            if fs[i].body[0] <= pos <= fs[i].body[1]:
                best = fs[i]
                # A later, nested body (a local class's method) is closer.
                for g in fs[i + 1:bisect.bisect_right(starts, pos)]:
                    if g.body[0] <= pos <= g.body[1]:
                        best = g
                return best
            i -= 1
        return None

    def constructions(self, cls):
        """(function or None, class, arguments) wherever an object of cls is made."""
        out = []
        if not hasattr(self, '_made_sites'):
            # Every new T(...), make_unique<T>(...) and T name(...) of the
            # program, by T, found in one pass.
            self._made_sites, self._local_sites = {}, {}
            for src in self.files:
                for m in _MADE.finditer(src.text):
                    self._made_sites.setdefault(m.group(1) or m.group(2), []).append((src, m))
                for m in _LOCAL.finditer(src.text):
                    if m.group(1) in self.classes:
                        self._local_sites.setdefault(m.group(1), []).append((src, m))
        for src, m in self._made_sites.get(cls, []):
            f = self.function_at(src, m.start())
            open_ = m.end() - 1
            close = (src.parens if src.text[open_] == '(' else src.braces).get(open_)
            args = _split_top(src.text[open_ + 1:close], ',') if close else []
            out.append((f, f.cls if f else None, [a.strip() for a in args]))
        for src, m in self._local_sites.get(cls, []):
            f = self.function_at(src, m.start())
            if f:
                out.append((f, f.cls, None))  # a local object: no part of anything
        if not hasattr(self, '_bases_made'):
            self._bases_made, self._values_of = {}, {}
            for f in self.functions:
                for m in _CALL_START.finditer(f.init):
                    self._bases_made.setdefault(m.group(1), []).append(f)
                for m in re.finditer(r'\b([A-Za-z_]\w*)\s*\{', f.init):
                    self._bases_made.setdefault(m.group(1), []).append(f)
            for defs in self.classes.values():
                for c in defs:
                    for name, type_, init in c.values:
                        t = type_[6:] if type_.startswith('const ') else type_
                        self._values_of.setdefault(t, []).append((c, name, init))
        for f in self._bases_made.get(cls, []):
            out.append((f, f.cls, 'base'))
        for c, name, init in self._values_of.get(cls, []):
            made = [w for f, w in self.own_writes.get((c.name, name), []) if f.name == c.name]
            if init:
                made.append(init.lstrip('=').strip().strip('{}'))
            if not made:
                out.append((None, c.name, None))
            for w in made:
                out.append((None, c.name, [a.strip() for a in _split_top(w, ',')]))
        return out

    def rule_part_of(self, member, busy=()):
        cls = member.cls.name
        if (cls, member.name) in busy or not self._plain(member):
            return False
        busy = busy + ((cls, member.name),)
        if not self._no_initialiser(member) or self.written_elsewhere(member):
            return False
        index = set()
        for f, rhs in self.writes_of(member):
            if rhs.strip() in _NULL:
                continue
            if f.name != cls or f.cls != cls:
                return False
            params = [p for p, _ in f.param_names()]
            if self.bare(rhs) not in params:
                return False
            index.add((id(f), params.index(self.bare(rhs))))
        if len(index) != 1:
            return False
        return self._made_as_part(cls, next(iter(index))[1], member.pointees[0], busy)

    def _made_as_part(self, cls, i, owner, busy):
        """Whether every construction of cls passes this (an owner) as argument i."""
        sites = self.constructions(cls)
        if not sites:
            return False
        for f, where, args in sites:
            if args is None:
                return False
            if args == 'base':
                # A derived class hands its own argument on.
                derived = f.cls
                params = [p for p, _ in f.param_names()]
                m = re.search(r'\b%s\s*[({]([^)}]*)' % cls, f.init)
                passed = [self.bare(a) for a in _split_top(m.group(1), ',')] if m else []
                if i >= len(passed) or passed[i] not in params:
                    return False
                if (derived, i) in busy:
                    continue
                if not self._made_as_part(derived, params.index(passed[i]), owner,
                                          busy + ((derived, i),)):
                    return False
                continue
            if i >= len(args) or self.bare(args[i]) != 'this':
                return False
            if not where or not self.derives(where, owner):
                return False
        return True

    def rule(self, member):
        if not hasattr(member, 'found'):
            member.found = self._rule(member)
        return member.found

    def _rule(self, member):
        if self.rule_made_here(member):
            return 'made-here', 'owned'
        if self.rule_freed_here(member):
            return 'freed-here', 'owned'
        if self.rule_part_of(member):
            return 'part-of', 'owner'
        return None, None


# --- the table ---------------------------------------------------------------

KINDS = ('owned', 'owner', 'other', 'reference')


class Row:
    def __init__(self, line, path, cls, name, kind, reason):
        self.line, self.path, self.cls, self.name = line, path, cls, name
        self.kind, self.reason = kind, reason

    def key(self):
        return (self.path, self.cls, self.name)


def read_table(path):
    """Rows 'file  Class::member  kind  reason'; # starts a comment line."""
    rows, errors = [], []
    with open(path, encoding='utf-8') as fh:
        for n, line in enumerate(fh, 1):
            text = line.strip()
            if not text or text.startswith('#'):
                continue
            parts = text.split(None, 3)
            if len(parts) < 4 or '::' not in parts[1] or parts[2] not in KINDS:
                errors.append('%s:%d: a row is "file  Class::member  kind  reason", kind one of %s'
                              % (path, n, ', '.join(KINDS)))
                continue
            cls, name = parts[1].rsplit('::', 1)
            rows.append(Row(n, parts[0], cls, name, parts[2], parts[3]))
    return rows, errors


def check(prog, rows, table_path):
    """(failures, summary) of the members against the rules and the table."""
    failures = []
    by_key = {}
    for r in rows:
        if r.key() in by_key:
            failures.append('%s:%d: %s::%s is listed twice' % (table_path, r.line, r.cls, r.name))
        by_key[r.key()] = r
    used = set()
    counts = {'rules': {}, 'table': {k: 0 for k in KINDS}}
    for m in prog.members:
        rule, kind = prog.rule(m)
        row = by_key.get(m.key())
        where = '%s:%d: %s::%s (%s%s)' % (m.path, m.line, m.cls.name, m.name, m.type,
                                         ' ' + m.array if m.array else '')
        if rule:
            counts['rules'][rule] = counts['rules'].get(rule, 0) + 1
            if row:
                used.add(m.key())
                failures.append('%s:%d: %s::%s is %s by the rule "%s": the row is not needed'
                                % (table_path, row.line, m.cls.name, m.name, kind, rule))
            continue
        if not row:
            failures.append('%s: a raw pointer that no rule covers and the table does not list: '
                            'make it a TWatched<T>, or list it with its kind and reason' % where)
            continue
        used.add(m.key())
        counts['table'][row.kind] += 1
        if row.kind == 'reference':
            failures.append('%s: a reference to an object its holder does not own: make it a '
                            'TWatched<T>' % where)
    for r in rows:
        if r.key() not in used:
            failures.append('%s:%d: %s::%s in %s is no raw pointer member (any more): remove '
                            'the row' % (table_path, r.line, r.cls, r.name, r.path))
    counts['members'] = len(prog.members)
    counts['handles'] = len(prog.handles)
    return failures, counts


def run(src, table, out, listing=False):
    prog = Program(read_tree(src))
    rows, errors = read_table(table)
    failures, counts = check(prog, rows, table)
    failures = errors + failures
    if listing:
        for m in prog.members:
            rule, kind = prog.rule(m)
            print('%s:%d\t%s::%s\t%s\t%s' % (m.path, m.line, m.cls.name, m.name,
                                            rule or '-', m.type), file=out)
    for f in failures:
        print(f, file=out)
    print('%d raw pointer members read: %s by rule (%s), %d in the table (%s); %d handles'
          % (counts['members'], sum(counts['rules'].values()),
             ', '.join('%s %d' % kv for kv in sorted(counts['rules'].items())),
             sum(counts['table'].values()),
             ', '.join('%s %d' % kv for kv in counts['table'].items() if kv[1]),
             counts['handles']), file=out)
    return 1 if failures else 0


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--src')
    ap.add_argument('--table')
    ap.add_argument('--list', action='store_true', help='print every member and its rule')
    a = ap.parse_args(argv)
    if not a.src or not a.table:
        ap.error('--src and --table are needed')
    return run(a.src, a.table, sys.stdout, a.list)


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
