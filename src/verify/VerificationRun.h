#pragma once

#include "Connectivity.h"
#include "UrlChecker.h"

#include "store/CategoryTree.h"
#include "store/DateTime.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lynkora {

// What a run reports as it goes: the main window updates rows and images, the command line
// prints progress.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // A shortcut's state or result changed (queued, being checked, checked).
    virtual void ShortcutChanged(CategoryNode&, const TIShortcut&) {}
    // A category's image changed.
    virtual void CategoryChanged(CategoryNode&) {}
    // The selected category's list must be filled again.
    virtual void RefillList(CategoryNode&) {}
    // Verifying changed: the command states must be updated.
    virtual void StateChanged() {}
    // A run over the file ended: the finish message.
    virtual void Finished(const std::string& /*message*/) {}
};

// The verification runs: one shortcut, the selected shortcuts, a category with its
// sub-categories, the whole file, or every shortcut whose last check failed. One check at a
// time through the checker; results written through after each category.
class VerificationRun {
public:
    using WriteBack = std::function<void(CategoryNode&)>;

    VerificationRun(CategoryTree& tree, UrlChecker& checker, const ConnectivityProbe& probe,
                    WriteBack writeBack, RunObserver* observer = nullptr);

    bool Verifying = false;
    bool AbortAll = false;
    bool OfflineStop = false;
    std::string LastConnectionError;
    // The category the list shows (its rows are refilled); may be null.
    CategoryNode* SelectedNode = nullptr;
    std::function<TDateTime()> Now = NowDateTime;

    // The commands.
    void VerifyShortcuts(CategoryNode& node, const std::vector<std::uint32_t>& ids);
    void VerifyCategory(CategoryNode* node);
    void VerifyEntireFile();
    void ReverifyErrors();
    void Skip();
    void AbortAllChecks();

    // The operations the commands are made of.
    void VerifyOne(std::uint32_t shortcutId, CategoryNode& node);
    void VerifyCategoryTree(CategoryNode& node);

private:
    void StartImage(CategoryNode& node);
    void RestoreImage(CategoryNode& node);
    void MarkUnfinished(CategoryNode& node, const std::vector<std::uint32_t>& ids);
    bool Stopped() const { return AbortAll || OfflineStop; }
    void Refill(CategoryNode& node);

    CategoryTree& m_tree;
    UrlChecker& m_checker;
    const ConnectivityProbe& m_probe;
    WriteBack m_writeBack;
    RunObserver* m_observer;
    RunObserver m_quiet;
};

} // namespace lynkora
