#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lynkora {

// The help pages are HTML files in the "help" folder beside the program. A place in them is
// "page.html#anchor".

// The place of a topic name ("topicOptionGen", "topicSync" ...), or nothing for an unknown one.
std::optional<std::string> HelpTopicTarget(const std::string& topic);
// The place of a dialog control's context number (1300, 16041 ...).
std::optional<std::string> HelpContextTarget(int context);
// Every topic name and context number the program uses.
const std::vector<std::string>& HelpTopicNames();
const std::vector<int>& HelpContextNumbers();
// The contents (title, page) and the index (keyword, place).
const std::vector<std::pair<std::string, std::string>>& HelpContents();
const std::vector<std::pair<std::string, std::string>>& HelpIndex();
// The folder of the help pages.
std::string HelpDirectory();

} // namespace lynkora
