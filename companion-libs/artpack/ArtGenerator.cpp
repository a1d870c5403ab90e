// Draws the resource library's pictures: the image strips (16 and 32 pixels, fuchsia
// transparent), the status images, the arrows, the hand cursor and the LOGO, ABOUT and CREDITS
// pictures. Run at build time: artgen OUTPUT_DIR
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>
#include <vector>

namespace {

const QColor kFuchsia(255, 0, 255);
const QColor kBlue(0x2B, 0x6C, 0xB0);
const QColor kDarkBlue(0x1B, 0x3A, 0x5C);
const QColor kFolder(0xE8, 0xB4, 0x3C);
const QColor kFolderDark(0xB8, 0x84, 0x1C);
const QColor kPaper(0xFA, 0xFA, 0xF5);
const QColor kGreen(0x2E, 0x9E, 0x4F);
const QColor kRed(0xD0, 0x3A, 0x2F);
const QColor kGrey(0x70, 0x70, 0x70);

// Every image is drawn on a 16-unit grid and scaled, so both sizes share one design.
using Draw = std::function<void(QPainter&)>;

void Page(QPainter& p) {
    QPainterPath path;
    path.moveTo(3, 1);
    path.lineTo(10, 1);
    path.lineTo(13, 4);
    path.lineTo(13, 15);
    path.lineTo(3, 15);
    path.closeSubpath();
    p.setPen(QPen(kGrey, 0.8));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void Globe(QPainter& p, QPointF c, double r, QColor color) {
    p.setPen(QPen(color.darker(130), 0.8));
    QRadialGradient g(c - QPointF(r / 3, r / 3), r * 1.4);
    g.setColorAt(0, color.lighter(150));
    g.setColorAt(1, color);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
}

void Folder(QPainter& p, bool open) {
    p.setPen(QPen(kFolderDark, 0.8));
    p.setBrush(kFolder.darker(110));
    QPainterPath back;
    back.moveTo(1, 4);
    back.lineTo(6, 4);
    back.lineTo(7.5, 5.5);
    back.lineTo(15, 5.5);
    back.lineTo(15, 14);
    back.lineTo(1, 14);
    back.closeSubpath();
    p.drawPath(back);
    QLinearGradient g(0, 6, 0, 14);
    g.setColorAt(0, kFolder.lighter(125));
    g.setColorAt(1, kFolder);
    p.setBrush(g);
    QPainterPath front;
    if (open) {
        front.moveTo(3, 8);
        front.lineTo(15.5, 8);
        front.lineTo(13.5, 14);
        front.lineTo(1, 14);
    } else {
        front.moveTo(1, 7);
        front.lineTo(15, 7);
        front.lineTo(15, 14);
        front.lineTo(1, 14);
    }
    front.closeSubpath();
    p.drawPath(front);
}

void Badge(QPainter& p, QColor color, const std::function<void(QPainter&)>& mark) {
    p.setPen(QPen(Qt::white, 0.8));
    p.setBrush(color);
    p.drawEllipse(QPointF(11.5, 11.5), 4, 4);
    p.setPen(QPen(Qt::white, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    mark(p);
}

void Check(QPainter& p) {
    p.drawPolyline(QPolygonF({QPointF(9.5, 11.5), QPointF(11, 13), QPointF(13.5, 10)}));
}
void Cross(QPainter& p) {
    p.drawLine(QPointF(10, 10), QPointF(13, 13));
    p.drawLine(QPointF(13, 10), QPointF(10, 13));
}
void Plus(QPainter& p) {
    p.drawLine(QPointF(11.5, 9.5), QPointF(11.5, 13.5));
    p.drawLine(QPointF(9.5, 11.5), QPointF(13.5, 11.5));
}
void Minus(QPainter& p) { p.drawLine(QPointF(9.5, 11.5), QPointF(13.5, 11.5)); }
void Dots(QPainter& p) {
    p.setBrush(Qt::white);
    for (double x : {9.8, 11.5, 13.2})
        p.drawEllipse(QPointF(x, 11.5), 0.4, 0.4);
}
void Star(QPainter& p) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double r = i % 2 ? 1.2 : 2.8;
        star << QPointF(11.5 + r * std::cos(a), 11.5 + r * std::sin(a));
    }
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawPolygon(star);
}

void Shortcut(QPainter& p) {
    Page(p);
    Globe(p, QPointF(8, 8.5), 3.6, kBlue);
}

void Magnifier(QPainter& p) {
    p.setPen(QPen(kDarkBlue, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(0xDD, 0xEE, 0xFF));
    p.drawEllipse(QPointF(6.5, 6.5), 4, 4);
    p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
}

void Disk(QPainter& p) {
    p.setPen(QPen(kDarkBlue, 0.8));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(2, 2, 12, 12), 1.2, 1.2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 2.5, 7, 4.5));
    p.setBrush(kDarkBlue);
    p.drawRect(QRectF(5, 9.5, 6, 4));
}

void Envelope(QPainter& p) {
    p.setPen(QPen(kGrey, 0.8));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 4, 13, 9));
    p.drawPolyline(QPolygonF({QPointF(1.5, 4), QPointF(8, 9), QPointF(14.5, 4)}));
}

