#include "StoredText.h"

#include "store/StoredTextForms.h"

#include <QStringDecoder>

namespace lynkora {

QString DecodeStoredText(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        text.append(QChar(Windows1252CodePoint(b)));
    }
    return text;
}

std::string EncodeUserText(const QString& text) { return text.toUtf8().toStdString(); }

} // namespace lynkora
