// The reopen history and its two menus: File > Reopen and the Open button's drop-down.
#include "MainWindow.h"
#include "VerificationController.h"

#include "store/FileReplace.h"
#include "store/NameCollator.h"

#include <QAction>
#include <QActionGroup>
#include <QFontMetrics>
#include <QMenu>

#include <algorithm>

namespace lynkora {

namespace {

// A path shortened in its middle with an ellipsis to fit the width.
QString ShortPath(const QString& path, const QFontMetrics& metrics, int width) {
    return metrics.elidedText(path, Qt::ElideMiddle, width);
}

} // namespace

void TfrmMainLynkora::AddToHistory(const std::string& path) {
    auto& h = m_settings->History;
    for (auto it = h.begin(); it != h.end(); ++it) {
        if (CompareAsciiNoCase(*it, path) == 0) {
            h.erase(it);
            break;
        }
    }
    h.insert(h.begin(), path);
    if (m_settings->MaxHistory > 0 && h.size() > static_cast<std::size_t>(m_settings->MaxHistory))
        h.resize(static_cast<std::size_t>(m_settings->MaxHistory));
    RebuildHistoryMenus();
}

void TfrmMainLynkora::RebuildHistoryMenus() {
    auto& h = m_settings->History;
    h.erase(std::remove_if(h.begin(), h.end(), [](const std::string& p) { return !FileExists(p); }), h.end());
    for (QMenu* menu : {m_history, m_popHistory}) {
        qDeleteAll(menu->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly));
        menu->clear();
        auto* group = new QActionGroup(menu);
        const QFontMetrics metrics(menu->font());
        for (std::size_t n = 0; n < h.size(); ++n) {
            const QString path = QString::fromStdString(h[n]);
            QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(n + 1).arg(ShortPath(path, metrics, 200)));
            a->setCheckable(true);
            a->setChecked(m_file && CompareAsciiNoCase(m_file->FileName(), h[n]) == 0);
            a->setData(static_cast<int>(n));
            group->addAction(a);
            const int index = static_cast<int>(n);
            connect(a, &QAction::triggered, this, [this, index] { Guarded([&] { HandleHistory(index); }); });
        }
    }
    m_history->setEnabled(!h.empty());
}

void TfrmMainLynkora::HandleHistory(int index) {
    if (m_verification->Running())
        return;
    auto& h = m_settings->History;
    if (index < 0 || static_cast<std::size_t>(index) >= h.size())
        return;
    const std::string path = h[static_cast<std::size_t>(index)];
    if (m_file && CompareAsciiNoCase(m_file->FileName(), path) == 0)
        return; // already open
    if (OpenDocument(path))
        AddToHistory(path);
}

} // namespace lynkora
