// Scroll bars as the platform draws them: raised arrow buttons and a raised
// thumb in the face colour on a lighter track. Qt's own look draws the thumb
// lighter than the track, which reads as the track being the thumb: the view
// then seems to sit at the far end and to move against the bar.
#include "platform/forms/formsqt.h"
#include "platform/graphics/graphics.h"
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {
QColor Rgb(TColor Color) {
    const COLORREF c = ColorToRGB(Color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Two-pixel raised edge (light and highlight above and left, dark shadow and
// shadow below and right), the face filled inside.
void RaisedButton(QPainter* P, const QRect& R) {
    P->fillRect(R, Rgb(cl3DDkShadow));
    P->fillRect(R.adjusted(0, 0, -1, -1), Rgb(cl3DLight));
    P->fillRect(R.adjusted(1, 1, -1, -1), Rgb(clBtnShadow));
    P->fillRect(R.adjusted(1, 1, -2, -2), Rgb(clBtnHighlight));
    P->fillRect(R.adjusted(2, 2, -2, -2), Rgb(clBtnFace));
}

void PressedButton(QPainter* P, const QRect& R) {
    P->fillRect(R, Rgb(clBtnShadow));
    P->fillRect(R.adjusted(1, 1, -1, -1), Rgb(clBtnFace));
}

// A filled triangle pointing the bar's way, 7 by 4 pixels in a 16-pixel button.
void Arrow(QPainter* P, QRect R, Qt::ArrowType Way, bool Enabled) {
    const int half = std::max(2, std::min(R.width(), R.height()) * 7 / 32);
    const QPoint c = R.center();
    QPolygon tri;
    switch (Way) {
    case Qt::UpArrow:
        tri << QPoint(c.x(), c.y() - half / 2) << QPoint(c.x() - half, c.y() + half / 2 + 1)
            << QPoint(c.x() + half + 1, c.y() + half / 2 + 1);
        break;
    case Qt::DownArrow:
        tri << QPoint(c.x() - half, c.y() - half / 2) << QPoint(c.x() + half + 1, c.y() - half / 2)
            << QPoint(c.x(), c.y() + half / 2 + 1);
        break;
    case Qt::LeftArrow:
        tri << QPoint(c.x() - half / 2, c.y()) << QPoint(c.x() + half / 2 + 1, c.y() - half)
            << QPoint(c.x() + half / 2 + 1, c.y() + half + 1);
        break;
    default:
        tri << QPoint(c.x() - half / 2, c.y() - half) << QPoint(c.x() + half / 2 + 1, c.y())
            << QPoint(c.x() - half / 2, c.y() + half + 1);
        break;
    }
    P->setPen(Qt::NoPen);
    P->setBrush(Enabled ? Rgb(clBtnText) : Rgb(clBtnShadow));
    P->drawPolygon(tri);
}
} // namespace

void DrawPlatformScrollBar(const QStyle* Geometry, const QStyleOptionSlider* Option,
                           QPainter* Painter, const QWidget* Widget) {
    auto rect = [&](QStyle::SubControl Sub) {
        return Geometry->subControlRect(QStyle::CC_ScrollBar, Option, Sub, Widget);
    };
    auto pressed = [&](QStyle::SubControl Sub) {
        return (Option->activeSubControls & Sub) && (Option->state & QStyle::State_Sunken);
    };
    const bool enabled = Option->state & QStyle::State_Enabled;
    const bool across = Option->orientation == Qt::Horizontal;
    Painter->save();
    // The track halfway between the face and white; a page held down darkens.
    const QColor face = Rgb(clBtnFace), light = Rgb(clBtnHighlight);
    const QColor track((face.red() + light.red()) / 2, (face.green() + light.green()) / 2,
                       (face.blue() + light.blue()) / 2);
    Painter->fillRect(Option->rect, track);
    for (QStyle::SubControl page : {QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarAddPage})
        if (pressed(page)) Painter->fillRect(rect(page), Rgb(clBtnShadow));
    const struct {
        QStyle::SubControl Sub;
        Qt::ArrowType Way;
    } lines[] = {{QStyle::SC_ScrollBarSubLine, across ? Qt::LeftArrow : Qt::UpArrow},
                 {QStyle::SC_ScrollBarAddLine, across ? Qt::RightArrow : Qt::DownArrow}};
    for (const auto& l : lines) {
        QRect r = rect(l.Sub);
        if (r.isEmpty()) continue;
        if (pressed(l.Sub)) {
            PressedButton(Painter, r);
            r.translate(1, 1);
        } else
            RaisedButton(Painter, r);
        Arrow(Painter, r, l.Way, enabled);
    }
    // Nothing to scroll: no thumb, as the platform shows it.
    const QRect thumb = rect(QStyle::SC_ScrollBarSlider);
    if (enabled && Option->maximum > Option->minimum && !thumb.isEmpty())
        RaisedButton(Painter, thumb);
    Painter->restore();
}
