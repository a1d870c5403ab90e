#include "mainwindow/DroppedLink.h"

#include <QMimeData>
#include <QStringDecoder>
#include <QRegularExpression>
#include <QUrl>

namespace lynkora {

namespace {

// A URL worth a shortcut: absolute, with a scheme, one line, no blanks around it.
bool IsLink(const QString& text) {
    if (text.isEmpty() || text.contains('\n') || text.contains(' '))
        return false;
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty() && !url.isRelative() && text.contains(':');
}

std::optional<DroppedLink> FromLines(const QString& text) {
    QStringList lines = text.split(QRegularExpression("\r\n|\n|\r"));
    const QString url = lines.value(0).trimmed();
    if (!IsLink(url))
        return std::nullopt;
    QString title = lines.value(1).trimmed();
    if (title == url)
        title.clear();
    return DroppedLink{url, title};
}

QString Utf16(const QByteArray& bytes) {
    // Firefox writes little-endian UTF-16 without a byte order mark; a mark, when present, wins.
    auto decoder = QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::ConvertInitialBom);
    if (bytes.startsWith("\xfe\xff"))
        decoder = QStringDecoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Default);
    QString text = decoder.decode(bytes);
    text.remove(QChar(0));
    return text;
}

} // namespace

std::optional<DroppedLink> LinkFromDrop(const QMimeData& data) {
    if (data.hasFormat("text/x-moz-url"))
        if (auto link = FromLines(Utf16(data.data("text/x-moz-url"))))
            return link;
    if (data.hasFormat("_NETSCAPE_URL"))
        if (auto link = FromLines(QString::fromUtf8(data.data("_NETSCAPE_URL"))))
            return link;
    if (data.hasFormat("text/uri-list")) {
        for (const QString& line : QString::fromUtf8(data.data("text/uri-list")).split(QRegularExpression("\r\n|\n"))) {
            const QString url = line.trimmed();
            if (url.isEmpty() || url.startsWith('#'))
                continue; // comments are allowed in uri lists
            if (IsLink(url))
                return DroppedLink{url, {}};
            break;
        }
    }
    if (data.hasText())
        if (const QString text = data.text().trimmed(); IsLink(text))
            return DroppedLink{text, {}};
    return std::nullopt;
}

} // namespace lynkora
