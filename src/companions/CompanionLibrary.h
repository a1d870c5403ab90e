#pragma once

#include <QLibrary>

#include <string>

namespace lynkora {

// One companion library, loaded by its base name ("artpack" -> libartpack.so) from the
// program's folder for the length of one use, and unloaded with this object.
class CompanionLibrary {
public:
    explicit CompanionLibrary(const std::string& baseName);
    ~CompanionLibrary();
    CompanionLibrary(const CompanionLibrary&) = delete;
    CompanionLibrary& operator=(const CompanionLibrary&) = delete;

    bool Loaded() const { return m_loaded; }
    // The system's text for the load error.
    std::string ErrorText() const { return m_error; }
    // The library's file name, as messages name it.
    std::string FileName() const { return m_fileName; }
    // An entry point, or nullptr.
    template <class F>
    F Entry(const char* name) {
        return m_loaded ? reinterpret_cast<F>(m_library.resolve(name)) : nullptr;
    }

    // Where the libraries are looked for: the program's folder, unless set (tests) or named by
    // LYNKORA_COMPANION_DIR.
    static void SetDirectory(const std::string& directory);
    static std::string Directory();

private:
    QLibrary m_library;
    bool m_loaded = false;
    std::string m_error;
    std::string m_fileName;
};

// "The Dynamic Link Library <name> failed to      \ninitialize. Please re-install Lynkora.\n\n<error>"
std::string LibraryFailedText(const std::string& name, const std::string& error);

} // namespace lynkora
