#pragma once

#include <string>
#include <vector>

namespace lynkora {

// The parameters a configured browser gets for a URL: a command holding "%" is a template
// filled with the URL ("%s", "%0:s", widths; "%%" is a percent sign), any other command is
// followed by one blank and the URL (the blank stays when the command is empty). A template
// that is not valid for one text argument fails with the format error.
std::string BrowserParameters(const std::string& command, const std::string& url);

// A typed command line with the shell placeholder "%1" turned into "%s" (the first "1" only,
// and only when a "%" stands right before it).
std::string NormalizeBrowserCommand(std::string command);

// The launch error's text for an operating-system error.
std::string LaunchErrorText(int code, const std::string& systemText);

// Starts the program detached with the parameters split into arguments as a shell would (quotes
// group words). Fails with the launch error text.
void LaunchBrowser(const std::string& program, const std::string& parameters);

} // namespace lynkora
