#include "ToolbarStream.h"

#include "store/ClassRegistry.h"
#include "store/Errors.h"

namespace lynkora {

namespace {

constexpr std::int32_t kSeparatorWidth = 8;
constexpr std::int32_t kImageButtonWidth = 23;

const char* const kToolBarClasses[] = {"TToolBar", "TToolButton", "TSpeedButton"};

std::unique_ptr<TToolControl> CopyControl(const TToolControl& control) {
    if (auto* b = dynamic_cast<const TToolButton*>(&control))
        return std::make_unique<TToolButton>(*b);
    return std::make_unique<TSpeedButton>(static_cast<const TSpeedButton&>(control));
}

// Buttons are named after their class and their number among the tool bar's buttons of it.
template <class Button>
std::string NextName(const std::vector<std::unique_ptr<TToolControl>>& controls, const char* prefix) {
    std::size_t n = 1;
    for (const auto& control : controls)
        n += dynamic_cast<const Button*>(control.get()) != nullptr;
    return prefix + std::to_string(n);
}

} // namespace

const ClassInfo& TToolButton::classInfo() const {
    static const ClassInfo info = [] {
        using C = TToolButton;
        ClassInfo c;
        c.className = "TToolButton";
        c.properties = {props::reference("Action", &C::Action), props::text("Caption", &C::Caption),
                        props::integer("ImageIndex", &C::ImageIndex, -1),
                        props::enumeration("Style", &C::Style,
                                           {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"}),
                        props::integer("Width", &C::Width)};
        c.properties[3].hasDefault = true; // tbsButton
        return c;
    }();
    return info;
}

const ClassInfo& TSpeedButton::classInfo() const {
    static const ClassInfo info = [] {
        using C = TSpeedButton;
        ClassInfo c;
        c.className = "TSpeedButton";
        c.properties = {props::reference("Action", &C::Action), props::text("Caption", &C::Caption),
                        props::boolean("Flat", &C::Flat, false),
                        props::boolean("Transparent", &C::Transparent, true), props::integer("Width", &C::Width)};
        return c;
    }();
    return info;
}

const ClassInfo& TToolBar::classInfo() const {
    static const ClassInfo info = [] {
        using C = TToolBar;
        ClassInfo c;
        c.className = "TToolBar";
        c.properties = {props::boolean("Flat", &C::Flat), props::boolean("ShowHint", &C::ShowHint)};
        return c;
    }();
    return info;
}

TToolBar::TToolBar(const TToolBar& other) : Name(other.Name), Flat(other.Flat), ShowHint(other.ShowHint) {
    for (const auto& control : other.Controls)
        Controls.push_back(CopyControl(*control));
}

TToolBar& TToolBar::operator=(const TToolBar& other) {
    if (this != &other) {
        TToolBar copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void TToolBar::adoptChild(std::unique_ptr<StreamObject> child) {
    auto* control = dynamic_cast<TToolControl*>(child.get());
    if (!control)
        throw EReadError("Invalid stream format");
    child.release();
    Controls.emplace_back(control);
}

void TToolBar::AddSeparator() {
    auto button = std::make_unique<TToolButton>();
    button->Name = NextName<TToolButton>(Controls, "ToolButton");
    button->Style = tbsSeparator;
    button->Width = kSeparatorWidth;
    Controls.push_back(std::move(button));
}

void TToolBar::AddImageButton(const std::string& action, const std::string& caption, int image) {
    auto button = std::make_unique<TToolButton>();
    button->Name = NextName<TToolButton>(Controls, "ToolButton");
    button->Action = action;
    button->Caption = caption;
    button->ImageIndex = image;
    button->Width = kImageButtonWidth;
    Controls.push_back(std::move(button));
}

void TToolBar::AddTextButton(const std::string& action, const std::string& caption, int width) {
    auto button = std::make_unique<TSpeedButton>();
    button->Name = NextName<TSpeedButton>(Controls, "SpeedButton");
    button->Action = action;
    button->Caption = caption;
    button->Flat = Flat;
    button->Transparent = false;
    button->Width = width;
    Controls.push_back(std::move(button));
}

ToolbarClassRegistration::ToolbarClassRegistration() {
    ClassRegistry::Register("TToolBar", [] { return std::make_unique<TToolBar>(); });
    ClassRegistry::Register("TToolButton", [] { return std::make_unique<TToolButton>(); });
    ClassRegistry::Register("TSpeedButton", [] { return std::make_unique<TSpeedButton>(); });
}

ToolbarClassRegistration::~ToolbarClassRegistration() {
    for (const char* name : kToolBarClasses)
        ClassRegistry::Unregister(name);
}

} // namespace lynkora
