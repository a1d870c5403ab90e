#include "VerificationRun.h"

#include "StatusText.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace lynkora {

namespace {

std::vector<std::uint32_t> Ids(const TISFolder& folder) {
    std::vector<std::uint32_t> ids;
    ids.reserve(folder.Shortcuts.Count());
    for (const auto& s : folder.Shortcuts)
        ids.push_back(s->ID());
    return ids;
}

std::size_t SubtreeShortcuts(const CategoryNode& node) {
    std::size_t n = node.Folder().Shortcuts.Count();
    for (const auto& child : node.Children())
        n += SubtreeShortcuts(*child);
    return n;
}

// Runs the cleanup when the scope ends, also through an error.
template <class F>
struct Finally {
    F f;
    ~Finally() { f(); }
};
template <class F>
Finally(F) -> Finally<F>;

} // namespace

// One run from its command to its end: counters reset, the run marked as in progress.
class VerificationRun::RunScope {
public:
    RunScope(VerificationRun& run, std::size_t planned) : m_run(run) {
        m_run.m_running = true;
        m_run.m_done = m_run.m_failed = 0;
        m_run.m_total = static_cast<int>(planned);
        m_run.m_observer->RunStateChanged();
        m_run.m_observer->Progress(0, m_run.m_total, 0);
    }
    ~RunScope() {
        m_run.m_running = false;
        m_run.m_observer->RunStateChanged();
    }

private:
    VerificationRun& m_run;
};

VerificationRun::VerificationRun(CategoryTree& tree, UrlChecker& checker,
                                 const ConnectivityProbe& probe, WriteBack writeBack,
                                 RunObserver* observer)
    : m_tree(tree), m_checker(checker), m_probe(probe), m_writeBack(std::move(writeBack)),
      m_observer(observer ? observer : &m_quiet) {}

bool VerificationRun::Alive(const CategoryNode* node, std::uint64_t instance) {
    if (!node)
        return false;
    if (m_liveChanges != m_tree.Changes()) {
        // Nodes went or came since the last look: the set of those there is taken again.
        m_live.clear();
        for (CategoryNode* n : m_tree.PreOrder())
            m_live.insert(n);
        m_liveChanges = m_tree.Changes();
    }
    return m_live.count(node) != 0 && node->Folder().InstanceId() == instance;
}

void VerificationRun::Refill(CategoryNode& node) {
    if (&node == SelectedNode)
        m_observer->RefillList(node);
}

void VerificationRun::StartImage(CategoryNode& node) {
    node.Folder().Exclude = node.Image() == NodeImage::Excluded;
    node.SetImage(NodeImage::Verifying);
    m_observer->CategoryChanged(node);
}

void VerificationRun::RestoreImage(CategoryNode& node) {
    node.SetImage(node.Folder().Exclude ? NodeImage::Excluded : NodeImage::Normal);
    m_observer->CategoryChanged(node);
}

void VerificationRun::Counted(bool failed) {
    ++m_done;
    if (failed)
        ++m_failed;
    m_observer->Progress(m_done, m_total, m_failed);
}

void VerificationRun::Record(TIShortcut& s, const CheckOutcome& outcome) {
    s.Verified = Now();
    if (outcome.statusCode >= 1 && outcome.statusCode <= 399) {
        s.VerState = vsGood;
        s.verResponse = kVerifiedText;
    } else if (outcome.statusCode >= 400) {
        s.VerState = vsFailed;
        s.verResponse = StatusText(outcome.statusCode);
    } else {
        s.VerState = vsFailed;
        s.verResponse = outcome.responseText;
    }
    Counted(s.VerState == vsFailed);
}

bool VerificationRun::Offline(CategoryNode& node, TIShortcut& s) {
    std::string offline;
    if (!m_probe.IsOffline(offline))
        return false;
    LastConnectionError = offline;
    s.Verified = Now();
    s.verResponse = offline;
    s.VerState = vsFailed;
    OfflineStop = true;
    Counted(true);
    m_observer->ShortcutChanged(node, s);
    return true;
}

