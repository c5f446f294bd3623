#!/usr/bin/env python3
"""Every call-out of the program, read by the compiler's own parser (libclang).

A call-out is a call after which the objects the routine holds may be gone:

  handler  a call of an event handler: a data member named On... of
           std::function type (also through a local copy or a lambda's
           capture of one)
  modal    a modal window or a message loop: a call of ShowModal,
           ShowModalWatching, a dialog's Execute, MessageDlg(Pos),
           ShowMessage, MessageBox, InputQuery, InputBox, ProcessMessages,
           HandleMessage, or of the toolkit's own loops below the platform
           (exec, processEvents, its static dialogs)
  depth    a call of a routine that calls out to its callers: one that may
           open a modal window or run a message loop, or fire a handler of
           a user's input (INPUT_HANDLERS below), directly or through any
           routine it calls, to a fixed point. A call reaches what it calls
           through overloads as resolved by the compiler; every override of a
           virtual routine in the classes its object may be of (those derived
           from the object's static class; none when the call names its
           class, or a constructor or destructor calls its own; the routines
           of QUIET_DISPATCH reach only the one they name); a lambda it calls
           or gives to a routine of the program or of the standard library
           (the toolkit keeps what it is given for its loop to call later);
           and a hook: a std::function member or variable calls everything
           installed in it anywhere under src/ (a lambda, a function, another
           hook, a parameter of a setter that stores it, through std::move),
           a std::function parameter what each caller gives it, so a routine
           that calls its parameter is a call-out where it is given one that
           calls out, and the call of the parameter is one in the routine
           too. A lambda kept in a capture ([Set = std::move(Set)]) or in a
           handler member calls what it keeps where the handler fires; a call
           through a slot gives its arguments to the parameters of what the
           slot holds. A lambda given to a standard class (a std::function
           made of it, a list it is added to) is kept, not called: a call
           that only stores one is no call-out. Where a call's object is
           known to be of a subclass (the class of the variable it is made
           on), a virtual call on `this` in the routine reached reaches only
           that subclass's overrides. A toolkit signal connected through
           TOOLKIT_CONNECT runs in every routine that changes the sender's
           widget (see below), the routine's own control's or another's it
           reaches (an up-down's associate). A call in a template the parser
           cannot resolve reaches every routine its name may be. A user's act
           (what the toolkit calls: its signals connected, its virtuals
           overridden, through the platform's bridge too) runs, where it fires
           a handler code fires (an edit's OnChange written by an up-down),
           what the program installed in that handler (a binder's write). A
           call passing an event of INPUT_EVENTS (a user's mouse told to a
           panel's listeners) reaches, in the routine it calls, every
           override of a QUIET_DISPATCH routine. The routines of QUIET_ROUTINES fire a click
           handler because code set a control's state: no call-outs to their
           callers; the check proves the user reaches their handlers another
           way. A handler of another kind (OnChange,
           OnBeforeAdd, ...) is a call-out where it is called only: code
           fires it, and freeing its sender from it is not supported.

What the check does not model, and why no user's input reaches it there, is
NOT_MODELLED below.

Each call-out under src/ must be one of:

  last     nothing the call could have freed is used after it: on every way
           out of the routine after the call no object is read (see below)
  guarded  on every way from the call to a read of an object, a guard that
           watches that object is read first: a TCallOut, a TWatched local,
           or the outcome of ShowModalWatching (a local, or the call's own
           result, as in `if (!ShowModalWatching(...).Ok()) return;`)
  listed   a row of the table beside this script gives the file, the
           routine, the call and the reason (its kind) why what the routine
           touches afterwards cannot have gone

Objects and watching. The objects of a routine are `this` (any use of a
member, explicit or implicit), and its parameters and locals that are
pointers or references to a class of the program's object tree (derived from
TObject), and its TWatched locals; a lambda's are those of the routine around
it that it captures, and its own. A parameter or local counts only when it
held its object before the call: one assigned after the call, before its
next read, is fresh. An object is read when it is dereferenced or passed on
(a member access, a call of its method, an argument, a return value); testing
or comparing a pointer reads no object. What is reached through an object
(`this->FChart`, `Series->ParentChart()`) counts as that object: a chart and
a form own what they hold, and a component reads gone as soon as its owner
starts to go. A guard watches what it was given as a whole argument: `this`,
a parameter or a local, as in `TCallOut held{this, Series};` (a member or a
call given to it watches nothing that the routine reads); a TWatched local
watches itself and what it was set to; a ShowModalWatching outcome watches
its watched list and its caller (the third argument).

The program's own windows (the classes of the variables given to
Application->CreateForm) are made at start and freed at exit: `this` of their
routines, and a local set from one of those variables, outlive every
call-out, so a routine that reads nothing else afterwards needs no guard.

Every unit of src/ in the build's compile_commands.json is parsed; a unit
that does not parse without errors fails the check, so nothing goes unread.
Units are parsed in parallel, each on a precompiled header of the system and
program headers its group of units includes (read once there).

A row of the table that no call-out needs, or that matches no call-out, or
a call-out neither last nor guarded without a row, fails, naming
file:line, routine, call and the object it uses.

Every toolkit signal under src/ is connected through TOOLKIT_CONNECT, which
keeps the widget while the toolkit is inside it; a connection made another
way fails.

With --mutants FILE, each line's change (a guard taken out, a read moved
after a setter) is read too, that one unit parsed again with the change: the
check must then name the routine the line gives, so the guards that matter
most stay proven.

Usage: callouts.py --src DIR --build DIR --table FILE [--list] [--findings FILE]
                   [--mutants FILE]
The check's own test is callouts_selftest.py.
"""
import argparse
import collections
import glob
import json
import multiprocessing
import os
import pickle
import re
import shlex
import sys
import tempfile
import time

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
# The toolkit's loops and modal windows, called by the platform under src/.
TOOLKIT_LOOPS = {'exec', 'processEvents', 'getText', 'getInt', 'getDouble', 'getItem',
                 'getColor', 'getFont', 'getOpenFileName', 'getOpenFileNames',
                 'getSaveFileName', 'getExistingDirectory', 'information', 'warning',
                 'question', 'critical'}

# Handlers that a user's input fires: their callers call out to their own
# callers. Each pattern is matched against the whole member name.
INPUT_HANDLERS = [
    (r'F?On(?:Dbl)?Click\w*|F?OnButtonClicked', 'a click or a double click (a navigator button)'),
    (r'F?OnMouse\w*', 'the mouse: a button, a move, entering or leaving, the wheel'),
    (r'F?OnKey\w*', 'a key'),
    (r'F?On(?:Start|End)?Drag\w*|F?OnDragged\w*|F?OnDrop\w*|F?OnDropped',
     'a drag and its drop, a tool dragging a point, bar or line'),
    (r'F?On(?:Allow)?Scroll\w*|F?OnTopLeftChanged', 'a scroll (the 3D options\' OnScrolled)'),
    (r'F?On(?:Undo)?Zoom|F?OnChangedZoom', 'a zoom'),
    (r'F?OnSelect\w*|F?OnSubSelected', 'a selection (a cell, a chart of a list)'),
    (r'F?OnSetEditText', 'a character typed into a cell, with or without its editor open'),
    (r'F?OnEnter|F?OnExit', 'the focus entering or leaving'),
    (r'F?OnPageChange|TCustomTabControl::OnChang(?:e|ing)',
     'a page change (a tab control asks before, tells after)'),
    (r'TUpDown::OnChanging', "an up-down's arrow clicked"),
    (r'F?OnSetLabel', "a commander's label during a drag"),
    (r'F?OnChangeChart', "a gallery's change of chart"),
    (r'F?OnNewLine', 'a line drawn'),
    (r'F?OnResizeBar|F?OnRotate', "a tool's resize bar or rotation, dragged"),
    (r'F?OnDropDown|F?OnCloseUp|F?OnPopup', 'a list dropped down or closed, a menu popped up'),
]
# Virtual routines that code calls on any object of a base class (a component
# told of another's insertion or removal, a control laid out again or shown
# by code, a chart telling its listeners of a change): a call reaches the
# routine it names (the receiver's own class's), not every override in the
# program. Firing a handler from them is code firing it, which the program
# does not support freeing the sender from; followed into every override, they
# would make nearly every routine a call-out.
QUIET_DISPATCH = {
    'Notification': 'a component told that another is inserted or removed',
    'ApplyGeometry': 'a control laid out again after a change of its bounds or frame',
    'SetVisible': 'a control shown or hidden by code (a form shown by its own class still is)',
    'TeeEvent': "a chart's listeners told of a change (its mouse reaches tools through "
                "ChartMouseEvent, which is followed)",
}

# What the check still does not model, each with why no user's input reaches
# a routine through it. Keep it current: a new way in is a new entry or a case
# of the model (and of callouts_selftest.py).
NOT_MODELLED = {
    'a destructor run at the end of a scope':
        "the program's scope guards only restore flags of objects they watch (TWatched), "
        'and none fires a handler',
    "code installed in a handler that code fires, read as part of a user's act":
        "installs are merged per handler member and a binder's setters per parameter, "
        "whatever control they were installed on: followed within the act, every page's "
        "routine that sets its own controls would read as writing through every other "
        "page's setters (193 call-outs, 83 once the binder's guard is read). A page sets its "
        "own controls under its binder's guard or load, under its own loading flag that its "
        "handlers test first, before its binder's first load, or bound to a setter that "
        "writes nothing of the chart (an Apply button enabled); the user's own change of a "
        "control is its binder's write, which guards its setter",
    'a call through a pointer to a member function, or a dependent member of a template':
        'the program calls its handlers through std::function members and its routines '
        'by name; the toolkit bridge dispatches by a free function, which is followed',
    'an event of a user\'s input passed on by a routine that got it as its base class':
        "the panel's mouse broadcast hands its event straight to the routine that tells "
        'the listeners, which is followed',
}

# Events of a user's input that a panel tells its listeners: a call that
# passes one reaches, in the routine it calls, every override of a
# QUIET_DISPATCH routine (the commander's drags, a calendar's day clicked).
INPUT_EVENTS = {
    'TTeeMouseEvent': "a user's mouse on a chart, told to the chart's listeners",
}

# Routines that fire a click handler because code set a control's state (the
# toolkit's controls do the same); the user's own click reaches the handler
# another way. Code fires the handler there, so they are no call-outs to their
# callers; their own calls are read as any other. The check proves the other
# way: each handler of a user's input such a routine fires must be fired by
# what the toolkit calls (a signal connected, a virtual of its own
# overridden) without passing through the routine; a routine that is the
# user's only way to its handler fails.
QUIET_ROUTINES = {
    'TCheckBox::SetState': "a check box's state set by code",
    'TRadioButton::SetChecked': 'a radio button checked by code',
}
# Not code firing a handler, but the program's error path: the box that tells
# of an exception a handler let escape (read as out of scope).
ERROR_PATHS = {
    'TApplication::HandleException': 'the box telling of an exception that escaped a handler',
}

# The platform's one routine that connects a toolkit signal to the program:
# it keeps the widget from being freed while the toolkit is inside it. Every
# connection under src/ goes through it; a lambda it connects is called by
# every routine that changes a widget of the sender's class the way the
# signal reports: a call of one of the toolkit's methods that emit it
# (SIGNAL_EMITTERS; none for a signal of the user's own act), or of any
# non-const method for a signal not listed. Between blockSignals(true) and
# the next blockSignals on the same object nothing is emitted.
TOOLKIT_CONNECT = 'ConnectSignal'
SIGNAL_EMITTERS = {
    'textChanged': {'setText', 'insert', 'clear', 'del', 'backspace', 'undo', 'redo', 'paste',
                    'cut', 'setPlainText', 'insertPlainText', 'appendPlainText', 'setDocument'},
    'contentsChanged': {'setPlainText', 'setHtml', 'setMarkdown', 'clear', 'undo', 'redo'},
    'valueChanged': {'setValue', 'setRange', 'setMinimum', 'setMaximum', 'setSliderPosition',
                     'triggerAction'},
    'toggled': {'setChecked', 'toggle', 'click', 'animateClick'},
    'currentChanged': {'setCurrentIndex', 'setCurrentWidget', 'addTab', 'insertTab', 'removeTab',
                       'moveTab'},
    'clicked': {'click', 'animateClick'},
    'triggered': {'trigger', 'activate'},
    'aboutToShow': {'popup', 'exec'},
    'activated': set(),
    'textEdited': set(),
}

_INPUT = re.compile('^(?:%s)$' % '|'.join(p for p, _ in INPUT_HANDLERS))
_HANDLER = re.compile(r'^F?On[A-Z]\w*$')


def is_input_handler(name, owner=''):
    """A handler member (of the class owner) that a user's input fires."""
    return bool(_INPUT.match(name) or (owner and _INPUT.match('%s::%s' % (owner, name))))


# --- libclang ---------------------------------------------------------------------

ci = None


def _libclang():
    for pattern in ('/usr/lib/llvm-14/lib/libclang.so.1', '/usr/lib/x86_64-linux-gnu/libclang-14.so.1',
                    '/usr/lib/llvm-*/lib/libclang.so.1', '/usr/lib/*/libclang-*.so.1'):
        found = sorted(glob.glob(pattern))
        if found:
            return found[-1]
    return None


def _resource_dir(lib):
    # clang's own headers (stddef.h and the like), beside the library
    llvm = os.path.dirname(os.path.dirname(os.path.realpath(lib)))
    for root in (llvm, '/usr/lib/llvm-14'):
        found = sorted(glob.glob(os.path.join(root, 'lib', 'clang', '*', 'include', 'stddef.h')))
        if found:
            return os.path.dirname(os.path.dirname(found[-1]))
    return None


