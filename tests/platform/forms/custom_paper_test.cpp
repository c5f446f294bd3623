// The system's print and page set-up dialogs over a printer on a custom
// paper (a label of 80 x 50 mm), answered as a user does: the page set-up
// shows the label, and OK on what is shown keeps it; a size chosen is taken.
#include "platform/forms/custompaper.h"
#include "platform/forms/formsqt.h"
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QtPrintSupport/QPageSetupDialog>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QPageSize Label(QSizeF(80, 50), QPageSize::Millimeter);

// What a page set-up shows: the size listed and the page's width and height in mm.
struct TShown {
    std::string Size;
    double Width = 0, Height = 0;
};

TShown Shown(QWidget* Setup) {
    auto* units = Setup->findChild<QComboBox*>("unitCombo");
    const auto unit = units->currentData().value<QPageLayout::Unit>();
    const double mm =
        QPageSize(QSizeF(1, 1), QPageSize::Unit(unit)).size(QPageSize::Millimeter).width();
    return {Setup->findChild<QComboBox*>("pageSizeCombo")->currentText().toStdString(),
            Setup->findChild<QDoubleSpinBox*>("pageWidth")->value() * mm,
            Setup->findChild<QDoubleSpinBox*>("pageHeight")->value() * mm};
}

QWidget* PageSetupIn(QWidget* Window) {
    for (QWidget* w : Window->findChildren<QWidget*>())
        if (w->inherits("QPageSetupWidget")) return w;
    return nullptr;
}

// Runs Step on the next modal window once the event loop shows it.
void WhenShown(std::function<void(QWidget*)> Step) {
    QTimer::singleShot(0, [Step] { Step(QApplication::activeModalWidget()); });
}

// The printer's paper in mm, "80 x 50".
std::string Millimetres(const QPrinter& P) {
    const QSizeF s = P.pageLayout().pageSize().size(QPageSize::Millimeter);
    return QStringLiteral("%1 x %2").arg(s.width()).arg(s.height()).toStdString();
}

class CustomPaperTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApplication(); }
};

TEST_F(CustomPaperTest, PageSetupShowsTheLabelAndOkKeepsIt) {
    for (const auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        SCOPED_TRACE(orientation);
        QPrinter printer;
        printer.setPageSize(Label);
        printer.setPageOrientation(orientation);
        TCustomPaperShown custom(printer);
        QPageSetupDialog dialog(&printer);
        TShown shown;
        WhenShown([&](QWidget* w) {
            shown = Shown(PageSetupIn(w));
            static_cast<QDialog*>(w)->accept();
        });
        ASSERT_EQ(dialog.exec(), QDialog::Accepted);
        // The fields show the page as it lies.
        const bool across = orientation == QPageLayout::Landscape;
        EXPECT_EQ(shown.Size, "Custom");
        EXPECT_NEAR(shown.Width, across ? 50 : 80, 0.1);
        EXPECT_NEAR(shown.Height, across ? 80 : 50, 0.1);
        EXPECT_EQ(Millimetres(printer), "80 x 50");
        EXPECT_EQ(printer.pageLayout().orientation(), orientation);
    }
}

// OK without opening the printer's properties, after opening them, and after
// choosing A5 in them (opened again, they show the A5 chosen).
TEST_F(CustomPaperTest, PrintDialogKeepsTheLabelUnlessAnotherSizeIsChosen) {
    const struct {
        const char* Name;
        int Opened;
        bool ChooseA5;
        const char* Printed;
    } cases[] = {{"properties not opened", 0, false, "80 x 50"},
                 {"properties opened", 1, false, "80 x 50"},
                 {"A5 chosen", 2, true, "148 x 210"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        QPrinter printer;
        printer.setPageSize(Label);
        TCustomPaperShown custom(printer);
        QPrintDialog dialog(&printer);
        std::vector<std::string> shown;
        WhenShown([&](QWidget* print) {
            auto* properties = print->findChild<QPushButton*>("properties");
            for (int i = 0; i < c.Opened; ++i) {
                WhenShown([&](QWidget* w) {
                    QWidget* setup = PageSetupIn(w);
                    shown.push_back(Shown(setup).Size);
                    if (c.ChooseA5) {
                        auto* sizes = setup->findChild<QComboBox*>("pageSizeCombo");
                        sizes->setCurrentIndex(sizes->findText("A5"));
                    }
                    static_cast<QDialog*>(w)->accept();
                });
                properties->click();
            }
            static_cast<QDialog*>(print)->accept();
        });
        ASSERT_EQ(dialog.exec(), QDialog::Accepted);
        custom.Keep(printer);
        EXPECT_EQ(Millimetres(printer), c.Printed);
        if (c.Opened > 0) EXPECT_EQ(shown.front(), "Custom");
        if (c.Opened > 1) EXPECT_EQ(shown.back(), "A5");
    }
}

} // namespace
