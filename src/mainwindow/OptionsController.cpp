#include "OptionsController.h"

#include "MainWindow.h"
#include "VerificationController.h"

#include "settings/ui/OptionsDialog.h"

#include <QMessageBox>

namespace lynkora {

OptionsController::OptionsController(TfrmMainLynkora& window) : QObject(&window), m_w(window) {}

void OptionsController::Options() {
    TSettings& s = m_w.Settings();
    m_w.StoreColumns(); // the dialog and a later rebuild start from what the user sees
    TfrmOptions dialog(&m_w, s);
    dialog.RunDialog = [this](QDialog& d) { return m_w.Run(d); };
    dialog.AskYesNo = [this](const QString& text) { return m_w.Ask(text); };
    dialog.Warn = [this](const QString& text) { m_w.ShowWarningBox(text); };
    dialog.HistoryCleared = [this] { m_w.RebuildHistoryMenus(); };
    dialog.Fill();
    const bool accepted = m_w.Run(dialog);
    m_w.Guarded([&] {
        if (accepted) {
            const bool modeChanged = dialog.Store();
            // Shown at once: hints and the flat look; then the list, header, style and action.
            m_w.ApplyToolbarLook();
            m_w.ApplyColumns();
            if (m_w.DataFile() && m_w.SelectedNode())
                m_w.FillList(m_w.SelectedNode());
            if (s.Autostart)
                s.WriteAutostart();
            else
                s.RemoveAutostart();
            m_w.Verification().ApplySettings(s);
            m_w.Action("Toolbar2")->setChecked(s.ShowToolbar);
            m_w.Action("Header1")->setChecked(s.ShowHeader);
            m_w.ApplyInterfaceStyle();
            if (modeChanged)
                m_w.ShowWarningBox(tr("The file edit-mode change will take effect      \nafter you have restarted Lynkora."),
                                   &dialog);
            s.SaveAll();
        }
        if (dialog.BrowsersChanged)
            m_w.BuildBrowserMenu();
    });
}

} // namespace lynkora
