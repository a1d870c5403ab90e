#include "store/DateText.h"
#include "store/Errors.h"
#include "store/HtmlClipboard.h"
#include "store/TextRoutines.h"

#include "store/TextTools.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

using namespace lynkora;
using namespace std::string_literals;

namespace {

// 3 February 2001 14:05:09.
constexpr TDateTime kFeb3 = 36925.0 + (14 * 3600 + 5 * 60 + 9) / 86400.0;

class FrenchLocale : public DateLocale {
public:
    std::string LongDate(int, int, int) const override { return "samedi 3 février 2001"; }
    std::string MonthAbbreviation(int month) const override {
        return month == 2 ? "f\xC3\xA9vr." : "?";
    }
    int LongDateOrder() const override { return 1; }
};

class OrderLocale : public DateLocale {
public:
    explicit OrderLocale(int order, std::string longDate = "x") : m_order(order), m_long(std::move(longDate)) {}
    std::string LongDate(int, int, int) const override { return m_long; }
    std::string MonthAbbreviation(int) const override { return "Feb"; }
    int LongDateOrder() const override { return m_order; }

private:
    int m_order;
    std::string m_long;
};

} // namespace

TEST(DateText, EnglishAndLocaleForms) {
    EXPECT_EQ(LongDateText(true, kFeb3, nullptr), "Saturday, February 03, 2001, 14:05:09");
    EXPECT_EQ(ShortDateText(true, kFeb3, nullptr), "Feb 03, 2001, 14:05:09");
    EXPECT_EQ(LongDateText(true, 0, nullptr), "Saturday, December 30, 1899, 00:00:00");
    EXPECT_EQ(ShortDateText(true, 36892.5, nullptr), "Jan 01, 2001, 12:00:00");
    // Before 1899-12-30 the whole days count back and the fraction is still the time of day.
    EXPECT_EQ(ShortDateText(true, -1.25, nullptr), "Dec 29, 1899, 06:00:00");
    // Milliseconds are dropped, not rounded into the next second.
    EXPECT_EQ(ShortDateText(true, 36892.5 + 0.9994 / 86400, nullptr), "Jan 01, 2001, 12:00:00");
    EXPECT_EQ(LongDateText(true, 73051.0, nullptr), "Friday, January 01, 2100, 00:00:00");

    FrenchLocale fr;
    EXPECT_EQ(ShortDateText(false, kFeb3, &fr), "3 f\xC3\xA9vr., 2001, 14:05:09");
    EXPECT_EQ(LongDateText(false, kFeb3, &fr), "samedi 3 février 2001, 14:05:09");
    OrderLocale monthFirst(0), yearFirst(2), unknown(7), noLong(0, "");
    EXPECT_EQ(ShortDateText(false, kFeb3, &monthFirst), "Feb 3, 2001, 14:05:09");
    EXPECT_EQ(ShortDateText(false, kFeb3, &yearFirst), "2001, Feb 3, 14:05:09");
    EXPECT_EQ(ShortDateText(false, kFeb3, &unknown), ", 14:05:09");
    EXPECT_EQ(LongDateText(false, kFeb3, &noLong), "Saturday, February 03, 2001, 14:05:09");
}

TEST(DateText, HostileDatesDoNotCrash) {
    for (double d : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(), 2958465.99999999, -693593.0}) {
        EXPECT_FALSE(LongDateText(true, d, nullptr).empty());
        EXPECT_FALSE(ShortDateText(true, d, nullptr).empty());
    }
    EXPECT_EQ(ShortDateText(true, -693593.0, nullptr), "Jan 01, 1, 00:00:00");
}

TEST(HtmlClipboard, HeaderOffsetsAreExact) {
    const std::string text = BuildHtmlClipboardText("<a href=\"a\">b</a>");
    EXPECT_EQ(text.substr(0, 97),
              "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000186\r\nStartFragment:00000111\r\n"
              "EndFragment:00000152\r\n");
    EXPECT_EQ(text.size(), 186u);
    EXPECT_EQ(text.substr(97, 6), "<html>");
    EXPECT_EQ(text.substr(111, 20), "<!--StartFragment-->");
    EXPECT_EQ(text.substr(152, 18), "<!--EndFragment-->");

    const std::string padded = BuildHtmlClipboardText("  \r\n<b>x</b>\t ");
    EXPECT_NE(padded.find("EndFragment:00000143"), std::string::npos); // 135 + 8
    EXPECT_NE(padded.find("EndHTML:00000177"), std::string::npos);     // 169 + 8

    EXPECT_EQ(HtmlLinkFragment(" http://x/ ", ""), "<a href=\"http://x/\">http://x/</a>");
    EXPECT_EQ(HtmlLinkFragment("u", " A & B "), "<a href=\"u\">A & B</a>");
}

TEST(TextRoutines, ColoursCharactersAndHex) {
    EXPECT_EQ(HtmlColor(0x336699), "#996633");
    EXPECT_EQ(HtmlColor(255), "#FF0000");
    EXPECT_EQ(InverseHtmlColor(255), "#00FFFF");
    EXPECT_EQ(InverseHtmlColor(0xFF000000), "#FFFFFF") << "only the 24 colour bits count";
    EXPECT_EQ(RemoveChar("\"C:\\a b\\x.exe\" -n", '"'), "C:\\a b\\x.exe -n");
    EXPECT_EQ(HexValue("0000001A"), 26u);
    EXPECT_EQ(HexValue("fF"), 255u);
    EXPECT_EQ(HexValue("FFFFFFFF"), 0xFFFFFFFFu);
    for (const char* bad : {"", "12G4", "-1", "123456789", " 1"})
        EXPECT_THROW(HexValue(bad), ELynkora) << bad;
    try {
        HexValue("xyz");
    } catch (const ELynkora& e) {
        EXPECT_STREQ(e.what(), "'$xyz' is not a valid integer value");
    }
}

// URL sets fold A to Z only: the eight-byte steps must agree with the byte-wise fold at every
// length and position, and leave bytes of other scripts (0xC1 is 'A' with the high bit) alone.
TEST(TextTools, NoCaseHashAndEqualityFoldOnlyAsciiLetters) {
    const AsciiNoCaseHash hash;
    const AsciiNoCaseEqual equal;
    const std::string lower = "https://www.example.org/path/to/page-12345.html?q=az@[`{";
    for (std::size_t n = 0; n <= lower.size(); ++n) {
        const std::string a = lower.substr(0, n);
        std::string b = a;
        for (char& c : b)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(equal(a, b)) << n;
        EXPECT_EQ(hash(a), hash(b)) << n;
        if (n > 0) {
            std::string other = a;
            other[n - 1] = other[n - 1] == '@' ? '`' : '@'; // neighbours of the letter ranges
            EXPECT_FALSE(equal(a, other)) << n;
        }
    }
    EXPECT_FALSE(equal("abcdefgh\xC1", "abcdefgh\xE1"));
    EXPECT_FALSE(equal("\xC1\xC1\xC1\xC1\xC1\xC1\xC1\xC1", "\xE1\xE1\xE1\xE1\xE1\xE1\xE1\xE1"));
    EXPECT_NE(hash("page-1.html"), hash("page-2.html"));
    EXPECT_NE(hash("abcdefgh"), hash("abcdefgh\0"s));
}