def load_clang():
    """Loads libclang once a process; a message when it is missing."""
    global ci
    if ci is not None:
        return None
    try:
        import clang.cindex as cindex
    except ImportError:
        return ('the check needs python3-clang-14 (scripts/bootstrap installs it) and runs '
                'under /usr/bin/python3')
    lib = _libclang()
    if not lib:
        return 'libclang.so.1 not found (python3-clang-14 brings libclang1-14)'
    if not cindex.Config.loaded:
        cindex.Config.set_library_file(lib)
    ci = cindex
    _kinds()
    return None


def _overloaded_count(c):
    f = ci.conf.lib.clang_getNumOverloadedDecls
    if not getattr(f, '_typed', False):
        import ctypes
        f.argtypes, f.restype, f._typed = [ci.Cursor], ctypes.c_uint, True
    return f(c)


def _overloaded(c, i):
    f = ci.conf.lib.clang_getOverloadedDecl
    if not getattr(f, '_typed', False):
        import ctypes
        f.argtypes, f.restype, f._typed = [ci.Cursor, ctypes.c_uint], ci.Cursor, True
        f.errcheck = ci.Cursor.from_result
    return f(c, i)


def _record(t):
    """The class type of an object, or of what a pointer or reference points to."""
    t = t.get_canonical()
    if t.kind in (ci.TypeKind.POINTER, ci.TypeKind.LVALUEREFERENCE, ci.TypeKind.RVALUEREFERENCE):
        t = t.get_pointee().get_canonical()
    return t if t.kind == ci.TypeKind.RECORD else None


class _K:
    pass


K = _K()


def _kinds():
    for name in ('TRANSLATION_UNIT', 'NAMESPACE', 'LINKAGE_SPEC', 'CLASS_DECL', 'STRUCT_DECL',
                 'UNION_DECL', 'CLASS_TEMPLATE', 'CLASS_TEMPLATE_PARTIAL_SPECIALIZATION',
                 'FUNCTION_DECL', 'CXX_METHOD', 'CONSTRUCTOR', 'DESTRUCTOR', 'CONVERSION_FUNCTION',
                 'FUNCTION_TEMPLATE', 'VAR_DECL', 'FIELD_DECL', 'PARM_DECL', 'CXX_BASE_SPECIFIER',
                 'COMPOUND_STMT', 'IF_STMT', 'FOR_STMT', 'CXX_FOR_RANGE_STMT', 'WHILE_STMT',
                 'DO_STMT', 'SWITCH_STMT', 'CASE_STMT', 'DEFAULT_STMT', 'RETURN_STMT',
                 'BREAK_STMT', 'CONTINUE_STMT', 'GOTO_STMT', 'LABEL_STMT', 'NULL_STMT',
                 'DECL_STMT', 'CXX_TRY_STMT', 'CXX_CATCH_STMT', 'CXX_THROW_EXPR', 'CALL_EXPR',
                 'MEMBER_REF_EXPR', 'DECL_REF_EXPR', 'CXX_THIS_EXPR', 'BINARY_OPERATOR',
                 'COMPOUND_ASSIGNMENT_OPERATOR', 'UNARY_OPERATOR', 'CONDITIONAL_OPERATOR',
                 'LAMBDA_EXPR', 'UNEXPOSED_EXPR', 'PAREN_EXPR', 'CSTYLE_CAST_EXPR',
                 'CXX_STATIC_CAST_EXPR', 'CXX_CONST_CAST_EXPR', 'CXX_REINTERPRET_CAST_EXPR',
                 'CXX_DYNAMIC_CAST_EXPR', 'CXX_FUNCTIONAL_CAST_EXPR', 'TYPE_REF', 'TEMPLATE_REF',
                 'NAMESPACE_REF', 'MEMBER_REF', 'VARIABLE_REF', 'OVERLOADED_DECL_REF',
                 'INIT_LIST_EXPR', 'CXX_NULL_PTR_LITERAL_EXPR', 'INTEGER_LITERAL',
                 'STRING_LITERAL', 'CHARACTER_LITERAL', 'FLOATING_LITERAL', 'CXX_BOOL_LITERAL_EXPR',
                 'CXX_ACCESS_SPEC_DECL', 'TYPEDEF_DECL', 'TYPE_ALIAS_DECL', 'ENUM_DECL',
                 'CXX_DELETE_EXPR', 'CXX_NEW_EXPR', 'TEMPLATE_TYPE_PARAMETER',
                 'TEMPLATE_NON_TYPE_PARAMETER', 'UNEXPOSED_STMT', 'UNEXPOSED_DECL',
                 'FRIEND_DECL', 'STATIC_ASSERT', 'USING_DIRECTIVE', 'USING_DECLARATION',
                 'TYPE_ALIAS_TEMPLATE_DECL', 'ENUM_CONSTANT_DECL'):
        setattr(K, name, getattr(ci.CursorKind, name).value)
    K.CLASSES = {K.CLASS_DECL, K.STRUCT_DECL, K.UNION_DECL, K.CLASS_TEMPLATE,
                 K.CLASS_TEMPLATE_PARTIAL_SPECIALIZATION}
    K.FUNCS = {K.FUNCTION_DECL, K.CXX_METHOD, K.CONSTRUCTOR, K.DESTRUCTOR,
               K.CONVERSION_FUNCTION, K.FUNCTION_TEMPLATE}
    K.METHODS = {K.CXX_METHOD, K.CONSTRUCTOR, K.DESTRUCTOR, K.CONVERSION_FUNCTION}
    K.QUALIFIERS = {K.TYPE_REF, K.TEMPLATE_REF, K.NAMESPACE_REF}
    K.TRANSPARENT = {K.UNEXPOSED_EXPR, K.PAREN_EXPR, K.CSTYLE_CAST_EXPR, K.CXX_STATIC_CAST_EXPR,
                     K.CXX_CONST_CAST_EXPR, K.CXX_REINTERPRET_CAST_EXPR, K.CXX_DYNAMIC_CAST_EXPR,
                     K.CXX_FUNCTIONAL_CAST_EXPR}
    K.LITERALS = {K.CXX_NULL_PTR_LITERAL_EXPR, K.INTEGER_LITERAL, K.STRING_LITERAL,
                  K.CHARACTER_LITERAL, K.FLOATING_LITERAL, K.CXX_BOOL_LITERAL_EXPR}
    _CALLABLE_EXPR.update({K.LAMBDA_EXPR, K.DECL_REF_EXPR, K.MEMBER_REF_EXPR, K.UNARY_OPERATOR})
    K.SKIP = K.QUALIFIERS | K.LITERALS | {K.VARIABLE_REF, K.TEMPLATE_TYPE_PARAMETER,
                                          K.TEMPLATE_NON_TYPE_PARAMETER}


# --- the units and their flags ------------------------------------------------------

class Unit:
    def __init__(self, path, flags, pch_includes):
        self.path, self.flags, self.pch_includes = path, flags, pch_includes

    def group(self):
        """Units whose language and macros agree share a precompiled header."""
        out, i = [], 0
        while i < len(self.flags):
            f = self.flags[i]
            if f in ('-I', '-isystem', '-iquote'):
                i += 2
                continue
            if not f.startswith(('-I', '-isystem', '-iquote', '-W')):
                out.append(f)
            i += 1
        return tuple(out)


def unit_flags(args, path, directory):
    """The compiler's arguments as libclang takes them: no output, no source, no
    precompiled header of GCC (its text is read instead, from the header it names)."""
    out, pch, i = [], [], 0
    while i < len(args):
        a = args[i]
        if a in ('-o', '-MF', '-MT', '-MQ'):
            i += 2
            continue
        if a in ('-c', '-MD', '-MMD', '-Winvalid-pch') or a.startswith(('-fdiagnostics-color',
                                                                        '-fno-semantic', '-fconcepts-diag')):
            i += 1
            continue
        if a == '-include' and i + 1 < len(args):
            inc = args[i + 1]
            if os.path.basename(inc).startswith('cmake_pch'):
                # CMake's wrapper of a precompiled header: its GCC image is of no
                # use here; the header it wraps goes into ours
                with open(inc, encoding='utf-8', errors='replace') as fh:
                    pch += re.findall(r'#\s*include\s*[<"]([^>"]+)[>"]', fh.read())
            else:
                out += [a, inc]
            i += 2
            continue
        if os.path.realpath(os.path.join(directory, a)) == path:
            i += 1
            continue
        if a.startswith('-I') and len(a) > 2:
            out += ['-I', os.path.normpath(os.path.join(directory, a[2:]))]
        elif a in ('-I', '-isystem') and i + 1 < len(args):
            out += [a, os.path.normpath(os.path.join(directory, args[i + 1]))]
            i += 1
        else:
            out.append(a)
        i += 1
    return out, pch


def read_units(build, src_root):
    path = os.path.join(build, 'compile_commands.json')
    with open(path, encoding='utf-8') as fh:
        entries = json.load(fh)
    units = {}
    for e in entries:
        directory = e.get('directory', build)
        f = os.path.realpath(os.path.join(directory, e['file']))
        if not f.startswith(src_root + os.sep):
            continue
        args = e['arguments'] if 'arguments' in e else shlex.split(e['command'])
        flags, pch = unit_flags(args[1:], f, directory)
        units[f] = Unit(f, flags, pch)
    return [units[k] for k in sorted(units)]


_INCLUDE = re.compile(r'^[ \t]*#[ \t]*(include|if|ifdef|ifndef|endif)\b[ \t]*(?:([<"])([^>"]+)[>"])?',
                      re.M)


def _includes(path, cache):
    """(angle, quoted) includes of a file that stand outside any #if."""
    if path in cache:
        return cache[path]
    try:
        with open(path, encoding='utf-8', errors='replace') as fh:
            text = fh.read()
    except OSError:
        cache[path] = ([], [])
        return cache[path]
    depth, angle, quoted = 0, [], []
    for m in _INCLUDE.finditer(text):
        word = m.group(1)
        if word in ('if', 'ifdef', 'ifndef'):
            depth += 1
        elif word == 'endif':
            depth -= 1
        elif depth == 0 and m.group(3):
            (angle if m.group(2) == '<' else quoted).append(m.group(3))
    cache[path] = (angle, quoted)
    return cache[path]


def group_header(units, src_root):
    """The text of a group's shared header: the wrapped precompiled headers, then
    every system header and every header under src/ its units include (outside
    any #if), each header's own includes first; and the src/ headers it holds."""
    dirs = []
    for u in units:
        i = 0
        while i < len(u.flags):
            if u.flags[i] in ('-I', '-isystem') and u.flags[i + 1] not in dirs:
                dirs.append(u.flags[i + 1])
            i += 1
    cache, seen, angle, headers = {}, set(), [], []

    def resolve(name, here):
        for d in [here] + dirs:
            p = os.path.realpath(os.path.join(d, name))
            if os.path.isfile(p):
                return p
        return None

    def visit(path):
        if path in seen:
            return
        seen.add(path)
        a, q = _includes(path, cache)
        for name in a:
            if name not in angle:
                angle.append(name)
        for name in q:
            p = resolve(name, os.path.dirname(path))
            if p and p.startswith(src_root + os.sep) and p.endswith(('.h', '.hpp')):
                visit(p)
                if p not in headers:
                    headers.append(p)

    pre = []
    for u in units:
        for p in u.pch_includes:
            if p not in pre:
                pre.append(p)
    for p in pre:
        visit(os.path.realpath(p))
    for u in units:
        visit(u.path)
    text = ''.join('#include "%s"\n' % p for p in pre)
    text += ''.join('#include <%s>\n' % a for a in angle)
    text += ''.join('#include "%s"\n' % h for h in headers)
    held = set(headers) | {os.path.realpath(p) for p in pre}
    return text, held, dirs


# --- reading one translation unit (in a worker) -----------------------------------

class Node:
    __slots__ = ('k', 'c', 'kids')


def _tree(c):
    n = Node()
    n.k = c._kind_id
    n.c = c
    n.kids = [_tree(k) for k in c.get_children()]
    return n


def _strip(n):
    while n.k in K.TRANSPARENT:
        kids = [k for k in n.kids if k.k not in K.QUALIFIERS]
        if len(kids) != 1:
            return n
        n = kids[0]
    return n


def _strip_callable(n):
    """Through the conversions of a callable to a std::function, and through
    std::move and std::forward (a setter storing its parameter)."""
    while True:
        n = _strip(n)
        if n.k == K.CALL_EXPR and n.kids:
            ref = n.c.referenced
            if ref is not None and ref.kind.value == K.CONSTRUCTOR and len(n.kids) == 1:
                n = n.kids[0]
                continue
            if ref is not None and ref.spelling in ('move', 'forward') and \
                    ref.get_usr().startswith('c:@N@std@'):
                n = n.kids[-1]
                continue
        return n


_CALLABLE_EXPR = set()
_COMPARE = {'==', '!=', '<', '>', '<=', '>=', '<=>'}


class Summary:
    """What one translation unit says about the routines under src/."""

    def __init__(self):
        self.routines = {}     # key -> routine (dict)
        self.classes = {}      # usr -> {'name', 'bases', 'methods': {sig: usr}}
        self.slots = {}        # callable member, variable or parameter -> name
        self.owners = {}       # callable member -> the class it belongs to
        self.installs = []     # (slot, source)
        self.guards = {}       # guard key -> set of watched object keys
        self.names = {}        # object key -> name
        self.windows = {}      # global variable given to CreateForm -> its class
        self.aliases = {}      # local key -> the global variable it was set from
        self.connections = []  # (sender's classes, signal's class, source)
        self.toolkit = set()   # keys of routines the toolkit calls (its virtuals overridden)
        self.unresolved = 0


