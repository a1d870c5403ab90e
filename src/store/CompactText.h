#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace lynkora {

// A text in one heap block that holds its length, the owner keeping only a pointer: a quarter of
// a std::string. For a shortcut's URL, nearly always longer than a std::string's inline room, and
// its description, most often empty (no block at all): with a million shortcuts held, 48 MB.
// Reads like a const std::string; changed only as a whole.
class CompactText {
public:
    CompactText() = default;
    CompactText(std::string_view text) { Assign(text); }
    CompactText(const std::string& text) { Assign(text); }
    CompactText(const char* text) { Assign(text); }
    CompactText(const CompactText& other) { Assign(other.view()); }
    CompactText(CompactText&& other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }
    ~CompactText() { Free(); }

    CompactText& operator=(const CompactText& other) {
        if (this != &other)
            Assign(other.view());
        return *this;
    }
    CompactText& operator=(CompactText&& other) noexcept {
        if (this != &other) {
            Free();
            m_block = other.m_block;
            other.m_block = nullptr;
        }
        return *this;
    }
    CompactText& operator=(std::string_view text) { Assign(text); return *this; }
    CompactText& operator=(const std::string& text) { Assign(text); return *this; }
    CompactText& operator=(const char* text) { Assign(text); return *this; }

    std::string_view view() const { return {data(), size()}; }
    operator std::string_view() const { return view(); }
    operator std::string() const { return std::string(view()); }
    std::string str() const { return std::string(view()); }

    const char* data() const { return m_block ? m_block + sizeof(std::uint32_t) : ""; }
    const char* c_str() const { return data(); }
    std::size_t size() const {
        if (!m_block)
            return 0;
        std::uint32_t n;
        std::memcpy(&n, m_block, sizeof n);
        return n;
    }
    std::size_t length() const { return size(); }
    bool empty() const { return m_block == nullptr; }
    void clear() { Free(); }
    char operator[](std::size_t index) const { return data()[index]; }
    char front() const { return data()[0]; }
    char back() const { return data()[size() - 1]; }
    const char* begin() const { return data(); }
    const char* end() const { return data() + size(); }

    std::size_t find(std::string_view s, std::size_t pos = 0) const { return view().find(s, pos); }
    std::size_t find(char c, std::size_t pos = 0) const { return view().find(c, pos); }
    std::size_t rfind(std::string_view s, std::size_t pos = std::string_view::npos) const { return view().rfind(s, pos); }
    std::size_t rfind(char c, std::size_t pos = std::string_view::npos) const { return view().rfind(c, pos); }
    std::size_t find_first_of(std::string_view s, std::size_t pos = 0) const { return view().find_first_of(s, pos); }
    std::string substr(std::size_t pos, std::size_t n = std::string_view::npos) const {
        return std::string(view().substr(pos, n));
    }
    int compare(std::string_view s) const { return view().compare(s); }
    bool starts_with(std::string_view s) const { return view().starts_with(s); }
    bool ends_with(std::string_view s) const { return view().ends_with(s); }

    friend bool operator==(const CompactText& a, const CompactText& b) { return a.view() == b.view(); }
    friend bool operator==(const CompactText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const CompactText& a, const std::string& b) { return a.view() == b; }
    friend bool operator==(const CompactText& a, const char* b) { return a.view() == b; }
    friend auto operator<=>(const CompactText& a, const CompactText& b) { return a.view() <=> b.view(); }
    friend auto operator<=>(const CompactText& a, std::string_view b) { return a.view() <=> b; }
    friend std::string operator+(const std::string& a, const CompactText& b) { return a + std::string(b.view()); }
    friend std::string operator+(const CompactText& a, const std::string& b) { return std::string(a.view()) + b; }
    friend std::string operator+(const char* a, const CompactText& b) { return a + std::string(b.view()); }
    friend std::string operator+(const CompactText& a, const char* b) { return std::string(a.view()) + b; }

private:
    void Assign(std::string_view text);
    void Free();

    char* m_block = nullptr; // the length (32 bits), the bytes, a 0; none when empty
};

std::ostream& operator<<(std::ostream& out, const CompactText& text);

} // namespace lynkora
