// A window fitted to a small screen: its scroll bars show where the view is
// (the thumb drawn where the value puts it) and move the view their way when
// an arrow is clicked or the thumb dragged, across and down.
#include "forms_fixture.h"
#include "platform/forms/stdctrls.h"
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace {
// The thumb as drawn: the longest run of face-coloured pixels along the bar's
// middle (the track is lighter, the arrow buttons hold their glyph there).
struct TRun {
    int First = -1, Last = -2;
};
TRun ThumbOf(QScrollBar* Bar) {
    const QImage face = Bar->grab().toImage();
    const bool across = Bar->orientation() == Qt::Horizontal;
    const int length = across ? face.width() : face.height(),
              mid = (across ? face.height() : face.width()) / 2;
    const COLORREF f = ColorToRGB(clBtnFace);
    const QRgb want = qRgb(GetRValue(f), GetGValue(f), GetBValue(f));
    TRun best, run;
    for (int i = 0; i < length; ++i) {
        const QRgb p = (across ? face.pixel(i, mid) : face.pixel(mid, i)) | 0xFF000000;
        if (p != want) {
            run = TRun();
            continue;
        }
        if (run.First < 0) run.First = i;
        run.Last = i;
        if (run.Last - run.First > best.Last - best.First) best = run;
    }
    return best;
}

void Mouse(QWidget* W, QEvent::Type Type, QPoint At) {
    const Qt::MouseButtons held =
        Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(Type, QPointF(At), QPointF(W->mapToGlobal(At)), Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(W, &e);
}
void Click(QWidget* W, QPoint At) {
    Mouse(W, QEvent::MouseButtonPress, At);
    Mouse(W, QEvent::MouseButtonRelease, At);
}
void Drag(QWidget* W, QPoint From, QPoint To) {
    Mouse(W, QEvent::MouseButtonPress, From);
    for (int i = 1; i <= 4; ++i)
        Mouse(W, QEvent::MouseMove, From + (To - From) * i / 4);
    Mouse(W, QEvent::MouseButtonRelease, To);
}
} // namespace

TEST_F(FormsTest, FittedWindowsScrollBarsShowAndMoveTheView) {
    Form->SetBorderStyle(bsSizeable);
    Form->SetClientWidth(1400);
    Form->SetClientHeight(1100);
    Form->Show();
    auto* area = Form->Widget()->findChild<QScrollArea*>();
    ASSERT_TRUE(area && area->isVisible());
    QWidget* content = area->widget();
    const struct {
        const char* Name;
        QScrollBar* Bar;
    } bars[] = {{"across", area->horizontalScrollBar()}, {"down", area->verticalScrollBar()}};
    for (const auto& b : bars) {
        SCOPED_TRACE(b.Name);
        QScrollBar* bar = b.Bar;
        const bool across = bar->orientation() == Qt::Horizontal;
        const int length = across ? bar->width() : bar->height(),
                  thick = across ? bar->height() : bar->width();
        auto offset = [&] { return -(across ? content->x() : content->y()); };
        auto at = [&](int Along) {
            return across ? QPoint(Along, thick / 2) : QPoint(thick / 2, Along);
        };
        ASSERT_GT(bar->maximum(), 0);
        const int end = bar->maximum();
        // Opened at the start: view and thumb at the top or left.
        EXPECT_EQ(offset(), 0);
        TRun thumb = ThumbOf(bar);
        ASSERT_GT(thumb.Last - thumb.First, 20);
        EXPECT_LT(thumb.First, thick + 3);

        // The far arrow moves view and thumb towards the end, the near one back.
        Click(bar, at(length - thick / 2));
        EXPECT_GT(offset(), 0);
        EXPECT_EQ(offset(), bar->value());
        EXPECT_GT(ThumbOf(bar).First, thumb.First);
        Click(bar, at(thick / 2));
        EXPECT_EQ(offset(), 0);
        EXPECT_EQ(ThumbOf(bar).First, thumb.First);

        // The thumb dragged to the end takes the view to the end and stays there.
        Drag(bar, at((thumb.First + thumb.Last) / 2), at(length + 50));
        EXPECT_EQ(bar->value(), end);
        EXPECT_EQ(offset(), end);
        EXPECT_EQ(offset() + (across ? area->viewport()->width() : area->viewport()->height()),
                  across ? Form->ClientWidth() : Form->ClientHeight());
        thumb = ThumbOf(bar);
        EXPECT_GT(thumb.Last, length - thick - 4);
        // At the end the near arrow steps back, the far one back to the end.
        Click(bar, at(thick / 2));
        EXPECT_LT(offset(), end);
        EXPECT_LT(ThumbOf(bar).Last, thumb.Last);
        Click(bar, at(length - thick / 2));
        EXPECT_EQ(offset(), end);
        // Dragged back to the start: view and thumb there again.
        Drag(bar, at((thumb.First + thumb.Last) / 2), at(-50));
        EXPECT_EQ(offset(), 0);
        EXPECT_LT(ThumbOf(bar).First, thick + 3);
    }
}

// What a window asks to show before it is shown comes into its view once it
// is; a rect wider than the view shows its near part.
TEST_F(FormsTest, ScrollInViewBringsARectIntoAFittedWindowsView) {
    Form->SetBorderStyle(bsSizeable);
    Form->SetClientWidth(1400);
    Form->SetClientHeight(1100);
    const struct {
        TRect Wanted;
        int X, Y; // the view's offset afterwards, -1: the rect's right or bottom edge shows
    } cases[] = {{TRect(900, 800, 1300, 1000), -1, -1},
                 {TRect(10, 10, 100, 100), 0, 0},
                 {TRect(200, 300, 1390, 400), 200, 0}};
    for (const auto& c : cases) {
        Form->Hide();
        Form->ScrollInView(c.Wanted);
        Form->Show();
        auto* area = Form->Widget()->findChild<QScrollArea*>();
        ASSERT_TRUE(area);
        const QWidget* view = area->viewport();
        const int x = -area->widget()->x(), y = -area->widget()->y();
        EXPECT_EQ(x, c.X >= 0 ? c.X : c.Wanted.Right - view->width()) << c.Wanted.Left;
        EXPECT_EQ(y, c.Y >= 0 ? c.Y : c.Wanted.Bottom - view->height()) << c.Wanted.Left;
        EXPECT_EQ(x, area->horizontalScrollBar()->value());
        EXPECT_EQ(y, area->verticalScrollBar()->value());
        // Shown already, it scrolls at once.
        Form->ScrollInView(TRect(0, 0, 10, 10));
        EXPECT_EQ(area->widget()->pos(), QPoint(0, 0));
    }
}
