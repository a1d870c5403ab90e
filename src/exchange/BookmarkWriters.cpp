#include "BookmarkWriters.h"

#include "TextDecoding.h"

#include "store/ProtectedFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lynkora {

namespace {

// Names and URLs are escaped so a browser (and our reader) reads them back as they are.
std::string Link(const TIShortcut& s) {
    return "<DT><A HREF=\"" + EscapeHtml(s.URL) + "\">" + EscapeHtml(s.Name) + "</A>";
}

void NetscapeBlock(const CategoryNode& node, std::string& out, const char* eol) {
    if (IsExcluded(node))
        return;
    out += "<DT><H3>" + EscapeHtml(node.Text()) + "</H3>" + eol;
    out += std::string("<DL><P>") + eol;
    for (const auto& child : node.Children())
        NetscapeBlock(*child, out, eol);
    for (const auto& s : node.Folder().Shortcuts)
        out += Link(*s) + eol;
    out += std::string("</DL><P>") + eol;
}

void MozillaBlock(const CategoryNode& node, std::string& out, std::mt19937& random) {
    if (IsExcluded(node))
        return;
    char id[16];
    std::uniform_int_distribution<unsigned> dist(0, 2147483646u);
    std::snprintf(id, sizeof id, "$%08x", dist(random));
    out += std::string("<DT><H3 ID=\"NC:BookmarksRoot#") + id + "\">" + EscapeHtml(node.Text()) +
           "</H3>\n<DL><P>\n";
    for (const auto& child : node.Children())
        MozillaBlock(*child, out, random);
    for (const auto& s : node.Folder().Shortcuts)
        out += Link(*s) + "\n";
    out += "</DL><P>\n";
}

// A hotlist value is one line: a line break inside a name or description would end its block.
std::string OneLine(const std::string& text) {
    std::string out = text;
    for (auto& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

void UrlBlock(const TIShortcut& s, std::string& out) {
    out += "#URL\r\n\tNAME=" + OneLine(s.Name) + "\r\n\tURL=" + OneLine(s.URL) +
           "\r\n\tCREATED=\r\n\tVISITED=\r\n\tORDER=\r\n\tDESCRIPTION=" + OneLine(s.Descr) +
           "\r\n\tSHORT NAME=\r\n\r\n";
}

void FolderBlock(const CategoryNode& node, std::string& out) {
    out += "#FOLDER\r\n\tNAME=" + OneLine(node.Folder().FolderName) +
           "\r\n\tCREATED=\r\n\tVISITED=\r\n\tORDER=\r\n\tDESCRIPTION=" +
           OneLine(node.Folder().Descr) + "\r\n\tSHORT NAME=\r\n\r\n";
    for (const auto& child : node.Children())
        FolderBlock(*child, out);
    for (const auto& s : node.Folder().Shortcuts)
        UrlBlock(*s, out);
    out += "-\r\n\r\n";
}

} // namespace

bool IsExcluded(const CategoryNode& node) {
    return node.Image() == NodeImage::Excluded ||
           (node.Image() == NodeImage::Verifying && node.Folder().Exclude);
}

std::string NetscapeTarget(const std::string& path) {
    if (path.find(".htm") != std::string::npos || path.find(".HTM") != std::string::npos)
        return path;
    return path + (path.empty() || path.back() != '/' ? "/" : "") + "bookmark.htm";
}

bool WriteFileReplacing(const std::string& given, const std::string& bytes, std::string* why) {
    // A FIFO or a device is no file to replace; a symbolic link keeps being the user's link, and
    // the file it points to is the one replaced (its temporary beside it).
    std::string path = given;
    struct stat st {};
    if (::stat(given.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            if (why)
                *why = "it is not a regular file";
            return false;
        }
        std::error_code ec;
        if (std::filesystem::is_symlink(std::filesystem::symlink_status(given, ec)))
            path = std::filesystem::canonical(given, ec).string();
        if (ec)
            path = given;
    }
    const std::string temp = path + ".$tmp";
    // Neither the file nor its temporary may be an open data file: the rename would go around
    // the data file's lock.
    const WriteTargetCheck check;
    for (const std::string& target : {path, temp})
        if (const std::string owner = check.Owner(target); !owner.empty()) {
            if (why)
                *why = ProtectedTargetReason(owner);
            return false;
        }
    auto fail = [&](bool created) {
        const int err = errno;
        if (created)
            ::unlink(temp.c_str());
        if (why)
            *why = std::strerror(err);
        return false;
    };
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return fail(false);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            ::close(fd);
            errno = err;
            return fail(true);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0)
        return fail(true);
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        return fail(true);
    return true;
}

std::string NetscapeBookmarksText(const CategoryTree& tree) {
    const char* eol = "\r\n";
    std::string out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
                      "<!-- This is an automatically generated file.\r\n"
                      "It will be read and overwritten.\r\n"
                      "Do Not Edit! -->\r\n"
                      "<TITLE>Lynkora Internet Shortcuts</TITLE>\r\n"
                      "<H1>Lynkora 4.0 Internet Shortcuts</H1>\r\n"
                      "\r\n"
                      "<DL><P>\r\n";
    // The root's shortcuts and the category blocks share the one root list, closed once: other
    // programs' readers count the lists and stop at an extra end.
    if (const CategoryNode* root = tree.RootNode()) {
        for (const auto& s : root->Folder().Shortcuts)
            out += Link(*s) + eol;
        for (const auto& child : root->Children())
            NetscapeBlock(*child, out, eol);
    }
    out += "</DL><P>\r\n";
    return out;
}

std::string MozillaBookmarksText(const CategoryTree& tree, std::mt19937& random) {
    std::string out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                      "<!-- This is an automatically generated file.\n"
                      "It will be read and overwritten.\n"
                      "Do Not Edit! -->\n"
                      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                      "<TITLE>Bookmarks</TITLE>\n"
                      "<H1>Bookmarks</H1>\n"
                      "\n"
                      "<DL><P>\n";
    if (const CategoryNode* root = tree.RootNode()) {
        for (const auto& s : root->Folder().Shortcuts)
            out += Link(*s) + "\n";
        for (const auto& child : root->Children())
            MozillaBlock(*child, out, random);
    }
    out += "</DL><P>\n";
    return out;
}

std::string OperaHotlistText(const CategoryTree& tree) {
    std::string out = "Opera Hotlist version 2.0\r\n\r\n";
    if (const CategoryNode* root = tree.RootNode()) {
        for (const auto& child : root->Children())
            FolderBlock(*child, out);
        for (const auto& s : root->Folder().Shortcuts)
            UrlBlock(*s, out);
    }
    out += "-\r\n\r\n-\r\n";
    return out;
}

bool ExportNetscapeBookmarks(const CategoryTree& tree, const std::string& path, std::string* why) {
    return WriteFileReplacing(NetscapeTarget(path), NetscapeBookmarksText(tree), why);
}

bool ExportMozillaBookmarks(const CategoryTree& tree, const std::string& path, std::mt19937& random,
                            std::string* why) {
    return WriteFileReplacing(NetscapeTarget(path), MozillaBookmarksText(tree, random), why);
}

bool ExportOperaHotlist(const CategoryTree& tree, const std::string& path, std::string* why) {
    return WriteFileReplacing(path, OperaHotlistText(tree), why);
}

} // namespace lynkora
