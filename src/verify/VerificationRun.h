#pragma once

#include "Connectivity.h"
#include "UrlChecker.h"

#include "store/CategoryTree.h"
#include "store/DateTime.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
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
    // How far the run is: checks ended of those it plans, and how many of them failed.
    virtual void Progress(int /*done*/, int /*total*/, int /*failed*/) {}
    // Rows queued by a run over several selected rows, shown with the being-verified image.
    virtual void RowsMarked(CategoryNode&, const std::vector<std::uint32_t>& /*ids*/) {}
    // A run began or ended.
    virtual void RunStateChanged() {}
};

// The verification runs: one shortcut, the selected shortcuts, a category with its
// sub-categories, the whole file, or every shortcut whose last check failed. One check at a
// time through the checker, or, with a concurrent checker and more than one connection, up to
// that many in flight, taken in the run's order across categories; results written through
// after each category. A category the user deletes before the run reaches it is skipped.
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
    // Checks in flight at once when a concurrent checker is set; 1 runs them one by one.
    int Connections = 1;
    void SetConcurrentChecker(ConcurrentChecker* checker) { m_pool = checker; }
    bool Running() const { return m_running; }
    int ChecksDone() const { return m_done; }
    int ChecksPlanned() const { return m_total; }
    int ChecksFailed() const { return m_failed; }

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
    struct PlanCategory {
        CategoryNode* node = nullptr;
        std::uint64_t instance = 0; // the category object, to tell a deleted node from a new one
        std::vector<std::uint32_t> ids;
    };
    enum class RunKind { Shortcuts, Category, EntireFile, Errors };
    class RunScope;

    bool Parallel() const { return m_pool && Connections > 1; }
    void RunParallel(std::vector<PlanCategory> plan, RunKind kind);
    void PlanTree(CategoryNode& node, std::vector<PlanCategory>& plan) const;
    // True while the node is in the tree and still shows the same category object.
    bool Alive(const CategoryNode* node, std::uint64_t instance);
    void Record(TIShortcut& s, const CheckOutcome& outcome);
    void Counted(bool failed);
    // The connectivity test before a check: when offline, the shortcut records why and the run
    // stops.
    bool Offline(CategoryNode& node, TIShortcut& s);
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
    ConcurrentChecker* m_pool = nullptr;
    bool m_running = false;
    int m_done = 0, m_total = 0, m_failed = 0;
    std::uint64_t m_liveChanges = ~std::uint64_t(0);
    std::unordered_set<const CategoryNode*> m_live;
    std::function<void()> m_stopParallel; // while a parallel run is in progress
};

} // namespace lynkora
