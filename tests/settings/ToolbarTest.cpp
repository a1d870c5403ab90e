// The tool bar layout: its stream form, and the customisation rules without the window.
#include "settings/ToolbarLayout.h"
#include "settings/ToolbarStream.h"
#include "store/Errors.h"
#include "store/ObjectStream.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lynkora;

namespace {

// The window's commands that matter here, in action-list order, with one internal one.
std::vector<TToolCommand> Commands() {
    return {{"acNewFile", "New", "&New datafile...", 9},   {"acClose", "File", "&Close", -1},
            {"acOpen", "File", "&Open...", 10},            {"acSave", "File", "&Save", 11},
            {"acBackup", "_Window", "Create backup", -1}, {"acDelete", "Edit", "&Delete", 15},
            {"acFind", "edit", "&Find...", 12},            {"acProp", "Edit", "&Properties", 16},
            {"acNewFolder", "New", "&Category...", 17},    {"acNewShort", "New", "&Internet shortcut...", 18},
            {"acOpenBrowser", "Tools", "Open", 20},        {"acVerCat", "Verifiy", "&Category", 23}};
}

std::vector<std::string> Captions(const std::vector<TToolEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.caption);
    return out;
}

int RowOf(const std::vector<TToolEntry>& entries, const std::string& caption) {
    auto it = std::find_if(entries.begin(), entries.end(), [&](const TToolEntry& e) { return e.caption == caption; });
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

int CategoryRow(const TToolbarEditor& e, const std::string& name) {
    const auto& c = e.Categories();
    return static_cast<int>(std::find(c.begin(), c.end(), name) - c.begin());
}

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}

class ToolbarStreamTest : public ::testing::Test {
protected:
    ToolbarClassRegistration classes;
};

} // namespace

TEST_F(ToolbarStreamTest, ALayoutReadsBackAndWritesTheSameBytes) {
    TToolBar bar;
    bar.AddImageButton("acOpen", "&Open...", 10);
    bar.AddSeparator();
    bar.AddTextButton("acClose", "&Close", 44);
    bar.AddSeparator();
    bar.AddImageButton("acDelete", "&Delete", 15);
    const std::string bytes = ObjectStream::WriteObject(bar);

    TToolBar back;
    ObjectStream::ReadObject(bytes, back);
    ASSERT_EQ(back.Controls.size(), 5u);
    EXPECT_EQ(back.Controls[0]->Name, "ToolButton1");
    EXPECT_EQ(back.Controls[0]->Action, "acOpen");
    EXPECT_TRUE(back.Controls[1]->IsSeparator());
    EXPECT_EQ(back.Controls[1]->Width, 8);
    auto* text = dynamic_cast<const TSpeedButton*>(back.Controls[2].get());
    ASSERT_NE(text, nullptr) << "a command without an image is a speed button";
    EXPECT_EQ(text->Name, "SpeedButton1");
    EXPECT_EQ(text->Width, 44);
    EXPECT_FALSE(text->Transparent);
    EXPECT_EQ(back.Controls[4]->Name, "ToolButton4");
    EXPECT_EQ(ObjectStream::WriteObject(back), bytes);
    EXPECT_EQ(ObjectStream::WriteObject(TToolBar(back)), bytes) << "a copy streams the same";
}

TEST_F(ToolbarStreamTest, TheStreamFormOfOneSeparator) {
    TToolBar bar;
    bar.AddSeparator();
    const std::string expected = std::string("TPF0") + "\x08TToolBar\x08toolMain" + "\x04" "Flat\x09" +
                                 "\x08ShowHint\x09" + std::string(1, '\0') + "\x0BTToolButton\x0BToolButton1" +
                                 "\x05Style\x07\x0CtbsSeparator" + "\x05Width\x02\x08" + std::string(3, '\0');
    EXPECT_EQ(Hex(ObjectStream::WriteObject(bar)), Hex(expected));
    TToolBar command;
    command.AddImageButton("acOpen", "&Open...", 10);
    const std::string bytes = ObjectStream::WriteObject(command);
    EXPECT_NE(bytes.find("\x06" "Action\x07\x06" "acOpen"), std::string::npos) << "the command is a reference";
    EXPECT_EQ(bytes.find("Style"), std::string::npos) << "tbsButton is the default";
}