class Reader:
    def __init__(self, tu, src_root, rel_root, wanted, summary):
        self.tu = tu
        self.src_root = src_root
        self.rel_root = rel_root
        self.wanted = wanted       # path -> bool: read the declarations of this file
        self.S = summary
        self.texts = {}
        self.vars = {}             # declaration hash -> (key, class, name)
        self.tobject = {}
        self.lambdas = {}          # (file, offset) -> key
        self.files = {}
        self.chains = {}           # class USR -> its USR and its bases'
        self.class_decls = {}      # class USR -> its declaration

    # files and text
    def file_of(self, c):
        f = c.location.file
        if f is None:
            return None
        name = f.name
        p = self.files.get(name)
        if p is None:
            p = self.files[name] = os.path.realpath(name)
        return p

    def rel(self, path):
        return os.path.relpath(path, self.rel_root)

    def text(self, path):
        t = self.texts.get(path)
        if t is None:
            try:
                with open(path, 'rb') as fh:
                    t = fh.read()
            except OSError:
                t = b''
            self.texts[path] = t
        return t

    # declarations
    def read(self):
        for c in self.tu.cursor.get_children():
            self.top(c, None)

    def top(self, c, path):
        k = c._kind_id
        if k in (K.NAMESPACE, K.LINKAGE_SPEC):
            p = self.file_of(c)
            if p is not None and not self.wanted(p):
                return
            for x in c.get_children():
                self.top(x, None)
            return
        if k not in K.CLASSES and k not in K.FUNCS and k != K.VAR_DECL:
            return
        p = path or self.file_of(c)
        if p is None or not self.wanted(p):
            return
        if k in K.CLASSES:
            self.klass(c, p)
        elif k in K.FUNCS:
            self.function(c, p)
        else:
            self.global_var(c, p)

    def klass(self, c, path):
        if not c.is_definition():
            return
        usr = c.get_usr()
        self.class_decls[usr] = c
        info = {'name': c.spelling, 'bases': [], 'methods': {}}
        for x in c.get_children():
            k = x._kind_id
            if k == K.CXX_BASE_SPECIFIER:
                d = x.type.get_declaration()
                if d is not None:
                    t = d.get_definition() or d
                    info['bases'].append(t.get_usr())
            elif k in K.METHODS or k == K.FUNCTION_TEMPLATE:
                m = x.get_usr()
                if m.startswith(usr):
                    info['methods'][m[len(usr):]] = m
                if x.is_definition():
                    self.function(x, path)
            elif k in K.CLASSES:
                self.klass(x, path)
            elif k == K.FIELD_DECL:
                self.field(x, c)
            elif k == K.VAR_DECL:
                self.global_var(x, path)
        if usr:
            self.S.classes[usr] = info

    def qualified(self, c):
        parts = [c.spelling]
        p = c.semantic_parent
        while p is not None and p._kind_id in K.CLASSES:
            parts.insert(0, p.spelling)
            p = p.semantic_parent
        return '::'.join(parts)

    def callable_type(self, t):
        t = t.get_canonical()
        s = t.spelling
        if s.startswith('const '):
            s = s[6:]
        return s.startswith('std::function<') or '(lambda at ' in s or (
            t.kind == ci.TypeKind.POINTER and t.get_pointee().kind == ci.TypeKind.FUNCTIONPROTO)

    def field(self, x, cls):
        if not self.callable_type(x.type):
            return
        usr = x.get_usr()
        self.S.slots[usr] = x.spelling
        self.S.owners[usr] = cls.spelling
        kids = [_tree(k) for k in x.get_children()]
        init = [k for k in kids if k.k not in K.SKIP]
        if init:
            r = self.new_routine('I:' + usr, self.qualified(x), x, has_this=True)
            self.install(usr, init[-1], r)

    def global_var(self, c, path):
        kids = [k for k in c.get_children() if k._kind_id not in K.SKIP]
        if not kids:
            return
        usr = c.get_usr()
        if not self.callable_type(c.type):
            # what a namespace-scope initializer calls runs at start: a hook it
            # installs is installed
            init = _tree(kids[-1])
            r = self.new_routine('I:' + usr, self.qualified(c), c, has_this=False)
            ev = []
            self.ev(init, ev, r, passed=True)
            r['tree'] = ('S', ev)
            r.pop('blocked', None)
            return
        self.S.slots[usr] = c.spelling
        r = self.new_routine('I:' + usr, self.qualified(c), c, has_this=False)
        self.install(usr, _tree(kids[-1]), r)

    def function(self, c, path):
        if not c.is_definition():
            return
        usr = c.get_usr()
        if usr in self.S.routines:
            return
        kids = [_tree(k) for k in c.get_children()]
        body = [k for k in kids if k.k == K.COMPOUND_STMT]
        if not body:
            return
        k = c._kind_id
        has_this = k in (K.CONSTRUCTOR, K.DESTRUCTOR, K.CONVERSION_FUNCTION) or (
            k in (K.CXX_METHOD, K.FUNCTION_TEMPLATE) and c.semantic_parent is not None
            and c.semantic_parent._kind_id in K.CLASSES and not c.is_static_method())
        r = self.new_routine(usr, self.qualified(c), c, has_this)
        parent = c.semantic_parent
        if has_this and parent is not None:
            r['cls'] = parent.get_usr()
            self.class_decls.setdefault(r['cls'], parent)
            if k == K.CXX_METHOD and ((c.is_virtual_method() and self.toolkit_virtual(parent, c.spelling))
                                      or (self.bridged(parent) and self.overrides_decl(c))):
                self.S.toolkit.add(usr)
        r['ctor'] = k in (K.CONSTRUCTOR, K.DESTRUCTOR)
        params = [x for x in kids if x.k == K.PARM_DECL]
        for i, p in enumerate(params):
            self.param(p.c, usr, i)
        stmts = []
        if k == K.CONSTRUCTOR:
            # member and base initializers run first
            ev, field = [], None
            for x in kids:
                if x.k == K.MEMBER_REF:
                    ref = x.c.referenced
                    field = ref.get_usr() if ref is not None else None
                elif x.k not in K.SKIP and x.k not in (K.PARM_DECL, K.COMPOUND_STMT):
                    self.ev(x, ev, r)
                    if field and field in self.S.slots:
                        self.install(field, x, r)
                    field = None
            stmts.append(('S', ev))
        stmts.append(self.stmt(body[-1], r))
        r['tree'] = ('B', stmts)
        r.pop('blocked', None)

    def new_routine(self, key, name, c, has_this, outer=None):
        path = self.file_of(c)
        r = {'key': key, 'name': name, 'file': self.rel(path), 'line': c.location.line,
             'this': has_this, 'calls': [], 'tree': ('B', []), 'outer': outer}
        self.S.routines[key] = r
        return r

    def param(self, p, owner, i):
        key = 'P:%s#%d' % (owner, i)
        self.vars[p.hash] = (key, self.var_class(p.type), p.spelling)
        self.S.names[key] = p.spelling
        if self.callable_type(p.type):
            self.S.slots[key] = p.spelling
        return key

    # types
    def is_tobject(self, d):
        usr = d.get_usr()
        hit = self.tobject.get(usr)
        if hit is not None:
            return hit
        self.tobject[usr] = False
        d = d.get_definition() or d
        found = d.spelling == 'TObject'
        if not found:
            for x in d.get_children():
                if x._kind_id == K.CXX_BASE_SPECIFIER:
                    b = x.type.get_declaration()
                    if b is not None and b.kind != ci.CursorKind.NO_DECL_FOUND and self.is_tobject(b):
                        found = True
                        break
        self.tobject[usr] = found
        return found

    def var_class(self, t):
        """'ptr' (an object), 'watched', 'callout', 'outcome', 'callable' or None."""
        t = t.get_canonical()
        tk = t.kind
        if tk in (ci.TypeKind.LVALUEREFERENCE, ci.TypeKind.RVALUEREFERENCE):
            t = t.get_pointee().get_canonical()
            tk = t.kind
            if tk == ci.TypeKind.POINTER:
                t = t.get_pointee().get_canonical()
            elif tk == ci.TypeKind.RECORD:
                d = t.get_declaration()
                return 'ptr' if self.is_tobject(d) else None
            else:
                return None
        elif tk == ci.TypeKind.POINTER:
            t = t.get_pointee().get_canonical()
        elif tk == ci.TypeKind.RECORD:
            d = t.get_declaration()
            name = d.spelling
            if name == 'TWatched':
                return 'watched'
            if name == 'TCallOut':
                return 'callout'
            if name == 'TModalOutcome':
                return 'outcome'
            if self.callable_type(t):
                return 'callable'
            return None
        else:
            return None
        if t.kind != ci.TypeKind.RECORD:
            return None
        return 'ptr' if self.is_tobject(t.get_declaration()) else None

    def var(self, ref):
        """(key, class, name) of a variable or parameter the expression names."""
        h = ref.hash
        v = self.vars.get(h)
        if v is None:
            if ref._kind_id == K.PARM_DECL:
                key = 'V:' + (ref.get_usr() or '%s@%d' % (self.file_of(ref), ref.location.offset))
                cls = self.var_class(ref.type)
            elif ref.linkage == ci.LinkageKind.NO_LINKAGE and ref.storage_class != ci.StorageClass.STATIC:
                key = ref.get_usr() or 'V:%s@%d' % (self.file_of(ref), ref.location.offset)
                cls = self.var_class(ref.type)
            else:
                key = ref.get_usr()
                cls = 'callable' if self.callable_type(ref.type) else None
            if cls == 'callable' or self.callable_type(ref.type):
                self.S.slots[key] = ref.spelling
            v = self.vars[h] = (key, cls, ref.spelling)
            self.S.names[key] = ref.spelling
        return v

    # statements
    def parens(self, c, keyword):
        """(open, close, semicolons) of the parentheses after a statement's
        keyword, from the source; None inside a macro."""
        path = self.file_of(c)
        if path is None:
            return None
        text = self.text(path)
        i = c.extent.start.offset
        if text[i:i + len(keyword)] != keyword.encode():
            return None
        i += len(keyword)
        n = len(text)
        while i < n and text[i:i + 1].isspace():
            i += 1
        if keyword == 'if' and text[i:i + 9] == b'constexpr':
            i += 9
            while i < n and text[i:i + 1].isspace():
                i += 1
        if text[i:i + 1] != b'(':
            return None
        open_, depth, semis = i, 0, []
        while i < n:
            ch = text[i:i + 1]
            if ch in (b'"', b"'"):
                j = i + 1
                while j < n and text[j:j + 1] != ch:
                    j += 2 if text[j:j + 1] == b'\\' else 1
                i = j
            elif text[i:i + 2] == b'//':
                i = text.find(b'\n', i)
                if i < 0:
                    return None
            elif text[i:i + 2] == b'/*':
                i = text.find(b'*/', i) + 1
            elif ch in (b'(', b'[', b'{'):
                depth += 1
            elif ch in (b')', b']', b'}'):
                depth -= 1
                if depth == 0:
                    return open_, i, semis
            elif ch == b';' and depth == 1:
                semis.append(i)
            i += 1
        return None

    def header_parts(self, n, keyword):
        """The children of a statement inside its parentheses, and after them."""
        kids = [k for k in n.kids if k.k not in K.SKIP]
        p = self.parens(n.c, keyword)
        if p is None:
            return None, kids
        inside = [k for k in kids if k.c.extent.start.offset < p[1]]
        return p, (inside, kids[len(inside):])

    def stmt(self, n, r):
        k = n.k
        if k == K.COMPOUND_STMT:
            return ('B', [self.stmt(x, r) for x in n.kids])
        if k == K.IF_STMT:
            return self.if_(n, r)
        if k in (K.FOR_STMT, K.WHILE_STMT, K.DO_STMT, K.CXX_FOR_RANGE_STMT):
            return self.loop(n, r)
        if k == K.SWITCH_STMT:
            p, parts = self.header_parts(n, 'switch')
            if p is None:
                head, rest = parts[:-1], parts[-1:]
            else:
                head, rest = parts
            ev = []
            for x in head:
                self.decl_or_ev(x, ev, r)
            return ('W', ev, self.stmt(rest[0], r) if rest else ('B', []))
        if k in (K.CASE_STMT, K.DEFAULT_STMT):
            sub = [x for x in n.kids if x.k not in K.SKIP]
            if k == K.CASE_STMT:
                sub = sub[1:]   # the value
            return ('A', self.stmt(sub[-1], r) if sub else ('B', []), k == K.DEFAULT_STMT)
        if k == K.LABEL_STMT:
            sub = [x for x in n.kids if x.k not in K.SKIP]
            return self.stmt(sub[-1], r) if sub else ('B', [])
        if k == K.RETURN_STMT:
            ev = []
            for x in n.kids:
                self.ev(x, ev, r, passed=True)
            return ('R', ev)
        if k == K.CXX_THROW_EXPR:
            ev = []
            for x in n.kids:
                self.ev(x, ev, r)
            return ('T', ev)
        if k == K.BREAK_STMT:
            return ('K',)
        if k == K.CONTINUE_STMT:
            return ('C',)
        if k == K.GOTO_STMT:
            return ('G',)
        if k == K.NULL_STMT:
            return ('B', [])
        if k == K.CXX_TRY_STMT:
            body = self.stmt(n.kids[0], r) if n.kids else ('B', [])
            handlers = []
            for h in n.kids[1:]:
                sub = [x for x in h.kids if x.k == K.COMPOUND_STMT]
                handlers.append(self.stmt(sub[-1], r) if sub else ('B', []))
            return ('Y', body, handlers)
        ev = []
        self.decl_or_ev(n, ev, r)
        return ('S', ev)

    def decl_or_ev(self, n, ev, r):
        if n.k == K.DECL_STMT:
            for x in n.kids:
                if x.k == K.VAR_DECL:
                    self.local(x, ev, r)
        elif n.k == K.VAR_DECL:
            self.local(n, ev, r)
        else:
            self.ev(n, ev, r)

    def local(self, n, ev, r):
        key, cls, name = self.var(n.c)
        init = [x for x in n.kids if x.k not in K.SKIP]
        if init:
            self.ev(init[-1], ev, r, passed=True)
        if cls in ('ptr', 'watched'):
            ev.append(('w', key))
        if init and cls == 'ptr':
            g = self.global_named(init[-1])
            if g:
                self.S.aliases[key] = g
        if init and cls in ('callout', 'watched', 'outcome'):
            self.guard_decl(key, cls, init[-1], r)
        if init and key in self.S.slots:
            self.install(key, init[-1], r)

    def global_named(self, e):
        """The global variable an expression names as a whole, or None."""
        e = _strip(e)
        if e.k != K.DECL_REF_EXPR:
            return None
        ref = e.c.referenced
        if (ref is None or ref._kind_id != K.VAR_DECL
                or ref.linkage == ci.LinkageKind.NO_LINKAGE):
            return None
        return ref.get_usr()

    def program_window(self, kids):
        """Application->CreateForm(Var): Var's class is a program window."""
        for a in kids[1:]:
            g = self.global_named(a)
            if not g:
                continue
            t = _strip(a).c.type.get_canonical()
            if t.kind == ci.TypeKind.LVALUEREFERENCE:
                t = t.get_pointee().get_canonical()
            if t.kind == ci.TypeKind.POINTER:
                d = t.get_pointee().get_canonical().get_declaration()
                if d is not None and d.get_usr():
                    self.S.windows[g] = d.get_usr()

    def guard_decl(self, key, cls, init, r):
        watched = set(self.S.guards.get(key, ()))
        if cls == 'watched':
            watched.add(key)
        e = _strip(init)
        if cls == 'outcome':
            if e.k == K.CALL_EXPR and e.c.spelling == 'ShowModalWatching':
                watched |= self.modal_watch(e)
        else:
            watched |= self.roots(init)
        self.S.guards[key] = watched

    def modal_watch(self, call):
        args = [x for x in call.kids[1:] if x.k not in K.QUALIFIERS]
        out = set()
        for a in args[1:3]:
            out |= self.roots(a)
        return out

    def roots(self, n):
        """The objects an expression gives whole: this, a parameter, a local."""
        n = _strip(n)
        k = n.k
        if k == K.CXX_THIS_EXPR:
            return {'this'}
        if k == K.DECL_REF_EXPR:
            ref = n.c.referenced
            if ref is not None and ref._kind_id in (K.VAR_DECL, K.PARM_DECL):
                key, cls, _ = self.var(ref)
                if cls in ('ptr', 'watched'):
                    return {key}
            return set()
        if k == K.UNARY_OPERATOR or k == K.INIT_LIST_EXPR or k in K.TRANSPARENT:
            out = set()
            for x in n.kids:
                out |= self.roots(x)
            return out
        if k == K.CALL_EXPR:
            ref = n.c.referenced
            if ref is not None and ref._kind_id == K.CONSTRUCTOR:
                out = set()
                for x in n.kids:
                    out |= self.roots(x)
                return out
            if ref is not None and ref.spelling in ('Get', 'operator->') and n.kids:
                return set()
        return set()

    def if_(self, n, r):
        p, parts = self.header_parts(n, 'if')
        if p is None:
            kids = parts
            head, rest = kids[:-2] if len(kids) > 2 else kids[:1], kids[-2:] if len(kids) > 2 else kids[1:]
        else:
            head, rest = parts
        ev = []
        for x in head[:-1]:
            self.decl_or_ev(x, ev, r)
        cond = ('ev', [])
        if head:
            last = head[-1]
            if last.k == K.VAR_DECL:
                self.local(last, ev, r)
            else:
                cond = self.cond(last, r)
        then = self.stmt(rest[0], r) if rest else ('B', [])
        other = self.stmt(rest[1], r) if len(rest) > 1 else None
        return ('I', ev, cond, then, other)

    def loop(self, n, r):
        k = n.k
        kids = [x for x in n.kids if x.k not in K.SKIP]
        if k == K.CXX_FOR_RANGE_STMT:
            var = [x for x in kids if x.k == K.VAR_DECL]
            body = kids[-1]
            init = []
            for x in kids[:-1]:
                if x.k == K.DECL_STMT:
                    self.decl_or_ev(x, init, r)
                elif x.k != K.VAR_DECL:
                    self.ev(x, init, r, passed=True)
            step = []
            if var:
                key, cls, _ = self.var(var[0].c)
                if cls in ('ptr', 'watched'):
                    step.append(('w', key))
            return ('L', init, ('ev', step), [], self.stmt(body, r), False)
        if k == K.DO_STMT:
            body = self.stmt(kids[0], r) if kids else ('B', [])
            cond = self.cond(kids[1], r) if len(kids) > 1 else None
            return ('L', [], cond, [], body, True)
        keyword = 'for' if k == K.FOR_STMT else 'while'
        p, parts = self.header_parts(n, keyword)
        if p is None:
            inside, rest = kids[:-1], kids[-1:]
        else:
            inside, rest = parts
        init, cond, inc = [], None, []
        if k == K.WHILE_STMT:
            for x in inside[:-1]:
                self.decl_or_ev(x, init, r)
            if inside:
                if inside[-1].k == K.VAR_DECL:
                    self.local(inside[-1], init, r)
                else:
                    cond = self.cond(inside[-1], r)
        else:
            semis = p[2] if p is not None else []
            for x in inside:
                at = x.c.extent.start.offset
                if len(semis) == 2 and at > semis[1]:
                    self.ev(x, inc, r)
                elif len(semis) == 2 and at > semis[0]:
                    if x.k == K.VAR_DECL:
                        self.local(x, init, r)
                    else:
                        cond = self.cond(x, r)
                else:
                    self.decl_or_ev(x, init, r)
        body = self.stmt(rest[0], r) if rest else ('B', [])
        return ('L', init, cond, inc, body, False)

    # expressions
    def binop(self, n):
        if len(n.kids) != 2:
            return ''
        path = self.file_of(n.c)
        if path is None:
            return ''
        a = n.kids[0].c.extent.end.offset
        b = n.kids[1].c.extent.start.offset
        if not 0 <= a <= b or b - a > 40:
            return ''
        return self.text(path)[a:b].decode('utf-8', 'replace').strip()

    def bare(self, n):
        """A pointer read as a value only (tested or compared): no object read."""
        n = _strip(n)
        if n.k == K.CXX_THIS_EXPR:
            return True
        if n.k == K.DECL_REF_EXPR:
            ref = n.c.referenced
            if ref is not None and ref._kind_id in (K.VAR_DECL, K.PARM_DECL):
                return self.var(ref)[1] == 'ptr'
        return False

    def cond(self, n, r):
        s = _strip(n)
        if s.k == K.BINARY_OPERATOR:
            op = self.binop(s)
            if op in ('&&', '||'):
                return ('and' if op == '&&' else 'or', self.cond(s.kids[0], r), self.cond(s.kids[1], r))
        if s.k == K.UNARY_OPERATOR and len(s.kids) == 1:
            path = self.file_of(s.c)
            if path is not None:
                at = s.c.extent.start.offset
                if self.text(path)[at:at + 1] == b'!':
                    return ('not', self.cond(s.kids[0], r))
        if self.bare(s):
            return ('ev', [])
        ev = []
        self.ev(n, ev, r)
        return ('ev', ev)

    def ev(self, n, out, r, passed=False):
        k = n.k
        if k in K.SKIP:
            return
        if k == K.CALL_EXPR:
            self.call(n, out, r)
        elif k == K.MEMBER_REF_EXPR:
            base = [x for x in n.kids if x.k not in K.QUALIFIERS]
            if base:
                self.ev(base[0], out, r)
                self.outcome_read(base[0], out, r)
            elif r['this']:
                ref = n.c.referenced
                if ref is not None and (ref._kind_id == K.FIELD_DECL or (
                        ref._kind_id in K.METHODS and not ref.is_static_method())):
                    out.append(('r', 'this'))
        elif k == K.DECL_REF_EXPR:
            ref = n.c.referenced
            if ref is not None and ref._kind_id in (K.VAR_DECL, K.PARM_DECL):
                key, cls, _ = self.var(ref)
                if cls == 'ptr':
                    out.append(('r', key))
                elif cls in ('watched', 'callout', 'outcome'):
                    out.append(('g', key))
        elif k == K.CXX_THIS_EXPR:
            if r['this']:
                out.append(('r', 'this'))
        elif k == K.BINARY_OPERATOR:
            self.binary(n, out, r)
        elif k == K.COMPOUND_ASSIGNMENT_OPERATOR:
            for x in reversed(n.kids):
                self.ev(x, out, r)
        elif k == K.UNARY_OPERATOR:
            if len(n.kids) == 1 and self.bare(n.kids[0]):
                path = self.file_of(n.c)
                at = n.c.extent.start.offset
                if path is not None and self.text(path)[at:at + 1] == b'!':
                    return
            for x in n.kids:
                self.ev(x, out, r)
        elif k == K.CONDITIONAL_OPERATOR and len(n.kids) == 3:
            a, b = [], []
            self.ev(n.kids[1], a, r, passed)
            self.ev(n.kids[2], b, r, passed)
            out.append(('t', self.cond(n.kids[0], r), a, b))
        elif k == K.LAMBDA_EXPR:
            self.lambda_(n, r)
        elif k == K.CXX_THROW_EXPR:
            for x in n.kids:
                self.ev(x, out, r)
        else:
            for x in n.kids:
                self.ev(x, out, r)

    def binary(self, n, out, r):
        op = self.binop(n)
        if len(n.kids) != 2:
            for x in n.kids:
                self.ev(x, out, r)
            return
        lhs, rhs = n.kids
        if op in ('&&', '||'):
            self.ev(lhs, out, r)
            opt = []
            self.ev(rhs, opt, r)
            if opt:
                out.append(('o', opt))
        elif op == '=':
            self.ev(rhs, out, r, passed=True)
            self.assign_to(lhs, rhs, out, r)
        elif op in _COMPARE:
            for x in n.kids:
                if not self.bare(x):
                    self.ev(x, out, r)
        else:
            for x in n.kids:
                self.ev(x, out, r)

    def assign_to(self, lhs, rhs, out, r):
        s = _strip(lhs)
        if s.k == K.DECL_REF_EXPR:
            ref = s.c.referenced
            if ref is not None and ref._kind_id in (K.VAR_DECL, K.PARM_DECL):
                key, cls, _ = self.var(ref)
                if cls in ('ptr', 'watched'):
                    out.append(('w', key))
                if cls in ('watched', 'outcome') and rhs is not None:
                    self.guard_decl(key, cls, rhs, r)
                if key in self.S.slots and rhs is not None:
                    self.install(key, rhs, r)
                return
        if s.k == K.MEMBER_REF_EXPR:
            base = [x for x in s.kids if x.k not in K.QUALIFIERS]
            if base and _strip(base[0]).k == K.DECL_REF_EXPR:
                ref = _strip(base[0]).c.referenced
                if ref is not None and ref._kind_id == K.VAR_DECL and \
                        self.var(ref)[1] in ('outcome', 'callout'):
                    return
        if s.k == K.MEMBER_REF_EXPR and rhs is not None:
            ref = s.c.referenced
            if ref is not None and ref._kind_id == K.FIELD_DECL and self.callable_type(ref.type):
                usr = ref.get_usr()
                self.S.slots[usr] = ref.spelling
                self.install(usr, rhs, r)
        self.ev(lhs, out, r)

    def source(self, n, r):
        """What a callable expression installs: a lambda, a function, another slot."""
        n = _strip_callable(n)
        k = n.k
        if k == K.LAMBDA_EXPR:
            return ('lambda', self.lambda_(n, r))
        if k == K.UNARY_OPERATOR and len(n.kids) == 1:
            return self.source(n.kids[0], r)
        if k == K.DECL_REF_EXPR:
            ref = n.c.referenced
            if ref is None:
                return None
            if ref._kind_id in K.FUNCS:
                return ('func', ref.get_usr())
            if ref._kind_id in (K.VAR_DECL, K.PARM_DECL):
                key = self.var(ref)[0]
                return ('slot', key) if key in self.S.slots else None
        if k == K.MEMBER_REF_EXPR:
            ref = n.c.referenced
            if ref is not None and ref._kind_id == K.FIELD_DECL:
                if self.callable_type(ref.type):
                    usr = ref.get_usr()
                    self.S.slots[usr] = ref.spelling
                    return ('slot', usr)
            if ref is not None and ref._kind_id in K.METHODS:
                return ('func', ref.get_usr())
        if k == K.CONDITIONAL_OPERATOR and len(n.kids) == 3:
            a, b = self.source(n.kids[1], r), self.source(n.kids[2], r)
            return ('any', [x for x in (a, b) if x])
        return None

    def install(self, slot, n, r):
        src = self.source(n, r)
        if src is None:
            return
        if src[0] == 'any':
            for s in src[1]:
                self.S.installs.append((slot, s))
        else:
            self.S.installs.append((slot, src))

    def lambda_(self, n, r):
        path = self.file_of(n.c)
        at = (path, n.c.extent.start.offset)
        key = self.lambdas.get(at)
        if key is not None:
            return key
        key = 'L:%s:%d' % (self.rel(path), at[1])
        self.lambdas[at] = key
        outer = r.get('outer') or r['name']
        lr = self.new_routine(key, outer + '/lambda', n.c, r['this'], outer=outer)
        lr['cls'] = r.get('cls')
        self.init_captures(n, r)
        params = [x for x in n.kids if x.k == K.PARM_DECL]
        for i, p in enumerate(params):
            self.param(p.c, key, i)
        body = [x for x in n.kids if x.k == K.COMPOUND_STMT]
        lr['tree'] = self.stmt(body[-1], lr) if body else ('B', [])
        lr.pop('blocked', None)
        return key

    def init_captures(self, n, r):
        """A capture made from an expression ([Set = std::move(Set)]) holds what
        the expression installs, as a local would."""
        lo, hi = n.c.extent.start.offset, n.c.extent.end.offset
        inits = [x for x in n.kids if x.k not in K.SKIP and x.k not in (K.PARM_DECL, K.COMPOUND_STMT)]
        for cap in n.kids:
            if cap.k != K.VARIABLE_REF:
                continue
            ref = cap.c.referenced
            if ref is None or ref._kind_id != K.VAR_DECL or not lo <= ref.location.offset < hi:
                continue   # a variable of the routine around, captured as it is
            s0, s1 = ref.extent.start.offset, ref.extent.end.offset
            for e in inits:
                if s0 <= e.c.extent.start.offset <= s1:
                    key = self.var(ref)[0]
                    if key in self.S.slots:
                        self.install(key, e, r)
                    break

    def call(self, n, out, r):
        c = n.c
        ref = c.referenced
        kids = [x for x in n.kids if x.k not in K.QUALIFIERS]
        rec = {'line': c.location.line, 'name': c.spelling, 'how': 'direct'}
        after = []
        if ref is None or ref._kind_id not in K.FUNCS:
            # dependent or through a pointer: read its parts, name it
            for x in kids:
                self.ev(x, out, r)
            rec['how'] = 'unresolved'
            self.S.unresolved += 1
            rec['name'] = c.spelling or 'call'
            alts = self.overloads(kids[0]) if kids else []
            if alts:
                # a call in a template: every routine of the program its name may be
                rec['alts'] = [u for u, _ in alts]
                rec['name'] = alts[0][1]
        elif ref._kind_id == K.CONSTRUCTOR:
            self.args(kids, ref, rec, out, r)
            rec['usr'] = ref.get_usr()
            rec['name'] = ref.spelling
        else:
            name = ref.spelling
            rec['name'] = name
            if name == 'CreateForm':
                self.program_window(kids)
            if name == TOOLKIT_CONNECT and not self.outside(ref):
                self.connection(kids, r)
                rec['connects'] = True
            elif name == 'connect' and self.toolkit_class(ref.semantic_parent):
                rec['qt_connect'] = True
            op = (name.startswith('operator') and len(kids) >= 2
                  and _strip(kids[1]).k == K.DECL_REF_EXPR and _strip(kids[1]).c.spelling == name)
            if op:
                obj, args = kids[0], kids[2:]
                if name == 'operator=':
                    for a in args:
                        self.ev(a, out, r, passed=True)
                    self.assign_to(obj, args[0] if args else None, out, r)
                    return
                if name == 'operator()':
                    for i, a in enumerate(args):
                        s = _strip_callable(a)
                        src = self.source(a, r) if s.k in _CALLABLE_EXPR else None
                        if src is not None:
                            # given to what the slot holds: its parameter holds it there
                            rec.setdefault('fargs', []).append((i, src))
                            if s.k == K.LAMBDA_EXPR:
                                continue
                        self.ev(a, out, r, passed=True)
                    self.through(obj, rec, after, r)
                elif name in ('operator->', 'operator*') and self.watched_local(obj):
                    out.append(('r', self.watched_local(obj)))
                    return
                else:
                    self.ev(obj, out, r)
                    for a in args:
                        self.ev(a, out, r, passed=True)
                    rec['usr'] = ref.get_usr()
            else:
                callee, args = (kids[0], kids[1:]) if kids else (None, [])
                qualified = False
                recv = None
                if callee is not None:
                    cs = _strip(callee)
                    qualified = any(x.k in K.QUALIFIERS for x in cs.kids)
                    if cs.k == K.MEMBER_REF_EXPR:
                        base = [x for x in cs.kids if x.k not in K.QUALIFIERS]
                        if base:
                            w = self.watched_local(base[0])
                            if w and name in ('Get', 'operator->'):
                                after.append(('r', w))
                            else:
                                self.ev(base[0], after, r)
                                self.outcome_read(base[0], after, r)
                            if _strip(base[0]).k == K.CXX_THIS_EXPR:
                                recv = 'this'
                            else:
                                # the object's own class, not the one the call converts it to
                                recv = self.record_of(_strip(base[0]).c.type)
                        elif r['this'] and ref._kind_id in K.METHODS and not ref.is_static_method():
                            after.append(('r', 'this'))
                            recv = 'this'
                        if ref._kind_id == K.CXX_METHOD and not ref.is_static_method() and \
                                not ref.is_const_method() and self.toolkit_class(ref.semantic_parent):
                            who = self.expr_text(base[0]) if base else 'this'
                            if name == 'blockSignals':
                                self.signals_blocked(who, args, r)
                            elif who not in r.setdefault('blocked', set()):
                                # a widget changed: what is connected to its signals may run,
                                # of the control whose widget it is (this one's, or another's)
                                rec['widget'] = self.receiver_chain(base[0] if base else None, r)
                                owner = self.widget_owner(base[0]) if base else 'this'
                                if owner != 'this':
                                    rec['widget_owner'] = owner
                    elif cs.k != K.DECL_REF_EXPR:
                        self.ev(callee, after, r)
                self.args(args, ref, rec, out, r)
                rec['usr'] = ref.get_usr()
                if any(self.input_event(a) for a in args):
                    rec['input_event'] = True
                if ref._kind_id in K.METHODS and recv is not None:
                    rec['on_this'] = recv == 'this'
                    rec['recv_cls'] = r.get('cls') if recv == 'this' else recv
                if ref._kind_id in K.METHODS and ref.is_virtual_method() and not qualified and not (
                        recv == 'this' and r.get('ctor')):
                    # a constructor or destructor calls its own class's version
                    rec['virtual'] = True
                    p = ref.semantic_parent
                    rec['cls'] = p.get_usr() if p is not None else ''
                    rec['recv'] = r.get('cls') if recv == 'this' else recv
                if name == 'ShowModalWatching':
                    rec['watch'] = self.modal_watch(n)
                if name in TOOLKIT_LOOPS:
                    path = self.file_of(ref)
                    p = ref.semantic_parent
                    if (path is None or not path.startswith(self.src_root + os.sep)) and \
                            p is not None and p.spelling.startswith('Q'):
                        rec['toolkit'] = True
        out.extend(after)
        rec['line'] = c.location.line
        r['calls'].append(rec)
        out.append(('c', len(r['calls']) - 1))

    def overloads(self, callee):
        """The routines of the program a call in a template may name."""
        stack, out = [callee], []
        while stack:
            x = stack.pop()
            if x.k == K.OVERLOADED_DECL_REF:
                for i in range(_overloaded_count(x.c)):
                    d = _overloaded(x.c, i)
                    if d is not None and d._kind_id in K.FUNCS and not self.outside(d):
                        out.append((d.get_usr(), d.spelling))
                return out
            if x.k in K.TRANSPARENT or x.k == K.DECL_REF_EXPR:
                stack.extend(x.kids)
        return out

    def bridged(self, cls):
        """A class template deriving from its own parameter: the platform's bridge
        of a toolkit widget, whose overrides the toolkit calls."""
        if cls is None or cls._kind_id != K.CLASS_TEMPLATE:
            return False
        for x in cls.get_children():
            if x._kind_id != K.CXX_BASE_SPECIFIER:
                continue
            for y in x.get_children():
                ref = y.referenced if y._kind_id == K.TYPE_REF else None
                if ref is not None and ref._kind_id == K.TEMPLATE_TYPE_PARAMETER:
                    return True
        return False

    def overrides_decl(self, c):
        return any(x.kind == ci.CursorKind.CXX_OVERRIDE_ATTR for x in c.get_children())

    def widget_owner(self, n):
        """The control a changed widget belongs to, read from the receiver inwards:
        'this' (the routine's own), the class of another object of the program
        (an up-down's associate), or None when not known."""
        while True:
            n = _strip(n)
            if n.k == K.CXX_THIS_EXPR:
                return 'this'
            cls = self.object_class(n.c.type)
            if cls:
                return cls
            if n.k == K.CALL_EXPR:
                kids = [x for x in n.kids if x.k not in K.QUALIFIERS]
                if len(kids) >= 2 and _strip(kids[1]).k == K.DECL_REF_EXPR and \
                        _strip(kids[1]).c.spelling.startswith('operator'):
                    n = kids[0]
                    continue
                callee = _strip(kids[0]) if kids else None
                if callee is None or callee.k != K.MEMBER_REF_EXPR:
                    return None
                n = callee
            if n.k == K.MEMBER_REF_EXPR:
                base = [x for x in n.kids if x.k not in K.QUALIFIERS]
                if not base:
                    return 'this'
                n = base[0]
                continue
            return None

    def object_class(self, t):
        """The class of the program's object a pointer, reference or TWatched holds."""
        t = _record(t)
        if t is None:
            return None
        d = t.get_declaration()
        if d.spelling == 'TWatched' and t.get_num_template_arguments() > 0:
            return self.object_class(t.get_template_argument_type(0))
        if d.kind == ci.CursorKind.NO_DECL_FOUND or not self.is_tobject(d):
            return None
        return (d.get_definition() or d).get_usr()

    def input_event(self, a):
        """An argument that is an event of a user's input (INPUT_EVENTS)."""
        t = _record(_strip(a).c.type)
        if t is None:
            return False
        d = t.get_declaration()
        if d is None or d.kind == ci.CursorKind.NO_DECL_FOUND:
            return False
        return any(u.endswith('@S@' + name) for u in self.chain(d) for name in INPUT_EVENTS)

    def chain(self, d):
        """A class's USR and those of all its bases, the class first."""
        d = d.get_definition() or d
        usr = d.get_usr()
        hit = self.chains.get(usr)
        if hit is not None:
            return hit
        self.chains[usr] = out = [usr]
        for x in d.get_children():
            if x._kind_id == K.CXX_BASE_SPECIFIER:
                b = x.type.get_declaration()
                if b is not None and b.kind != ci.CursorKind.NO_DECL_FOUND:
                    out.extend(u for u in self.chain(b) if u not in out)
        return out

    def outside(self, c):
        path = self.file_of(c)
        return path is None or not path.startswith(self.src_root + os.sep)

    def toolkit_class(self, d):
        return d is not None and d._kind_id in K.CLASSES and d.spelling.startswith('Q') and \
            self.outside(d)

    def toolkit_virtual(self, cls, name):
        """Whether a toolkit class the class derives from declares a virtual of this name."""
        todo, seen = [cls.get_definition() or cls], set()
        while todo:
            d = todo.pop()
            for x in d.get_children():
                if x._kind_id == K.CXX_BASE_SPECIFIER:
                    b = x.type.get_declaration()
                    if b is None or b.kind == ci.CursorKind.NO_DECL_FOUND:
                        continue
                    b = b.get_definition() or b
                    if b.get_usr() in seen:
                        continue
                    seen.add(b.get_usr())
                    if self.toolkit_class(b) and any(
                            m._kind_id == K.CXX_METHOD and m.spelling == name and m.is_virtual_method()
                            for m in b.get_children()):
                        return True
                    todo.append(b)
        return False

    def receiver_chain(self, base, r):
        """The classes a call's receiver may be of, from its static class up."""
        if base is None:
            cls = r.get('cls')
            d = self.class_decls.get(cls) if cls else None
            return self.chain(d) if d is not None else []
        t = _strip(base).c.type.get_canonical()
        if t.kind in (ci.TypeKind.POINTER, ci.TypeKind.LVALUEREFERENCE, ci.TypeKind.RVALUEREFERENCE):
            t = t.get_pointee().get_canonical()
        if t.kind != ci.TypeKind.RECORD:
            return []
        return self.chain(t.get_declaration())

    def connection(self, kids, r):
        """ConnectSignal(sender, signal, inside, fn): fn runs when the sender's signal fires."""
        args = kids[1:]
        if len(args) < 4:
            return
        sender = self.receiver_chain(args[0], r)
        signal = self.signal_of(args[1])
        src = self.source(args[3], r)
        if sender and signal and src is not None:
            self.S.connections.append((sender, signal[0], signal[1], src))

    def signal_of(self, n):
        """(declaring class, name) of the signal a member pointer names (through QOverload)."""
        stack = [n]
        while stack:
            x = stack.pop()
            ref = x.c.referenced
            if x.k in (K.DECL_REF_EXPR, K.MEMBER_REF_EXPR) and ref is not None and \
                    ref._kind_id == K.CXX_METHOD and self.toolkit_class(ref.semantic_parent):
                return ref.semantic_parent.get_usr(), ref.spelling
            stack.extend(x.kids)
        return None

    def expr_text(self, n):
        path = self.file_of(n.c)
        if path is None:
            return ''
        e = n.c.extent
        return self.text(path)[e.start.offset:e.end.offset].decode('utf-8', 'replace')

    def signals_blocked(self, who, args, r):
        """Between blockSignals(true) and the next blockSignals on the same
        object, changing it emits nothing."""
        on = bool(args) and self.expr_text(args[0]).strip() == 'true'
        blocked = r.setdefault('blocked', set())
        if on:
            blocked.add(who)
        else:
            blocked.discard(who)

    def record_of(self, t):
        """The class of an object, a pointer or a reference to one."""
        t = _record(t)
        d = t.get_declaration() if t is not None else None
        return d.get_usr() if d is not None else None

    def outcome_read(self, base, out, r):
        """The outcome of ShowModalWatching read where it is returned."""
        s = _strip(base)
        if s.k == K.CALL_EXPR and s.c.spelling == 'ShowModalWatching':
            for i in range(len(r['calls']) - 1, -1, -1):
                if r['calls'][i]['name'] == 'ShowModalWatching':
                    out.append(('g', '#%d' % i))
                    break

    def watched_local(self, n):
        s = _strip(n)
        if s.k == K.DECL_REF_EXPR:
            ref = s.c.referenced
            if ref is not None and ref._kind_id in (K.VAR_DECL, K.PARM_DECL):
                key, cls, _ = self.var(ref)
                if cls == 'watched':
                    return key
        return None

    def through(self, obj, rec, after, r):
        """A call of a callable object: a handler, a hook, a lambda."""
        s = _strip(obj)
        if s.k == K.MEMBER_REF_EXPR:
            ref = s.c.referenced
            base = [x for x in s.kids if x.k not in K.QUALIFIERS]
            if base:
                self.ev(base[0], after, r)
            elif r['this']:
                after.append(('r', 'this'))
            if ref is not None and ref._kind_id == K.FIELD_DECL:
                usr = ref.get_usr()
                self.S.slots[usr] = ref.spelling
                p = ref.semantic_parent
                self.S.owners[usr] = p.spelling if p is not None else ''
                rec['name'] = ref.spelling
                rec['slot'] = usr
                rec['how'] = 'handler' if _HANDLER.match(ref.spelling) else 'slot'
                return
        elif s.k == K.DECL_REF_EXPR:
            ref = s.c.referenced
            if ref is not None and ref._kind_id in (K.VAR_DECL, K.PARM_DECL):
                key, cls, name = self.var(ref)
                self.S.slots[key] = name
                rec['name'] = name
                rec['slot'] = key
                rec['how'] = 'slot'
                return
        elif s.k == K.LAMBDA_EXPR:
            rec['how'] = 'lambda'
            rec['lambdas'] = [self.lambda_(s, r)]
            rec['name'] = 'lambda'
            return
        self.ev(obj, after, r)
        rec['how'] = 'unresolved'

    def calls_given(self, ref):
        """Whether a routine outside the program calls a lambda given to it before
        it returns (the standard algorithms), or keeps it: a standard class's
        constructor, assignment or insertion (a std::function made from it, a
        list it is added to), the toolkit's connections and timers, which its
        loop calls later."""
        path = self.file_of(ref)
        if path is not None and path.startswith(self.src_root + os.sep):
            return True
        if not ref.get_usr().startswith('c:@N@std@'):
            return False
        parent = ref.semantic_parent
        member = ref._kind_id in K.METHODS or (parent is not None and parent._kind_id in K.CLASSES)
        if member:
            # the ranges algorithms are objects called
            return ref.spelling == 'operator()'
        return ref.spelling not in ('thread', 'jthread', 'async')

    def args(self, args, ref, rec, out, r):
        params = None
        for i, a in enumerate(args):
            s = _strip_callable(a)
            if s.k in _CALLABLE_EXPR:
                if params is None:
                    params = list(ref.get_arguments() or [])
                p = params[i] if i < len(params) else None
                if p is not None and self.callable_type(p.type) and not (
                        '(lambda at ' in p.type.get_canonical().spelling):
                    src = self.source(a, r)
                    if src is not None:
                        slot = 'P:%s#%d' % (ref.get_usr(), i)
                        self.S.slots[slot] = p.spelling
                        self.S.installs.append((slot, src))
                        rec.setdefault('fargs', []).append((i, src))
                        if s.k == K.LAMBDA_EXPR:
                            continue
                elif s.k == K.LAMBDA_EXPR:
                    key = self.lambda_(s, r)
                    if rec.get('connects'):
                        continue
                    if self.calls_given(ref):
                        # given to a template, which calls it there
                        rec.setdefault('lambdas', []).append(key)
                    continue
            self.ev(a, out, r, passed=True)


