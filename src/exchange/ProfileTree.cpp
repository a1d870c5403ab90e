#include "ProfileTree.h"

#include "ImportTarget.h"

#include "store/Folder.h"

namespace lynkora {

namespace {
constexpr double kUsPerDay = 86400.0 * 1e6;
constexpr double kUnixEpoch = 25569.0;     // 1970-01-01 in days since 1899-12-30
constexpr double kWindowsEpoch = -109205.0; // 1601-01-01
} // namespace

TDateTime FromUnixMicroseconds(long long us) { return us <= 0 ? 0 : kUnixEpoch + static_cast<double>(us) / kUsPerDay; }

TDateTime FromWindowsMicroseconds(long long us) {
    return us <= 0 ? 0 : kWindowsEpoch + static_cast<double>(us) / kUsPerDay;
}

long long ToWindowsMicroseconds(TDateTime date) {
    return date == 0 ? 0 : static_cast<long long>((date - kWindowsEpoch) * kUsPerDay + 0.5);
}

void ImportProfileTree(const std::vector<ProfileNode>& top, ImportTarget& target, const std::string& keyword) {
    const TDateTime now = NowDateTime();
    struct Level {
        const std::vector<ProfileNode>* entries;
        std::size_t next;
        CategoryNode* category;
        int depth;
    };
    std::vector<Level> stack{{&top, 0, &target.Root(), 0}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.entries->size()) {
            stack.pop_back();
            continue;
        }
        const ProfileNode& entry = (*level.entries)[level.next++];
        CategoryNode* category = level.category;
        const int depth = level.depth;
        if (entry.folder) {
            CategoryNode* sub = category;
            if (depth >= ImportTarget::kMaxDepth) {
                target.NoteFlattened();
            } else {
                const std::string name = entry.name.empty() ? std::string(kRootFolderName) : entry.name;
                sub = target.FindChild(*category, name);
                if (!sub) {
                    auto folder = std::make_unique<TISFolder>();
                    folder->FolderName = name;
                    folder->Keywords.Add(keyword);
                    sub = &target.AddCategory(*category, std::move(folder));
                }
            }
            stack.push_back({&entry.children, 0, sub, depth >= ImportTarget::kMaxDepth ? depth : depth + 1});
            continue;
        }
        if (entry.url.empty() || target.HoldsUrl(*category, entry.url))
            continue;
        TIShortcut& s = target.AddShortcut(*category, entry.url);
        s.Name = entry.name;
        s.Descr = entry.description;
        s.Added = entry.added != 0 ? entry.added : now;
        target.SetKeyword(s, keyword);
        for (const std::string& tag : entry.tags)
            s.Keywords.Add(tag);
    }
}

} // namespace lynkora
