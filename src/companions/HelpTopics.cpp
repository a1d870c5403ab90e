#include "HelpTopics.h"

#include "CompanionLibrary.h"

#include <cstdlib>

namespace lynkora {

const std::vector<std::string>& HelpTopicNames() {
    static const std::vector<std::string> names = {
        "topicOptionGen", "topicOptionsDis", "topicOptionsInt", "topicOptionsBrowse", "topicOptionsProxy",
        "topicOptionsAdv", "topicOptions", "topicSync", "topicImport", "topicDup"};
    return names;
}

const std::vector<int>& HelpContextNumbers() {
    static const std::vector<int> numbers = [] {
        std::vector<int> n;
        auto range = [&](int from, int to) {
            for (int i = from; i <= to; ++i)
                n.push_back(i);
        };
        range(1100, 1104);
        range(1200, 1201);
        range(1300, 1307);
        range(1400, 1403);
        range(1600, 1620);
        n.push_back(16041);
        n.push_back(16042);
        range(1700, 1703);
        range(1800, 1801);
        range(1900, 1902);
        return n;
    }();
    return numbers;
}

std::optional<std::string> HelpTopicTarget(const std::string& topic) {
    static const std::vector<std::pair<std::string, std::string>> pages = {
        {"topicOptionGen", "options.html"},    {"topicOptionsDis", "options.html"},
        {"topicOptionsInt", "options.html"},   {"topicOptionsBrowse", "options.html"},
        {"topicOptionsProxy", "options.html"}, {"topicOptionsAdv", "options.html"},
        {"topicOptions", "options.html"},      {"topicSync", "synchronising.html"},
        {"topicImport", "import-export.html"}, {"topicDup", "duplicates.html"}};
    for (const auto& [name, page] : pages)
        if (name == topic)
            return page + "#" + name;
    return std::nullopt;
}

std::optional<std::string> HelpContextTarget(int c) {
    const char* page = nullptr;
    if (c >= 1100 && c <= 1104)
        page = "import-export.html";
    else if (c == 1200 || c == 1201 || (c >= 1700 && c <= 1703))
        page = "synchronising.html";
    else if (c >= 1300 && c <= 1307)
        page = "categories-shortcuts.html";
    else if (c >= 1400 && c <= 1403)
        page = "find.html";
    else if ((c >= 1600 && c <= 1620) || c == 16041 || c == 16042)
        page = "options.html";
    else if (c == 1800 || c == 1801)
        page = "import-export.html";
    else if (c >= 1900 && c <= 1902)
        page = "browsers.html";
    if (!page)
        return std::nullopt;
    return std::string(page) + "#ctx-" + std::to_string(c);
}

const std::vector<std::pair<std::string, std::string>>& HelpContents() {
    static const std::vector<std::pair<std::string, std::string>> contents = {
        {"Welcome", "index.html"},
        {"Getting started", "getting-started.html"},
        {"The main window", "main-window.html"},
        {"Categories and shortcuts", "categories-shortcuts.html"},
        {"Data files, saving and backups", "files.html"},
        {"Verifying shortcuts", "verifying.html"},
        {"Importing and exporting", "import-export.html"},
        {"Synchronising with browsers", "synchronising.html"},
        {"Finding duplicates", "duplicates.html"},
        {"Finding shortcuts", "find.html"},
        {"Options", "options.html"},
        {"Browsers", "browsers.html"},
        {"Keyboard shortcuts", "keyboard.html"},
    };
    return contents;
}

const std::vector<std::pair<std::string, std::string>>& HelpIndex() {
    static const std::vector<std::pair<std::string, std::string>> index = {
        {"Abort all", "verifying.html"},
        {"Automatic storage mode", "options.html#general"},
        {"Backup", "files.html"},
        {"Browsers, configuring", "browsers.html"},
        {"Categories, creating", "categories-shortcuts.html#category"},
        {"Columns", "options.html#display"},
        {"Compaction", "files.html"},
        {"Duplicates", "duplicates.html"},
        {"Excluding categories", "categories-shortcuts.html"},
        {"Exporting to HTML", "import-export.html#html"},
        {"Favourites folders", "import-export.html#import"},
        {"Find", "find.html"},
        {"Importing from browsers", "import-export.html#import"},
        {"Importing from a file", "import-export.html#file"},
        {"Keyboard shortcuts", "keyboard.html"},
        {"Keywords", "categories-shortcuts.html#shortcut"},
        {"Netscape bookmark files", "import-export.html#import"},
        {"Opera hotlists", "import-export.html#import"},
        {"Proxy server", "options.html#proxy"},
        {"Reopen list", "options.html#general"},
        {"Save and Save as", "files.html"},
        {"Shortcuts, creating", "categories-shortcuts.html#shortcut"},
        {"Skip shortcut", "verifying.html"},
        {"Style sheets", "import-export.html#html"},
        {"Synchronising", "synchronising.html"},
        {"Toolbar, customising", "main-window.html"},
        {"Verifying", "verifying.html"},
        {"Views", "main-window.html"},
        {"Web style", "options.html#interface"},
        {"Wizard", "import-export.html#wizard"},
        {"Working copy", "files.html"},
    };
    return index;
}

std::string HelpDirectory() {
    if (const char* env = std::getenv("LYNKORA_HELP_DIR"); env && *env)
        return env;
    return CompanionLibrary::Directory() + "/help";
}

} // namespace lynkora
