#include "FavoritesFolder.h"

#include "store/TextTools.h"
#include "BookmarkWriters.h"
#include "ProfileFile.h"
#include "TextDecoding.h"

#include "store/DateTime.h"
#include "store/Errors.h"
#include "store/ProtectedFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <dirent.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace lynkora {

namespace fs = std::filesystem;

namespace {

std::string Lower(const std::string& s) { return LowerAscii(s); }

// Directory entries in a stable order (the file system's own order is arbitrary).
std::vector<fs::directory_entry> Entries(const fs::path& dir) {
    std::vector<fs::directory_entry> out;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        out.push_back(*it);
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    return out;
}

// The URL of a shortcut file: the [InternetShortcut.W] value (UTF-7) when present, else the
// 8-bit one.
std::string UrlOf(const ProfileFile& profile) {
    const std::string wide = profile.Read("InternetShortcut.W", "URL");
    if (!wide.empty())
        return DecodeUtf7(wide);
    return DecodeEightBit(profile.Read("InternetShortcut", "URL"));
}

// An open folder, closed with its holder.
struct FolderHandle {
    int fd = -1;
    FolderHandle(int f = -1) : fd(f) {}
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    FolderHandle(FolderHandle&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    ~FolderHandle() {
        if (fd >= 0)
            ::close(fd);
    }
};

struct DirItem {
    std::string name;
    bool folder;
    dev_t dev;
    ino_t ino;
};

// The folder's regular files and folders, in name order; links are left out, since they may lead
// out of the favourites or round in a loop. Everything goes through the folder's handle, so no
// path grows with the depth.
std::vector<DirItem> List(int fd, const std::string& where) {
    const int dupFd = ::dup(fd);
    DIR* dir = dupFd < 0 ? nullptr : ::fdopendir(dupFd);
    if (!dir) {
        if (dupFd >= 0)
            ::close(dupFd);
        throw ELynkora("Could not read the folder " + where + ": " + std::strerror(errno));
    }
    std::vector<DirItem> items;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode) || S_ISREG(st.st_mode))
            items.push_back({name, S_ISDIR(st.st_mode), st.st_dev, st.st_ino});
    }
    ::closedir(dir);
    std::sort(items.begin(), items.end(), [](const DirItem& a, const DirItem& b) { return a.name < b.name; });
    return items;
}

// A shortcut file holds a few lines; what lies beyond this is no shortcut's (a huge or sparse
// file put among them is read no further).
constexpr std::size_t kShortcutFileBytes = 64 * 1024;

std::string ReadAt(int dirFd, const std::string& name) {
    const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {};
    }
    std::string bytes;
    char buffer[8192];
    for (ssize_t n; bytes.size() < kShortcutFileBytes && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    if (bytes.size() > kShortcutFileBytes)
        bytes.resize(kShortcutFileBytes);
    return bytes;
}

// Walks the favourites depth first with a stack of its own, not the program's: a folder tree
// thousands of levels deep must not exhaust the call stack.
struct FolderWalk {
    ImportTarget& target;
    TDateTime now;
    std::set<std::pair<dev_t, ino_t>> visited;

    struct Level {
        FolderHandle handle; // closed when the level is left (the top level's is the caller's)
        int fd = -1;
        std::string where;
        CategoryNode* node = nullptr;
        int depth = 0;
        std::vector<DirItem> items;
        std::size_t next = 0;
    };

    void ReadShortcuts(const Level& level) {
        for (const DirItem& item : level.items) {
            const std::string lower = Lower(item.name);
            if (item.folder || lower.find(".url") == std::string::npos)
                continue;
            const std::string url =
                UrlOf(ProfileFile::FromText(level.where + "/" + item.name, ReadAt(level.fd, item.name)));
            if (url.empty() || target.HoldsUrl(*level.node, url))
                continue;
            TIShortcut& s = target.AddShortcut(*level.node, url);
            s.Name = lower.size() >= 4 ? lower.substr(0, lower.size() - 4) : lower;
            s.Added = now;
            target.SetKeyword(s, "Internet Explorer");
        }
    }

