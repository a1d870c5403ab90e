#pragma once

#include <string>
#include <vector>

namespace lynkora {

struct DesktopBrowser {
    std::string path;    // the executable, empty when none is known
    std::string command; // its arguments, field codes removed
};

// The words of a desktop entry's Exec line (quotes and backslash escapes resolved), without
// field codes such as %u or %U ("%%" stays as "%").
std::vector<std::string> ParseExecLine(const std::string& exec);

// The Exec line of a desktop entry (by its id, such as "firefox.desktop") found below the
// applications folders of the given data folders; empty when there is none.
std::string FindDesktopExec(const std::string& desktopId, const std::vector<std::string>& dataDirs);

// The desktop's default web browser: xdg-settings, else xdg-mime for http, then its desktop
// entry. Nothing found gives an empty entry.
DesktopBrowser FindDefaultBrowser();

// The user's and the system's data folders, in lookup order.
std::vector<std::string> XdgDataDirs();

// Runs a program with arguments and returns its standard output trimmed, empty on failure
// (never waits more than a few seconds).
std::string RunTool(const std::string& program, const std::vector<std::string>& args);

} // namespace lynkora
