#include "PreviewReaders.h"

#include "TextDecoding.h"

#include "store/DataFileStorage.h"
#include "store/Errors.h"
#include "store/FileReplace.h"
#include "store/InputFile.h"
#include "store/ObjectStream.h"

#include "cfb/Storage.h"

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace lynkora {

namespace {

std::string Upper(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// A file to import, whole: one that is not there is said so; a FIFO or a device is refused
// rather than waited on or read for ever.
std::string ReadRegularFile(const std::string& path) {
    if (!FileExists(path))
        throw ELynkora("The specified file could not be found!      \n\n" + path);
    InputFile in(path);
    std::string bytes;
    while (in.AppendTo(bytes, 1 << 16)) {
    }
    return bytes;
}

// Removes each "../" with the path segment before it, and each "./", never before the start.
std::string Resolve(std::string v) {
    for (std::size_t at; (at = v.find("../")) != std::string::npos;) {
        std::size_t segment = 0;
        if (at >= 2) {
            const auto slash = v.rfind('/', at - 2);
            segment = slash == std::string::npos ? 0 : slash + 1;
        }
        v.erase(segment, at + 3 - segment);
    }
    for (std::size_t at; (at = v.find("./")) != std::string::npos;)
        v.erase(at, 2);
    return v;
}

} // namespace

void ScanHtmlLinks(std::vector<std::string>& links, const std::string& base, const std::string& file) {
    if (!FileExists(file))
        return; // nothing to scan
    std::istringstream in(ReadRegularFile(file));
    static const std::string kMarker = "<A HREF=\"";
    // Positions move along the line: a page with all its links on one line is read in one pass.
    auto at = [](const std::string& s, std::size_t pos, const char* prefix) { return s.compare(pos, std::strlen(prefix), prefix) == 0; };
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string& v = line;
        const std::string u = Upper(line);
        for (std::size_t pos = 0, found; (found = u.find(kMarker, pos)) != std::string::npos;) {
            pos = found + kMarker.size();
            while (pos < u.size() && u[pos] == ' ')
                ++pos;
            if (at(u, pos, "#") || at(u, pos, "MAILTO:") || at(u, pos, "NEWS:") || at(u, pos, "FTP://"))
                continue;
            if (at(u, pos, "FILE:///"))
                pos += 8;
            const std::size_t quote = v.find('"', pos);
            std::string value = v.substr(pos, quote == std::string::npos ? std::string::npos : quote - pos);
            const auto hash = value.find('#');
            if (hash != std::string::npos)
                value.erase(hash); // the fragment goes
            const bool relative = value.find("://") == std::string::npos &&
                                  !(value.size() > 2 && value.compare(1, 2, ":\\") == 0) &&
                                  !StartsWith(value, "/");
            if (relative)
                value = base + value;
            value = Resolve(value);
            if (value.size() > 255)
                value.resize(255);
            if (!value.empty())
                links.push_back(DecodeEightBit(value));
        }
    }
}

void LoadClassicDataFile(const std::string& file, PreviewEntry& fileEntry) {
    std::istringstream in(ReadRegularFile(file));
    auto number = [](const std::string& text, bool real, double fallback) -> double {
        char* end = nullptr;
        const double v = real ? std::strtod(text.c_str(), &end) : static_cast<double>(std::strtol(text.c_str(), &end, 10));
        return (text.empty() || *end != '\0') ? fallback : v;
    };
    auto attribute = [](std::string& line, const char* name, std::string& value) {
        const std::string key = std::string(name) + "=\"";
        const auto at = line.find(key);
        if (at == std::string::npos)
            return false;
        const auto open = line.find('"', at);
        const auto close = line.find('"', open + 1);
        value = line.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        line.erase(0, close == std::string::npos ? line.size() : close + 1);
        return true;
    };
    int indent = 0, previous = 0;
    PreviewEntry* current = nullptr;
    PreviewEntry* last = nullptr;
    PreviewEntry* anchor = nullptr;
    std::string line;
    std::getline(in, line); // the first line is a header
    const TDateTime now = NowDateTime();
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find("<table") != std::string::npos) {
            const auto style = line.find("style=");
            if (style != std::string::npos) {
                std::string rest = line.substr(std::min(line.size(), style + 6 + 14));
                rest = rest.substr(0, rest.find('"'));
                indent = static_cast<int>(number(rest, false, 0));
            } else {
                indent = 0;
            }
        }
        const auto h3 = line.find("h3");
        if (h3 != std::string::npos) {
            std::string rest = line.substr(h3 + 1);
            const auto strong = rest.find("<strong>");
            rest = strong == std::string::npos ? std::string() : rest.substr(strong + 8);
            const std::string name = DecodeEightBit(rest.substr(0, rest.find('<')));
            auto folder = std::make_unique<TISFolder>();
            folder->FolderName = name;
            folder->Keywords.Add("Lynkora 3");
            PreviewEntry* parent = &fileEntry;
            if (indent == 0) {
                previous = 0;
            } else if (indent > previous && last) {
                parent = last;
                anchor = last;
            } else if (indent == previous && anchor) {
                parent = anchor;
            } else if (anchor) {
                while (anchor->Parent() && anchor->Parent()->Depth() != indent / 20)
                    anchor = anchor->Parent();
                parent = anchor->Parent() ? anchor->Parent() : &fileEntry;
            }
            PreviewEntry& entry = parent->AddChild(PreviewEntry::Kind::Category, name);
            entry.SetFolder(std::move(folder));
            if (indent != 0) {
                if (indent < previous)
                    anchor = entry.Parent();
                previous = indent;
            }
            current = last = &entry;
            continue;
        }
        const auto href = line.find("href");
        if (href == std::string::npos || !current)
            continue;
        line.erase(0, href + 6);
        const auto quote = line.find('"');
        const std::string target = line.substr(0, quote);
        line.erase(0, quote == std::string::npos ? line.size() : quote + 1);
        std::string value;
        TIShortcut& s = current->Folder()->Shortcuts.Add();
        s.URL = DecodeEightBit(target);
        s.Added = attribute(line, "DATE_ADD", value) ? number(value, true, now) : now;
        s.Access = attribute(line, "DATE_VI", value) ? number(value, true, 0) : 0;
        attribute(line, "DATE_SET", value);
        attribute(line, "TIME_SET", value);
        attribute(line, "RET", value);
        s.Count = attribute(line, "CNT", value) ? static_cast<std::int32_t>(number(value, false, 0)) : 0;
        while (!line.empty() && line[0] == ' ')
            line.erase(0, 1);
        if (line.size() > 1 && line[1] == '<')
            line.erase(1, 42);
        line.erase(0, line.find('>') == std::string::npos ? line.size() : line.find('>') + 1);
        s.Name = DecodeEightBit(line.substr(0, line.find('<')));
    }
}

