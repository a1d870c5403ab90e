#include "FindController.h"

#include "MainWindow.h"

#include "tools/ui/SearchDialog.h"

#include <QAbstractItemView>

namespace lynkora {

FindController::FindController(TfrmMainLynkora& window) : QObject(&window), m_w(window) {}

void FindController::Find() {
    if (!m_w.DataFile())
        return;
    TfrmSearch dialog(&m_w);
    dialog.LoadOptions(m_options);
    if (!m_w.Run(dialog))
        return;
    dialog.StoreOptions(m_options, TreePosition(m_w.Tree(), m_w.SelectedNode()));
    m_searched = true;
    FindNextMatch();
    m_w.acUpdateCtrls();
}

void FindController::FindNext() {
    if (m_w.DataFile() && m_searched)
        FindNextMatch();
}

void FindController::FindNextMatch() {
    SearchMatch match;
    if (!SearchFrom(m_options, m_w.Tree(), match)) {
        m_w.ShowInfoBox(tr("Lynkora has finished searching for \"%1\"      ").arg(QString::fromStdString(m_options.FindText)));
        return;
    }
    m_w.SelectNode(match.node); // fills the list as the user's selection does
    if (match.byName)
        m_w.CurrentList()->setFocus();
    m_w.RestoreListSelection({{match.id}, match.id, true});
    m_w.UpdateRecordText();
}

} // namespace lynkora
