#include "ProfileFile.h"

#include "store/TextTools.h"
#include "store/NameCollator.h"

#include <fstream>
#include <sstream>

namespace lynkora {

namespace {

std::string Trim(const std::string& s) { return TrimSpaces(s); }

// "[name]" gives name; anything else gives nothing.
bool SectionName(const std::string& line, std::string& name) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const auto close = t.find(']');
    if (close == std::string::npos)
        return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

} // namespace

ProfileFile::ProfileFile(std::string path) : m_path(std::move(path)) { SetText(ReadFileBytes(m_path)); }

ProfileFile ProfileFile::FromText(std::string path, const std::string& text) {
    ProfileFile profile;
    profile.m_path = std::move(path);
    profile.SetText(text);
    return profile;
}

void ProfileFile::SetText(std::string text) {
    // UTF-16LE profiles (desktop.ini) are read as their ASCII subset.
    if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF &&
        static_cast<unsigned char>(text[1]) == 0xFE) {
        std::string narrow;
        for (std::size_t i = 2; i + 1 < text.size(); i += 2)
            narrow.push_back(text[i + 1] == 0 ? text[i] : '?');
        text = narrow;
    }
    m_lines = SplitLines(text);
}

long ProfileFile::SectionLine(const std::string& section) const {
    std::string name;
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (SectionName(m_lines[i], name) && CompareAsciiNoCase(name, section) == 0)
            return static_cast<long>(i);
    return -1;
}

long ProfileFile::Find(const std::string& section, const std::string& key) const {
    const long sec = SectionLine(section);
    if (sec < 0)
        return -1;
    std::string name;
    for (std::size_t i = static_cast<std::size_t>(sec) + 1; i < m_lines.size(); ++i) {
        if (SectionName(m_lines[i], name))
            break;
        const auto eq = m_lines[i].find('=');
        if (eq != std::string::npos && CompareAsciiNoCase(Trim(m_lines[i].substr(0, eq)), key) == 0)
            return static_cast<long>(i);
    }
    return -1;
}

bool ProfileFile::Has(const std::string& section, const std::string& key) const {
    return Find(section, key) >= 0;
}

std::string ProfileFile::Read(const std::string& section, const std::string& key) const {
    const long i = Find(section, key);
    if (i < 0)
        return {};
    const std::string& line = m_lines[static_cast<std::size_t>(i)];
    return Trim(line.substr(line.find('=') + 1));
}

void ProfileFile::Write(const std::string& section, const std::string& key, const std::string& value) {
    const long i = Find(section, key);
    if (i >= 0) {
        std::string& line = m_lines[static_cast<std::size_t>(i)];
        line = line.substr(0, line.find('=') + 1) + value;
        return;
    }
    long sec = SectionLine(section);
    if (sec < 0) {
        m_lines.push_back("[" + section + "]");
        m_lines.push_back(key + "=" + value);
        return;
    }
    // After the section's last line of content.
    std::size_t at = static_cast<std::size_t>(sec) + 1;
    std::string name;
    while (at < m_lines.size() && !SectionName(m_lines[at], name))
        ++at;
    while (at > static_cast<std::size_t>(sec) + 1 && Trim(m_lines[at - 1]).empty())
        --at;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), key + "=" + value);
}

std::string ProfileFile::Text() const {
    std::string out;
    for (const auto& line : m_lines)
        out += line + "\r\n";
    return out;
}

bool ProfileFile::Save() const {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out << Text();
    return static_cast<bool>(out.flush());
}

} // namespace lynkora