void LoadDataFileTree(const std::string& file, PreviewEntry& fileEntry) {
    if (!cfb::IsCompoundFile(file))
        throw ELynkora("Error: not a valid Lynkora file!      \n\n\"" + file + "\"");
    cfb::Storage root = cfb::OpenCompoundFile(file, false);
    cfb::Storage folders = root.OpenStorage(kRootFolderStorage);
    if (folders.Find(kDataStream) != cfb::ElementKind::Stream)
        return;
    auto rootFolder = std::make_unique<TISFolder>();
    ObjectStream::ReadObject(folders.OpenStream(kDataStream).ReadAll(), *rootFolder);
    rootFolder->Exclude = false;
    for (const auto& s : rootFolder->Shortcuts)
        fileEntry.AddShortcut(*s);
    fileEntry.SetFolder(std::move(rootFolder));

    WalkCategoryStorages(
        folders, &fileEntry,
        [](PreviewEntry* parent, const std::string& name, const std::string& data) {
            auto folder = std::make_unique<TISFolder>();
            folder->FolderID = name;
            ObjectStream::ReadObject(data, *folder);
            folder->Exclude = false;
            PreviewEntry& entry = parent->AddChild(PreviewEntry::Kind::Category, folder->FolderName);
            for (const auto& s : folder->Shortcuts)
                entry.AddShortcut(*s);
            entry.SetFolder(std::move(folder));
            return &entry;
        },
        true);
}

} // namespace lynkora