TEST_F(ToolbarStreamTest, ForeignOrDamagedStreamsAreRefused) {
    TToolBar bar;
    bar.AddImageButton("acOpen", "&Open...", 10);
    const std::string good = ObjectStream::WriteObject(bar);
    auto fails = [](std::string bytes, const std::string& message) {
        TToolBar target;
        try {
            ObjectStream::ReadObject(bytes, target);
            ADD_FAILURE() << "read " << message;
        } catch (const EReadError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    };
    std::string foreign = good;
    foreign.replace(foreign.find("TToolButton"), 11, "TEditButton");
    fails(foreign, "Class TEditButton not found");
    fails(good.substr(0, good.size() - 3), "Stream read error");
    std::string wrongTag = good;
    wrongTag[wrongTag.find("Action") + 6] = '\x06'; // text where a reference belongs
    fails(wrongTag, "Error reading ToolButton1.Action: Invalid property value");
    // A tool bar standing on a tool bar is no control of it.
    TToolBar outer;
    const std::string inner = ObjectStream::WriteObject(outer);
    std::string twice = inner.substr(0, inner.size() - 1) + inner.substr(4) + std::string(1, '\0');
    fails(twice, "Invalid stream format");
}

TEST(ToolbarEditor, CategoriesAndCommandsAsOffered) {
    TToolbarEditor e(Commands());
    EXPECT_EQ(e.Categories(), (std::vector<std::string>{"Edit", "File", "New", "Tools", "Verifiy"}))
        << "sorted, one per name ignoring case, internal ones left out";
    e.Fill(TToolBar{});
    EXPECT_EQ(e.SelectedCategory(), 0);
    EXPECT_EQ(Captions(e.CommandList()), (std::vector<std::string>{"Separator", "Delete", "Find...", "Properties"}));
    EXPECT_EQ(e.CommandList()[0].image, kSeparatorImage);
    EXPECT_FALSE(e.AddEnabled() || e.RemoveEnabled() || e.UpEnabled() || e.DownEnabled());
    e.SelectCategory(CategoryRow(e, "File"));
    EXPECT_EQ(Captions(e.CommandList()), (std::vector<std::string>{"Separator", "Close", "Open...", "Save"}));
    EXPECT_EQ(e.CommandList()[1].image, -1) << "Close has no image";
    EXPECT_FALSE(e.AddEnabled());
    e.SelectCommand(1);
    EXPECT_TRUE(e.AddEnabled());
    EXPECT_EQ(StripAccessKey("Sa&ve as..."), "Save as...");
    EXPECT_EQ(StripAccessKey("Fish && &Chips"), "Fish & Chips");
}

TEST(ToolbarEditor, ACommandStandsOnceAndASeparatorAsOftenAsWanted) {
    TToolbarEditor e(Commands());
    e.Fill(DefaultToolbar(Commands()));
    EXPECT_EQ(Captions(e.Layout()), (std::vector<std::string>{"Open...", "Separator", "Category...",
                                                              "Internet shortcut...", "Separator", "Properties",
                                                              "Delete"}));
    EXPECT_EQ(Captions(e.CommandList()), (std::vector<std::string>{"Separator", "Find..."}));
    e.SelectCategory(CategoryRow(e, "Verifiy"));
    EXPECT_EQ(RowOf(e.CommandList(), "Category"), 1) << "same word, other caption than Category...";

    e.SelectCategory(CategoryRow(e, "File"));
    e.SelectCommand(RowOf(e.CommandList(), "Close"));
    e.Add();
    EXPECT_EQ(e.Layout().back().caption, "Close");
    EXPECT_EQ(RowOf(e.CommandList(), "Close"), -1) << "the added command leaves the list";
    EXPECT_FALSE(e.AddEnabled());
    e.SelectCommand(0);
    e.Add();
    e.Add();
    EXPECT_TRUE(e.AddEnabled()) << "the separator stays chosen";
    EXPECT_EQ(e.Layout().size(), 10u);
    EXPECT_TRUE(e.Layout()[8].IsSeparator() && e.Layout()[9].IsSeparator());

    e.SelectLayout(RowOf(e.Layout(), "Close"));
    e.Remove();
    EXPECT_EQ(RowOf(e.Layout(), "Close"), -1);
    EXPECT_NE(RowOf(e.CommandList(), "Close"), -1) << "the removed command returns";
    EXPECT_FALSE(e.RemoveEnabled() || e.UpEnabled() || e.DownEnabled());
}

TEST(ToolbarEditor, UpAndDownAtTheEnds) {
    TToolbarEditor e(Commands());
    e.Fill(DefaultToolbar(Commands()));
    e.SelectLayout(0);
    EXPECT_TRUE(e.RemoveEnabled());
    EXPECT_FALSE(e.UpEnabled());
    EXPECT_TRUE(e.DownEnabled());
    e.Down();
    EXPECT_EQ(e.SelectedLayout(), 1);
    EXPECT_EQ(e.Layout()[1].caption, "Open...");
    EXPECT_TRUE(e.UpEnabled());
    e.SelectLayout(6);
    EXPECT_FALSE(e.DownEnabled());
    e.Down(); // nothing below the last
    EXPECT_EQ(e.Layout()[6].caption, "Delete");
    e.Up();
    EXPECT_EQ(Captions(e.Layout())[5], "Delete");
    EXPECT_EQ(e.SelectedLayout(), 5);
    e.SelectLayout(-1);
    EXPECT_FALSE(e.RemoveEnabled() || e.UpEnabled() || e.DownEnabled());
}

TEST(ToolbarEditor, BuildGivesTheButtonsTheLayoutNames) {
    TToolBar stored = DefaultToolbar(Commands());
    stored.AddImageButton("acGone", "&Gone", 3); // a command this window no longer has
    TToolbarEditor e(Commands());
    e.Fill(stored);
    EXPECT_EQ(e.Layout().size(), 7u);
    e.SelectCategory(CategoryRow(e, "File"));
    e.SelectCommand(RowOf(e.CommandList(), "Close"));
    e.Add();
    const TToolBar built = e.Build(false, true, [](const std::string& text) { return int(text.size()) * 7; });
    ASSERT_EQ(built.Controls.size(), 8u);
    EXPECT_FALSE(built.Flat);
    EXPECT_EQ(built.Controls[0]->Action, "acOpen");
    EXPECT_EQ(built.Controls[0]->Caption, "&Open...");
    EXPECT_EQ(static_cast<const TToolButton&>(*built.Controls[0]).ImageIndex, 10);
    EXPECT_TRUE(built.Controls[1]->IsSeparator());
    auto* close = dynamic_cast<const TSpeedButton*>(built.Controls[7].get());
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->Width, 5 * 7 + 12) << "as wide as its caption and 12 pixels";
    EXPECT_FALSE(close->Flat) << "flat when the tool bar is";
}
