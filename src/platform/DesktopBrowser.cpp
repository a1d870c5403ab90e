#include "DesktopBrowser.h"

#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>
#include <fstream>

namespace lynkora {

std::vector<std::string> ParseExecLine(const std::string& exec) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size()) {
                word += exec[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);

    std::vector<std::string> out;
    for (const auto& w : words) {
        std::string cleaned;
        for (std::size_t i = 0; i < w.size(); ++i) {
            if (w[i] == '%' && i + 1 < w.size()) {
                if (w[i + 1] == '%')
                    cleaned += '%';
                ++i; // a field code: dropped
                continue;
            }
            cleaned += w[i];
        }
        if (!cleaned.empty())
            out.push_back(cleaned);
    }
    return out;
}

std::vector<std::string> XdgDataDirs() {
    std::vector<std::string> dirs;
    const char* home = std::getenv("XDG_DATA_HOME");
    if (home && *home)
        dirs.push_back(home);
    else if (const char* h = std::getenv("HOME"))
        dirs.push_back(std::string(h) + "/.local/share");
    const char* system = std::getenv("XDG_DATA_DIRS");
    std::string list = system && *system ? system : "/usr/local/share:/usr/share";
    std::size_t start = 0;
    while (start <= list.size()) {
        const auto colon = list.find(':', start);
        const std::string dir = list.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!dir.empty())
            dirs.push_back(dir);
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return dirs;
}

std::string FindDesktopExec(const std::string& desktopId, const std::vector<std::string>& dataDirs) {
    if (desktopId.empty() || desktopId.find('/') != std::string::npos)
        return {};
    for (const auto& dir : dataDirs) {
        std::ifstream in(dir + "/applications/" + desktopId);
        if (!in)
            continue;
        bool inMain = false;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty() && line[0] == '[')
                inMain = line == "[Desktop Entry]";
            else if (inMain && line.rfind("Exec=", 0) == 0)
                return line.substr(5);
        }
    }
    return {};
}

std::string RunTool(const std::string& program, const std::vector<std::string>& args) {
    QProcess process;
    QStringList list;
    for (const auto& a : args)
        list << QString::fromStdString(a);
    process.start(QString::fromStdString(program), list);
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput().trimmed().toStdString();
}

DesktopBrowser FindDefaultBrowser() {
    std::string id = RunTool("xdg-settings", {"get", "default-web-browser"});
    if (id.empty())
        id = RunTool("xdg-mime", {"query", "default", "x-scheme-handler/http"});
    const std::vector<std::string> words = ParseExecLine(FindDesktopExec(id, XdgDataDirs()));
    DesktopBrowser browser;
    if (words.empty())
        return browser;
    browser.path = words[0];
    if (browser.path.find('/') == std::string::npos) {
        const QString found = QStandardPaths::findExecutable(QString::fromStdString(browser.path));
        if (!found.isEmpty())
            browser.path = found.toStdString();
    }
    for (std::size_t i = 1; i < words.size(); ++i)
        browser.command += (i > 1 ? " " : "") + words[i];
    return browser;
}

} // namespace lynkora
