#include "StreamBytes.h"

#include "store/Errors.h"
#include "store/Folder.h"
#include "store/ObjectStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace lynkora;

namespace {

std::string ErrorOf(std::string_view bytes) {
    TISFolder folder;
    try {
        ObjectStream::ReadObject(bytes, folder);
    } catch (const EReadError& e) {
        return e.what();
    }
    return "no error";
}

std::unique_ptr<TISFolder> ReadBack(std::string_view bytes) {
    auto folder = std::make_unique<TISFolder>();
    ObjectStream::ReadObject(bytes, *folder);
    return folder;
}

void ExpectSameShortcut(const TIShortcut& a, const TIShortcut& b) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(a.Added), std::bit_cast<std::uint64_t>(b.Added));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(a.Access), std::bit_cast<std::uint64_t>(b.Access));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(a.Verified), std::bit_cast<std::uint64_t>(b.Verified));
    EXPECT_EQ(a.Count, b.Count);
    EXPECT_EQ(a.VerState, b.VerState);
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.Descr, b.Descr);
    EXPECT_EQ(a.Keywords.Items(), b.Keywords.Items());
    EXPECT_EQ(a.URL, b.URL);
    EXPECT_EQ(a.verResponse, b.verResponse);
    EXPECT_EQ(a.IgnoreDup, b.IgnoreDup);
}

void ExpectSameFolder(const TISFolder& a, const TISFolder& b) {
    EXPECT_EQ(a.Tag, b.Tag);
    EXPECT_EQ(a.FolderID, b.FolderID);
    EXPECT_EQ(a.FolderName, b.FolderName);
    EXPECT_EQ(a.Descr, b.Descr);
    EXPECT_EQ(a.Keywords.Items(), b.Keywords.Items());
    EXPECT_EQ(a.Parent, b.Parent);
    EXPECT_EQ(a.AccessCount, b.AccessCount);
    EXPECT_EQ(a.Exclude, b.Exclude);
    EXPECT_EQ(a.New, b.New);
    ASSERT_EQ(a.Shortcuts.Count(), b.Shortcuts.Count());
    for (std::size_t i = 0; i < a.Shortcuts.Count(); ++i)
        ExpectSameShortcut(a.Shortcuts[i], b.Shortcuts[i]);
}

} // namespace

TEST(ObjectStream, WritesTheReferenceCategoryByteForByteAndReadsItBack) {
    TISFolder folder;
    folder.FolderID = "FL00000001";
    folder.FolderName = "News";
    TIShortcut& home = folder.Shortcuts.Add();
    home.Name = "Home";
    home.URL = "about:blank";
    home.Added = 36892.5;

    const std::string expected =
        "54 50 46 30 09 54 49 53 46 6F 6C 64 65 72 00 08 46 6F 6C 64 65 72 49 44 06 0A 46 4C 30 "
        "30 30 30 30 30 30 31 0A 46 6F 6C 64 65 72 4E 61 6D 65 06 04 4E 65 77 73 06 50 61 72 65 "
        "6E 74 06 01 30 09 53 68 6F 72 74 63 75 74 73 0E 01 05 41 64 64 65 64 05 00 00 00 00 00 "
        "80 1C 90 0E 40 05 43 6F 75 6E 74 02 00 08 56 65 72 53 74 61 74 65 03 D1 07 04 4E 61 6D "
        "65 06 04 48 6F 6D 65 03 55 52 4C 06 0B 61 62 6F 75 74 3A 62 6C 61 6E 6B 09 49 67 6E 6F "
        "72 65 44 75 70 08 00 00 0B 41 63 63 65 73 73 43 6F 75 6E 74 02 00 07 45 78 63 6C 75 64 "
        "65 08 03 4E 65 77 08 00 00";
    const std::string bytes = ObjectStream::WriteObject(folder);
    EXPECT_EQ(bytes.size(), 183u);
    EXPECT_EQ(Hex(bytes), expected);

    auto back = ReadBack(bytes);
    ExpectSameFolder(folder, *back);
    EXPECT_EQ(back->Shortcuts[0].ID(), 0u);
}

