#include "TitleHeader.h"

#include <QPainter>

namespace lynkora {

namespace {
constexpr int kMarginX = 6;
constexpr int kMarginY = 3;
constexpr int kGap = 12;
} // namespace

TitleHeader::TitleHeader(QWidget* parent) : QWidget(parent) {
    setBackgroundRole(QPalette::Mid);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void TitleHeader::SetCaption(const QString& text) {
    if (text == m_caption)
        return;
    m_caption = text;
    setToolTip(m_caption);
    update();
}

void TitleHeader::SetRecord(const QString& text) {
    if (text == m_record)
        return;
    m_record = text;
    update();
}

void TitleHeader::Clear() {
    SetCaption({});
    SetRecord({});
}

QSize TitleHeader::sizeHint() const {
    QFont bold = font();
    bold.setBold(true);
    return {200, QFontMetrics(bold).height() + 2 * kMarginY};
}

QSize TitleHeader::minimumSizeHint() const { return {0, sizeHint().height()}; }

void TitleHeader::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect area = rect().adjusted(kMarginX, kMarginY, -kMarginX, -kMarginY);
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const QFontMetrics metrics(font());
    // The record keeps its full width while the caption still gets a third of the room.
    // A few pixels over the measured width: eliding needs the text's whole bounding width.
    const int recordRoom = std::max(0, std::min(metrics.horizontalAdvance(m_record) + 4, area.width() * 2 / 3));
    const QString record = metrics.elidedText(m_record, Qt::ElideMiddle, recordRoom);
    const int captionRoom = std::max(0, area.width() - recordRoom - (record.isEmpty() ? 0 : kGap));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(area, Qt::AlignRight | Qt::AlignVCenter, record);
    p.setFont(bold);
    p.drawText(QRect(area.left(), area.top(), captionRoom, area.height()), Qt::AlignLeft | Qt::AlignVCenter,
               boldMetrics.elidedText(m_caption, Qt::ElideLeft, captionRoom));
}

} // namespace lynkora
