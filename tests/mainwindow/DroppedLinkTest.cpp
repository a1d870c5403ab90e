#include "mainwindow/DroppedLink.h"

#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

using namespace lynkora;

namespace {

QByteArray Utf16LE(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

DroppedLink Link(const QMimeData& data) {
    const auto link = LinkFromDrop(data);
    return link ? *link : DroppedLink{"<none>", "<none>"};
}

} // namespace

TEST(DroppedLink, WhatBrowsersPutOnADrag) {
    const QString url = QString::fromUtf8("https://example.org/caf\xc3\xa9?q=1");
    const QString title = QString::fromUtf8("Caf\xc3\xa9 \xe2\x80\x94 Example");

    // Firefox: the link as UTF-16 with its title, plus the plainer formats.
    QMimeData firefox;
    firefox.setData("text/x-moz-url", Utf16LE(url + "\n" + title));
    firefox.setData("text/uri-list", (url + "\r\n").toUtf8());
    firefox.setData("_NETSCAPE_URL", (url + "\n" + title).toUtf8());
    firefox.setText(url);
    EXPECT_EQ(Link(firefox).url, url);
    EXPECT_EQ(Link(firefox).title, title);

    // Chromium: no moz format; the title travels in _NETSCAPE_URL.
    QMimeData chromium;
    chromium.setData("text/uri-list", url.toUtf8());
    chromium.setData("_NETSCAPE_URL", (url + "\n" + title).toUtf8());
    chromium.setText(url);
    EXPECT_EQ(Link(chromium).url, url);
    EXPECT_EQ(Link(chromium).title, title);

    QMimeData uriList;
    uriList.setData("text/uri-list", ("# dragged\r\n" + url + "\r\nhttps://second.example/\r\n").toUtf8());
    // URI lists are percent-encoded; the address is the same.
    EXPECT_EQ(QUrl(Link(uriList).url), QUrl(url));
    EXPECT_EQ(Link(uriList).title, "");

    QMimeData plain;
    plain.setText("  " + url + "\n");
    EXPECT_EQ(Link(plain).url, url);
}

TEST(DroppedLink, WhatIsNotALink) {
    for (const char* text : {"", "just some words", "example.org/no-scheme", "https://a.example/\nsecond line",
                             "/home/user/file.txt"}) {
        QMimeData plain;
        plain.setText(text);
        EXPECT_FALSE(LinkFromDrop(plain)) << text;
    }
    // A damaged moz entry falls back to the next format.
    QMimeData damaged;
    damaged.setData("text/x-moz-url", QByteArray("\xff\xfe\x00", 3));
    damaged.setText("https://fallback.example/");
    EXPECT_EQ(Link(damaged).url, "https://fallback.example/");
    // A title equal to the URL says nothing.
    QMimeData same;
    same.setData("_NETSCAPE_URL", "https://a.example/\nhttps://a.example/");
    EXPECT_EQ(Link(same).title, "");
}
