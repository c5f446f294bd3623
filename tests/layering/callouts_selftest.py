#!/usr/bin/env python3
"""The call-out check on a small sample source: what it must pass and what it
must fail."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from callouts import Program, check, read_table  # noqa: E402
from raw_pointers import read_tree  # noqa: E402

_SAMPLE = '''
#include <functional>
class TTool {
public:
    TWatched<TTool> FOther;
    static TTool* Of(TTool* t);
    std::function<void(TTool*)> OnChange;
    std::function<int(TTool*)> OnGetValue;
    void OnUpDown(int V);
    int Value = 0;
    void Last() {
        if (OnChange) OnChange(this);
    }
    void LastThenReturn() {
        if (OnChange) OnChange(this);
        return;
    }
    bool LastReturnsLocal(bool handled) {
        if (OnChange) OnChange(this);
        return handled;
    }
    int InReturn() { return OnGetValue ? OnGetValue(this) : 0; }
    void Guarded() {
        TCallOut held{this};
        if (OnChange && held.Live()) OnChange(this);
        if (held.Gone()) return;
        Value = 1;
    }
    void UsedAfter() {
        if (OnChange) OnChange(this);
        Value = 2;
    }
    void GuardTooLate() {
        TCallOut held{this};
        if (OnChange) OnChange(this);
        Value = 3;
        if (held.Gone()) return;
    }
    void InLoop() {
        for (int i = 0; i < 3; ++i) {
            if (OnChange) OnChange(this);
        }
    }
    void InLoopGuarded() {
        TCallOut held{this};
        for (int i = 0; i < 3; ++i) {
            if (OnChange) OnChange(this);
            if (held.Gone()) return;
        }
    }
    void LoopThenBreak() {
        for (int i = 0; i < 3; ++i) {
            if (i == 1) {
                if (OnChange) OnChange(this);
                break;
            }
        }
    }
    void ElseSkipped(bool a) {
        if (a) {
            if (OnChange) OnChange(this);
        } else {
            Value = 4;
        }
    }
    void Method() { OnUpDown(1); Value = 5; }
    void Lambda() {
        auto f = [this] { if (OnChange) OnChange(this); };
        f();
        Value = 6;
    }
    bool OuterGuard() {
        TWatched<TTool> self = this;
        auto step = [&]() -> bool {
            Application->ProcessMessages();
            return self && self->Value;
        };
        return step();
    }
    bool ReturnsLocals(int i) {
        if (OnChange) OnChange(this);
        return i != -1 && i < 3;
    }
    bool ReturnsMember() {
        if (OnChange) OnChange(this);
        return FOther != nullptr && Value > 0;
    }
    void MemberReadAgain() {
        if (OnChange) OnChange(this);
        TTool* t = Of(FOther);
        if (!t) return;
        t->Value = 1;
    }
    void CopiedHandler() {
        auto handler = OnChange;
        auto f = [this, handler] {
            if (handler) handler(this);
            Value = 13;
        };
        f();
    }
    void TabledOne() {
        if (OnChange) OnChange(this);
        Value = 7;
    }
    void StaleRow() {}
};

bool AskUser() {
    return MessageDlg("Sure?") == 1;
}

void Dialogs(TTool* t, TForm* f) {
    if (!AskUser()) return;
    t->Value = 8;
}

void DialogGuardedInCondition(TTool* t, TDialog* d) {
    TCallOut held{t};
    if (!d->Execute() || held.Gone()) return;
    t->Value = 9;
}

void SecondDeclarator(TTool* t, TForm* f) {
    TCallOut self{t}, other{f};
    if (t->OnChange) t->OnChange(t);
    if (other.Gone()) return;
    t->Value = 12;
}

void Outcome(TForm* f, TTool* t) {
    const TModalOutcome r = ShowModalWatching(f, {t});
    if (!r.Ok()) return;
    t->Value = 10;
}

void OutcomeInCondition(TForm* f, TTool* t) {
    if (ShowModalWatching(f, {t}).Ok()) t->Value = 11;
}

void Loop(TTool* t) {
    while (t->Value) {
        Application->ProcessMessages();
        t->Value--;
    }
}
'''

_TABLE = '''# a sample table
src/tool.cpp  TTool::TabledOne  OnChange  outlives  the tool is the program's own
src/tool.cpp  TTool::StaleRow  OnChange  stack  no such call-out
src/tool.cpp  TTool::Last  OnChange  stack  a row for a call-out that needs none
'''

# (routine, call) -> the way the check must find it
_EXPECTED = {
    ('TTool::Last', 'OnChange'): 'last',
    ('TTool::LastThenReturn', 'OnChange'): 'last',
    ('TTool::LastReturnsLocal', 'OnChange'): 'last',
    ('TTool::InReturn', 'OnGetValue'): 'last',
    ('TTool::Guarded', 'OnChange'): 'guarded',
    ('TTool::UsedAfter', 'OnChange'): 'used',
    ('TTool::GuardTooLate', 'OnChange'): 'used',
    ('TTool::InLoop', 'OnChange'): 'used',
    ('TTool::InLoopGuarded', 'OnChange'): 'guarded',
    ('TTool::LoopThenBreak', 'OnChange'): 'last',
    ('TTool::ElseSkipped', 'OnChange'): 'last',
    ('TTool::Lambda/lambda', 'OnChange'): 'last',
    ('TTool::TabledOne', 'OnChange'): 'used',
    ('TTool::CopiedHandler/lambda', 'handler'): 'used',
    ('TTool::ReturnsLocals', 'OnChange'): 'last',
    # a member handle is no guard: its holder may have gone
    ('TTool::ReturnsMember', 'OnChange'): 'used',
    ('TTool::MemberReadAgain', 'OnChange'): 'used',
    ('TTool::OuterGuard/lambda', 'ProcessMessages'): 'guarded',
    ('AskUser', 'MessageDlg'): 'last',
    ('Dialogs', 'AskUser'): 'used',
    ('DialogGuardedInCondition', 'Execute'): 'guarded',
    ('Outcome', 'ShowModalWatching'): 'guarded',
    ('SecondDeclarator', 'OnChange'): 'guarded',
    ('OutcomeInCondition', 'ShowModalWatching'): 'guarded',
    ('Loop', 'ProcessMessages'): 'used',
}


def main():
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, 'src')
        os.makedirs(src)
        with open(os.path.join(src, 'tool.cpp'), 'w') as fh:
            fh.write(_SAMPLE)
        table = os.path.join(tmp, 'table.txt')
        with open(table, 'w') as fh:
            fh.write(_TABLE)
        prog = Program(read_tree(src))
        found = {}
        for c in prog.callouts:
            found[(c.routine.name, c.callee)] = prog.classify(c)
        for key, way in _EXPECTED.items():
            if found.get(key) != way:
                failures.append('%s calling %s: expected %s, read %s'
                                % (key[0], key[1], way, found.get(key, 'nothing')))
        for key in found:
            if key not in _EXPECTED:
                failures.append('%s calling %s: read as a call-out, but is none' % key)
        if 'AskUser' not in prog.helpers:
            failures.append('AskUser runs a message box: it is a call-out to its callers')
        rows, errors = read_table(table)
        failed, _ = check(prog, rows, table)
        failures += errors
        text = '\n'.join(failed)
        for must in ('TTool::UsedAfter calls OnChange', 'TTool::GuardTooLate calls OnChange',
                     'TTool::InLoop calls OnChange', 'Dialogs calls AskUser',
                     'Loop calls ProcessMessages', 'OnChange in TTool::StaleRow',
                     'OnChange in TTool::Last '):
            if must not in text:
                failures.append('the check must fail on "%s"; it said:\n%s' % (must, text))
        for must_not in ('TabledOne calls', 'Guarded calls', 'Outcome calls'):
            if must_not in text:
                failures.append('the check must pass "%s"; it said:\n%s' % (must_not, text))
    for f in failures:
        print(f)
    print('call-out check self test: %d failures' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