void Help(QPainter& p) {
    Globe(p, QPointF(8, 8), 6.5, kBlue);
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
    QPainterPath q;
    q.moveTo(5.8, 6.3);
    q.cubicTo(5.8, 3.6, 10.4, 3.6, 10.4, 6.3);
    q.cubicTo(10.4, 7.8, 8, 7.8, 8, 9.6);
    p.setBrush(Qt::NoBrush);
    p.drawPath(q);
    p.drawPoint(QPointF(8, 12));
}

void Arrow(QPainter& p, bool up, QColor color) {
    p.setPen(QPen(color.darker(140), 0.8));
    p.setBrush(color);
    QPolygonF a = up ? QPolygonF({QPointF(8, 2), QPointF(14, 9), QPointF(10.5, 9), QPointF(10.5, 14),
                                  QPointF(5.5, 14), QPointF(5.5, 9), QPointF(2, 9)})
                     : QPolygonF({QPointF(8, 14), QPointF(14, 7), QPointF(10.5, 7), QPointF(10.5, 2),
                                  QPointF(5.5, 2), QPointF(5.5, 7), QPointF(2, 7)});
    p.drawPolygon(a);
}

void Views(QPainter& p, int kind) {
    p.setPen(QPen(kDarkBlue, 0.8));
    p.setBrush(kBlue.lighter(140));
    if (kind == 0) { // large icons
        for (double x : {2.0, 9.0})
            for (double y : {2.0, 9.0})
                p.drawRect(QRectF(x, y, 5, 5));
    } else {
        for (double y = 2; y < 14; y += kind == 3 ? 3 : 4) {
            p.drawRect(QRectF(2, y, 2, 2));
            p.drawLine(QPointF(5.5, y + 1), QPointF(kind == 2 ? 9 : 14, y + 1));
            if (kind == 2)
                p.drawLine(QPointF(10.5, y + 1), QPointF(14, y + 1));
        }
    }
}