def _read_tu(tu, src_root, rel_root, wanted, summary):
    Reader(tu, src_root, rel_root, wanted, summary).read()


def _errors(tu):
    out = []
    for d in tu.diagnostics:
        if d.severity >= ci.Diagnostic.Error:
            loc = d.location
            where = '%s:%d' % (loc.file.name if loc.file else '?', loc.line)
            out.append('%s: %s' % (where, d.spelling))
    return out


def _resource_flags():
    res = _resource_dir(_libclang())
    return ['-resource-dir', res] if res else []


def work_group(task):
    """Builds a group's shared header and reads the src/ headers in it."""
    err = load_clang()
    if err:
        return {'errors': [err]}
    text, flags, pch_path, header_path, src_root, rel_root, held = task
    with open(header_path, 'w', encoding='utf-8') as fh:
        fh.write(text)
    index = ci.Index.create()
    opts = 0
    try:
        tu = index.parse(header_path, ['-x', 'c++-header'] + flags + _resource_flags(), options=opts)
    except ci.TranslationUnitLoadError as e:
        return {'errors': ['%s: not parsed: %s' % (header_path, e)]}
    errors = _errors(tu)
    summary = Summary()
    if not errors:
        tu.save(pch_path)
        held = set(held)
        _read_tu(tu, src_root, rel_root, lambda p: p in held, summary)
    return {'summary': summary, 'errors': errors}


