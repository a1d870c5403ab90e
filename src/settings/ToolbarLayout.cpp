#include "ToolbarLayout.h"

#include "store/NameCollator.h"

#include <algorithm>

namespace lynkora {

namespace {

bool SameText(std::string_view a, std::string_view b) { return CompareAsciiNoCase(a, b) == 0; }

TToolEntry SeparatorEntry() { return {kSeparatorCaption, kSeparatorImage, {}}; }

TToolEntry CommandEntry(const TToolCommand& command) {
    return {StripAccessKey(command.caption), command.image, command.name};
}

} // namespace

std::string StripAccessKey(std::string_view caption) {
    std::string out;
    out.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i; // "&x" shows x; "&&" shows one "&"
        out.push_back(caption[i]);
    }
    return out;
}

TToolBar DefaultToolbar(const std::vector<TToolCommand>& commands) {
    TToolBar toolbar;
    for (std::string_view name : {"acOpen", "", "acNewFolder", "acNewShort", "", "acProp", "acDelete"}) {
        auto it = std::find_if(commands.begin(), commands.end(), [&](const TToolCommand& c) { return c.name == name; });
        if (name.empty())
            toolbar.AddSeparator();
        else if (it != commands.end())
            toolbar.AddImageButton(it->name, it->caption, it->image);
    }
    return toolbar;
}

TToolbarEditor::TToolbarEditor(std::vector<TToolCommand> commands) : m_commands(std::move(commands)) {
    for (const TToolCommand& c : m_commands) {
        if (c.category.empty() || c.category.front() == '_')
            continue;
        if (std::none_of(m_categories.begin(), m_categories.end(),
                         [&](const std::string& known) { return SameText(known, c.category); }))
            m_categories.push_back(c.category);
    }
    std::stable_sort(m_categories.begin(), m_categories.end(),
                     [](const std::string& a, const std::string& b) { return CompareAsciiNoCase(a, b) < 0; });
}

const TToolCommand* TToolbarEditor::FindCommand(std::string_view name) const {
    auto it = std::find_if(m_commands.begin(), m_commands.end(), [&](const TToolCommand& c) { return c.name == name; });
    return it == m_commands.end() ? nullptr : &*it;
}

void TToolbarEditor::Fill(const TToolBar& toolbar) {
    m_layout.clear();
    for (const auto& control : toolbar.Controls) {
        if (control->IsSeparator()) {
            m_layout.push_back(SeparatorEntry());
        } else if (const TToolCommand* command = FindCommand(control->Action)) {
            m_layout.push_back(CommandEntry(*command));
        }
        // A button whose command this window no longer has is left out.
    }
    SelectLayout(-1);
    m_category = -1;
    m_commandList.clear();
    m_command = -1;
    m_addEnabled = false;
    if (!m_categories.empty())
        SelectCategory(0);
}

void TToolbarEditor::SelectCategory(int index) {
    m_category = index >= 0 && static_cast<std::size_t>(index) < m_categories.size() ? index : -1;
    RefillCommands();
}

void TToolbarEditor::RefillCommands() {
    m_commandList.clear();
    m_command = -1;
    if (m_category >= 0) {
        m_commandList.push_back(SeparatorEntry());
        const std::string& category = m_categories[static_cast<std::size_t>(m_category)];
        for (const TToolCommand& c : m_commands) {
            if (!SameText(c.category, category))
                continue;
            TToolEntry entry = CommandEntry(c);
            // A command stands on the tool bar once; a separator as often as the user likes.
            const bool placed = std::any_of(m_layout.begin(), m_layout.end(),
                                            [&](const TToolEntry& e) { return SameText(e.caption, entry.caption); });
            if (!placed)
                m_commandList.push_back(std::move(entry));
        }
    }
    m_addEnabled = false;
}

void TToolbarEditor::SelectCommand(int index) {
    m_command = index >= 0 && static_cast<std::size_t>(index) < m_commandList.size() ? index : -1;
    m_addEnabled = m_command >= 0;
}

void TToolbarEditor::SelectLayout(int index) {
    m_selected = index >= 0 && static_cast<std::size_t>(index) < m_layout.size() ? index : -1;
    UpdateLayoutButtons();
}

void TToolbarEditor::UpdateLayoutButtons() {
    m_removeEnabled = m_selected >= 0;
    m_upEnabled = m_selected > 0;
    m_downEnabled = m_selected >= 0 && static_cast<std::size_t>(m_selected) + 1 < m_layout.size();
}

void TToolbarEditor::Add() {
    if (!m_addEnabled || m_command < 0)
        return;
    const TToolEntry entry = m_commandList[static_cast<std::size_t>(m_command)];
    m_layout.push_back(entry);
    RefillCommands();
    // The separator stays chosen, so several can be added in a row; a command has left the list.
    if (entry.IsSeparator())
        SelectCommand(0);
    UpdateLayoutButtons();
}

void TToolbarEditor::Remove() {
    if (m_selected < 0)
        return;
    m_layout.erase(m_layout.begin() + m_selected);
    SelectLayout(-1);
    RefillCommands();
}

void TToolbarEditor::Up() {
    if (!m_upEnabled)
        return;
    std::swap(m_layout[static_cast<std::size_t>(m_selected)], m_layout[static_cast<std::size_t>(m_selected - 1)]);
    SelectLayout(m_selected - 1);
}

void TToolbarEditor::Down() {
    if (!m_downEnabled)
        return;
    std::swap(m_layout[static_cast<std::size_t>(m_selected)], m_layout[static_cast<std::size_t>(m_selected + 1)]);
    SelectLayout(m_selected + 1);
}

TToolBar TToolbarEditor::Build(bool flat, bool showHint,
                               const std::function<int(const std::string&)>& textWidth) const {
    TToolBar toolbar;
    toolbar.Flat = flat;
    toolbar.ShowHint = showHint;
    for (const TToolEntry& entry : m_layout) {
        if (entry.IsSeparator()) {
            toolbar.AddSeparator();
            continue;
        }
        const TToolCommand* command = FindCommand(entry.command);
        if (!command)
            continue;
        if (command->image >= 0)
            toolbar.AddImageButton(command->name, command->caption, command->image);
        else
            toolbar.AddTextButton(command->name, command->caption, textWidth(StripAccessKey(command->caption)) + 12);
    }
    return toolbar;
}

} // namespace lynkora
