#pragma once

#include "ToolbarStream.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lynkora {

// A command of the main window as the tool bar knows it: its name, its category ("_" first for
// the window's own, never offered), its caption with the access-key marker, its image (-1: none).
struct TToolCommand {
    std::string name;
    std::string category;
    std::string caption;
    int image = -1;
};

// One row of the command list or the layout: a command, or a separator (no command).
struct TToolEntry {
    std::string caption;
    int image = -1;
    std::string command;
    bool IsSeparator() const { return command.empty(); }
    bool operator==(const TToolEntry&) const = default;
};

inline constexpr const char* kSeparatorCaption = "Separator";
inline constexpr int kSeparatorImage = 14;

// A caption without its access-key marker ("Sa&ve as..." gives "Save as...", "&&" gives "&").
std::string StripAccessKey(std::string_view caption);

// The layout the window starts with: Open, a separator, Category, Internet shortcut, a
// separator, Properties, Delete.
TToolBar DefaultToolbar(const std::vector<TToolCommand>& commands);

// The customisation of the tool bar without its widgets: the category list, the command list of
// the selected category, the layout being edited, and which of Add, Remove, Up and Down may act.
// Indexes are rows of the lists; -1 is no selection.
class TToolbarEditor {
public:
    // `commands` in the order of the window's action list.
    explicit TToolbarEditor(std::vector<TToolCommand> commands);

    // The layout from the tool bar's controls; the first category is selected.
    void Fill(const TToolBar& toolbar);

    const std::vector<std::string>& Categories() const { return m_categories; }
    int SelectedCategory() const { return m_category; }
    void SelectCategory(int index);

    const std::vector<TToolEntry>& CommandList() const { return m_commandList; }
    int SelectedCommand() const { return m_command; }
    void SelectCommand(int index);

    const std::vector<TToolEntry>& Layout() const { return m_layout; }
    int SelectedLayout() const { return m_selected; }
    void SelectLayout(int index);

    void Add();
    void Remove();
    void Up();
    void Down();

    bool AddEnabled() const { return m_addEnabled; }
    bool RemoveEnabled() const { return m_removeEnabled; }
    bool UpEnabled() const { return m_upEnabled; }
    bool DownEnabled() const { return m_downEnabled; }

    // The tool bar the layout gives, first entry leftmost. `textWidth` measures a caption for
    // the buttons of commands without an image.
    TToolBar Build(bool flat, bool showHint, const std::function<int(const std::string&)>& textWidth) const;

private:
    const TToolCommand* FindCommand(std::string_view name) const;
    void RefillCommands();
    void UpdateLayoutButtons();

    std::vector<TToolCommand> m_commands;
    std::vector<std::string> m_categories;
    int m_category = -1;
    std::vector<TToolEntry> m_commandList;
    int m_command = -1;
    std::vector<TToolEntry> m_layout;
    int m_selected = -1;
    bool m_addEnabled = false;
    bool m_removeEnabled = false;
    bool m_upEnabled = false;
    bool m_downEnabled = false;
};

} // namespace lynkora
