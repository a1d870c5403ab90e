#include "CommandLine.h"

#include <QFileInfo>
#include <QStringList>

namespace lynkora {

QString BuildCommandLine(const std::vector<std::string>& parameters) {
    QString line;
    for (const auto& p : parameters)
        line += " " + QString::fromLocal8Bit(p.c_str());
    return line.trimmed();
}

CommandLine ParseCommandLine(const QString& text) {
    CommandLine c;
    const QStringList words = text.split(' ', Qt::SkipEmptyParts);
    if (words.contains("/m") || words.contains("/M")) {
        c.minimized = true;
        return c;
    }
    QString path = text;
    path.remove('"');
    path = path.trimmed();
    if (!path.isEmpty())
        c.path = QFileInfo(path).absoluteFilePath();
    return c;
}

} // namespace lynkora