    void Read(int rootFd, const std::string& rootPath, CategoryNode& rootNode, int rootDepth) {
        std::vector<std::unique_ptr<Level>> stack;
        auto enter = [&](int fd, bool owned, std::string where, CategoryNode& node, int depth) {
            auto level = std::make_unique<Level>();
            level->handle.fd = owned ? fd : -1;
            level->fd = fd;
            level->where = std::move(where);
            level->node = &node;
            level->depth = depth;
            level->items = List(fd, level->where);
            ReadShortcuts(*level);
            stack.push_back(std::move(level));
        };
        enter(rootFd, false, rootPath, rootNode, rootDepth);
        while (!stack.empty()) {
            Level& level = *stack.back();
            while (level.next < level.items.size() && !level.items[level.next].folder)
                ++level.next;
            if (level.next == level.items.size()) {
                stack.pop_back();
                continue;
            }
            const DirItem& item = level.items[level.next++];
            if (!visited.insert({item.dev, item.ino}).second)
                continue; // a folder reached twice (a bind mount) is read once
            FolderHandle child{::openat(level.fd, item.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
            std::string path = level.where + "/" + item.name;
            if (child.fd < 0)
                throw ELynkora("Could not read the folder " + path + ": " + std::strerror(errno));
            // Deeper than the tree holds usefully: the bookmarks go into the deepest category.
            CategoryNode* into = level.node;
            if (level.depth < ImportTarget::kMaxDepth) {
                if (CategoryTree::FindChildCategory(*level.node, item.name, &into)) {
                    auto category = std::make_unique<TISFolder>();
                    category->FolderName = item.name;
                    category->Keywords.Add("Internet Explorer");
                    into = &target.AddCategory(*level.node, std::move(category));
                }
            } else {
                target.NoteFlattened();
            }
            const int depth = level.depth < ImportTarget::kMaxDepth ? level.depth + 1 : level.depth;
            const int fd = child.fd;
            child.fd = -1;
            enter(fd, true, std::move(path), *into, depth);
        }
    }
};

// One open handle per level is held while the walk goes down: allow as many as the system lets.
void RaiseOpenFileLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

bool IsShortcutFile(const fs::directory_entry& e) {
    std::error_code ec;
    const std::string name = Lower(e.path().filename().string());
    return !e.is_symlink(ec) && e.is_regular_file(ec) && name.size() > 4 &&
           name.compare(name.size() - 4, 4, ".url") == 0;
}

// Removes the shortcut files (regular files ending in ".url") below dir, and the folders that
// end up empty. Links are neither entered nor removed: what they point at is not ours.
void Clear(const fs::path& dir, const WriteTargetCheck& guard) {
    for (const auto& e : Entries(dir)) {
        std::error_code ec;
        if (e.is_symlink(ec))
            continue;
        if (e.is_directory(ec)) {
            Clear(e.path(), guard);
            fs::remove(e.path(), ec); // a folder that still holds other files stays
        } else if (IsShortcutFile(e) && !guard.IsProtected(e.path().string())) {
            fs::remove(e.path(), ec);
        }
    }
}

// A new shortcut file holds exactly these two lines; a second shortcut of the same name in the
// same category replaces the value in place, as the profile writer does.
bool WriteNewShortcutFile(const std::string& path, const std::string& url) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return false;
    const std::string text = "[InternetShortcut]\r\nURL=" + url + "\r\n";
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && ok;
}

// How far an export has come, for the message when it fails half-way.
struct ExportCount {
    std::size_t written = 0;
    std::size_t total = 0;
    WriteTargetCheck guard; // a data file among the shortcut files is left alone
};

void WriteShortcuts(const CategoryNode& node, const fs::path& dir, ExportCount& count) {
    std::unordered_set<std::string> written;
    for (const auto& s : node.Folder().Shortcuts) {
        const fs::path file = dir / (FavoritesFileName(s->Name, 251) + ".url");
        count.guard.Refuse(file.string());
        bool ok;
        // The folder was cleared of ".url" files first: a name not written yet is a new file.
        if (written.insert(file.string()).second) {
            ok = WriteNewShortcutFile(file.string(), s->URL);
        } else {
            ProfileFile profile(file.string());
            profile.Write("InternetShortcut", "URL", s->URL);
            ok = profile.Save();
        }
        if (!ok) {
            const int err = errno;
            throw ELynkora("Could not write " + file.string() + ": " + std::strerror(err) + "\n\nThe export stopped after " +
                           std::to_string(count.written) + " of " + std::to_string(count.total) +
                           " shortcuts; those are in the folder.");
        }
        ++count.written;
    }
}

// Every category is written on its own terms: an included one below an excluded one counts too.
std::size_t ExportedShortcuts(const CategoryNode& node) {
    std::size_t n = IsExcluded(node) ? 0 : node.Folder().Shortcuts.Count();
    for (const auto& child : node.Children())
        n += ExportedShortcuts(*child);
    return n;
}

void WriteCategory(const CategoryNode& node, const fs::path& parent, ExportCount& count) {
    const fs::path dir = parent / FavoritesFileName(node.Text(), 255);
    if (!IsExcluded(node)) {
        // All levels: an included category below an excluded one still gets its folder.
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(dir, ec)))
            throw ELynkora("Could not export into " + dir.string() +
                           ": it is a symbolic link, and the export writes only inside its folder");
        fs::create_directories(dir, ec);
        WriteShortcuts(node, dir, count);
    }
    std::error_code ec;
    if (node.ChildCount() > 0 && fs::is_symlink(fs::symlink_status(dir, ec)))
        throw ELynkora("Could not export into " + dir.string() +
                       ": it is a symbolic link, and the export writes only inside its folder");
    for (const auto& child : node.Children())
        WriteCategory(*child, dir, count);
}

} // namespace