TEST(ObjectStream, FullCategoryRoundTripsWithEveryProperty) {
    TISFolder folder;
    folder.FolderID = "FL0000001A";
    folder.FolderName = "Reference";
    folder.Descr = std::string(300, 'd');
    folder.Keywords.Add("zeta");
    folder.Keywords.Add("Alpha");
    folder.AccessCount = 70000;
    folder.Exclude = true;
    folder.New = true;
    for (int i = 0; i < 3; ++i) {
        TIShortcut& s = folder.Shortcuts.Add();
        s.Added = 36892.5 + i;
        s.Access = -1.25;
        s.Verified = 45000.999999;
        s.Count = i * 40000;
        s.VerState = vsFailed;
        s.Name = "Site " + std::to_string(i);
        s.Descr = "\xE9t\xE9 caf\xC3\xA9"; // bytes kept exactly, whatever their encoding
        s.Keywords.Add("b");
        s.Keywords.Add("A");
        s.URL = "https://example.org/" + std::to_string(i);
        s.verResponse = "404: Not found";
        s.IgnoreDup = i == 1;
    }
    const std::string bytes = ObjectStream::WriteObject(folder);
    auto back = ReadBack(bytes);
    ExpectSameFolder(folder, *back);
    EXPECT_EQ(ObjectStream::WriteObject(*back), bytes);
}

TEST(ObjectStream, ChoosesTheSmallestIntegerTag) {
    struct Case {
        std::int32_t value;
        std::string hex;
    } cases[] = {
        {0, "02 00"},          {127, "02 7F"},          {128, "03 80 00"},
        {-128, "02 80"},       {-129, "03 7F FF"},      {32767, "03 FF 7F"},
        {32768, "04 00 80 00 00"}, {-32768, "03 00 80"}, {-32769, "04 FF 7F FF FF"},
        {70000, "04 70 11 01 00"}, {INT32_MIN, "04 00 00 00 80"},
    };
    for (const auto& c : cases) {
        TISFolder folder;
        folder.AccessCount = c.value;
        const std::string bytes = ObjectStream::WriteObject(folder);
        const std::string hex = Hex(bytes);
        const std::string marker = Hex("AccessCount");
        const auto at = hex.find(marker);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(hex.substr(at + marker.size() + 1, c.hex.size()), c.hex) << c.value;
        EXPECT_EQ(ReadBack(bytes)->AccessCount, c.value);
    }
    TISFolder folder;
    folder.Shortcuts.Add();
    EXPECT_NE(Hex(ObjectStream::WriteObject(folder)).find(Hex("VerState") + " 03 D1 07"),
              std::string::npos);
}

TEST(ObjectStream, TextUsesShortOrLongFormByLength) {
    for (std::size_t len : {0u, 1u, 255u, 256u, 70000u}) {
        TISFolder folder;
        TIShortcut& s = folder.Shortcuts.Add();
        s.Descr = std::string(len, 'x');
        const std::string bytes = ObjectStream::WriteObject(folder);
        const auto at = bytes.find("Descr");
        if (len == 0) {
            EXPECT_EQ(at, std::string::npos);
        } else if (len <= 255) {
            EXPECT_EQ(Hex(bytes.substr(at + 5, 2)), "06 " + Hex(std::string(1, char(len))));
        } else {
            std::string lenBytes = {char(len & 0xFF), char((len >> 8) & 0xFF),
                                    char((len >> 16) & 0xFF), 0};
            EXPECT_EQ(Hex(bytes.substr(at + 5, 5)), "0C " + Hex(lenBytes));
        }
        EXPECT_EQ(ReadBack(bytes)->Shortcuts[0].Descr.size(), len);
    }
}

TEST(ObjectStream, EmptyValuesAreLeftOutButCollectionsAndFlagsAlwaysWritten) {
    TISFolder folder; // root: no FolderID, no name, no shortcuts
    const std::string bytes = ObjectStream::WriteObject(folder);
    EXPECT_EQ(bytes.find("FolderID"), std::string::npos);
    EXPECT_EQ(bytes.find("Tag"), std::string::npos);
    EXPECT_EQ(bytes.find("Keywords"), std::string::npos);
    EXPECT_NE(bytes.find(std::string("Shortcuts\x0E\x00", 11)), std::string::npos);
    EXPECT_NE(bytes.find("Exclude\x08"), std::string::npos);

    folder.Tag = 5;
    EXPECT_NE(ObjectStream::WriteObject(folder).find("\x03Tag\x02\x05"), std::string::npos);

    TIShortcut& s = folder.Shortcuts.Add();
    s.Added = 0;
    s.Access = -0.0;
    const std::string withItem = ObjectStream::WriteObject(folder);
    EXPECT_EQ(withItem.find("Added"), std::string::npos);
    EXPECT_EQ(withItem.find("\x06""Access\x05"), std::string::npos);
    EXPECT_EQ(ReadBack(withItem)->Shortcuts[0].Added, 0.0);
}