void VerificationRun::VerifyOne(std::uint32_t id, CategoryNode& node) {
    TIShortcut* s = node.Folder().Shortcuts.FindItemID(id);
    if (!s)
        return;
    if (Offline(node, *s)) {
        Verifying = false;
        Refill(node);
        m_observer->StateChanged();
        return;
    }
    OfflineStop = false;
    if (AbortAll)
        return;
    s->VerState = vsVerifying;
    m_observer->ShortcutChanged(node, *s);
    Verifying = true;
    m_observer->StateChanged();
    const std::string url = s->URL;
    CheckOutcome outcome;
    {
        Finally done{[&] {
            Verifying = false;
            m_observer->StateChanged();
        }};
        outcome = m_checker.Check(url);
        // The shortcut is found again: the collection may have changed while the check ran.
        s = node.Folder().Shortcuts.FindItemID(id);
        if (!s)
            return;
        Record(*s, outcome);
        m_observer->ShortcutChanged(node, *s);
    }
}

void VerificationRun::MarkUnfinished(CategoryNode& node, const std::vector<std::uint32_t>& ids) {
    if (!Stopped())
        return;
    const std::string text = AbortAll ? kRunAbortedText : LastConnectionError;
    for (std::uint32_t id : ids) {
        TIShortcut* s = node.Folder().Shortcuts.FindItemID(id);
        if (!s)
            continue;
        s->Verified = Now();
        if (s->VerState == vsQueued) {
            s->VerState = vsFailed;
            s->verResponse = text;
        }
        m_observer->ShortcutChanged(node, *s);
    }
    Refill(node);
}

void VerificationRun::VerifyShortcuts(CategoryNode& node, const std::vector<std::uint32_t>& ids) {
    if (m_running)
        return;
    AbortAll = false;
    OfflineStop = false;
    if (ids.empty())
        return;
    if (ids.size() == 1) {
        RunScope scope(*this, 1);
        const TIShortcut* s = node.Folder().Shortcuts.FindItemID(ids[0]);
        if (s && s->VerState != vsVerifying && s->VerState != vsQueued)
            VerifyOne(ids[0], node);
        m_writeBack(node);
        return;
    }
    std::vector<std::uint32_t> queued;
    for (std::uint32_t id : ids) {
        const TIShortcut* s = node.Folder().Shortcuts.FindItemID(id);
        if (s && s->VerState != vsVerifying && s->VerState != vsQueued)
            queued.push_back(id);
    }
    if (Parallel()) {
        std::vector<PlanCategory> plan{{&node, node.Folder().InstanceId(), queued}};
        RunParallel(std::move(plan), RunKind::Shortcuts);
        return;
    }
    RunScope scope(*this, queued.size());
    StartImage(node);
    Finally cleanup{[&] {
        m_writeBack(node);
        RestoreImage(node);
    }};
    for (std::uint32_t id : queued) {
        TIShortcut* s = node.Folder().Shortcuts.FindItemID(id);
        s->VerState = vsQueued;
        m_observer->ShortcutChanged(node, *s);
    }
    m_observer->RowsMarked(node, queued);
    for (std::uint32_t id : queued) {
        if (Stopped())
            break;
        VerifyOne(id, node);
    }
    MarkUnfinished(node, queued);
}

void VerificationRun::VerifyCategory(CategoryNode* node) {
    if (m_running)
        return;
    AbortAll = false;
    OfflineStop = false;
    if (!node || node->Image() == NodeImage::Verifying)
        return;
    if (Parallel()) {
        std::vector<PlanCategory> plan;
        PlanTree(*node, plan);
        RunParallel(std::move(plan), RunKind::Category);
        return;
    }
    RunScope scope(*this, SubtreeShortcuts(*node));
    VerifyCategoryTree(*node);
}

