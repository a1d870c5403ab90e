#include "VerificationController.h"

#include "MainWindow.h"

#include "settings/Settings.h"
#include "verify/CheckPool.h"
#include "verify/Connectivity.h"
#include "verify/VerifyURL.h"

#include <QLocale>
#include <QMessageBox>

namespace lynkora {

VerificationController::VerificationController(TfrmMainLynkora& window) : QObject(&window), m_w(window) {
    m_probe = std::make_unique<InterfaceProbe>();
    m_verifier = std::make_unique<TVerifyURL>();
    m_verifier->Probe = m_probe.get();
    m_pool = std::make_unique<TVerifyPool>();
    m_run = std::make_unique<VerificationRun>(
        window.m_tree, *m_verifier, *m_probe, [this](CategoryNode& node) { m_w.WriteBackUsage(node); }, this);
    m_run->SetConcurrentChecker(m_pool.get());
    m_progressTimer.setInterval(100);
    m_progressTimer.setSingleShot(true);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { ShowProgress(); });
}

VerificationController::~VerificationController() = default;

void VerificationController::ApplySettings(const TSettings& s) {
    const bool proxy = s.UseProxy && !s.ProxyServer.empty();
    m_verifier->ProxyServer = proxy ? s.ProxyServer : std::string();
    m_verifier->ProxyPort = proxy ? s.ProxyPort : std::string();
    m_verifier->ProxyUser = proxy ? s.ProxyUser : std::string();
    m_verifier->ProxyPass = proxy ? s.ProxyPassword : std::string();
    m_pool->Base.proxyServer = m_verifier->ProxyServer;
    m_pool->Base.proxyPort = m_verifier->ProxyPort;
    m_pool->Base.proxyUser = m_verifier->ProxyUser;
    m_pool->Base.proxyPassword = m_verifier->ProxyPass;
    m_pool->Connections = std::clamp(s.VerifyConnections, 1, 32);
    m_run->Connections = m_pool->Connections;
}

bool VerificationController::Running() const { return m_run->Running(); }

template <class F>
void VerificationController::Start(F run) {
    if (Running() || !m_w.m_file)
        return;
    const DocumentLeases::Lease lease = m_w.HoldDocument(); // the run returns when it has ended
    m_w.Guarded([&] {
        m_run->SelectedNode = m_w.SelectedNode();
        run();
    });
    m_marked.clear();
    m_w.Verifying = false;
    m_w.acUpdateCtrls();
}

void VerificationController::VerifyEntireFile() {
    Start([this] { m_run->VerifyEntireFile(); });
}

void VerificationController::VerifyCategory() {
    Start([this] { m_run->VerifyCategory(m_w.SelectedNode()); });
}

void VerificationController::VerifyShortcuts() {
    Start([this] {
        if (CategoryNode* node = m_w.SelectedNode())
            m_run->VerifyShortcuts(*node, m_w.SelectedIds());
    });
}

void VerificationController::ReverifyErrors() {
    Start([this] { m_run->ReverifyErrors(); });
}

void VerificationController::Skip() {
    if (!SkipAvailable())
        return;
    m_skipped = true; // until the next check starts
    m_run->Skip();
    m_w.acUpdateCtrls();
}

void VerificationController::AbortAll() {
    if (!Running())
        return;
    m_run->AbortAllChecks();
    m_w.acUpdateCtrls();
}

QString VerificationController::ProgressText() const {
    const QLocale english(QLocale::English);
    QString text = tr("Verifying %1 of %2").arg(english.toString(m_run->ChecksDone()), english.toString(m_run->ChecksPlanned()));
    if (m_run->ChecksFailed() > 0)
        text += tr(" (%1 failed)").arg(english.toString(m_run->ChecksFailed()));
    return text;
}

void VerificationController::ShowProgress() {
    if (Running())
        m_w.SetStatusText(ProgressText());
}

void VerificationController::ShortcutChanged(CategoryNode& node, const TIShortcut& s) {
    if (s.VerState == vsVerifying && !std::exchange(m_checking, true)) {
        m_skipped = false;
        m_w.acUpdateCtrls();
    } else if (s.VerState == vsVerifying) {
        m_skipped = false;
    }
    if (&node == m_w.SelectedNode())
        m_w.m_listModel->ShortcutChanged(s.ID());
}

void VerificationController::CategoryChanged(CategoryNode& node) { m_w.m_treeModel->NodeChanged(&node); }

void VerificationController::RefillList(CategoryNode& node) {
    if (&node == m_w.SelectedNode())
        m_w.FillList(&node);
}

void VerificationController::StateChanged() {
    m_w.Verifying = m_run->Verifying;
    m_checking = m_run->Verifying;
    m_w.acUpdateCtrls();
}

void VerificationController::Finished(const std::string& message) {
    if (!qEnvironmentVariableIsSet("LYNKORA_NO_DIALOGS"))
        QMessageBox::information(&m_w, kTitle, QString::fromStdString(message));
}

void VerificationController::Progress(int, int, int) {
    if (!m_progressTimer.isActive())
        m_progressTimer.start();
}

void VerificationController::RowsMarked(CategoryNode& node, const std::vector<std::uint32_t>& ids) {
    m_marked.insert(ids.begin(), ids.end());
    if (&node == m_w.SelectedNode())
        for (std::uint32_t id : ids)
            m_w.m_listModel->ShortcutChanged(id);
}

void VerificationController::RunStateChanged() {
    if (Running()) {
        ShowProgress();
        return;
    }
    m_progressTimer.stop();
    m_checking = false;
    m_w.acUpdateCtrls(); // the summary comes back in panel 0
}

} // namespace lynkora
