#pragma once

#include <stdexcept>
#include <string>

namespace lynkora {

// Every failure the program reports carries a message and reaches the user through one
// central error report.
class ELynkora : public std::runtime_error {
public:
    explicit ELynkora(const std::string& message) : std::runtime_error(message) {}
};

// A failure while reading an object stream.
class EReadError : public ELynkora {
public:
    using ELynkora::ELynkora;
};

} // namespace lynkora
