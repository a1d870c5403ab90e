#pragma once

#include <string>
#include <vector>

namespace lynkora {

// A small INI ("profile") file as the operating system's profile functions treat it: sections
// and keys matched ignoring case, a written value replaced in place, new lines ending in CR LF.
class ProfileFile {
public:
    // Reads the file; a missing file is an empty profile.
    explicit ProfileFile(std::string path);
    // A profile from its text, as read by whoever opened the file.
    static ProfileFile FromText(std::string path, const std::string& text);

    // The value, trimmed of blanks; empty when the section or key is missing.
    std::string Read(const std::string& section, const std::string& key) const;
    bool Has(const std::string& section, const std::string& key) const;
    void Write(const std::string& section, const std::string& key, const std::string& value);
    // Writes the file back; false when it cannot be written.
    bool Save() const;

    // The text as it would be saved.
    std::string Text() const;

private:
    ProfileFile() = default;
    void SetText(std::string text);
    long Find(const std::string& section, const std::string& key) const;
    long SectionLine(const std::string& section) const;

    std::string m_path;
    std::vector<std::string> m_lines; // without line ends
};

} // namespace lynkora
