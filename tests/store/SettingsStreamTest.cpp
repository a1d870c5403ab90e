// The object stream carries settings objects too: enumerations, sets, and components with child
// objects created by class name.
#include "StreamBytes.h"

#include "store/ClassRegistry.h"
#include "store/Errors.h"
#include "store/ObjectStream.h"
#include "store/StringList.h"

#include <gtest/gtest.h>

using namespace lynkora;

namespace {

enum TestAlign { alNone, alTop, alBottom };

class TestButton : public StreamObject {
public:
    std::string name;
    std::int32_t ImageIndex = -1;
    std::int32_t Style = 0;
    std::int64_t Anchors = 3;
    TStringList Hints;
    const ClassInfo& classInfo() const override {
        static const ClassInfo info = [] {
            using C = TestButton;
            ClassInfo c;
            c.className = "TToolButton";
            c.properties = {
                props::integer("ImageIndex", &C::ImageIndex, -1),
                props::enumeration("Style", &C::Style, {"tbsButton", "tbsCheck", "tbsSeparator"}),
                props::set("Anchors", &C::Anchors, {"akLeft", "akTop", "akRight", "akBottom"}),
                props::object("Hints", &C::Hints),
            };
            c.properties[2].hasDefault = true;
            c.properties[2].defaultValue = 3;
            return c;
        }();
        return info;
    }
    bool isComponent() const override { return true; }
    std::string componentName() const override { return name; }
    void setComponentName(std::string n) override { name = std::move(n); }
};

class TestToolBar : public StreamObject {
public:
    std::int32_t Align = alTop;
    bool Flat = true;
    std::vector<std::unique_ptr<TestButton>> buttons;
    const ClassInfo& classInfo() const override {
        static const ClassInfo info = [] {
            ClassInfo c;
            c.className = "TToolBar";
            c.properties = {props::enumeration("Align", &TestToolBar::Align,
                                               {"alNone", "alTop", "alBottom"}),
                            props::boolean("Flat", &TestToolBar::Flat, true)};
            return c;
        }();
        return info;
    }
    std::string name;
    bool isComponent() const override { return true; }
    std::string componentName() const override { return name; }
    void setComponentName(std::string n) override { name = std::move(n); }
    std::size_t childCount() const override { return buttons.size(); }
    const StreamObject* child(std::size_t i) const override { return buttons[i].get(); }
    void adoptChild(std::unique_ptr<StreamObject> c) override {
        auto* b = dynamic_cast<TestButton*>(c.get());
        if (!b)
            throw EReadError("Invalid stream format");
        c.release();
        buttons.emplace_back(b);
    }
};

class RegisteredButtons : public ::testing::Test {
protected:
    void SetUp() override {
        ClassRegistry::Register("TToolButton", [] { return std::make_unique<TestButton>(); });
    }
    void TearDown() override { ClassRegistry::Unregister("TToolButton"); }
};

} // namespace

TEST_F(RegisteredButtons, ToolbarRoundTripsWithChildButtons) {
    TestToolBar bar;
    bar.Align = alBottom;
    for (int i = 0; i < 3; ++i) {
        auto b = std::make_unique<TestButton>();
        b->name = "ToolButton" + std::to_string(i);
        b->ImageIndex = i == 1 ? -1 : i + 10;
        b->Style = i == 1 ? 2 : 0;
        b->Anchors = i == 2 ? 0b1010 : 3;
        if (i == 0) {
            b->Hints.Add("second");
            b->Hints.Add("first");
        }
        bar.buttons.push_back(std::move(b));
    }
    const std::string bytes = ObjectStream::WriteObject(bar);
    EXPECT_NE(bytes.find("\x05""Align\x07\x08""alBottom"), std::string::npos);
    EXPECT_EQ(bytes.find("Flat"), std::string::npos) << "a Boolean at its default is left out";
    EXPECT_NE(bytes.find(std::string("\x07""Anchors\x0B\x05""akTop\x08""akBottom\x00", 24)),
              std::string::npos);

    TestToolBar back;
    back.Flat = false;
    ObjectStream::ReadObject(bytes, back);
    EXPECT_EQ(back.Align, alBottom);
    ASSERT_EQ(back.buttons.size(), 3u);
    EXPECT_EQ(back.buttons[1]->name, "ToolButton1");
    EXPECT_EQ(back.buttons[1]->ImageIndex, -1);
    EXPECT_EQ(back.buttons[1]->Style, 2);
    EXPECT_EQ(back.buttons[2]->Anchors, 0b1010);
    EXPECT_EQ(back.buttons[0]->Hints.Items(), (std::vector<std::string>{"second", "first"}));
}

TEST_F(RegisteredButtons, BadSettingsValuesAreRefused) {
    auto error = [](std::string_view bytes) -> std::string {
        TestToolBar bar;
        try {
            ObjectStream::ReadObject(bytes, bar);
        } catch (const EReadError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(error(StreamBytes().header("TToolBar").str("Align").raw({7}).str("alLeft").end()),
              "Error reading TToolBar.Align: Invalid property value");
    EXPECT_EQ(error(StreamBytes().header("TToolBar").str("Align").raw({9}).end()),
              "Error reading TToolBar.Align: Invalid property value");
    EXPECT_EQ(error(StreamBytes()
                        .header("TToolBar")
                        .raw({0})
                        .str("TToolButton")
                        .str("B1")
                        .str("Anchors")
                        .raw({11})
                        .str("akNowhere")
                        .raw({0, 0, 0, 0})),
              "Error reading B1.Anchors: Invalid property value");
    EXPECT_EQ(error(StreamBytes().header("TToolBar").raw({0}).str("TSpeedButton").str("").raw({0, 0, 0})),
              "Class TSpeedButton not found");
}
