#include "support/QtTestApp.h"

#include "companions/HelpTopics.h"
#include "companions/HelpWindow.h"
#include "store/TextTools.h"

#include <QTextBrowser>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace lynkora;

namespace {

// The page of a place exists and holds the anchor.
void ExpectPlace(const std::string& target) {
    const auto hash = target.find('#');
    const std::string page = ReadFileBytes(std::string(LYNKORA_SOURCE_DIR) + "/help/" + target.substr(0, hash));
    ASSERT_FALSE(page.empty()) << target;
    if (hash != std::string::npos) {
        const std::string anchor = target.substr(hash + 1);
        EXPECT_NE(page.find("id=\"" + anchor + "\""), std::string::npos) << target;
    }
}

} // namespace

TEST(Help, EveryTopicAndContextNumberLeadsToItsPlace) {
    for (const auto& topic : HelpTopicNames()) {
        const auto target = HelpTopicTarget(topic);
        ASSERT_TRUE(target.has_value()) << topic;
        ExpectPlace(*target);
    }
    for (int context : HelpContextNumbers()) {
        const auto target = HelpContextTarget(context);
        ASSERT_TRUE(target.has_value()) << context;
        ExpectPlace(*target);
    }
    EXPECT_FALSE(HelpTopicTarget("topicNowhere").has_value());
    EXPECT_FALSE(HelpContextTarget(1999).has_value());
    for (const auto& entry : HelpContents())
        ExpectPlace(entry.second);
    for (const auto& entry : HelpIndex())
        ExpectPlace(entry.second);
}

TEST(Help, TheWindowShowsPagesWithHistory) {
    test::EnsureQtApp();
    setenv("LYNKORA_HELP_DIR", (std::string(LYNKORA_SOURCE_DIR) + "/help").c_str(), 1);
    HelpWindow window;
    window.ShowTarget(*HelpContextTarget(1304));
    EXPECT_TRUE(window.Browser()->source().toString().endsWith("categories-shortcuts.html#ctx-1304"));
    EXPECT_TRUE(window.Browser()->toPlainText().contains("Target URL"));
    window.ShowTarget(*HelpTopicTarget("topicDup"));
    EXPECT_TRUE(window.Browser()->isBackwardAvailable());
    window.Browser()->backward();
    EXPECT_TRUE(window.Browser()->source().toString().contains("categories-shortcuts.html"));
    window.ShowTarget("index.html");
    window.show();
    window.grab().save(QString::fromStdString(std::string(LYNKORA_BINARY_DIR) + "/help-window.png"));
    unsetenv("LYNKORA_HELP_DIR");
}
