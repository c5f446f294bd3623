#pragma once
// Small component classes with one published property of every kind, shared by
// the streaming tests, the fuzz targets and the benchmark.
#include "platform/classes/collections.h"
#include "platform/classes/filer.h"
#include "platform/classes/props.h"
#include "platform/classes/stringlist.h"
#include <memory>
#include <string>
#include <vector>

enum TFxShape { fsCircle, fsSquare, fsTriangle };
QM_ENUM_NAMES(TFxShape, fsCircle, fsSquare, fsTriangle)
enum TFxOption { foBold, foItalic, foShadow };
QM_ENUM_NAMES(TFxOption, foBold, foItalic, foShadow)
using TFxOptions = TSet<TFxOption>;

// A colour-like integer with identifiers "fxRed" (255) and "fxBlue" (0xFF0000).
constexpr int fxRed = 0x0000FF;
constexpr int fxBlue = 0xFF0000;
void RegisterFxColors();

class TFxFont : public TPersistent {
    QM_CLASS(TFxFont)
public:
    AnsiString Name() const { return FName; }
    void SetName(const AnsiString& V) { FName = V; }
    int Size() const { return FSize; }
    void SetSize(int V) { FSize = V; }
    int Color() const { return FColor; }
    void SetColor(int V) { FColor = V; }

private:
    AnsiString FName = "Arial";
    int FSize = 8;
    int FColor = 0;
};

class TFxTitle : public TPersistent {
    QM_CLASS(TFxTitle)
public:
    TFxFont* Font() { return &FFont; }
    TStringList* Text() { return &FText; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool V) { FVisible = V; }

private:
    TFxFont FFont;
    TStringList FText;
    bool FVisible = true;
};

class TFxPanel;

class TFxItem : public TCollectionItem {
    QM_CLASS(TFxItem)
public:
    explicit TFxItem(TCollection* C) : TCollectionItem(C) {}
    double Value() const { return FValue; }
    void SetValue(double V) { FValue = V; }
    AnsiString Text() const { return FText; }
    void SetText(const AnsiString& V) { FText = V; }
    TFxPanel* Link() const { return FLink; }
    void SetLink(TFxPanel* V) { FLink = V; }

private:
    double FValue = 0;
    AnsiString FText;
    TFxPanel* FLink = nullptr;
};

// Children live in the root's component list and are stored under their parent.
class TFxPanel : public TComponent {
    QM_CLASS(TFxPanel)
public:
    explicit TFxPanel(TComponent* AOwner);
    ~TFxPanel() override;

    int Width() const { return FWidth; }
    void SetWidth(int V);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool V) { FEnabled = V; }
    double Ratio() const { return FRatio; }
    void SetRatio(double V) { FRatio = V; }
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& V) { FCaption = V; }
    TFxShape Shape() const { return FShape; }
    void SetShape(TFxShape V) { FShape = V; }
    TFxOptions Options() const { return FOptions; }
    void SetOptions(TFxOptions V) { FOptions = V; }
    int Color() const { return FColor; }
    void SetColor(int V) { FColor = V; }
    int64_t Big() const { return FBig; }
    void SetBig(int64_t V) { FBig = V; }
    short Small() const { return FSmall; }
    void SetSmall(short V) { FSmall = V; }
    AnsiString Hint() const { return FHint; }
    void SetHint(const AnsiString& V) { FHint = V; }
    bool IsHintStored() const { return FHint != "none"; }
    TFxTitle* Title() { return &FTitle; }
    TCollection* Items() { return &FItems; }
    TStringList* Lines() { return &FLines; }
    TFxPanel* Buddy() const { return FBuddy; }
    void SetBuddy(TFxPanel* V);

    // Defined properties: "Data" (binary), "Marks" (a list of integers), and
    // "OldWidth" (read into Width, never written).
    std::string Data;
    std::vector<int> Marks;
    void DefineProperties(TFiler* Filer) override;

    TFxPanel* ParentPanel() const { return FParentPanel; }
    void SetParentPanel(TFxPanel* V);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    bool HasParent() override { return FParentPanel != nullptr; }
    TComponent* GetParentComponent() override { return FParentPanel; }
    void SetParentComponent(TComponent* Value) override;
    void Loaded() override;

    // What the tests look at: setters that saw the loading state, Loaded calls.
    bool WidthSetWhileLoading = false;
    static std::vector<AnsiString>* LoadedLog;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int FWidth = 100;
    bool FEnabled = true;
    double FRatio = 0;
    AnsiString FCaption;
    TFxShape FShape = fsCircle;
    TFxOptions FOptions;
    int FColor = fxRed;
    int64_t FBig = 0;
    short FSmall = 0;
    AnsiString FHint = "none";
    TFxTitle FTitle;
    TCollection FItems{&TFxItem::ClassInfo};
    TStringList FLines;
    TFxPanel* FBuddy = nullptr;
    TFxPanel* FParentPanel = nullptr;
    std::vector<TFxPanel*> FChildren;
};

// A panel class that is not registered, for "class not found".
class TFxHidden : public TFxPanel {
    QM_CLASS(TFxHidden)
public:
    using TFxPanel::TFxPanel;
};

// Writes Component as a binary stream / as text.
std::string SaveBinary(TComponent* Component);
std::string SaveText(TComponent* Component);
std::string BinaryToText(const std::string& Binary);
std::string TextToBinary(const std::string& Text);
// A fresh root read from the binary form; the reader's error hook when given.
std::unique_ptr<TFxPanel> LoadBinary(const std::string& Binary,
                                     std::function<bool(const AnsiString&)> OnError = {});
// A root with every property set away from its default, two children and a grandchild.
std::unique_ptr<TFxPanel> MakeSampleTree();