def work_unit(task):
    err = load_clang()
    if err:
        return {'errors': [err]}
    path, flags, pch, held, src_root, rel_root = task[:6]
    # a mutant: the unit read with another text
    unsaved = [(path, task[6])] if len(task) > 6 else None
    index = ci.Index.create()
    tries = [flags + ['-include-pch', pch]] if pch else []
    tries.append(flags)
    errors = []
    for args in tries:
        try:
            tu = index.parse(path, args + _resource_flags(), unsaved_files=unsaved)
        except ci.TranslationUnitLoadError as e:
            errors = ['%s: not parsed: %s' % (path, e)]
            continue
        errors = _errors(tu)
        if not errors:
            break
    if errors:
        return {'errors': errors, 'path': path}
    held = set(held) if args is not flags else set()
    summary = Summary()

    def wanted(p):
        return p.startswith(src_root + os.sep) and p not in held

    _read_tu(tu, src_root, rel_root, wanted, summary)
    out = {'summary': summary, 'errors': [], 'path': path}
    if unsaved:
        out['mutant'] = task[7]
    return out


def read_program(src, build, jobs, tmp, mutants=None):
    """Parses every unit of src/ (in parallel) and merges what they say. Each
    mutant (file, text, replacement) is read too: the program again with that
    one unit's text changed, returned as (mutant, program or failures)."""
    src_root = os.path.realpath(src)
    rel_root = os.path.dirname(src_root)
    units = read_units(build, src_root)
    failures = []
    listed = {u.path for u in units}
    for dirpath, _, names in os.walk(src_root):
        for name in sorted(names):
            p = os.path.join(dirpath, name)
            if name.endswith(('.cpp', '.cc', '.cxx')) and p not in listed:
                failures.append('%s: not among the units of %s/compile_commands.json: not read'
                                % (os.path.relpath(p, rel_root), build))
    groups = collections.OrderedDict()
    for u in units:
        groups.setdefault(u.group(), []).append(u)
    group_tasks, held_of = [], {}
    for i, (key, members) in enumerate(groups.items()):
        text, held, dirs = group_header(members, src_root)
        flags = list(key)
        for d in dirs:
            flags += ['-isystem' if d.startswith('/usr/') else '-I', d]
        pch = os.path.join(tmp, 'group%d.pch' % i)
        header = os.path.join(tmp, 'group%d.h' % i)
        group_tasks.append((text, flags, pch, header, src_root, rel_root, sorted(held)))
        held_of[key] = (pch, sorted(held))
    summaries = []
    ctx = multiprocessing.get_context('fork')
    with ctx.Pool(max(1, min(jobs, len(units)))) as pool:
        broken = set()
        for key, res in zip(groups, pool.map(work_group, group_tasks, chunksize=1)):
            if res['errors']:
                # the group's units parse on their own instead
                broken.add(key)
                failures.extend('shared header of %d units: %s' % (len(groups[key]), e)
                                for e in res['errors'][:5])
            else:
                summaries.append(res['summary'])
        tasks, by_path = [], {}
        for u in sorted(units, key=lambda u: -os.path.getsize(u.path)):
            key = u.group()
            pch, held = held_of[key] if key not in broken else (None, [])
            tasks.append((u.path, u.flags, pch, held, src_root, rel_root))
            by_path[u.path] = tasks[-1]
        mutated, mutant_tasks, mutant_paths = [], [], {}
        for m in mutants or ():
            # each unit the mutant changes, with all its changes made
            texts, wrong = {}, []
            for file, old, new in m[1]:
                path = os.path.realpath(os.path.join(rel_root, file))
                if path not in texts:
                    texts[path] = open(path, encoding='utf-8').read() if os.path.isfile(path) else ''
                if path not in by_path or texts[path].count(old) != 1:
                    wrong.append('%s: the text to change is not in the unit once: %r' % (file, old))
                    continue
                texts[path] = texts[path].replace(old, new)
            if wrong:
                mutated.append((m, wrong))
                continue
            mutant_paths[m] = sorted(texts)
            mutant_tasks += [(m, by_path[p] + (texts[p], (m, p))) for p in sorted(texts)]
        unit_of, mutant_of = {}, {}
        for res in pool.imap_unordered(work_unit, tasks + [t for _, t in mutant_tasks], chunksize=1):
            if res['errors']:
                failures.append('%s does not parse, so its call-outs are not read:'
                                % os.path.relpath(res.get('path', '?'), rel_root))
                failures.extend('    ' + e for e in res['errors'][:10])
            elif res.get('mutant'):
                mutant_of[res['mutant']] = res['summary']
            else:
                unit_of[res['path']] = res['summary']
    paths = sorted(unit_of)
    # A program writes what it resolves into the routines it is given: each
    # mutant reads a copy of its own.
    raw = pickle.dumps((summaries, [unit_of[k] for k in paths]))
    for m, changed in mutant_paths.items():
        mine = [mutant_of.get((m, p)) for p in changed]
        if None in mine:
            mutated.append((m, ['%s: a changed unit does not parse' % m[1][0][0]]))
            continue
        groups, own = pickle.loads(raw)
        mutated.append((m, Program(groups + mine + [v for k, v in zip(paths, own) if k not in changed])))
    prog = Program(summaries + [unit_of[k] for k in paths])
    if mutants is not None:
        return prog, failures, len(units), mutated
    return prog, failures, len(units)


