#include "Clipboard.h"

#include "store/HtmlClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace lynkora {

void PutHtmlOnClipboard(const std::string& fragment) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    const std::string text = BuildHtmlClipboardText(fragment);
    auto* data = new QMimeData;
#ifdef Q_OS_WIN
    data->setData(QStringLiteral("HTML Format"), QByteArray::fromStdString(text) + '\0');
#else
    // The page part of the text: from <html> to its end.
    const auto start = text.find("<html>");
    data->setData(QStringLiteral("text/html"), QByteArray::fromStdString(text.substr(start)));
#endif
    QGuiApplication::clipboard()->setMimeData(data);
}

void PutTextOnClipboard(const std::string& text) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

} // namespace lynkora