TEST(ObjectStream, DatesReadBackBitExactly) {
    const double values[] = {
        36892.5,
        -693593.0, // 0001-01-01
        -1.5,
        1e-300,
        std::numeric_limits<double>::min(),
        std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::max(),
        -std::numeric_limits<double>::max(),
        std::numeric_limits<double>::infinity(),
        2958465.99999999, // 9999-12-31 23:59:59.999
    };
    for (double v : values) {
        TISFolder folder;
        folder.Shortcuts.Add().Verified = v;
        auto back = ReadBack(ObjectStream::WriteObject(folder));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back->Shortcuts[0].Verified),
                  std::bit_cast<std::uint64_t>(v))
            << v;
    }
    TISFolder folder;
    folder.Shortcuts.Add().Access = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(ReadBack(ObjectStream::WriteObject(folder))->Shortcuts[0].Access));
}

TEST(ObjectStream, ReaderAcceptsWhatOtherWritersProduce) {
    // Another class name, a flags byte with a position, and integers where dates belong.
    const StreamBytes bytes = StreamBytes()
                                  .raw({'T', 'P', 'F', '0', 0xF2, 2, 7})
                                  .str("TSomethingElse")
                                  .str("")
                                  .text("FolderName", "Other")
                                  .str("Shortcuts")
                                  .raw({14, 2, 0, 1})
                                  .str("Added")
                                  .raw({3, 0x10, 0x27})
                                  .str("Name")
                                  .raw({12, 3, 0, 0, 0, 'a', 'b', 'c'})
                                  .raw({0, 0})
                                  .str("Exclude")
                                  .raw({7})
                                  .str("true")
                                  .end()
                                  .raw({0xDE, 0xAD}); // bytes after the object are not read
    TISFolder folder;
    const std::size_t used = ObjectStream::ReadObject(bytes, folder);
    EXPECT_EQ(used, bytes.bytes().size() - 2);
    EXPECT_EQ(folder.FolderName, "Other");
    ASSERT_EQ(folder.Shortcuts.Count(), 1u);
    EXPECT_EQ(folder.Shortcuts[0].Added, 10000.0);
    EXPECT_EQ(folder.Shortcuts[0].Name, "abc");
    EXPECT_TRUE(folder.Exclude);
}

TEST(ObjectStream, KeywordListsAreSortedWithoutDuplicatesWhenRead) {
    const StreamBytes bytes = StreamBytes()
                                  .header()
                                  .str("Keywords.Strings")
                                  .raw({1})
                                  .raw({6})
                                  .str("b")
                                  .raw({6})
                                  .str("a")
                                  .raw({6})
                                  .str("A")
                                  .raw({0})
                                  .end();
    auto folder = ReadBack(bytes);
    EXPECT_EQ(folder->Keywords.Items(), (std::vector<std::string>{"a", "b"}));
}

TEST(ObjectStream, CollectionIsReplacedOnlyWhenTheStreamHoldsItems) {
    TISFolder folder;
    folder.Shortcuts.Add().Name = "kept";
    ObjectStream::ReadObject(StreamBytes().header().str("Shortcuts").raw({14, 0}).end(), folder);
    ASSERT_EQ(folder.Shortcuts.Count(), 1u);
    EXPECT_EQ(folder.Shortcuts[0].Name, "kept");

    ObjectStream::ReadObject(
        StreamBytes().header().str("Shortcuts").raw({14, 1}).text("Name", "new").raw({0, 0}).end(),
        folder);
    ASSERT_EQ(folder.Shortcuts.Count(), 1u);
    EXPECT_EQ(folder.Shortcuts[0].Name, "new");
    EXPECT_EQ(folder.Shortcuts[0].VerState, vsGood);
}

TEST(ObjectStream, NilEmptiesAnOwnedList) {
    TISFolder folder;
    folder.Keywords.Add("x");
    ObjectStream::ReadObject(StreamBytes().header().str("Keywords").raw({13}).end(), folder);
    EXPECT_TRUE(folder.Keywords.Empty());
}

