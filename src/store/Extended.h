#pragma once

#include <array>
#include <cstdint>

namespace lynkora {

// The 10-byte extended-precision float of the object stream: 64-bit mantissa with an explicit
// integer bit, then a 15-bit exponent biased by 16383 with the sign in the top bit, little-endian.
using Extended80 = std::array<std::uint8_t, 10>;

// Widening is exact, so every double reads back bit for bit.
Extended80 DoubleToExtended(double value);
// Narrowing rounds to nearest, ties to even; out-of-range values become infinities or zeros.
double ExtendedToDouble(const Extended80& bytes);

} // namespace lynkora
