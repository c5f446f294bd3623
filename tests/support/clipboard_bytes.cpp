#include "support/clipboard_bytes.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qmtest {

std::string ClipboardBytes(const char* MimeType) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return {};
    const QByteArray bytes = data->data(QString::fromLatin1(MimeType));
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::string ClipboardTextBytes() {
    return ClipboardBytes("text/plain");
}

} // namespace qmtest