# --- the program ---------------------------------------------------------------

class Program:
    def __init__(self, summaries):
        self.routines = {}
        self.classes = {}
        self.slots = {}
        self.owners = {}
        self.installs = collections.defaultdict(set)
        self.guards = collections.defaultdict(set)
        self.names = {}
        self.windows = {}
        self.aliases = {}
        self.connections = []
        self.toolkit = set()
        self.unresolved = 0
        for s in summaries:
            self.windows.update(s.windows)
            self.aliases.update(s.aliases)
            self.connections.extend(s.connections)
            self.toolkit |= s.toolkit
            for k, r in s.routines.items():
                self.routines.setdefault(k, r)
            for k, c in s.classes.items():
                self.classes.setdefault(k, c)
            self.slots.update(s.slots)
            self.owners.update(s.owners)
            for slot, src in s.installs:
                self.installs[slot].add(src)
            for k, w in s.guards.items():
                self.guards[k] |= w
            self.names.update(s.names)
            self.unresolved += s.unresolved
        self.names['this'] = 'this'
        self._hierarchy()
        self._slot_args()
        self._resolve()
        self._deep()
        self._callouts()

    def _hierarchy(self):
        self._ancestors, self._narrowed = {}, {}
        self.derived = collections.defaultdict(set)
        for usr, c in self.classes.items():
            for b in c['bases']:
                self.derived[b].add(usr)

    def overrides(self, usr, cls, recv=None):
        """The overrides of a virtual routine that a call on an object of class
        recv (the routine's own class when unknown) may reach."""
        out = set()
        if not cls or not usr.startswith(cls):
            return out
        sig = usr[len(cls):]
        stack, seen = [recv if recv in self.classes else cls], set()
        while stack:
            c = stack.pop()
            for d in self.derived.get(c, ()):
                if d in seen:
                    continue
                seen.add(d)
                m = self.classes.get(d, {}).get('methods', {}).get(sig)
                if m:
                    out.add(m)
                stack.append(d)
        return out

    def slot_sources(self, slot):
        """(routines, handler member names) a slot may call, through aliases."""
        routines, handlers, seen, stack = set(), set(), set(), [slot]
        while stack:
            s = stack.pop()
            if s in seen:
                continue
            seen.add(s)
            name = self.slots.get(s, '')
            if s != slot and s.startswith('c:') and _HANDLER.match(name):
                handlers.add(s)
            for kind, v in self.installs.get(s, ()):
                if kind == 'slot':
                    stack.append(v)
                else:
                    routines.add(v)
        return routines, handlers

    def _slot_args(self):
        """What a call through a slot gives it (a lambda to a local lambda, a
        setter to a hook) is installed in the parameters of what the slot
        holds, so a lambda that keeps that parameter and calls it later calls it."""
        calls = [c for r in self.routines.values() for c in r['calls']
                 if c['how'] == 'slot' and c.get('fargs')]
        changed = True
        while changed:
            changed = False
            for c in calls:
                for t in self.slot_sources(c['slot'])[0]:
                    for i, src in c['fargs']:
                        slot = 'P:%s#%d' % (t, i)
                        if src not in self.installs[slot]:
                            self.installs[slot].add(src)
                            changed = True

    def _params_called(self):
        """For each routine, the callable parameters it calls (itself or by giving
        them on to a routine that calls them)."""
        called = collections.defaultdict(set)
        given = []   # (routine, its parameter, callee, the callee's parameter)
        for key, r in self.routines.items():
            for c in r['calls']:
                slot = c.get('slot', '')
                if c['how'] == 'slot' and slot.startswith('P:%s#' % key):
                    called[key].add(int(slot.rsplit('#', 1)[1]))
                for i, src in c.get('fargs', ()):
                    if src[0] == 'slot' and src[1].startswith('P:%s#' % key) and c.get('usr'):
                        given.append((key, int(src[1].rsplit('#', 1)[1]), c['usr'], i))
        changed = True
        while changed:
            changed = False
            for key, mine, callee, theirs in given:
                if theirs in called.get(callee, ()) and mine not in called[key]:
                    called[key].add(mine)
                    changed = True
        return called

    def connected(self, chain, method):
        """What runs when a method of the toolkit changes a widget whose classes are
        chain (its own first): what is connected to the signals of a sender it
        may be that the method emits."""
        out = set()
        for sender, cls, signal, src in self.connections:
            if signal in SIGNAL_EMITTERS and method not in SIGNAL_EMITTERS[signal]:
                continue
            if sender[0] in chain or (cls in chain and chain[0] in sender):
                out.add(src)
        return out

    def _resolve(self):
        called = self._params_called()
        for key, r in self.routines.items():
            for c in r['calls']:
                targets = set(c.get('lambdas', ()))
                targets |= set(c.get('alts', ()))
                if c.get('widget'):
                    conn = set()
                    for src in self.connected(c['widget'], c['name']):
                        if src[0] == 'slot':
                            conn |= self.slot_sources(src[1])[0]
                        else:
                            conn.add(src[1])
                    own = c.get('widget_owner') or r.get('cls')
                    # A widget is a control's: the routine's own, or another's it
                    # reaches (an up-down's associate); it hears the signals that
                    # control, or a class it derives from, connected; a caller that
                    # knows it to be of a subclass, what that subclass connected too.
                    c['conn'] = sorted(t for t in conn if t in self.routines)
                    targets |= {t for t in c['conn']
                                if not own or self.routines[t].get('cls') in self.ancestors(own)}
                how = c['how']
                handlers = set()
                if how == 'direct':
                    targets.add(c['usr'])
                    if c.get('virtual') and c['name'] not in QUIET_DISPATCH:
                        c['virt'] = sorted(self.overrides(c['usr'], c.get('cls', ''), c.get('recv')))
                        targets |= set(c['virt'])
                    elif c.get('virtual'):
                        # reached where a user's input event is passed on
                        c['loud'] = sorted(self.overrides(c['usr'], c.get('cls', ''), c.get('recv')))
                    # what it is given to call there
                    for i, src in c.get('fargs', ()):
                        if i not in called.get(c['usr'], ()):
                            continue
                        if src[0] == 'slot':
                            if not src[1].startswith('P:%s#' % key):
                                t, h = self.slot_sources(src[1])
                                targets |= t
                                handlers |= h
                                if _HANDLER.match(self.slots.get(src[1], '')) and src[1].startswith('c:'):
                                    handlers.add(src[1])
                        elif src[0] in ('lambda', 'func'):
                            targets.add(src[1])
                elif how == 'slot':
                    if c['slot'].startswith('P:%s#' % key):
                        # A parameter: its callers' call-outs, where they give it;
                        # here a call-out when any caller gives one that calls out.
                        c['how'] = 'param'
                        t, h = self.slot_sources(c['slot'])
                        c['given'] = sorted(x for x in t if x in self.routines)
                        c['given_handlers'] = sorted(h)
                    else:
                        t, handlers = self.slot_sources(c['slot'])
                        targets |= t
                        # what it gives what the slot holds, where that calls it
                        for i, src in c.get('fargs', ()):
                            if not any(i in called.get(x, ()) for x in t):
                                continue
                            if src[0] == 'slot':
                                more, h = self.slot_sources(src[1])
                                targets |= more
                                handlers |= h
                            else:
                                targets.add(src[1])
                elif how == 'handler' and c.get('slot') and not self.input(c):
                    # what the program installed in a handler code fires: run by it
                    # in a user's act
                    c['installed'] = sorted(t for t in self.slot_sources(c['slot'])[0]
                                            if t in self.routines)
                if handlers:
                    c['how'] = 'handler'
                    c['aliases'] = sorted(handlers)
                c['targets'] = sorted(t for t in targets if t in self.routines)

    def ancestors(self, cls):
        """A class and every class it derives from."""
        hit = self._ancestors.get(cls)
        if hit is None:
            hit = self._ancestors[cls] = {cls}
            for b in self.classes.get(cls, {}).get('bases', ()):
                hit |= self.ancestors(b)
        return hit

    def refine(self, known, cls):
        """What `this` of a routine of class cls is known to be: the class known
        at the call, when it derives from cls (else nothing beyond cls)."""
        if known and cls and known != cls and cls in self.ancestors(known):
            return known
        return None

    def call_targets(self, r, ctx, c):
        """(routine, what its `this` is known to be) a call reaches, where the
        caller's own `this` is known to be of class ctx (None: its own class).
        A virtual call on `this` reaches only the overrides of what it is; a
        widget changed reaches what its own control, of that class, connected."""
        own = ctx or r.get('cls')
        on_this = c.get('on_this')
        widget_own = c.get('widget_owner') or own
        recv = own if on_this else c.get('recv_cls')
        virt, conn = set(c.get('virt', ())), set(c.get('conn', ()))
        if ctx and on_this and virt:
            key = (c['usr'], c.get('cls', ''), ctx)
            narrowed = self._narrowed.get(key)
            if narrowed is None:
                # what it overrides below, and what it inherits
                up = self.ancestors(ctx)
                narrowed = self._narrowed[key] = self.overrides(c['usr'], c.get('cls', '')) & (
                    self.overrides(c['usr'], c.get('cls', ''), ctx) | {
                        t for t in c.get('virt', ()) if self.routines[t].get('cls') in up})
            virt = virt & narrowed
        out = []
        for t in c['targets'] + [t for t in c.get('conn', ()) if t not in c['targets']]:
            tr = self.routines[t]
            tcls = tr.get('cls')
            if t in conn:
                if widget_own and tcls not in self.ancestors(widget_own):
                    continue
                out.append((t, self.refine(widget_own, tcls)))
            elif t in c.get('virt', ()) and t not in virt:
                continue
            elif t.startswith('L:') and tcls and tcls == r.get('cls'):
                out.append((t, ctx))      # a lambda of the routine, on the same `this`
            elif recv and tr['this']:
                out.append((t, self.refine(recv, tcls)))
            else:
                out.append((t, None))
        return out

    def _deep(self):
        """Routines that call out to their callers, each with why; a routine is
        read once for its own class and once for each subclass a caller knows
        its `this` to be of."""
        self.deep, self.deep_ctx = {}, {}
        callers = collections.defaultdict(list)
        work, seen = [], set()
        todo = [(k, None) for k in self.routines] + [(k, None, 'u') for k in sorted(self.entries())]
        self.reached = seen
        while todo:
            node = todo.pop()
            if node in seen:
                continue
            seen.add(node)
            r = self.routines[node[0]]
            if r['name'] in QUIET_ROUTINES or r['name'] in ERROR_PATHS:
                continue
            for i, c in enumerate(r['calls']):
                for t in self.children(node, r, c):
                    callers[t].append((node, i))
                    if t not in seen:
                        todo.append(t)
                why = self.direct_why(c)
                if why and node not in self.deep_ctx and (why[0] == 'modal' or self.input(c)):
                    self.deep_ctx[node] = (i, why)
                    work.append(node)
        while work:
            t = work.pop()
            for node, i in callers.get(t, ()):
                if node not in self.deep_ctx:
                    self.deep_ctx[node] = (i, ('depth', t))
                    work.append(node)
        self.deep = {n[0]: why for n, why in self.deep_ctx.items() if n[1] is None and len(n) == 2}

    def children(self, node, r, c):
        """The routines a call reaches, as nodes (routine, what its `this` is known
        to be[, how it is reached]). A routine is read once as code reached
        anyhow; once as part of a user's act ('u': from what the toolkit calls
        down to a handler), where a handler code fires runs what the program
        installed in it (a binder's write, when an up-down writes its associate);
        and once as given an event of a user's input ('m'), where a
        QUIET_DISPATCH routine reaches every override."""
        mode = node[2] if len(node) > 2 else ''
        user = 'u' if 'u' in mode else ''
        given = 'm' if c.get('input_event') else ''
        out = []
        for t in self.call_targets(r, node[1], c):
            out.append(t + (user + given,) if user or given else t)
        if user:
            out += [(t, None) for t in c.get('installed', ())]
        if 'm' in mode:
            out += [(t, None) for t in c.get('loud', ())]
        return out

    def direct_why(self, c):
        if c['how'] == 'handler':
            return ('handler', c['name'])
        if c['how'] in ('direct', 'unresolved') and (c['name'] in MODAL or c.get('toolkit')):
            return ('modal', c['name'])
        return None

    def input(self, c):
        """A handler call of a user's input kind."""
        slots = c.get('aliases') or [c.get('slot', '')]
        return any(is_input_handler(self.slots.get(s, c['name']), self.owners.get(s, ''))
                   for s in slots)

    def _callouts(self):
        self.callouts = []
        for key in sorted(self.routines):
            r = self.routines[key]
            for i, c in enumerate(r['calls']):
                why = self.direct_why(c)
                if why:
                    how = why[0]
                elif c['how'] == 'param' and any(
                        is_input_handler(self.slots.get(h, ''), self.owners.get(h, ''))
                        for h in c['given_handlers']):
                    how = 'handler'
                else:
                    deep = [t for t in [(g, None) for g in c.get('given', [])] if t in self.deep_ctx]
                    for node in [(key, None)] + [(key, None, m) for m in ('u', 'm', 'um')]:
                        if node in self.reached:
                            deep += [t for t in self.children(node, r, c) if t in self.deep_ctx]
                    if not deep:
                        continue
                    how = 'depth'
                    c['through'] = deep[0]
                self.callouts.append(CallOut(self, r, i, how))

    def fired(self, key, c):
        """The handler members of a user's input a call fires."""
        if c['how'] != 'handler':
            return set()
        slots = c.get('aliases') or [c.get('slot', '')]
        return {s for s in slots
                if is_input_handler(self.slots.get(s, c['name']), self.owners.get(s, ''))}

    def entries(self):
        """What the toolkit calls: the lambdas connected to its signals and the
        routines overriding its virtuals (events)."""
        out = set(k for k in self.toolkit if k in self.routines)
        for _, _, _, src in self.connections:
            out |= self.slot_sources(src[1])[0] if src[0] == 'slot' else {src[1]}
        return {k for k in out if k in self.routines}

    def quiet_faults(self):
        """QUIET_ROUTINES that are a user's only way to a handler they fire."""
        out = []
        entries = self.entries()
        for key, r in sorted(self.routines.items()):
            if r['name'] not in QUIET_ROUTINES:
                continue
            # the handlers it fires itself, or through routines, not through another handler
            mine, seen, todo = set(), {key}, [key]
            while todo:
                k = todo.pop()
                for c in self.routines[k]['calls']:
                    mine |= self.fired(k, c)
                    if c['how'] == 'handler':
                        continue
                    for t in c['targets']:
                        if t not in seen:
                            seen.add(t)
                            todo.append(t)
            # what the user fires without it
            other, seen, todo = set(), set(entries) - {key}, sorted(set(entries) - {key})
            while todo:
                k = todo.pop()
                for c in self.routines[k]['calls']:
                    other |= self.fired(k, c)
                    for t in c['targets'] + c.get('given', []):
                        if t not in seen and t != key:
                            seen.add(t)
                            todo.append(t)
            for h in sorted(mine - other):
                out.append('%s:%d: %s is listed as reached only by code, but a user reaches %s '
                           'only through it: take it off QUIET_ROUTINES and guard its callers'
                           % (r['file'], r['line'], r['name'], self.slots.get(h, h)))
        return out

    def chain(self, node, limit=6):
        """How a routine calls out: the routines down to the handler or window."""
        if not isinstance(node, tuple):
            node = (node, None)
        out = [self.routines[node[0]]['name']]
        while node in self.deep_ctx and len(out) < limit:
            r = self.routines[node[0]]
            i, why = self.deep_ctx[node]
            c = r['calls'][i]
            if why[0] == 'depth':
                node = why[1]
                out.append(self.routines[node[0]]['name'])
            else:
                out.append(c['name'])
                break
        return out


