#!/usr/bin/env python3
"""The raw pointer check on a small sample source: what it must pass and what
it must fail."""
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from raw_pointers import Program, check, read_table, read_tree  # noqa: E402


_SAMPLE = {
    'platform/component.h': '''
class TObject {};
class TPersistent : public TObject {};
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    TComponent* Owner() const;
};
template <class T> class TWatched { T* FObject; };
''',
    'forms/controls.h': '''
#include "platform/component.h"
class TButton : public TComponent { public: using TComponent::TComponent; };
class TEdit : public TComponent { public: using TComponent::TComponent; };
class TSeries : public TComponent { public: using TComponent::TComponent; };
template <class T> T* NewControl(TComponent* AOwner, const char* Name) {
    T* c = new T(AOwner); // a comment with TButton* Fake;
    return c;
}
TButton* NewPair(TComponent* Owner, TEdit** Edit) {
    auto* e = NewControl<TEdit>(Owner, "e");
    if (Edit) *Edit = e;
    return new TButton(Owner);
}
''',
    'app/form.h': '''
#include "forms/controls.h"
#include <functional>
#include <vector>
class TMarks;
class TForm : public TComponent {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm();
    TButton *Ok, *Cancel;
    TEdit* Field;
    TButton* Pair;
    TEdit* Rows[2];
    TSeries* Series = nullptr;
    TWatched<TSeries> Watched;
    std::vector<TSeries*> List;
    std::function<void(TSeries*)> OnSeries;
    std::unique_ptr<TMarks> Marks;
    TSeries* Listed;
    TEdit* Made;
    const char* Text;
    void Set(TSeries* S) { Series = S; }
    TSeriesList Aliased;
    PEdit Typed;
    TSeriesRefs Nested;
    THeldList Held;
};
class TMarks {
public:
    explicit TMarks(TForm* AForm) : FForm(AForm) {}
    TForm* FForm;
};
using TSeriesList = std::vector<TSeries*>;
typedef TEdit* PEdit;
using TSeriesRef = TSeries*;
using TSeriesRefs = std::vector<TSeriesRef>;
using THeldList = std::vector<TWatched<TSeries>>;
''',
    'app/form.cpp': '''
#include "app/form.h"
TForm::TForm(TComponent* AOwner) : TComponent(AOwner) {
    Ok = NewControl<TButton>(this, "Ok");
    Cancel = new TButton(this);
    Pair = NewPair(this, &Field);
    Made = new TEdit(nullptr);
    Marks = std::make_unique<TMarks>(this);
    auto row = [this](const char* Name) { return NewControl<TEdit>(this, Name); };
    Rows[0] = row("a");
}
TForm::~TForm() { delete Made; }
''',
}

_SAMPLE_TABLE = '''# a comment
src/app/form.h  TForm::List  owner  the form's own list
src/app/form.h  TForm::Listed  reference  set by callers
src/app/form.h  TForm::Rows  owned  made in the constructor
src/app/form.h  TForm::Gone  owned  a member that no longer exists
'''


def self_test():
    """The check on a small sample source: what it must pass and what it must fail."""
    problems = []

    def expect(cond, what):
        if not cond:
            problems.append(what)

    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, 'src')
        for rel, text in _SAMPLE.items():
            os.makedirs(os.path.dirname(os.path.join(src, rel)), exist_ok=True)
            with open(os.path.join(src, rel), 'w') as fh:
                fh.write(text)
        table = os.path.join(tmp, 'table.txt')
        with open(table, 'w') as fh:
            fh.write(_SAMPLE_TABLE)
        prog = Program(read_tree(src))
        found = {(m.cls.name, m.name): m for m in prog.members}
        expect(set(found) == {('TForm', n) for n in (
            'Ok', 'Cancel', 'Field', 'Pair', 'Rows', 'Series', 'List', 'Listed', 'Made',
            'Aliased', 'Typed', 'Nested')} |
            {('TMarks', 'FForm')}, 'members read: %s' % sorted(found))
        rules = {k: prog.rule(m)[0] for k, m in found.items()}
        expect(rules[('TForm', 'Ok')] == 'made-here', 'a factory made with this is owned')
        expect(rules[('TForm', 'Cancel')] == 'made-here', 'new T(this) is owned')
        expect(rules[('TForm', 'Field')] == 'made-here', 'a factory\'s T** argument is owned')
        expect(rules[('TForm', 'Pair')] == 'made-here', 'a factory with a T** is still one')
        expect(rules[('TForm', 'Made')] == 'freed-here', 'deleted in the destructor is owned')
        expect(rules[('TMarks', 'FForm')] == 'part-of', 'made by its owner with this is owner')
        expect(rules[('TForm', 'Series')] is None, 'a member set from outside is no rule\'s')
        expect(rules[('TForm', 'Rows')] is None, 'an array is no rule\'s')
        expect(len(prog.handles) == 2, 'a TWatched member is a handle, through an alias too')
        rows, errors = read_table(table)
        expect(not errors, 'the sample table reads')
        failures, counts = check(prog, rows, table)
        text = '\n'.join(failures)
        expect(re.search(r'src/app/form\.h:14: TForm::Series .*no rule covers', text),
               'an unlisted raw pointer fails with its file, line and name:\n' + text)
        expect(re.search(r'src/app/form\.h:19: TForm::Listed .*does not own', text),
               'a row of kind reference fails')
        expect(re.search(r'table\.txt:5: TForm::Gone .*remove the row', text),
               'a row that matches no member fails')
        for name in ('Aliased', 'Typed', 'Nested'):
            expect(re.search(r'TForm::%s .*no rule covers' % name, text),
                   'a member declared through an alias is read: ' + name)
        expect(len(failures) == 6, 'exactly six failures:\n' + text)
        expect(counts['table'] == {'owned': 1, 'owner': 1, 'other': 0, 'reference': 1},
               'the table counts by kind: %s' % counts['table'])
        with open(table, 'a') as fh:
            fh.write('src/app/form.h  TForm::Ok  owned  listed though a rule covers it\n')
            fh.write('src/app/form.h  TForm::Text  owned\n')
        rows, errors = read_table(table)
        failures, _ = check(prog, rows, table)
        expect(any('TForm::Ok is owned by the rule' in f for f in failures),
               'a row for a member a rule covers fails')
        expect(len(errors) == 1, 'a row without its reason is refused')
    for p in problems:
        print('self-test: ' + p)
    print('self-test: %s' % ('failed' if problems else 'passed'))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(self_test())
