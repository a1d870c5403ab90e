#include "store/Extended.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace lynkora;

namespace {

std::uint64_t Bits(double d) { return std::bit_cast<std::uint64_t>(d); }

Extended80 Make(std::uint64_t mantissa, std::uint16_t signExp) {
    Extended80 e{};
    for (int i = 0; i < 8; ++i)
        e[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    e[8] = static_cast<std::uint8_t>(signExp);
    e[9] = static_cast<std::uint8_t>(signExp >> 8);
    return e;
}

} // namespace

TEST(Extended, KnownEncodings) {
    EXPECT_EQ(DoubleToExtended(36892.5), Make(0x901C800000000000ull, 0x400E));
    EXPECT_EQ(DoubleToExtended(1.0), Make(0x8000000000000000ull, 0x3FFF));
    EXPECT_EQ(DoubleToExtended(-2.0), Make(0x8000000000000000ull, 0xC000));
    EXPECT_EQ(DoubleToExtended(0.0), Make(0, 0));
    EXPECT_EQ(DoubleToExtended(-0.0), Make(0, 0x8000));
}

TEST(Extended, EveryDoubleRoundTripsBitExactly) {
    std::mt19937_64 rng(42);
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t bits = rng();
        const double d = std::bit_cast<double>(bits);
        if (std::isnan(d))
            continue;
        ASSERT_EQ(Bits(ExtendedToDouble(DoubleToExtended(d))), bits);
    }
    for (double d : {std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                     std::numeric_limits<double>::max(), -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::infinity(), -0.0}) {
        EXPECT_EQ(Bits(ExtendedToDouble(DoubleToExtended(d))), Bits(d)) << d;
    }
    EXPECT_TRUE(std::isnan(ExtendedToDouble(DoubleToExtended(std::nan("")))));
}

TEST(Extended, NarrowingRoundsLikeTheHardware) {
#if LDBL_MANT_DIG == 64
    std::mt19937_64 rng(7);
    for (int i = 0; i < 200000; ++i) {
        // Exponents around the double range, including the subnormal and overflow edges.
        const std::uint16_t exp =
            static_cast<std::uint16_t>(16383 - 1100 + static_cast<int>(rng() % 2200));
        const std::uint64_t mantissa = rng() | (std::uint64_t{1} << 63);
        const Extended80 e = Make(mantissa, static_cast<std::uint16_t>(exp | ((rng() & 1) << 15)));
        long double ld = 0;
        std::memcpy(&ld, e.data(), 10);
        const double expected = static_cast<double>(ld);
        ASSERT_EQ(Bits(ExtendedToDouble(e)), Bits(expected)) << std::hex << mantissa << " " << exp;
    }
#else
    GTEST_SKIP() << "long double is not the 80-bit format on this machine";
#endif
}

TEST(Extended, OddEncodingsDoNotCrash) {
    // Unnormal (no integer bit), pseudo-denormal, NaN with payload only in low bits.
    EXPECT_EQ(ExtendedToDouble(Make(0x4000000000000000ull, 0x3FFF)), 0.5);
    EXPECT_EQ(ExtendedToDouble(Make(1, 0)), 0.0);
    EXPECT_TRUE(std::isnan(ExtendedToDouble(Make(0xC000000000000000ull, 0x7FFF))));
    EXPECT_TRUE(std::isnan(ExtendedToDouble(Make(0x8000000000000001ull, 0x7FFF))));
    EXPECT_TRUE(std::isinf(ExtendedToDouble(Make(0x8000000000000000ull, 0x7FFF))));
    EXPECT_TRUE(std::isinf(ExtendedToDouble(Make(0x8000000000000000ull, 0x7FFE))));
}