void VerificationRun::VerifyCategoryTree(CategoryNode& node) {
    if (node.Image() == NodeImage::Verifying)
        return;
    StartImage(node);
    const std::vector<std::uint32_t> ids = Ids(node.Folder());
    {
        Finally cleanup{[&] {
            RestoreImage(node);
            m_writeBack(node);
        }};
        for (const auto& s : node.Folder().Shortcuts) {
            s->VerState = vsQueued;
            m_observer->ShortcutChanged(node, *s);
        }
        Refill(node);
        for (std::uint32_t id : ids) {
            if (Stopped())
                break;
            VerifyOne(id, node);
        }
        MarkUnfinished(node, ids);
    }
    if (Stopped())
        return;
    // Sub-categories in tree order, taken now: the user may delete one before the run gets there.
    std::vector<std::pair<CategoryNode*, std::uint64_t>> children;
    for (const auto& child : node.Children())
        children.emplace_back(child.get(), child->Folder().InstanceId());
    for (const auto& [child, instance] : children) {
        if (Stopped())
            break;
        if (Alive(child, instance))
            VerifyCategoryTree(*child);
    }
}

void VerificationRun::VerifyEntireFile() {
    CategoryNode* root = m_tree.RootNode();
    if (!root || m_running)
        return;
    Finally finish{[&] {
        // Categories the run did not reach return to their former state.
        m_tree.ForEach([&](CategoryNode& node) {
            for (const auto& s : node.Folder().Shortcuts) {
                if (s->VerState == vsQueued) {
                    s->VerState = vsGood;
                    m_observer->ShortcutChanged(node, *s);
                }
            }
        });
        if (SelectedNode && Alive(SelectedNode, SelectedNode->Folder().InstanceId()))
            m_observer->RefillList(*SelectedNode);
        m_observer->Finished(kFinishedText);
    }};
    m_tree.ForEach([&](CategoryNode& node) {
        for (const auto& s : node.Folder().Shortcuts)
            s->VerState = vsQueued;
    });
    AbortAll = false;
    OfflineStop = false;
    if (Parallel()) {
        std::vector<PlanCategory> plan;
        PlanTree(*root, plan);
        RunParallel(std::move(plan), RunKind::EntireFile);
        return;
    }
    RunScope scope(*this, m_tree.ShortcutCount());
    VerifyCategoryTree(*root);
}

void VerificationRun::ReverifyErrors() {
    if (m_running)
        return;
    AbortAll = false;
    OfflineStop = false;
    Finally finish{[&] { m_observer->Finished(kFinishedText); }};
    std::vector<PlanCategory> plan;
    std::size_t failed = 0;
    for (CategoryNode* node : m_tree.PreOrder()) {
        PlanCategory category{node, node->Folder().InstanceId(), {}};
        for (const auto& s : node->Folder().Shortcuts)
            if (s->VerState == vsFailed)
                category.ids.push_back(s->ID());
        failed += category.ids.size();
        plan.push_back(std::move(category));
    }
    if (Parallel()) {
        plan.erase(std::remove_if(plan.begin(), plan.end(), [](const PlanCategory& c) { return c.ids.empty(); }),
                   plan.end());
        RunParallel(std::move(plan), RunKind::Errors);
        return;
    }
    RunScope scope(*this, failed);
    bool started = false;
    for (const PlanCategory& category : plan) {
        if (!Alive(category.node, category.instance))
            continue; // deleted while the run went on
        CategoryNode* node = category.node;
        StartImage(*node);
        {
            Finally cleanup{[&] {
                RestoreImage(*node);
                if (started)
                    m_writeBack(*node);
            }};
            for (std::uint32_t id : Ids(node->Folder())) {
                if (Stopped())
                    break;
                const TIShortcut* s = node->Folder().Shortcuts.FindItemID(id);
                if (!s || s->VerState != vsFailed)
                    continue;
                started = true;
                VerifyOne(id, *node);
            }
        }
        if (Stopped())
            break;
    }
}

