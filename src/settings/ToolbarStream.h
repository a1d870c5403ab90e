#pragma once

#include "store/StreamObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lynkora {

// The kinds of tool button; a separator stands between groups of buttons.
enum TToolButtonStyle : std::int32_t { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// What every control on the tool bar streams: its name in the header, the command it is bound to
// (empty for a separator), the command's caption and its width.
class TToolControl : public StreamObject {
public:
    std::string Name;
    std::string Action;
    std::string Caption;
    std::int32_t Width = 0;

    bool isComponent() const override { return true; }
    std::string componentName() const override { return Name; }
    void setComponentName(std::string name) override { Name = std::move(name); }
    // A command shown by its image or, when it has none, by its caption.
    virtual bool IsSeparator() const = 0;
};

// A button showing its command's image, or a separator.
class TToolButton : public TToolControl {
public:
    std::int32_t ImageIndex = -1;
    std::int32_t Style = tbsButton;

    const ClassInfo& classInfo() const override;
    bool IsSeparator() const override { return Style == tbsSeparator || Style == tbsDivider; }
};

// A button showing its command's caption, for commands that have no image.
class TSpeedButton : public TToolControl {
public:
    bool Flat = false;
    bool Transparent = true;

    const ClassInfo& classInfo() const override;
    bool IsSeparator() const override { return false; }
};

// The main tool bar ("Toolbar" value): its look and, as child objects, its controls, first
// leftmost.
class TToolBar : public StreamObject {
public:
    std::string Name = "toolMain";
    bool Flat = true;
    bool ShowHint = true;
    std::vector<std::unique_ptr<TToolControl>> Controls;

    TToolBar() = default;
    TToolBar(const TToolBar& other);
    TToolBar& operator=(const TToolBar& other);
    TToolBar(TToolBar&&) = default;
    TToolBar& operator=(TToolBar&&) = default;

    const ClassInfo& classInfo() const override;
    bool isComponent() const override { return true; }
    std::string componentName() const override { return Name; }
    void setComponentName(std::string name) override { Name = std::move(name); }
    std::size_t childCount() const override { return Controls.size(); }
    const StreamObject* child(std::size_t index) const override { return Controls[index].get(); }
    // Only tool buttons and speed buttons stand on a tool bar.
    void adoptChild(std::unique_ptr<StreamObject> child) override;

    // Separators are 8 pixels wide, image buttons 23.
    void AddSeparator();
    void AddImageButton(const std::string& action, const std::string& caption, int image);
    void AddTextButton(const std::string& action, const std::string& caption, int width);
};

// Makes the tool bar's classes known to stream readers for as long as it lives.
class ToolbarClassRegistration {
public:
    ToolbarClassRegistration();
    ~ToolbarClassRegistration();
    ToolbarClassRegistration(const ToolbarClassRegistration&) = delete;
    ToolbarClassRegistration& operator=(const ToolbarClassRegistration&) = delete;
};

} // namespace lynkora