// The images of the small and large strips, by index. The fixed ones: 0 shortcut, 1 shortcut
// being verified, 2 failed shortcut, 3/4 category closed/open, 5/6 excluded, 7/8 being verified,
// 14 separator, 26/27 added by an import.
std::vector<Draw> StripImages() {
    std::vector<Draw> d(40, [](QPainter&) {});
    d[0] = Shortcut;
    d[1] = [](QPainter& p) { Shortcut(p); Badge(p, QColor(0xE0, 0x9A, 0x10), Dots); };
    d[2] = [](QPainter& p) { Shortcut(p); Badge(p, kRed, Cross); };
    d[3] = [](QPainter& p) { Folder(p, false); };
    d[4] = [](QPainter& p) { Folder(p, true); };
    d[5] = [](QPainter& p) { Folder(p, false); Badge(p, kGrey, Minus); };
    d[6] = [](QPainter& p) { Folder(p, true); Badge(p, kGrey, Minus); };
    d[7] = [](QPainter& p) { Folder(p, false); Badge(p, QColor(0xE0, 0x9A, 0x10), Dots); };
    d[8] = [](QPainter& p) { Folder(p, true); Badge(p, QColor(0xE0, 0x9A, 0x10), Dots); };
    d[9] = [](QPainter& p) { Page(p); Badge(p, kGreen, Plus); };                 // new data file
    d[10] = [](QPainter& p) { Folder(p, true); Arrow(p, true, kGreen); };        // open
    d[11] = Disk;                                                                // save
    d[12] = Magnifier;                                                           // find
    d[13] = [](QPainter& p) { Magnifier(p); Badge(p, kBlue, Plus); };            // find next
    d[14] = [](QPainter& p) {                                                    // separator
        p.setPen(QPen(kGrey, 1));
        p.drawLine(QPointF(8, 1), QPointF(8, 15));
    };
    d[15] = [](QPainter& p) { Page(p); Badge(p, kRed, Cross); };                 // delete
    d[16] = [](QPainter& p) {                                                    // properties
        Page(p);
        p.setPen(QPen(kGrey, 0.9));
        for (double y : {5.0, 7.5, 10.0, 12.5})
            p.drawLine(QPointF(5, y), QPointF(11, y));
    };
    d[17] = [](QPainter& p) { Folder(p, false); Badge(p, kGreen, Plus); };       // new category
    d[18] = [](QPainter& p) { Shortcut(p); Badge(p, kGreen, Plus); };            // new shortcut
    d[19] = Help;                                                                // help topics
    d[20] = [](QPainter& p) { Globe(p, QPointF(8, 8), 6.5, kBlue); };           // open in browser
    d[21] = Envelope;                                                            // send
    d[22] = [](QPainter& p) { Shortcut(p); Badge(p, kGreen, Check); };           // verify shortcut
    d[23] = [](QPainter& p) { Folder(p, false); Badge(p, kGreen, Check); };      // verify category
    d[24] = [](QPainter& p) { Disk(p); Badge(p, kGreen, Check); };               // verify file
    d[25] = [](QPainter& p) { Arrow(p, false, kBlue); };                         // skip
    d[26] = [](QPainter& p) { Folder(p, false); Badge(p, QColor(0x3B, 0x8E, 0xD0), Star); };
    d[27] = [](QPainter& p) { Folder(p, true); Badge(p, QColor(0x3B, 0x8E, 0xD0), Star); };
    d[28] = [](QPainter& p) {                                                    // abort all
        p.setPen(QPen(kRed.darker(140), 0.8));
        p.setBrush(kRed);
        QPolygonF oct;
        for (int i = 0; i < 8; ++i)
            oct << QPointF(8 + 6.5 * std::cos(M_PI / 8 + i * M_PI / 4), 8 + 6.5 * std::sin(M_PI / 8 + i * M_PI / 4));
        p.drawPolygon(oct);
        p.setPen(QPen(Qt::white, 1.8));
        p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
    };
    d[29] = [](QPainter& p) { Shortcut(p); Badge(p, kRed, Check); };             // re-verify errors
    d[30] = [](QPainter& p) {                                                    // refresh
        p.setPen(QPen(kGreen, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 30 * 16, 300 * 16);
        p.setBrush(kGreen);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(14.5, 1.5), QPointF(14.5, 7), QPointF(9.5, 5)}));
    };
    d[31] = [](QPainter& p) {                                                    // duplicate group
        p.translate(-1.5, -1.5);
        Page(p);
        p.translate(3, 3);
        Page(p);
        Globe(p, QPointF(8, 8.5), 3, kBlue);
    };
    d[32] = [](QPainter& p) { Views(p, 0); };
    d[33] = [](QPainter& p) { Views(p, 1); };
    d[34] = [](QPainter& p) { Views(p, 2); };
    d[35] = [](QPainter& p) { Views(p, 3); };
    d[36] = [](QPainter& p) { Folder(p, false); Arrow(p, true, kBlue); };        // synchronise
    d[37] = [](QPainter& p) { Shortcut(p); Badge(p, kBlue, Plus); };             // import
    d[38] = Page;                                                                // a file being imported
    return d;
}

QImage Strip(const std::vector<Draw>& images, int size) {
    QImage img(size * static_cast<int>(images.size()), size, QImage::Format_RGB32);
    img.fill(kFuchsia);
    for (std::size_t i = 0; i < images.size(); ++i) {
        // Drawn on a transparent tile first, then composed on fuchsia without blending into it:
        // partly covered pixels become opaque colour, not a pink fringe.
        QImage tile(size, size, QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::transparent);
        QPainter p(&tile);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        images[i](p);
        p.end();
        QPainter s(&img);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QColor c = tile.pixelColor(x, y);
                if (c.alpha() > 80) {
                    QColor solid = c;
                    solid.setAlpha(255);
                    img.setPixelColor(static_cast<int>(i) * size + x, y, solid);
                }
            }
    }
    return img;
}

