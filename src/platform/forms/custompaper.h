#pragma once
// Platform-internal. Qt's page set-up (the print dialog's printer properties,
// the page set-up dialog) finds only the paper sizes it lists by name: a
// custom paper opens as the first size listed and the dialog's OK takes that
// one, even when the page set-up was never opened. While a TCustomPaperShown
// lives, every page set-up opens on the printer's custom paper: the list's
// custom entry with its width and height.
#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QWidget>
#include <vector>

class QPrinter;

class TCustomPaperShown : public QObject {
public:
    explicit TCustomPaperShown(const QPrinter& Printer);
    ~TCustomPaperShown() override;
    // After OK: a page set-up that never opened chose no paper, so the printer
    // keeps the custom paper it had.
    void Keep(QPrinter& Printer) const;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void ShowIn(QWidget* Setup) const;
    QPageLayout FLayout;
    bool FCustom;
    bool FOpened = false;
    // Each page set-up is set once, when it first opens: later it shows what the user chose.
    std::vector<QPointer<QWidget>> FSet;
};
