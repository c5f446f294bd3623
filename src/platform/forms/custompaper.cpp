#include "platform/forms/custompaper.h"
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QPageSize>
#include <QPrinter>

TCustomPaperShown::TCustomPaperShown(const QPrinter& Printer)
    : FLayout(Printer.pageLayout()), FCustom(FLayout.pageSize().id() == QPageSize::Custom) {
    if (FCustom) qApp->installEventFilter(this);
}

TCustomPaperShown::~TCustomPaperShown() {
    if (FCustom) qApp->removeEventFilter(this);
}

void TCustomPaperShown::Keep(QPrinter& Printer) const {
    if (FCustom && !FOpened) Printer.setPageSize(FLayout.pageSize());
}

bool TCustomPaperShown::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::Show && Watched->inherits("QPageSetupWidget")) {
        FOpened = true;
        auto* setup = static_cast<QWidget*>(Watched);
        bool seen = false;
        for (const QPointer<QWidget>& w : FSet)
            seen = seen || w == setup;
        if (!seen) {
            FSet.emplace_back(setup);
            ShowIn(setup);
        }
    }
    return false;
}

void TCustomPaperShown::ShowIn(QWidget* Setup) const {
    auto* sizes = Setup->findChild<QComboBox*>("pageSizeCombo");
    auto* units = Setup->findChild<QComboBox*>("unitCombo");
    auto* width = Setup->findChild<QDoubleSpinBox*>("pageWidth");
    auto* height = Setup->findChild<QDoubleSpinBox*>("pageHeight");
    if (!sizes || !units || !width || !height) return;
    // The custom entry is the one that names no size; a printer without one
    // takes no custom paper.
    int custom = -1;
    for (int i = 0; i < sizes->count(); ++i)
        if (!sizes->itemData(i).value<QPageSize>().isValid()) custom = i;
    if (custom < 0) return;
    // The fields show the page as it lies, in the unit the user sees.
    const auto unit = units->currentData().value<QPageLayout::Unit>();
    QSizeF size = FLayout.pageSize().size(QPageSize::Unit(unit));
    if (FLayout.orientation() == QPageLayout::Landscape) size.transpose();
    sizes->setCurrentIndex(custom);
    width->setValue(size.width());
    height->setValue(size.height());
}