QImage Picture(int w, int h, const QString& title, const QString& line) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(0x16, 0x3A, 0x63));
    g.setColorAt(1, QColor(0x2B, 0x6C, 0xB0));
    p.fillRect(img.rect(), g);
    // A pattern of linked globes: the collection.
    p.save();
    p.setOpacity(0.18);
    for (int i = 0; i < 7; ++i) {
        const QPointF c(w * 0.84 + 40 * std::cos(i * 0.9), h * 0.5 + 45 * std::sin(i * 1.3));
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(w * 0.86, h * 0.5), c);
        Globe(p, c, 14, Qt::white);
    }
    p.restore();
    p.save();
    p.translate(28, h / 2.0 - 40);
    p.scale(5, 5);
    Shortcut(p);
    p.restore();
    // The title is made smaller until it fits the room beside the picture, whatever the font.
    QFont big("DejaVu Sans", 26, QFont::Bold);
    const int room = w - 130 - 14;
    while (big.pointSize() > 8 && QFontMetrics(big, &img).horizontalAdvance(title) > room)
        big.setPointSize(big.pointSize() - 1);
    p.setFont(big);
    p.setPen(Qt::white);
    p.drawText(QRectF(130, h / 2.0 - 46, room, 44), Qt::AlignLeft | Qt::AlignVCenter, title);
    QFont small("DejaVu Sans", 11);
    p.setFont(small);
    p.setPen(QColor(0xDD, 0xE8, 0xF4));
    p.drawText(QRectF(130, h / 2.0, w - 140, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, line);
    return img;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]) + "/";
    const std::vector<Draw> images = StripImages();
    bool ok = Strip(images, 16).save(out + "BMP_1.png");
    ok = Strip(images, 32).save(out + "BMP_2.png") && ok;
    // Status images: 0 the hint mark, 1 busy, 2 done, 3 error.
    std::vector<Draw> status = {
        [](QPainter& p) { Badge(p, kBlue, Dots); },
        [](QPainter& p) { Badge(p, QColor(0xE0, 0x9A, 0x10), Dots); },
        [](QPainter& p) { Badge(p, kGreen, Check); },
        [](QPainter& p) { Badge(p, kRed, Cross); },
    };
    for (auto& s : status) {
        Draw inner = s;
        s = [inner](QPainter& p) { p.translate(-3.5, -3.5); p.scale(1.0, 1.0); inner(p); };
    }
    ok = Strip(status, 16).save(out + "BMP_3.png") && ok;
    ok = Strip({[](QPainter& p) { Arrow(p, true, kBlue); }}, 16).save(out + "UPARROW.png") && ok;
    ok = Strip({[](QPainter& p) { Arrow(p, false, kBlue); }}, 16).save(out + "DNARROW.png") && ok;
    // The hand cursor: a pointing hand, transparent around it.
    QImage hand(32, 32, QImage::Format_ARGB32);
    hand.fill(Qt::transparent);
    {
        QPainter p(&hand);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(Qt::white);
        QPainterPath path;
        path.addRoundedRect(QRectF(9, 2, 4, 15), 2, 2);
        path.addRoundedRect(QRectF(7, 12, 15, 13), 4, 4);
        p.drawPath(path.simplified());
    }
    ok = hand.save(out + "IDC_WEB.png") && ok;
    // The application icon for the desktop, from the same drawing as the shortcut image.
    for (int size : {16, 32, 48, 128, 256}) {
        QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        Shortcut(p);
        p.end();
        ok = icon.save(out + QString("lynkora-%1.png").arg(size)) && ok;
    }
    ok = Picture(480, 240, "Lynkora 4.0", "Your internet shortcuts, kept, checked and shared.")
             .save(out + "LOGO.jpg", "JPEG", 90) && ok;
    ok = Picture(360, 150, "Lynkora 4.0", "Internet shortcut manager").save(out + "ABOUT.jpg", "JPEG", 90) && ok;
    ok = Picture(360, 200, "Credits", "Designed, drawn and built by the Lynkora developers.")
             .save(out + "CREDITS.jpg", "JPEG", 90) && ok;
    return ok ? 0 : 1;
}
