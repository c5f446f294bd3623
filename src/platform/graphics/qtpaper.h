#pragma once
// Paper sizes between the program's printer and Qt's, both ways.
#include "platform/graphics/printers.h"
#include <QPageSize>
#include <cmath>

inline QPageSize QtPageSize(const TPaperSize& Paper) {
    return QPageSize(QSizeF(Paper.Width / 10.0, Paper.Height / 10.0), QPageSize::Millimeter);
}

inline TPaperSize PaperFromQt(const QPageSize& Size) {
    const QSizeF mm = Size.size(QPageSize::Millimeter);
    return {int(std::lround(mm.width() * 10)), int(std::lround(mm.height() * 10))};
}
