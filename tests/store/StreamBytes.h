#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// Builds object-stream bytes by hand, so tests can state exactly what a stream holds.
class StreamBytes {
public:
    StreamBytes& raw(std::initializer_list<int> bytes) {
        for (int b : bytes)
            m_s.push_back(static_cast<char>(b));
        return *this;
    }
    StreamBytes& str(std::string_view s) {
        m_s.push_back(static_cast<char>(s.size()));
        m_s.append(s);
        return *this;
    }
    StreamBytes& header(std::string_view className = "TISFolder") {
        m_s.append("TPF0");
        return str(className).str("");
    }
    StreamBytes& text(std::string_view name, std::string_view value) {
        return str(name).raw({6}).str(value);
    }
    StreamBytes& int8(std::string_view name, int v) { return str(name).raw({2, v & 0xFF}); }
    // Ends the property list and the (empty) child list.
    StreamBytes& end() { return raw({0, 0}); }
    const std::string& bytes() const { return m_s; }
    operator std::string_view() const { return m_s; }

private:
    std::string m_s;
};

inline std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (!out.empty())
            out.push_back(' ');
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}
