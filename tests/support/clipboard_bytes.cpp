#include "support/clipboard_bytes.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qmtest {

std::string ClipboardTextBytes() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return {};
    const QByteArray bytes = data->data(QStringLiteral("text/plain"));
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace qmtest
