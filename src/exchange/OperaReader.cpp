#include "OperaReader.h"

#include "store/TextTools.h"
#include "TextDecoding.h"

#include "store/DateTime.h"
#include "store/Errors.h"
#include "store/FileReplace.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

namespace lynkora {

namespace {

std::string Trim(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

std::string Upper(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// A block: its marker line ("#FOLDER", "#URL" ...) and its KEY=value lines up to a blank line.
struct Block {
    std::string kind;
    std::map<std::string, std::string> fields;
};

} // namespace

void ReadOperaHotlist(const std::string& bytes, ImportTarget& target) {
    // Opera 7 and later write "Options: encoding = utf8"; older hotlists are 8-bit.
    const std::string text = DecodeEightBit(bytes);
    const std::vector<std::string> lines = SplitLines(text);

    const TDateTime now = NowDateTime();
    int depth = 0;
    CategoryNode* parent = &target.Root();
    CategoryNode* folder = nullptr;
    int skipping = 0; // depth of folders being skipped (trash, deleted)
    auto close = [&] {
        if (skipping > 0) {
            --skipping;
            return;
        }
        if (depth == 1) {
            parent = folder = &target.Root();
        } else {
            if (parent->Parent())
                parent = parent->Parent();
            if (folder && folder->Parent())
                folder = folder->Parent();
        }
        --depth;
    };

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string marker = Trim(lines[i]);
        if (marker == "-") {
            close();
            continue;
        }
        if (marker.empty() || marker[0] != '#')
            continue;
        Block block;
        block.kind = Upper(marker);
        while (i + 1 < lines.size() && !Trim(lines[i + 1]).empty() && Trim(lines[i + 1]) != "-" &&
               Trim(lines[i + 1])[0] != '#') {
            const std::string field = lines[++i];
            const auto eq = field.find('=');
            const std::string key = Upper(Trim(field.substr(0, eq)));
            block.fields[key] = eq == std::string::npos ? std::string() : field.substr(eq + 1);
        }
        if (block.kind == "#FOLDER") {
            const bool trash = Upper(block.fields["TRASH FOLDER"]) == "YES" ||
                               Upper(block.fields["DELETED"]) == "YES";
            if (skipping > 0 || trash) {
                ++skipping;
                continue;
            }
            ++depth;
            std::string name = block.fields["NAME"];
            if (name.empty())
                name = kRootFolderName;
            folder = target.FindCategoryByName(name, parent->Depth() + 1);
            if (!folder) {
                auto category = std::make_unique<TISFolder>();
                category->FolderName = name;
                category->Descr = block.fields["DESCRIPTION"];
                category->Keywords.Add("Opera");
                folder = &target.AddCategory(*parent, std::move(category));
            }
            parent = folder;
        } else if (block.kind == "#URL") {
            if (skipping > 0 || Upper(block.fields["DELETED"]) == "YES")
                continue;
            const std::string url = Trim(block.fields["URL"]);
            if (url.empty())
                continue;
            if (!folder)
                folder = parent;
            if (target.HoldsUrl(*folder, url))
                continue;
            TIShortcut& s = target.AddShortcut(*folder, url);
            s.Name = block.fields["NAME"];
            s.Descr = block.fields["DESCRIPTION"];
            s.Added = now;
            s.Keywords.Add("Opera");
        }
        // #SEPERATOR, #DELETED, #NOTE and other blocks carry no bookmark.
    }
}

void ImportOperaHotlist(const std::string& path, ImportTarget& target) {
    const std::string lower = LowerAscii(path);
    std::string file = path;
    if (lower.find(".adr") == std::string::npos) {
        if (!file.empty() && file.back() == '/')
            file.pop_back();
        file += "/default.adr";
    } else if (!FileExists(file)) {
        throw ELynkora("The specified file could not be found!      \n\n" + lower);
    }
    // A missing default.adr yields nothing, without a message.
    ReadOperaHotlist(ReadFileBytes(file), target);
}

} // namespace lynkora
