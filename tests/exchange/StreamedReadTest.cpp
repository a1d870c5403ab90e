// A bookmark file is read a window at a time: whatever falls on the window's edges (a tag, a
// comment, an entity, a UTF-8 sequence, a value longer than the window) reads as it does when
// the whole text is at hand, and files that are not UTF-8 are still decoded whole.
#include "ImportDoc.h"
#include "support/TestPaths.h"

#include "exchange/NetscapeReader.h"
#include "exchange/TextDecoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace lynkora;
using lynkora::test::Doc;
namespace fs = std::filesystem;

namespace {

// Everything the import made, in tree order.
std::string Dump(const CategoryTree& tree) {
    std::string out;
    for (CategoryNode* node : tree.PreOrder()) {
        out += std::to_string(node->Depth()) + " [" + node->Text() + "]\n";
        for (const auto& s : node->Folder().Shortcuts)
            out += "  " + s->URL + " | " + s->Name + "\n";
    }
    return out;
}

std::string FromFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    Doc doc;
    ImportNetscapeBookmarks(path.string(), doc.Target());
    return Dump(doc.tree);
}

std::string FromText(const std::string& bytes) {
    Doc doc;
    ReadNetscapeBookmarks(bytes, doc.Target());
    return Dump(doc.tree);
}

constexpr std::size_t kMegabyte = std::size_t{1} << 20;

} // namespace

TEST(StreamedRead, WhatFallsOnAWindowsEdgeReadsAsInTheWholeText) {
    const fs::path file = test::FreshDir("streamed") / "bookmarks.html";
    // Every kind of construct, slid byte by byte across the first window's end.
    const std::string constructs =
        "<DT><A HREF=\"http://a/?x=1&amp;y=2\" ADD_DATE=\"1\">caf\xC3\xA9 &eacute; \xE2\x82\xAC</A>\n"
        "<!-- a <DT><A HREF=\"http://in-a-comment/\"> comment -->"
        "<DT><H3 FOLDED>Folder \xF0\x9F\x93\x9A</H3>\n<DL><p>\n"
        "<DT><A HREF='http://b/' TITLE=\"a > b\">b</A>\n</DL><p>\n";
    const std::string head = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
                             "CONTENT=\"text/html; charset=UTF-8\">\n<DL><p>\n";
    for (std::size_t shift = 0; shift < constructs.size() + 8; ++shift) {
        const std::size_t fill = kMegabyte + 4 - shift - head.size() - 8;
        std::string doc = head + "<!--" + std::string(fill, '-') + "-->\n" + constructs + "</DL>\nthe end";
        ASSERT_EQ(FromFile(file, doc), FromText(doc)) << "shifted by " << shift;
    }

    // A value longer than the window, and many windows' worth of links after it.
    std::string big = head + "<DT><A HREF=\"http://long/" + std::string(kMegabyte * 5 / 2, 'x') + "\">long</A>\n";
    for (int i = 0; big.size() < 4 * kMegabyte; ++i)
        big += "<DT><H3>f" + std::to_string(i % 7) + "</H3>\n<DL><p>\n<DT><A HREF=\"http://h/" + std::to_string(i) +
               "\">link " + std::to_string(i) + "</A>\n</DL><p>\n";
    big += "</DL>\n";
    const std::string streamed = FromFile(file, big);
    EXPECT_EQ(streamed, FromText(big));
    EXPECT_NE(streamed.find("http://long/" + std::string(kMegabyte * 5 / 2, 'x') + " | long"), std::string::npos);
}

TEST(StreamedRead, FilesThatAreNotUtf8AreStillDecoded) {
    const fs::path dir = test::FreshDir("streamed-encodings");
    // Windows-1252 found only beyond the first megabyte, with no charset named: the whole file
    // is decoded, not just the part after the byte.
    std::string latin = "<DL><p>\n<DT><A HREF=\"http://first/\">na\xC3\xAFve?</A>\n<!--" +
                        std::string(kMegabyte + 100, '-') + "-->\n<DT><A HREF=\"http://x/\">caf\xE9</A>\n</DL>\n";
    const std::string latinDump = FromFile(dir / "latin.html", latin);
    EXPECT_NE(latinDump.find("http://x/ | caf\xC3\xA9"), std::string::npos) << latinDump;
    EXPECT_NE(latinDump.find("http://first/ | na\xC3\x83\xC2\xAFve?"), std::string::npos)
        << "the bytes before it are Windows-1252 too";

    // A UTF-8 byte-order mark is no part of the text; UTF-16 is decoded.
    const std::string utf8 = "\xEF\xBB\xBF<DT><H3>\xC3\xA9t\xC3\xA9</H3>\n<DL><DT><A HREF=\"http://e/\">e</A></DL>";
    EXPECT_EQ(FromFile(dir / "bom.html", utf8), FromText(utf8));
    EXPECT_NE(FromFile(dir / "bom.html", utf8).find("1 [\xC3\xA9t\xC3\xA9]"), std::string::npos);
    std::string wide = "\xFF\xFE";
    for (char c : std::string("<DL><DT><A HREF=\"http://w/\">w</A></DL>"))
        wide += std::string{c, '\0'};
    EXPECT_NE(FromFile(dir / "wide.html", wide).find("http://w/ | w"), std::string::npos);
}

TEST(StreamedRead, Utf8CheckedInPiecesAgreesWithTheWhole) {
    const std::string texts[] = {
        "plain ascii, long enough to pass eight at a time",
        "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x9A end",
        "cut at the end \xE2\x82",
        "bad continuation \xE2\x28\xA1 here",
        "a lone continuation \x80",
        "\xFF never a lead byte",
    };
    for (const std::string& text : texts) {
        const bool whole = IsValidUtf8(text);
        for (std::size_t cut = 0; cut <= text.size(); ++cut)
            for (std::size_t second = cut; second <= text.size(); second += 3) {
                Utf8Check check;
                check.Feed(std::string_view(text).substr(0, cut));
                check.Feed(std::string_view(text).substr(cut, second - cut));
                check.Feed(std::string_view(text).substr(second));
                ASSERT_EQ(check.Valid(), whole) << text << " cut at " << cut << " and " << second;
            }
    }
    EXPECT_TRUE(IsValidUtf8(texts[1]));
    EXPECT_FALSE(IsValidUtf8(texts[2]));
    EXPECT_FALSE(IsValidUtf8(texts[3]));
}
