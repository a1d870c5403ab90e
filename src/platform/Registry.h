#pragma once

// The per-user settings key and its sub-keys, kept in one INI file through QSettings. The
// settings key itself is the file's top level; a sub-key ("List", "History", "Proxy" ...) is a
// group. Value names are matched ignoring case, like the registry's.

#include <QSettings>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace lynkora {

class Registry {
public:
    // The settings of the user ("Orvendel", "Lynkora4" in the user's config folder), or a file
    // given by path (tests).
    Registry();
    explicit Registry(const std::string& filePath);

    const std::string& FilePath() const { return m_path; }
    // The settings file was no regular file: this session's settings live in a private one.
    bool Substitute() const { return m_substitute; }

    // Whether the key exists; with create, it exists from then on.
    bool OpenKey(const std::string& key, bool create);
    bool ValueExists(const std::string& key, const std::string& name) const;
    // Reading a missing value or one of another type fails with "Invalid data type for '<name>'".
    std::string ReadString(const std::string& key, const std::string& name) const;
    std::int32_t ReadInteger(const std::string& key, const std::string& name) const;
    bool ReadBool(const std::string& key, const std::string& name) const;
    std::string ReadBinary(const std::string& key, const std::string& name) const;
    void WriteString(const std::string& key, const std::string& name, const std::string& value);
    void WriteInteger(const std::string& key, const std::string& name, std::int32_t value);
    void WriteBool(const std::string& key, const std::string& name, bool value);
    void WriteBinary(const std::string& key, const std::string& name, const std::string& value);
    // The key's value names; numbered names ("0", "1", ... "10") in numeric order.
    std::vector<std::string> ValueNames(const std::string& key) const;
    void DeleteValue(const std::string& key, const std::string& name);
    // Makes an empty key outlast the program (a file keeps no empty groups); the mark it leaves
    // is no value of the key.
    void KeepKey(const std::string& key);
    void DeleteKey(const std::string& key);

    // Writes pending changes; the file stays readable by its owner only (it holds proxy
    // credentials).
    void Sync();

private:
    QString Actual(const std::string& key, const std::string& name) const;
    QVariant Value(const std::string& key, const std::string& name) const;
    void Write(const std::string& key, const std::string& name, const QVariant& value);
    void ProtectFile();

    std::string m_path;
    bool m_substitute = false;
    std::unique_ptr<QSettings> m_settings;
    std::set<std::string> m_createdKeys;
};

} // namespace lynkora
