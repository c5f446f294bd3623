#pragma once
// TStrings (the abstract list of strings with objects: text forms, names and
// values, loading and saving) and TStringList (the list itself, optionally
// sorted). Index errors raise EStringListError "List index out of bounds (%d)".
#include "platform/classes/component.h"
#include "platform/classes/watched.h"
#include <type_traits>

class TStream;
class TStringList;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
    QM_CLASS(TStrings)
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    virtual int Add(const AnsiString& S);
    virtual int AddObject(const AnsiString& S, TObject* AObject);
    // A library object is held through a handle: Objects reads nullptr once it
    // is gone. Any other object (an entry of a static table) is kept as given.
    template <class T>
    requires std::is_base_of_v<TPersistent, T>
    int AddObject(const AnsiString& S, T* AObject) { return AddWatched(S, AObject, AObject); }
    template <class T>
    requires std::is_base_of_v<TPersistent, T>
    void InsertObject(int Index, const AnsiString& S, T* AObject) {
        InsertWatched(Index, S, AObject, AObject);
    }
    // Adds line Index of Source with its object, held as Source holds it.
    virtual int AddItemOf(TStrings* Source, int Index);
    void Append(const AnsiString& S) { Add(S); }
    virtual void AddStrings(TStrings* Strings);
    // Copies lines, objects, Delimiter and QuoteChar from another TStrings.
    void Assign(TPersistent* Source) override;
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Insert(int Index, const AnsiString& S) = 0;
    virtual void InsertObject(int Index, const AnsiString& S, TObject* AObject);
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);

    // Compared without regard to case; -1 when absent.
    virtual int IndexOf(const AnsiString& S) const;
    int IndexOfName(const AnsiString& Name) const;
    int IndexOfObject(TObject* AObject) const;

    void BeginUpdate();
    void EndUpdate();

    int Count() const { return GetCount(); }
    AnsiString Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const AnsiString& S) { Put(Index, S); }
    AnsiString operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    // "Name=Value" lines: the part before the first '=' ("" without one), the
    // value of the first line with that name ("" when absent). SetValue with
    // an empty value deletes the line; with a new name it adds one.
    AnsiString Names(int Index) const;
    AnsiString Values(const AnsiString& Name) const;
    void SetValue(const AnsiString& Name, const AnsiString& Value);

    // Every line followed by CR LF. Setting splits at CR LF, LF or CR; a break at
    // the very end adds no empty line.
    AnsiString Text() const;
    virtual void SetText(const AnsiString& Value);
    // Lines separated by Delimiter; a line holding a blank, a control
    // character, the delimiter or QuoteChar is quoted with QuoteChar doubled
    // inside. Reading also splits at blanks outside quotes.
    AnsiString DelimitedText() const;
    void SetDelimitedText(const AnsiString& Value);
    // DelimitedText with ',' and '"'.
    AnsiString CommaText() const;
    void SetCommaText(const AnsiString& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char Value) { FDelimiter = Value; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char Value) { FQuoteChar = Value; }

    // The stream's bytes from its position on become the text.
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToStream(TStream* Stream) const;
    void LoadFromFile(const AnsiString& FileName);
    // Writes Text as the file's whole new content (a failed write keeps the old file).
    void SaveToFile(const AnsiString& FileName) const;

protected:
    virtual AnsiString Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int Index) const;
    virtual void Put(int Index, const AnsiString& S);
    virtual void PutObject(int Index, TObject* AObject);
    // Object is the library object Watched as its caller named it.
    virtual int AddWatched(const AnsiString& S, TObject* Object, TPersistent* Watched);
    virtual void InsertWatched(int Index, const AnsiString& S, TObject* Object,
                               TPersistent* Watched);
    // Whether line Index was given AObject, gone since or not.
    virtual bool WasObject(int Index, TObject* AObject) const;
    // Called when the first BeginUpdate starts and the last EndUpdate ends.
    virtual void SetUpdateState(bool Updating);
    virtual int CompareStrings(const AnsiString& S1, const AnsiString& S2) const;
    int UpdateCount() const { return FUpdateCount; }
    [[noreturn]] static void IndexError(int Index);

private:
    static AnsiString DelimitedWith(const TStrings& Strings, char Delim, char Quote);
    void SetDelimitedWith(const AnsiString& Value, char Delim, char Quote);

    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
};

// Compares the items at Index1 and Index2: <0, 0 or >0.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
    QM_CLASS(TStringList)
public:
    TStringList() = default;
    ~TStringList() override;

    using TStrings::AddObject;
    using TStrings::InsertObject;
    int Add(const AnsiString& S) override { return AddObject(S, nullptr); }
    // In a sorted list the line goes to its place; a duplicate is dropped
    // (dupIgnore, returning the existing index), added (dupAccept) or refused
    // with EStringListError (dupError).
    int AddObject(const AnsiString& S, TObject* AObject) override;
    void Clear() override;
    void Delete(int Index) override;
    // Raise EStringListError on a sorted list.
    void Insert(int Index, const AnsiString& S) override { InsertObject(Index, S, nullptr); }
    void InsertObject(int Index, const AnsiString& S, TObject* AObject) override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const AnsiString& S) const override;
    int AddItemOf(TStrings* Source, int Index) override;
    void AddStrings(TStrings* Strings) override;

    // Binary search of a sorted list: true when found; Index is the first equal
    // line or the place where S would go.
    virtual bool Find(const AnsiString& S, int& Index) const;
    virtual void Sort();
    // Stable; a sorted list is left as it is.
    virtual void CustomSort(const TStringListSortCompare& Compare);

    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    AnsiString Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    TObject* GetObject(int Index) const override;
    void Put(int Index, const AnsiString& S) override;
    void PutObject(int Index, TObject* AObject) override;
    int AddWatched(const AnsiString& S, TObject* Object, TPersistent* Watched) override;
    void InsertWatched(int Index, const AnsiString& S, TObject* Object,
                       TPersistent* Watched) override;
    bool WasObject(int Index, TObject* AObject) const override {
        return FList[static_cast<size_t>(Index)].FObject == AObject;
    }
    void SetUpdateState(bool Updating) override;

private:
    struct TStringItem {
        AnsiString FString;
        // As the caller gave it; read only while FLife, when set, says it is there.
        TObject* FObject = nullptr;
        TWatched<TPersistent> FLife;
    };
    void CheckIndex(int Index) const;
    void InsertItem(int Index, const TStringItem& Item);
    int AddItem(const TStringItem& Item);

    std::vector<TStringItem> FList;
    TDuplicates FDuplicates = dupIgnore;
    bool FSorted = false;
};
