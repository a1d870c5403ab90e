#include "DuplicatesController.h"

#include "MainWindow.h"

#include "tools/DuplicateScan.h"
#include "tools/ui/DuplicatesDialog.h"

#include <QApplication>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <memory>

namespace lynkora {

namespace {

struct AtExit {
    std::function<void()> run;
    ~AtExit() { run(); }
};

} // namespace

DuplicatesController::DuplicatesController(TfrmMainLynkora& window) : QObject(&window), m_w(window) {}

void DuplicatesController::Scan() {
    if (!m_w.DataFile() || m_scanning)
        return;
    // The scan's progress dispatches events: nothing among them may close or replace the tree.
    const DocumentLeases::Lease lease = m_w.HoldDocument();
    m_scanning = true;
    m_treeChanges = m_w.Tree().Changes();
    std::unique_ptr<QProgressBar> bar;
    // Whatever ends the scan step, the window comes back as it was and no shortcut keeps a mark.
    const AtExit restore{[&] {
        bar.reset();
        QApplication::restoreOverrideCursor();
        SetControlsEnabled(true);
        ClearIgnoreDup(m_w.Tree());
        m_w.FillList(m_w.SelectedNode());
        m_scanning = false;
        m_w.acUpdateCtrls();
    }};
    m_w.Guarded([&] {
        const std::size_t total = m_w.Tree().ShortcutCount();
        QStatusBar* status = m_w.statusBar();
        bar = std::make_unique<QProgressBar>(status);
        bar->setObjectName("DupProgress");
        bar->setGeometry(302, 2, 98, std::max(status->contentsRect().height() - 2, 4));
        bar->setRange(0, static_cast<int>(std::min<std::size_t>(total, INT32_MAX)));
        bar->setTextVisible(false);
        bar->show();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        SetControlsEnabled(false);
        TfrmDuplicates dialog(&m_w);
        m_w.SetStatusText(tr("Scanning for duplicate URL's..."), 1);
        // The window is painted while the scan walks; it takes no input meanwhile.
        std::vector<TDupItems> groups = ScanDuplicates(m_w.Tree(), [&](std::size_t done, std::size_t) {
            bar->setValue(static_cast<int>(std::min<std::size_t>(done, INT32_MAX)));
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        m_w.SetStatusText(m_w.StatusSummary(), -1);
        bar->hide();
        if (groups.empty()) {
            m_w.ShowInfoBox(tr("Lynkora has finished scanning the datafile for duplicates.      "));
            return;
        }
        const std::vector<QIcon>& images = m_w.m_smallImages;
        dialog.SetGroups(std::move(groups), images.size() > 22 ? images[22] : QIcon(),
                         images.empty() ? QIcon() : images[0]);
        dialog.DeleteShortcut = [this](const TDupURL& entry) { Delete(entry); };
        dialog.AskYesNo = [this](const QString& text) { return m_w.Ask(text); };
        dialog.Guarded = [this](const std::function<void()>& command) { m_w.Guarded(command); };
        dialog.Place(m_w.Settings().DupWinPos, &m_w);
        QApplication::restoreOverrideCursor(); // the user works in the window; the scan is over
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_w.Run(dialog);
        m_w.Settings().DupWinPos = dialog.Position();
    });
}

void DuplicatesController::SetControlsEnabled(bool enabled) {
    for (QWidget* c : {m_w.centralWidget(), static_cast<QWidget*>(m_w.menuBar()), static_cast<QWidget*>(m_w.ToolBar())})
        c->setEnabled(enabled);
}

void DuplicatesController::Delete(const TDupURL& entry) {
    CategoryNode* node = entry.Node;
    // The window takes no commands meanwhile; should the tree have changed all the same, a node
    // is used only while the tree still holds it.
    if (m_w.Tree().Changes() != m_treeChanges) {
        const std::vector<CategoryNode*> nodes = m_w.Tree().PreOrder();
        if (std::find(nodes.begin(), nodes.end(), node) == nodes.end())
            return;
    }
    TShortcuts& shortcuts = node->Folder().Shortcuts;
    if (const TIShortcut* s = shortcuts.FindItemID(entry.ShortID))
        shortcuts.Delete(shortcuts.IndexOf(*s));
    m_w.WriteCategory(*node);
    // The list behind the dialog loses the row once the deletions of this step have been made.
    if (node == m_w.SelectedNode() && !m_refillQueued) {
        m_refillQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_refillQueued = false;
            m_w.FillList(m_w.SelectedNode());
        });
    }
}

} // namespace lynkora