class CallOut:
    def __init__(self, prog, routine, index, how):
        self.prog, self.routine, self.index, self.how = prog, routine, index, how
        self.call = routine['calls'][index]
        self.way = None
        self.objects = []

    @property
    def path(self):
        return self.routine['file']

    @property
    def callee(self):
        return self.call['name']

    @property
    def line(self):
        return self.call['line']

    def key(self):
        return (self.path, self.routine['name'], self.callee)

    def describe(self):
        if self.how == 'depth':
            return '%s (through %s)' % (self.callee, ' -> '.join(self.prog.chain(self.call['through'])))
        return self.callee


# --- what runs after a call ------------------------------------------------------------

class Flow:
    """The events of one routine as a graph: reads, writes, guards and calls."""

    def __init__(self, routine):
        self.item = [('end',)]
        self.succ = [[]]
        self.call_node = {}
        self.build(routine['tree'], 0, None, None)

    def new(self, item, succ):
        self.item.append(item)
        self.succ.append(list(succ))
        n = len(self.item) - 1
        if item is not None and item[0] == 'c':
            self.call_node[item[1]] = n
        return n

    def seq(self, events, nxt):
        for e in reversed(events):
            kind = e[0]
            if kind == 'o':
                nxt = self.new(None, [self.seq(e[1], nxt), nxt])
            elif kind == 't':
                nxt = self.cond(e[1], self.seq(e[2], nxt), self.seq(e[3], nxt))
            else:
                nxt = self.new(e, [nxt])
        return nxt

    def cond(self, c, t, f):
        kind = c[0]
        if kind == 'and':
            return self.cond(c[1], self.cond(c[2], t, f), f)
        if kind == 'or':
            return self.cond(c[1], t, self.cond(c[2], t, f))
        if kind == 'not':
            return self.cond(c[1], f, t)
        return self.seq(c[1], self.new(None, [t, f]))

    def build(self, s, nxt, brk, cont, cases=None):
        kind = s[0]
        if kind == 'B':
            for child in reversed(s[1]):
                nxt = self.build(child, nxt, brk, cont, cases)
            return nxt
        if kind == 'S':
            return self.seq(s[1], nxt)
        if kind in ('R', 'T'):
            return self.seq(s[1], 0)
        if kind == 'K':
            return brk if brk is not None else 0
        if kind == 'C':
            return cont if cont is not None else 0
        if kind == 'G':
            return 0
        if kind == 'I':
            then = self.build(s[3], nxt, brk, cont, cases)
            other = self.build(s[4], nxt, brk, cont, cases) if s[4] is not None else nxt
            return self.seq(s[1], self.cond(s[2], then, other))
        if kind == 'L':
            _, init, cond, inc, body, do = s
            join = self.new(None, [])
            inc_entry = self.seq(inc, join)
            if do:
                test = self.cond(cond, join, nxt) if cond else join
                entry = self.build(body, test, nxt, test, None)
                self.succ[join] = [entry]
                return self.seq(init, entry)
            body_entry = self.build(body, inc_entry, nxt, inc_entry, None)
            test = self.cond(cond, body_entry, nxt) if cond else body_entry
            self.succ[join] = [test]
            return self.seq(init, join)
        if kind == 'W':
            labels = []
            body = self.build(s[2], nxt, nxt, cont, labels)
            targets = [n for n, _ in labels] or [body]
            if not any(d for _, d in labels):
                targets.append(nxt)
            return self.seq(s[1], self.new(None, targets))
        if kind == 'A':
            entry = self.build(s[1], nxt, brk, cont, cases)
            label = self.new(None, [entry])
            if cases is not None:
                cases.append((label, s[2]))
            return label
        if kind == 'Y':
            first = len(self.item)
            entry = self.build(s[1], nxt, brk, cont, cases)
            last = len(self.item)
            handlers = [self.build(h, nxt, brk, cont, cases) for h in s[2]]
            for n in range(first, last):
                if self.item[n] is not None and self.item[n][0] == 'c':
                    self.succ[n].extend(handlers)
            return entry
        return nxt

    def reads(self):
        """Object -> its read nodes, object -> its write nodes (once a routine)."""
        if not hasattr(self, '_reads'):
            self._reads = collections.defaultdict(list)
            self._writes = collections.defaultdict(set)
            for n, item in enumerate(self.item):
                if item is not None and item[0] == 'r':
                    self._reads[item[1]].append(n)
                elif item is not None and item[0] == 'w':
                    self._writes[item[1]].add(n)
        return self._reads, self._writes

    def _reach(self, start, stop):
        seen, stack = set(), list(self.succ[start])
        while stack:
            n = stack.pop()
            if n in seen:
                continue
            seen.add(n)
            if n in stop:
                continue
            stack.extend(self.succ[n])
        return seen

    def after(self, start, watching):
        """For the call at node start: (objects read before any guard, objects
        read where no guard on the way watches them, whether a guard is read,
        whether an object is read). watching(g) is what guard g watches. An
        object written after the call before it is read is fresh on that way."""
        reads, writes = self.reads()
        guards_at = {n for n, item in enumerate(self.item) if item is not None and item[0] == 'g'}
        used, unwatched, read = set(), set(), False
        for k, nodes in reads.items():
            w = writes.get(k, set())
            if not any(n in self._reach(start, w) for n in nodes):
                continue
            read = True
            if any(n in self._reach(start, w | guards_at) for n in nodes):
                used.add(k)
                continue
            stop = w | {g for g in guards_at if k in watching(self.item[g][1])}
            if any(n in self._reach(start, stop) for n in nodes):
                unwatched.add(k)
        guarded = bool(self._reach(start, set()) & guards_at)
        return used, unwatched, guarded, read