void VerificationRun::PlanTree(CategoryNode& node, std::vector<PlanCategory>& plan) const {
    if (node.Image() == NodeImage::Verifying)
        return;
    plan.push_back({&node, node.Folder().InstanceId(), Ids(node.Folder())});
    for (const auto& child : node.Children())
        PlanTree(*child, plan);
}

// Up to Connections checks in flight, taken in the plan's order. Each category keeps its
// running image while any of its checks is queued or in flight and is written back when its
// last one has ended. Abort all takes back what has not started and lets the rest end; the
// connectivity test runs as each check starts.
void VerificationRun::RunParallel(std::vector<PlanCategory> plan, RunKind kind) {
    struct Check {
        std::size_t category;
        std::uint32_t id;
        bool started = false;
        bool ended = false;
        bool inFlight = false; // counted in inFlight
    };
    struct Progress {
        std::size_t left = 0;
        bool reached = false; // a check of it has started
        bool closed = false;
    };
    std::vector<Check> checks;
    std::vector<Progress> progress(plan.size());
    std::unordered_map<std::uint64_t, std::uint32_t> previous; // states before queuing (by ticket)
    for (std::size_t c = 0; c < plan.size(); ++c)
        for (std::uint32_t id : plan[c].ids)
            checks.push_back({c, id});
    RunScope scope(*this, checks.size());
    const bool queue = kind != RunKind::Errors;
    std::size_t unresolved = 0, inFlight = 0;

    auto node = [&](std::size_t c) -> CategoryNode* {
        return Alive(plan[c].node, plan[c].instance) ? plan[c].node : nullptr;
    };
    auto shortcut = [&](const Check& check) -> TIShortcut* {
        CategoryNode* n = node(check.category);
        return n ? n->Folder().Shortcuts.FindItemID(check.id) : nullptr;
    };
    auto close = [&](std::size_t c) {
        Progress& p = progress[c];
        if (p.closed)
            return;
        p.closed = true;
        if (CategoryNode* n = node(c)) {
            RestoreImage(*n);
            m_writeBack(*n);
        }
    };
    auto resolve = [&](std::size_t ticket) {
        Check& check = checks[ticket];
        if (check.ended)
            return;
        check.ended = true;
        --unresolved;
        if (--progress[check.category].left == 0)
            close(check.category);
    };
    auto setVerifying = [&] {
        const bool now = inFlight > 0;
        if (now != Verifying) {
            Verifying = now;
            m_observer->StateChanged();
        }
    };
    // Abort all or offline: nothing new starts; the categories reached mark their queued
    // shortcuts as the serial run does, those not reached go back to how they were.
    bool stopped = false;
    auto stop = [&] {
        if (stopped)
            return;
        stopped = true;
        const std::vector<std::uint64_t> pending = m_pool->CancelPending();
        if (OfflineStop)
            m_pool->AbandonRunning();
        const std::string text = AbortAll ? kRunAbortedText : LastConnectionError;
        std::vector<std::vector<std::uint64_t>> byCategory(plan.size());
        for (std::uint64_t t : pending)
            byCategory[checks[t].category].push_back(t);
        if (OfflineStop) {
            for (std::size_t t = 0; t < checks.size(); ++t)
                if (checks[t].started && !checks[t].ended)
                    byCategory[checks[t].category].push_back(t);
        }
        for (std::size_t c = 0; c < plan.size(); ++c) {
            if (byCategory[c].empty())
                continue;
            CategoryNode* n = node(c);
            if (n && progress[c].reached && kind != RunKind::Errors) {
                for (std::uint32_t id : plan[c].ids) {
                    TIShortcut* s = n->Folder().Shortcuts.FindItemID(id);
                    if (!s)
                        continue;
                    s->Verified = Now();
                    if (s->VerState == vsQueued || s->VerState == vsVerifying) {
                        s->VerState = vsFailed;
                        s->verResponse = text;
                    }
                    m_observer->ShortcutChanged(*n, *s);
                }
                Refill(*n);
            } else if (n && queue) {
                for (std::uint64_t t : byCategory[c]) {
                    if (TIShortcut* s = shortcut(checks[t])) {
                        s->VerState = kind == RunKind::EntireFile ? vsGood : static_cast<int>(previous[t]);
                        m_observer->ShortcutChanged(*n, *s);
                    }
                }
                Refill(*n);
            }
            for (std::uint64_t t : byCategory[c]) {
                if (std::exchange(checks[t].inFlight, false))
                    --inFlight;
                resolve(t);
            }
        }
        setVerifying();
    };

    m_stopParallel = [&] { stop(); };
    m_pool->OnStarted = [&](std::uint64_t t) {
        Check& check = checks[t];
        if (check.ended)
            return;
        check.started = true;
        progress[check.category].reached = true;
        TIShortcut* s = shortcut(check);
        if (!s)
            return; // gone: its end is still awaited
        ++inFlight;
        check.inFlight = true;
        if (Offline(*node(check.category), *s)) {
            --inFlight;
            check.inFlight = false;
            resolve(t);
            stop();
            return;
        }
        s->VerState = vsVerifying;
        m_observer->ShortcutChanged(*node(check.category), *s);
        setVerifying();
    };
    m_pool->OnFinished = [&](std::uint64_t t, const CheckOutcome& outcome) {
        Check& check = checks[t];
        if (check.ended)
            return;
        if (std::exchange(check.inFlight, false))
            --inFlight;
        if (TIShortcut* s = shortcut(check)) {
            Record(*s, outcome);
            m_observer->ShortcutChanged(*node(check.category), *s);
        }
        resolve(t);
        setVerifying();
    };
    Finally cleanup{[&] {
        m_stopParallel = nullptr;
        m_pool->OnStarted = nullptr;
        m_pool->OnFinished = nullptr;
        if (unresolved > 0) {
            m_pool->CancelPending();
            m_pool->AbandonRunning();
        }
        // Also through an error: every category gets its image back and its write-back.
        for (std::size_t c = 0; c < plan.size(); ++c)
            close(c);
        if (Verifying) {
            Verifying = false;
            m_observer->StateChanged();
        }
    }};

    for (std::size_t c = 0; c < plan.size(); ++c) {
        CategoryNode& n = *plan[c].node;
        progress[c].left = plan[c].ids.size();
        StartImage(n);
    }
    for (std::size_t t = 0; t < checks.size(); ++t) {
        TIShortcut* s = shortcut(checks[t]);
        previous[t] = static_cast<std::uint32_t>(s->VerState);
        if (queue) {
            s->VerState = vsQueued;
            m_observer->ShortcutChanged(*plan[checks[t].category].node, *s);
        }
    }
    if (kind == RunKind::Shortcuts && !plan.empty())
        m_observer->RowsMarked(*plan[0].node, plan[0].ids);
    for (std::size_t c = 0; c < plan.size(); ++c) {
        if (plan[c].ids.empty())
            close(c);
        else
            Refill(*plan[c].node);
    }
    unresolved = checks.size();
    for (std::size_t t = 0; t < checks.size(); ++t)
        m_pool->Submit(t, shortcut(checks[t])->URL);
    m_pool->RunUntil([&] { return unresolved == 0; });
}

void VerificationRun::Skip() {
    if (Parallel() && m_running)
        m_pool->AbandonRunning();
    else
        m_checker.Abandon(true);
}

void VerificationRun::AbortAllChecks() {
    AbortAll = true;
    if (m_stopParallel)
        m_stopParallel(); // nothing new starts; what runs ends and is recorded
}

} // namespace lynkora
