#pragma once

#include "verify/VerificationRun.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

namespace lynkora {

class TfrmMainLynkora;
class TSettings;
class TVerifyURL;
class TVerifyPool;
class InterfaceProbe;

// The verification commands of the main window: the runs over the window's tree, the rows and
// images they change, the progress in status panel 0, and the proxy and connection settings
// handed to the checkers.
class VerificationController : public QObject, public RunObserver {
public:
    explicit VerificationController(TfrmMainLynkora& window);
    ~VerificationController() override;

    // The proxy values (only while UseProxy is set) and the number of checks in flight.
    void ApplySettings(const TSettings& settings);

    void VerifyEntireFile();
    void VerifyCategory();
    void VerifyShortcuts();
    void ReverifyErrors();
    void Skip();
    void AbortAll();

    // A run is in progress (between two checks too).
    bool Running() const;
    // Skip is offered from the start of each check until it is used.
    bool SkipAvailable() const { return m_checking && !m_skipped; }
    bool AbortAvailable() const { return Running() && !m_run->AbortAll; }
    // Queued rows of a run over several selected rows show the being-verified image.
    bool MarkedBusy(std::uint32_t id) const { return m_marked.count(id) != 0; }
    // The progress text while a run is in progress, e.g. "Verifying 123 of 2,000 (4 failed)".
    QString ProgressText() const;

    const TVerifyURL& Checker() const { return *m_verifier; }
    const TVerifyPool& Pool() const { return *m_pool; }

private:
    template <class F>
    void Start(F run);
    void ShowProgress();

    // RunObserver
    void ShortcutChanged(CategoryNode& node, const TIShortcut& s) override;
    void CategoryChanged(CategoryNode& node) override;
    void RefillList(CategoryNode& node) override;
    void StateChanged() override;
    void Finished(const std::string& message) override;
    void Progress(int done, int total, int failed) override;
    void RowsMarked(CategoryNode& node, const std::vector<std::uint32_t>& ids) override;
    void RunStateChanged() override;

    TfrmMainLynkora& m_w;
    std::unique_ptr<InterfaceProbe> m_probe;
    std::unique_ptr<TVerifyURL> m_verifier;
    std::unique_ptr<TVerifyPool> m_pool;
    std::unique_ptr<VerificationRun> m_run;
    std::unordered_set<std::uint32_t> m_marked;
    bool m_checking = false;
    bool m_skipped = false;
    QTimer m_progressTimer; // the status text at most ten times a second
};

} // namespace lynkora