def classify(prog, co, flows):
    r = co.routine
    flow = flows.get(r['key'])
    if flow is None:
        flow = flows[r['key']] = Flow(r)
    node = flow.call_node.get(co.index)
    if node is None:
        co.way = 'last'
        return

    def watching(g):
        if g.startswith('#'):
            return r['calls'][int(g[1:])].get('watch', set())
        return prog.guards.get(g, set())

    used, unwatched, guarded, read = flow.after(node, watching)
    # The program's windows are made at start and freed at exit: what they
    # hold, and locals set from them, outlive every call-out.
    window_classes = set(prog.windows.values())

    def outlives(k):
        if k == 'this':
            return r.get('cls') in window_classes
        return prog.aliases.get(k) in prog.windows

    kept = {k for k in used | unwatched if outlives(k)}
    if kept:
        co.windows = True
    used, unwatched = used - kept, unwatched - kept
    if used:
        co.way = 'used'
        co.objects = sorted(prog.names.get(k, k) for k in used)
    elif unwatched:
        co.way = 'unwatched'
        co.objects = sorted(prog.names.get(k, k) for k in unwatched)
    else:
        co.way = 'guarded' if guarded and read else 'last'


# --- the table ------------------------------------------------------------------------

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
    """(failures, findings, counts): findings are 'file:line routine call object'."""
    failures, findings = [], []
    by_key = {}
    for r in rows:
        if r.key() in by_key:
            failures.append('%s:%d: %s in %s is listed twice' % (table_path, r.line, r.callee,
                                                                r.routine))
        by_key[r.key()] = r
    flows = {}
    for c in prog.callouts:
        classify(prog, c, flows)
    needed = {c.key() for c in prog.callouts if c.way in ('used', 'unwatched')}
    used = set()
    counts = {'last': 0, 'guarded': 0, 'table': {k: 0 for k in KINDS},
              'handler': 0, 'modal': 0, 'depth': 0, 'windows': 0}
    for c in sorted(prog.callouts, key=lambda c: (c.path, c.line, c.callee)):
        counts[c.how] += 1
        row = by_key.get(c.key())
        if c.way in ('last', 'guarded'):
            counts[c.way] += 1
            counts['windows'] += bool(getattr(c, 'windows', False))
            if row and c.key() not in needed and c.key() not in used:
                used.add(c.key())
                failures.append('%s:%d: %s in %s is %s: the row is not needed'
                                % (table_path, row.line, c.callee, c.routine['name'], c.way))
            continue
        if row:
            used.add(c.key())
            counts['table'][row.kind] += 1
            continue
        where = '%s:%d: %s calls %s' % (c.path, c.line, c.routine['name'], c.describe())
        objects = ', '.join(c.objects)
        if c.way == 'used':
            failures.append('%s and then uses %s before reading a guard: read what it holds again '
                            'through a TCallOut right after the call, make the call the last '
                            'thing the routine does, or list it with its reason' % (where, objects))
        else:
            failures.append('%s and then uses %s, which the guard read after it does not watch: '
                            'give it to the TCallOut' % (where, objects))
        for o in c.objects:
            findings.append('%s:%d %s %s %s' % (c.path, c.line, c.routine['name'], c.callee, o))
    for r in rows:
        if r.key() not in used:
            failures.append('%s:%d: %s in %s (%s) is no call-out that needs a row (any more): '
                            'remove the row' % (table_path, r.line, r.callee, r.routine, r.path))
    counts['connections'] = len(prog.connections)
    for r in sorted(prog.routines.values(), key=lambda r: (r['file'], r['line'])):
        for c in r['calls']:
            if c.get('qt_connect') and r['name'] != TOOLKIT_CONNECT:
                failures.append('%s:%d: %s connects a toolkit signal itself: connect it through %s, '
                                'which keeps the widget while the toolkit is inside it'
                                % (r['file'], c['line'], r['name'], TOOLKIT_CONNECT))
    quiet = prog.quiet_faults()
    counts['quiet'] = sum(1 for r in prog.routines.values() if r['name'] in QUIET_ROUTINES) - len(quiet)
    failures += quiet
    return failures, findings, counts


def read_mutants(path):
    """Lines 'file | routine | text | replacement' (a \\n stands for a line break),
    each followed by any further changes ' |&| file | text | replacement': with
    the texts so changed, the check must name the routine. Yields
    (routine, ((file, text, replacement), ...))."""
    out = []
    with open(path, encoding='utf-8') as fh:
        for n, line in enumerate(fh, 1):
            if not line.strip() or line.lstrip().startswith('#'):
                continue
            changes, routine = [], None
            for i, change in enumerate(line.rstrip('\n').split(' |&| ')):
                parts = [p.strip().replace('\\n', '\n') for p in change.split(' | ')]
                if i == 0 and len(parts) == 4:
                    routine = parts[1]
                    changes.append((parts[0], parts[2], parts[3]))
                elif i > 0 and len(parts) == 3:
                    changes.append(tuple(parts))
                else:
                    raise ValueError('%s:%d: a change is "file | routine | text | replacement", '
                                     'further ones "file | text | replacement"' % (path, n))
            out.append((routine, tuple(changes)))
    return out


def check_mutants(mutated, rows, table):
    """Failures: each mutant the check does not name; and a line of counts."""
    failures, named = [], 0
    for m, got in mutated:
        if isinstance(got, list):
            failures += got
            continue
        failed = check(got, rows, table)[0]
        if any(('%s calls' % m[0]) in f for f in failed):
            named += 1
        else:
            changes = '; '.join('%s: %r changed to %r' % c for c in m[1])
            failures.append('with %s the check does not name %s:\n    %s'
                            % (changes, m[0], '\n    '.join(failed[:5]) or 'no failure'))
    return failures, named


def run(src, build, table, out, listing=False, findings_path=None, jobs=None, tmp=None,
        mutants=None):
    start = time.time()
    err = load_clang()
    if err:
        print(err, file=out)
        return 1
    jobs = jobs or len(os.sched_getaffinity(0))
    mutant_list = read_mutants(mutants) if mutants else None
    with tempfile.TemporaryDirectory(dir=tmp) as work:
        got = read_program(src, build, jobs, work, mutant_list)
    prog, failures, units = got[:3]
    rows, errors = read_table(table)
    failed, findings, counts = check(prog, rows, table)
    failures = failures + errors + failed
    if mutant_list is not None:
        wrong, named = check_mutants(got[3], rows, table)
        failures += wrong
        print('%d of %d guards taken out are named by the check' % (named, len(mutant_list)),
              file=out)
    if listing:
        for c in sorted(prog.callouts, key=lambda c: (c.path, c.line)):
            print('%s:%d\t%s\t%s\t%s\t%s%s' % (c.path, c.line, c.routine['name'], c.describe(),
                                              c.how, c.way,
                                              (' ' + ','.join(c.objects)) if c.objects else ''),
                  file=out)
    for f in failures:
        print(f, file=out)
    if findings_path:
        with open(findings_path, 'w', encoding='utf-8') as fh:
            fh.write(''.join(f + '\n' for f in findings))
    user = {n[0] for n in prog.reached if len(n) > 2 and 'u' in n[2]}
    print('%d call-outs read in %d units (%d handler calls, %d windows and loops, %d only at '
          'depth; %d routines call out to their callers): %d last, %d guarded, %d in the table '
          '(%s); %d of the last and guarded hold a program window; %d toolkit signals connected, '
          '%d routines the toolkit calls, %d routines part of a user\'s act; %d routines only '
          'code reaches, their handlers reached another way; %d things not modelled; %d failures; '
          '%.0f s'
          % (len(prog.callouts), units, counts['handler'], counts['modal'], counts['depth'],
             len(prog.deep), counts['last'], counts['guarded'], sum(counts['table'].values()),
             ', '.join('%s %d' % kv for kv in sorted(counts['table'].items()) if kv[1]) or 'none',
             counts['windows'], counts['connections'], len(prog.toolkit), len(user), counts['quiet'],
             len(NOT_MODELLED), len(failures), time.time() - start),
          file=out)
    return 1 if failures else 0


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--src', required=True)
    ap.add_argument('--build', required=True, help='the build folder with compile_commands.json')
    ap.add_argument('--table', required=True)
    ap.add_argument('--list', action='store_true', help='print every call-out and its way')
    ap.add_argument('--findings', help='write the failing call-outs here, one a line')
    ap.add_argument('--jobs', type=int)
    ap.add_argument('--mutants', help='guards to take out, each of which the check must name')
    a = ap.parse_args(argv)
    sys.setrecursionlimit(20000)
    return run(a.src, a.build, a.table, sys.stdout, a.list, a.findings, a.jobs, mutants=a.mutants)


if __name__ == '__main__':
    sys.setrecursionlimit(20000)
    sys.exit(main(sys.argv[1:]))