std::string FavoritesFileName(const std::string& name, std::size_t maxBytes) {
    std::string out = name;
    for (auto& c : out)
        if (std::strchr("<>:/\\|\"*?", c) || c == '\0')
            c = '_';
    if (out.empty() || out == "." || out == "..")
        out = std::string(std::max<std::size_t>(out.size(), 1), '_');
    if (out.size() > maxBytes) {
        // First part and last two bytes; never cut inside a UTF-8 character.
        std::size_t head = maxBytes - 2;
        while (head > 0 && (static_cast<unsigned char>(out[head]) & 0xC0) == 0x80)
            --head;
        std::size_t tail = out.size() - 2;
        while (tail > head && (static_cast<unsigned char>(out[tail]) & 0xC0) == 0x80)
            --tail;
        out = out.substr(0, head) + out.substr(tail);
    }
    return out;
}

void ImportFavoritesFolder(const std::string& path, CategoryNode& node, ImportTarget& target) {
    RaiseOpenFileLimit();
    FolderHandle root{::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (root.fd < 0)
        throw ELynkora("Could not read the folder " + path + ": " + std::strerror(errno));
    struct stat st {};
    ::fstat(root.fd, &st);
    FolderWalk walk{target, NowDateTime(), {{st.st_dev, st.st_ino}}};
    walk.Read(root.fd, path, node, node.Depth());
}

void ExportFavoritesFolder(const CategoryTree& tree, const std::string& path) {
    const fs::path dir = path;
    ExportCount count;
    Clear(dir, count.guard);
    const CategoryNode* root = tree.RootNode();
    if (!root)
        return;
    std::error_code ec;
    fs::create_directories(dir, ec);
    count.total = ExportedShortcuts(*root);
    if (!IsExcluded(*root))
        WriteShortcuts(*root, dir, count);
    for (const auto& child : root->Children())
        WriteCategory(*child, dir, count);
}

} // namespace lynkora
