#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace lynkora {

// A text that many objects hold alike, such as a verification's response: a whole collection
// holds a few dozen of them. Each distinct text is kept once for the program's life and an
// object holds a pointer to it, a quarter of a std::string's size and no allocation of its own.
// Reads as a const std::string; safe to assign from several threads.
class SharedText {
public:
    SharedText() : m_text(&Empty()) {}
    SharedText(std::string_view text) : m_text(Intern(text)) {}
    SharedText(const std::string& text) : m_text(Intern(text)) {}
    SharedText(const char* text) : m_text(Intern(text)) {}

    SharedText& operator=(std::string_view text) { m_text = Intern(text); return *this; }
    SharedText& operator=(const std::string& text) { m_text = Intern(text); return *this; }
    SharedText& operator=(const char* text) { m_text = Intern(text); return *this; }

    const std::string& str() const { return *m_text; }
    operator const std::string&() const { return *m_text; }
    operator std::string_view() const { return *m_text; }
    bool empty() const { return m_text->empty(); }
    std::size_t size() const { return m_text->size(); }
    const char* c_str() const { return m_text->c_str(); }

    friend bool operator==(const SharedText& a, const SharedText& b) { return a.m_text == b.m_text; }
    friend bool operator==(const SharedText& a, std::string_view b) { return *a.m_text == b; }
    friend bool operator==(const SharedText& a, const char* b) { return *a.m_text == b; }
    friend bool operator==(const SharedText& a, const std::string& b) { return *a.m_text == b; }

private:
    static const std::string& Empty();
    static const std::string* Intern(std::string_view text);

    const std::string* m_text;
};

std::ostream& operator<<(std::ostream& out, const SharedText& text);

} // namespace lynkora
