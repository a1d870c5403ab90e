#pragma once

#include "StreamObject.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lynkora {

// Value tags of the object stream.
enum class ValueTag : std::uint8_t {
    Null = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
};

inline constexpr std::string_view kStreamSignature = "TPF0";

namespace ObjectStream {

// Appends the complete stream of obj (signature to the final end byte) to out.
void WriteObject(std::string& out, const StreamObject& obj);
std::string WriteObject(const StreamObject& obj);

// Fills obj from the stream at the start of in and returns the number of bytes its object took;
// whatever follows is not read. Fails with EReadError; obj may then be partly filled.
std::size_t ReadObject(std::string_view in, StreamObject& obj);

// Single tagged values, as stored on their own in the data file (no signature).
void WriteTextValue(std::string& out, std::string_view text);
void WriteIntegerValue(std::string& out, std::int64_t value);
void WriteDateValue(std::string& out, double date); // tag 17, 8-byte double
std::string ReadTextValue(std::string_view in);
double ReadDateValue(std::string_view in);

} // namespace ObjectStream

} // namespace lynkora
