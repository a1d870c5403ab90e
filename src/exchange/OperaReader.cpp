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
    // Opera 7 and later write "Options: encoding = utf8"; older hotlists are 8-bit; a hotlist
    // saved by an editor may be UTF-16 with its byte order mark, or end its lines in CR alone.
    std::string text = DecodeTextFile(bytes);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            text[i] = '\n';
    const std::vector<std::string> lines = SplitLines(text);

    const TDateTime now = NowDateTime();
    ImportCursor cursor(target);
    int skipping = 0; // open folders being skipped (trash, deleted)

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string marker = Trim(lines[i]);
        if (marker == "-") {
            if (skipping > 0)
                --skipping;
            else
                cursor.CloseList();
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
            cursor.OpenList();
            std::string name = block.fields["NAME"];
            if (name.empty())
                name = kRootFolderName;
            cursor.EnterFolder(name, [&] {
                auto category = std::make_unique<TISFolder>();
                category->FolderName = name;
                category->Descr = block.fields["DESCRIPTION"];
                category->Keywords.Add("Opera");
                return category;
            });
        } else if (block.kind == "#URL") {
            if (skipping > 0 || Upper(block.fields["DELETED"]) == "YES")
                continue;
            const std::string url = Trim(block.fields["URL"]);
            if (url.empty())
                continue;
            if (TIShortcut* s = cursor.AddLink(url, block.fields["NAME"], "Opera", now))
                s->Descr = block.fields["DESCRIPTION"];
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
    // A missing default.adr yields nothing, without a message; one that cannot be read is an error.
    if (lower.find(".adr") == std::string::npos && !FileExists(file))
        return;
    ReadOperaHotlist(ReadInputFile(file), target);
}

} // namespace lynkora
