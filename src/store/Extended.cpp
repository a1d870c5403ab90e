#include "Extended.h"

#include <bit>
#include <cstring>

namespace lynkora {

namespace {

constexpr int kExtBias = 16383;
constexpr int kDblBias = 1023;

Extended80 pack(bool negative, std::uint32_t exponent, std::uint64_t mantissa) {
    Extended80 out{};
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    const std::uint32_t se = (exponent & 0x7FFF) | (negative ? 0x8000u : 0u);
    out[8] = static_cast<std::uint8_t>(se);
    out[9] = static_cast<std::uint8_t>(se >> 8);
    return out;
}

double fromBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

} // namespace

Extended80 DoubleToExtended(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const auto exponent = static_cast<std::uint32_t>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);

    if (exponent == 0x7FF) // infinity or NaN: keep the payload
        return pack(negative, 0x7FFF, (std::uint64_t{1} << 63) | (fraction << 11));
    if (exponent == 0) {
        if (fraction == 0)
            return pack(negative, 0, 0);
        // Subnormal double: normalise, the extended range holds it as a normal number.
        const int top = 63 - std::countl_zero(fraction); // 0..51
        const std::uint64_t mantissa = fraction << (63 - top);
        const int unbiased = top - 1074;
        return pack(negative, static_cast<std::uint32_t>(unbiased + kExtBias), mantissa);
    }
    const int unbiased = static_cast<int>(exponent) - kDblBias;
    return pack(negative, static_cast<std::uint32_t>(unbiased + kExtBias),
                (std::uint64_t{1} << 63) | (fraction << 11));
}

double ExtendedToDouble(const Extended80& in) {
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    const std::uint32_t se = in[8] | (static_cast<std::uint32_t>(in[9]) << 8);
    const bool negative = (se & 0x8000) != 0;
    const int exponent = static_cast<int>(se & 0x7FFF);
    const std::uint64_t sign = negative ? (std::uint64_t{1} << 63) : 0;

    if (exponent == 0x7FFF) {
        const std::uint64_t payload = (mantissa << 1) >> 12; // drop integer bit, keep 52 bits
        if ((mantissa << 1) == 0)
            return fromBits(sign | (std::uint64_t{0x7FF} << 52));
        // A NaN stays a NaN even when its payload lies only in the bits a double drops.
        return fromBits(sign | (std::uint64_t{0x7FF} << 52) | (payload ? payload : std::uint64_t{1} << 51));
    }
    if (mantissa == 0)
        return fromBits(sign);

    // Value = mantissa * 2^(e - 63), with e the unbiased exponent; normalise the mantissa.
    int e = (exponent == 0 ? 1 : exponent) - kExtBias;
    const int shift = std::countl_zero(mantissa);
    mantissa <<= shift;
    e -= shift;

    if (e > kDblBias)
        return fromBits(sign | (std::uint64_t{0x7FF} << 52));

    // Keep 53 bits for a normal result, fewer for a subnormal one.
    int drop = 11;
    if (e < -1022)
        drop += -1022 - e;
    if (drop > 64)
        return fromBits(sign); // far below the smallest subnormal

    std::uint64_t kept = drop == 64 ? 0 : mantissa >> drop;
    const std::uint64_t rest = drop == 64 ? mantissa : mantissa << (64 - drop);
    const std::uint64_t half = std::uint64_t{1} << 63;
    if (rest > half || (rest == half && (kept & 1)))
        ++kept;

    if (e < -1022) {
        // Subnormal (or rounded up into the smallest normal: the carry lands in the exponent).
        return fromBits(sign | kept);
    }
    if (kept >> 53) { // rounding carried into a new bit
        kept >>= 1;
        ++e;
        if (e > kDblBias)
            return fromBits(sign | (std::uint64_t{0x7FF} << 52));
    }
    const auto biased = static_cast<std::uint64_t>(e + kDblBias);
    return fromBits(sign | (biased << 52) | (kept & ((std::uint64_t{1} << 52) - 1)));
}

} // namespace lynkora
