#include "VerificationRun.h"

#include "StatusText.h"

namespace lynkora {

namespace {

std::vector<std::uint32_t> Ids(const TISFolder& folder) {
    std::vector<std::uint32_t> ids;
    ids.reserve(folder.Shortcuts.Count());
    for (const auto& s : folder.Shortcuts)
        ids.push_back(s->ID());
    return ids;
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

VerificationRun::VerificationRun(CategoryTree& tree, UrlChecker& checker,
                                 const ConnectivityProbe& probe, WriteBack writeBack,
                                 RunObserver* observer)
    : m_tree(tree), m_checker(checker), m_probe(probe), m_writeBack(std::move(writeBack)),
      m_observer(observer ? observer : &m_quiet) {}

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

void VerificationRun::VerifyOne(std::uint32_t id, CategoryNode& node) {
    TIShortcut* s = node.Folder().Shortcuts.FindItemID(id);
    if (!s)
        return;
    std::string offline;
    if (m_probe.IsOffline(offline)) {
        LastConnectionError = offline;
        s->Verified = Now();
        s->verResponse = offline;
        s->VerState = vsFailed;
        OfflineStop = true;
        Verifying = false;
        m_observer->ShortcutChanged(node, *s);
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
        s->Verified = Now();
        if (outcome.statusCode >= 1 && outcome.statusCode <= 399) {
            s->VerState = vsGood;
            s->verResponse = kVerifiedText;
        } else if (outcome.statusCode >= 400) {
            s->VerState = vsFailed;
            s->verResponse = StatusText(outcome.statusCode);
        } else {
            s->VerState = vsFailed;
            s->verResponse = outcome.responseText;
        }
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
    AbortAll = false;
    OfflineStop = false;
    if (ids.empty())
        return;
    if (ids.size() == 1) {
        const TIShortcut* s = node.Folder().Shortcuts.FindItemID(ids[0]);
        if (s && s->VerState != vsVerifying && s->VerState != vsQueued)
            VerifyOne(ids[0], node);
        m_writeBack(node);
        return;
    }
    StartImage(node);
    Finally cleanup{[&] {
        m_writeBack(node);
        RestoreImage(node);
    }};
    std::vector<std::uint32_t> queued;
    for (std::uint32_t id : ids) {
        TIShortcut* s = node.Folder().Shortcuts.FindItemID(id);
        if (!s || s->VerState == vsVerifying || s->VerState == vsQueued)
            continue;
        s->VerState = vsQueued;
        queued.push_back(id);
        m_observer->ShortcutChanged(node, *s);
    }
    for (std::uint32_t id : queued) {
        if (Stopped())
            break;
        VerifyOne(id, node);
    }
    MarkUnfinished(node, queued);
}

void VerificationRun::VerifyCategory(CategoryNode* node) {
    AbortAll = false;
    OfflineStop = false;
    if (!node || node->Image() == NodeImage::Verifying)
        return;
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
    // Sub-categories in tree order; the list is copied since the tree may change meanwhile.
    std::vector<CategoryNode*> children;
    for (const auto& child : node.Children())
        children.push_back(child.get());
    for (CategoryNode* child : children) {
        if (Stopped())
            break;
        VerifyCategoryTree(*child);
    }
}

void VerificationRun::VerifyEntireFile() {
    CategoryNode* root = m_tree.RootNode();
    if (!root)
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
        if (SelectedNode)
            m_observer->RefillList(*SelectedNode);
        m_observer->Finished(kFinishedText);
    }};
    m_tree.ForEach([&](CategoryNode& node) {
        for (const auto& s : node.Folder().Shortcuts)
            s->VerState = vsQueued;
    });
    AbortAll = false;
    OfflineStop = false;
    VerifyCategoryTree(*root);
}

void VerificationRun::ReverifyErrors() {
    AbortAll = false;
    OfflineStop = false;
    Finally finish{[&] { m_observer->Finished(kFinishedText); }};
    bool started = false;
    for (CategoryNode* node : m_tree.PreOrder()) {
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

void VerificationRun::Skip() { m_checker.Abandon(true); }

void VerificationRun::AbortAllChecks() { AbortAll = true; }

} // namespace lynkora