TEST(ObjectStream, ReadErrorsCarryTheNestedMessages) {
    EXPECT_EQ(ErrorOf("TPF1"), "Invalid stream format");
    EXPECT_EQ(ErrorOf(StreamBytes().header().int8("Colour", 1).end()),
              "Error reading TISFolder.Colour: Property does not exist");
    EXPECT_EQ(ErrorOf(StreamBytes()
                          .header()
                          .str("Shortcuts")
                          .raw({14, 1})
                          .int8("Colour", 1)
                          .raw({0, 0})
                          .end()),
              "Error reading TISFolder.Shortcuts: Error reading TIShortcut.Colour: Property "
              "does not exist");
    EXPECT_EQ(ErrorOf(StreamBytes().header().str("Descr.Strings").raw({1, 0}).end()),
              "Error reading TISFolder.Descr.Strings: Invalid property path");
    EXPECT_EQ(ErrorOf(StreamBytes().header().str("Nothing.Strings").raw({1, 0}).end()),
              "Error reading TISFolder.Nothing.Strings: Invalid property path");
    EXPECT_EQ(ErrorOf(StreamBytes().header().str("Keywords.Items").raw({1, 0}).end()),
              "Error reading TISFolder.Keywords.Items: Property does not exist");
    EXPECT_EQ(ErrorOf(StreamBytes().header().text("AccessCount", "7").end()),
              "Error reading TISFolder.AccessCount: Invalid property value");
    EXPECT_EQ(ErrorOf(StreamBytes().header().int8("FolderName", 7).end()),
              "Error reading TISFolder.FolderName: Invalid property value");
    EXPECT_EQ(ErrorOf(StreamBytes().header().str("Exclude").raw({7}).str("Maybe").end()),
              "Error reading TISFolder.Exclude: Invalid property value");
    EXPECT_EQ(ErrorOf(StreamBytes().header().str("Shortcuts").raw({1, 0}).end()),
              "Error reading TISFolder.Shortcuts: Invalid property value");
    EXPECT_EQ(ErrorOf(StreamBytes().header().str("Keywords.Strings").raw({1, 2, 5, 0}).end()),
              "Error reading TISFolder.Keywords.Strings: Invalid property value");
    EXPECT_EQ(ErrorOf(StreamBytes().header().raw({0}).str("TToolButton").str("b").raw({0, 0, 0})),
              "Class TToolButton not found");
    // A component named in its header is named in the message.
    EXPECT_EQ(ErrorOf(StreamBytes()
                          .raw({'T', 'P', 'F', '0'})
                          .str("TISFolder")
                          .str("Mine")
                          .int8("Colour", 1)
                          .end()),
              "Error reading Mine.Colour: Property does not exist");
}

TEST(ObjectStream, TruncatedStreamsFailAtEveryLength) {
    TISFolder folder;
    folder.FolderID = "FL00000002";
    folder.Keywords.Add("k");
    TIShortcut& s = folder.Shortcuts.Add();
    s.Name = "n";
    s.Added = 1.5;
    s.Descr = std::string(300, 'x');
    s.Keywords.Add("kw");
    const std::string bytes = ObjectStream::WriteObject(folder);
    for (std::size_t len = 0; len < bytes.size(); ++len) {
        // A copy of exactly len bytes, so a sanitizer sees any read past it.
        const std::string cut = bytes.substr(0, len);
        TISFolder target;
        EXPECT_THROW(ObjectStream::ReadObject(cut, target), EReadError) << len;
    }
}

TEST(ObjectStream, DamagedStreamsNeverCrash) {
    TISFolder folder;
    folder.FolderName = "x";
    for (int i = 0; i < 4; ++i) {
        TIShortcut& s = folder.Shortcuts.Add();
        s.Name = "n" + std::to_string(i);
        s.Added = 40000 + i;
        s.Keywords.Add("a");
    }
    const std::string good = ObjectStream::WriteObject(folder);
    std::mt19937 rng(12345);
    for (int round = 0; round < 20000; ++round) {
        std::string bad = good;
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int f = 0; f < flips; ++f)
            bad[rng() % bad.size()] = static_cast<char>(rng());
        TISFolder target;
        try {
            ObjectStream::ReadObject(bad, target);
        } catch (const EReadError&) {
        }
    }
}

TEST(ObjectStream, SingleValuesOfTheDataFile) {
    std::string appver;
    ObjectStream::WriteTextValue(appver, "4.0.2.312");
    EXPECT_EQ(Hex(appver), "06 09 34 2E 30 2E 32 2E 33 31 32");
    EXPECT_EQ(ObjectStream::ReadTextValue(appver), "4.0.2.312");

    std::string date;
    ObjectStream::WriteDateValue(date, 36892.5);
    EXPECT_EQ(Hex(date), "11 00 00 00 00 90 03 E2 40");
    EXPECT_EQ(ObjectStream::ReadDateValue(date), 36892.5);

    EXPECT_THROW(ObjectStream::ReadDateValue(date.substr(0, 8)), EReadError);
    EXPECT_THROW(ObjectStream::ReadTextValue(""), EReadError);
    EXPECT_THROW(ObjectStream::ReadTextValue("\x06\x05""abc"), EReadError);
}
