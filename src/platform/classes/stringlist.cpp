#include "platform/classes/stringlist.h"
#include "platform/classes/lists.h"
#include "platform/classes/streams.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <climits>
#include <numeric>

QM_CLASS_ABSTRACT(TStrings, TPersistent)
QM_CLASS_PLAIN(TStringList, TStrings)

namespace {
// Ends an update on every path out of a block.
class TUpdateScope {
public:
    explicit TUpdateScope(TStrings* Strings) : FStrings(Strings) { FStrings->BeginUpdate(); }
    ~TUpdateScope() { FStrings->EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TStrings* FStrings;
};

bool IsBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= ' ';
}

[[noreturn]] void SortedListError() {
    throw EStringListError("Operation not allowed on sorted list");
}
} // namespace

// ---- TStrings

void TStrings::IndexError(int Index) {
    throw EStringListError("List index out of bounds (" + IntToStr(Index) + ")");
}

int TStrings::Add(const AnsiString& S) {
    const int result = GetCount();
    Insert(result, S);
    return result;
}

int TStrings::AddObject(const AnsiString& S, TObject* AObject) {
    const int result = Add(S);
    PutObject(result, AObject);
    return result;
}

void TStrings::AddStrings(TStrings* Strings) {
    if (!Strings) return;
    TUpdateScope update(this);
    // Counted once, so adding a list to itself doubles it instead of running on.
    const int count = Strings->Count();
    for (int i = 0; i < count; ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Assign(TPersistent* Source) {
    if (Source == this) return; // clearing first would lose every line
    if (auto* source = dynamic_cast<TStrings*>(Source)) {
        TUpdateScope update(this);
        Clear();
        FDelimiter = source->FDelimiter;
        FQuoteChar = source->FQuoteChar;
        AddStrings(source);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::AddWatched(const AnsiString& S, TObject* Object, TPersistent*) {
    return AddObject(S, Object);
}

void TStrings::InsertWatched(int Index, const AnsiString& S, TObject* Object, TPersistent*) {
    InsertObject(Index, S, Object);
}

int TStrings::AddItemOf(TStrings* Source, int Index) {
    return AddObject(Source->Get(Index), Source->GetObject(Index));
}

void TStrings::Exchange(int Index1, int Index2) {
    TUpdateScope update(this);
    const AnsiString s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    // Both checked before the line leaves its place, so a bad index loses nothing.
    const AnsiString s = Get(CurIndex);
    if (NewIndex < 0 || NewIndex >= GetCount()) IndexError(NewIndex);
    TObject* o = GetObject(CurIndex);
    TUpdateScope update(this);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

int TStrings::IndexOf(const AnsiString& S) const {
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const AnsiString& Name) const {
    for (int i = 0; i < GetCount(); ++i) {
        const AnsiString s = Get(i);
        const int p = s.Pos("=");
        if (p != 0 && CompareStrings(s.SubString(1, p - 1), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == AObject) return i;
    // An object on its way out reads gone in its entry already; the entry is
    // still found by it, so the line can be taken out while it goes.
    if (AObject)
        for (int i = 0; i < GetCount(); ++i)
            if (WasObject(i, AObject)) return i;
    return -1;
}

bool TStrings::WasObject(int, TObject*) const {
    return false;
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) SetUpdateState(false);
}

AnsiString TStrings::Names(int Index) const {
    const AnsiString s = Get(Index);
    const int p = s.Pos("=");
    return p != 0 ? s.SubString(1, p - 1) : AnsiString();
}

AnsiString TStrings::Values(const AnsiString& Name) const {
    const int i = IndexOfName(Name);
    if (i < 0) return AnsiString();
    const AnsiString s = Get(i);
    return s.SubString(s.Pos("=") + 1, s.Length());
}

void TStrings::SetValue(const AnsiString& Name, const AnsiString& Value) {
    const int i = IndexOfName(Name);
    if (Value.IsEmpty()) {
        if (i >= 0) Delete(i);
    } else if (i < 0) {
        // Added whole, so a sorted list places it instead of keeping an empty line.
        Add(Name + "=" + Value);
    } else {
        Put(i, Name + "=" + Value);
    }
}

AnsiString TStrings::Text() const {
    std::string result;
    for (int i = 0; i < GetCount(); ++i) {
        result += Get(i).str();
        result += "\r\n";
    }
    return AnsiString(std::move(result));
}

void TStrings::SetText(const AnsiString& Value) {
    TUpdateScope update(this);
    Clear();
    const std::string& s = Value.str();
    size_t i = 0;
    while (i < s.size()) {
        const size_t start = i;
        while (i < s.size() && s[i] != '\r' && s[i] != '\n')
            ++i;
        Add(AnsiString(s.substr(start, i - start)));
        if (i < s.size() && s[i] == '\r') ++i;
        if (i < s.size() && s[i] == '\n') ++i;
    }
}

AnsiString TStrings::DelimitedWith(const TStrings& Strings, char Delim, char Quote) {
    const int count = Strings.GetCount();
    if (count == 1 && Strings.Get(0).IsEmpty()) return AnsiString(std::string(2, Quote));
    std::string result;
    for (int i = 0; i < count; ++i) {
        const std::string s = Strings.Get(i).str();
        bool quote = false;
        for (char c : s)
            if (c == '\0' || IsBlank(c) || c == Quote || c == Delim) {
                quote = true;
                break;
            }
        if (quote) {
            result += Quote;
            for (char c : s) {
                result += c;
                if (c == Quote) result += Quote;
            }
            result += Quote;
        } else {
            result += s;
        }
        if (i + 1 < count) result += Delim;
    }
    return AnsiString(std::move(result));
}

void TStrings::SetDelimitedWith(const AnsiString& Value, char Delim, char Quote) {
    TUpdateScope update(this);
    Clear();
    const std::string& s = Value.str();
    // A NUL ends the text, as it does for the platform.
    const size_t n = std::min(s.size(), s.find('\0'));
    size_t i = 0;
    while (i < n && IsBlank(s[i]))
        ++i;
    while (i < n) {
        std::string item;
        if (s[i] == Quote) {
            // Doubled quotes stand for one; an unclosed quote runs to the end.
            for (++i; i < n; ++i) {
                if (s[i] != Quote)
                    item += s[i];
                else if (i + 1 < n && s[i + 1] == Quote)
                    item += s[i++];
                else {
                    ++i;
                    break;
                }
            }
        } else {
            const size_t start = i;
            while (i<n&& static_cast<unsigned char>(s[i])> ' ' && s[i] != Delim)
                ++i;
            item = s.substr(start, i - start);
        }
        Add(AnsiString(std::move(item)));
        while (i < n && IsBlank(s[i]))
            ++i;
        if (i < n && s[i] == Delim) {
            if (i + 1 >= n) Add(AnsiString());
            do
                ++i;
            while (i < n && IsBlank(s[i]));
        }
    }
}

AnsiString TStrings::DelimitedText() const {
    return DelimitedWith(*this, FDelimiter, FQuoteChar);
}
void TStrings::SetDelimitedText(const AnsiString& Value) {
    SetDelimitedWith(Value, FDelimiter, FQuoteChar);
}
AnsiString TStrings::CommaText() const {
    return DelimitedWith(*this, ',', '"');
}
void TStrings::SetCommaText(const AnsiString& Value) {
    SetDelimitedWith(Value, ',', '"');
}

void TStrings::LoadFromStream(TStream* Stream) {
    TUpdateScope update(this);
    const int64_t size = Stream->Size() - Stream->Position();
    if (size > INT_MAX) throw EReadError("Stream read error");
    std::string s(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
    s.resize(static_cast<size_t>(std::max(0, Stream->Read(s.data(), static_cast<int>(s.size())))));
    SetText(AnsiString(std::move(s)));
}

void TStrings::SaveToStream(TStream* Stream) const {
    const AnsiString s = Text();
    Stream->WriteBuffer(s.data(), s.Length());
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TStrings::SaveToFile(const AnsiString& FileName) const {
    const AnsiString s = Text();
    SaveFileReplacing(FileName, s.data(), s.Length());
}

TObject* TStrings::GetObject(int) const {
    return nullptr;
}

void TStrings::Put(int Index, const AnsiString& S) {
    TObject* o = GetObject(Index);
    TUpdateScope update(this);
    Delete(Index);
    InsertObject(Index, S, o);
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const AnsiString& S1, const AnsiString& S2) const {
    return CompareText(S1, S2);
}

// ---- TStringList

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= GetCount()) IndexError(Index);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::InsertItem(int Index, const TStringItem& Item) {
    Changing();
    FList.insert(FList.begin() + Index, Item);
    Changed();
}

int TStringList::AddItem(const TStringItem& Item) {
    int result = GetCount();
    if (FSorted && Find(Item.FString, result)) {
        if (FDuplicates == dupIgnore) return result;
        if (FDuplicates == dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    InsertItem(result, Item);
    return result;
}

int TStringList::AddObject(const AnsiString& S, TObject* AObject) {
    return AddItem(TStringItem{S, AObject, nullptr});
}

int TStringList::AddWatched(const AnsiString& S, TObject* Object, TPersistent* Watched) {
    return AddItem(TStringItem{S, Object, Watched});
}

int TStringList::AddItemOf(TStrings* Source, int Index) {
    auto* list = dynamic_cast<TStringList*>(Source);
    if (!list) return TStrings::AddItemOf(Source, Index);
    list->CheckIndex(Index);
    // A copy: Source may be this list.
    const TStringItem item = list->FList[static_cast<size_t>(Index)];
    return AddItem(item);
}

void TStringList::AddStrings(TStrings* Strings) {
    auto* list = dynamic_cast<TStringList*>(Strings);
    if (!list) {
        TStrings::AddStrings(Strings);
        return;
    }
    TUpdateScope update(this);
    // Counted once, so adding a list to itself doubles it instead of running on.
    const int count = list->Count();
    for (int i = 0; i < count; ++i)
        AddItemOf(list, i);
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    FList.clear();
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::InsertObject(int Index, const AnsiString& S, TObject* AObject) {
    InsertWatched(Index, S, AObject, nullptr);
}

void TStringList::InsertWatched(int Index, const AnsiString& S, TObject* Object,
                                TPersistent* Watched) {
    if (FSorted) SortedListError();
    if (Index < 0 || Index > GetCount()) IndexError(Index);
    InsertItem(Index, TStringItem{S, Object, Watched});
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(CurIndex);
    if (FSorted) SortedListError();
    CheckIndex(NewIndex);
    Changing();
    const TStringItem item = FList[static_cast<size_t>(CurIndex)];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, item);
    Changed();
}

int TStringList::IndexOf(const AnsiString& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int index;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const AnsiString& S, int& Index) const {
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = CompareStrings(FList[static_cast<size_t>(mid)].FString, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;
        }
    }
    Index = lo;
    return found;
}

void TStringList::Sort() {
    CustomSort([](TStringList* List, int Index1, int Index2) {
        return List->CompareStrings(List->FList[static_cast<size_t>(Index1)].FString,
                                    List->FList[static_cast<size_t>(Index2)].FString);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    const int count = GetCount();
    if (FSorted || count < 2 || !Compare) return;
    Changing();
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    qm_detail::SafeStableSort(order, [&](int a, int b) { return Compare(this, a, b) < 0; });
    if (GetCount() != count) throw EStringListError("List changed while sorting");
    std::vector<TStringItem> sorted;
    sorted.reserve(order.size());
    for (int i : order)
        sorted.push_back(FList[static_cast<size_t>(i)]);
    FList.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

AnsiString TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    const TStringItem& item = FList[static_cast<size_t>(Index)];
    return item.FLife.Gone() ? nullptr : item.FObject;
}

void TStringList::Put(int Index, const AnsiString& S) {
    if (FSorted) SortedListError();
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].FString = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].FObject = AObject;
    FList[static_cast<size_t>(Index)].FLife = nullptr;
    Changed();
}
