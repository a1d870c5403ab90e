#include "FavoritesFolder.h"

#include "store/TextTools.h"
#include "BookmarkWriters.h"
#include "ProfileFile.h"
#include "TextDecoding.h"

#include "store/DateTime.h"
#include "store/Errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <unordered_set>

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
std::string UrlOf(const fs::path& file) {
    ProfileFile profile(file.string());
    const std::string wide = profile.Read("InternetShortcut.W", "URL");
    if (!wide.empty())
        return DecodeUtf7(wide);
    return DecodeEightBit(profile.Read("InternetShortcut", "URL"));
}

void ReadShortcutFiles(const fs::path& dir, CategoryNode& node, ImportTarget& target, TDateTime now) {
    for (const auto& e : Entries(dir)) {
        const std::string name = e.path().filename().string();
        const std::string lower = Lower(name);
        if (lower.find(".url") == std::string::npos)
            continue;
        std::error_code ec;
        if (e.is_symlink(ec) || !e.is_regular_file(ec))
            continue; // a link may point out of the favourites
        const std::string url = UrlOf(e.path());
        if (url.empty() || target.HoldsUrl(node, url))
            continue;
        TIShortcut& s = target.AddShortcut(node, url);
        s.Name = lower.size() >= 4 ? lower.substr(0, lower.size() - 4) : lower;
        s.Added = now;
        s.Keywords.Add("Internet Explorer");
    }
}

void ReadFolder(const fs::path& dir, CategoryNode& node, ImportTarget& target, TDateTime now) {
    ReadShortcutFiles(dir, node, target, now);
    for (const auto& e : Entries(dir)) {
        std::error_code ec;
        // A linked folder is not entered: it may lead out of the favourites or round in a loop.
        if (e.is_symlink(ec) || !e.is_directory(ec))
            continue;
        const std::string name = e.path().filename().string();
        CategoryNode* child = nullptr;
        if (CategoryTree::FindChildCategory(node, name, &child)) {
            auto category = std::make_unique<TISFolder>();
            category->FolderName = name;
            category->Keywords.Add("Internet Explorer");
            child = &target.AddCategory(node, std::move(category));
        }
        ReadFolder(e.path(), *child, target, now);
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
void Clear(const fs::path& dir) {
    for (const auto& e : Entries(dir)) {
        std::error_code ec;
        if (e.is_symlink(ec))
            continue;
        if (e.is_directory(ec)) {
            Clear(e.path());
            fs::remove(e.path(), ec); // a folder that still holds other files stays
        } else if (IsShortcutFile(e)) {
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

void WriteShortcuts(const CategoryNode& node, const fs::path& dir) {
    std::unordered_set<std::string> written;
    for (const auto& s : node.Folder().Shortcuts) {
        const fs::path file = dir / (FavoritesFileName(s->Name, 251) + ".url");
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
            throw ELynkora("Windows Errorcode " + std::to_string(err) + ": Path(" +
                           std::to_string(file.string().size()) + ")\r\r" + std::strerror(err));
        }
    }
}

void WriteCategory(const CategoryNode& node, const fs::path& parent) {
    const fs::path dir = parent / FavoritesFileName(node.Text(), 255);
    if (!IsExcluded(node)) {
        // All levels: an included category below an excluded one still gets its folder.
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(dir, ec)))
            throw ELynkora("Could not export into " + dir.string() +
                           ": it is a symbolic link, and the export writes only inside its folder");
        fs::create_directories(dir, ec);
        WriteShortcuts(node, dir);
    }
    std::error_code ec;
    if (node.ChildCount() > 0 && fs::is_symlink(fs::symlink_status(dir, ec)))
        throw ELynkora("Could not export into " + dir.string() +
                       ": it is a symbolic link, and the export writes only inside its folder");
    for (const auto& child : node.Children())
        WriteCategory(*child, dir);
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
    fs::path dir = path;
    ReadFolder(dir, node, target, NowDateTime());
}

void ExportFavoritesFolder(const CategoryTree& tree, const std::string& path) {
    const fs::path dir = path;
    Clear(dir);
    const CategoryNode* root = tree.RootNode();
    if (!root)
        return;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!IsExcluded(*root))
        WriteShortcuts(*root, dir);
    for (const auto& child : root->Children())
        WriteCategory(*child, dir);
}

} // namespace lynkora
