#include "widgets/ColorButton.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWidgetAction>

namespace lynkora {

namespace {

QIcon Swatch(const QColor& color, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(color);
    QPainter p(&pixmap);
    p.setPen(Qt::darkGray);
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(pixmap);
}

} // namespace

const QColor (&ColorButton::Palette())[20] {
    static const QColor colors[20] = {
        QColor(0, 0, 0),       QColor(128, 0, 0),     QColor(0, 128, 0),     QColor(128, 128, 0),
        QColor(0, 0, 128),     QColor(128, 0, 128),   QColor(0, 128, 128),   QColor(128, 128, 128),
        QColor(192, 192, 192), QColor(255, 0, 0),     QColor(0, 255, 0),     QColor(255, 255, 0),
        QColor(0, 0, 255),     QColor(255, 0, 255),   QColor(0, 255, 255),   QColor(255, 255, 255),
        QColor(255, 128, 0),   QColor(128, 64, 0),    QColor(0, 128, 255),   QColor(255, 128, 192),
    };
    return colors;
}

ColorButton::ColorButton(QWidget* parent) : QToolButton(parent) {
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(40, 14));
    m_menu = new QMenu(this);
    auto* grid = new QWidget(m_menu);
    auto* layout = new QGridLayout(grid);
    layout->setSpacing(2);
    layout->setContentsMargins(4, 4, 4, 4);
    for (int i = 0; i < 20; ++i) {
        auto* cell = new QToolButton(grid);
        const QColor color = Palette()[i];
        cell->setIcon(Swatch(color, QSize(16, 16)));
        cell->setAutoRaise(true);
        cell->setObjectName(QStringLiteral("swatch%1").arg(i));
        cell->setToolTip(color.name());
        connect(cell, &QToolButton::clicked, this, [this, color] {
            SetColor(color);
            m_menu->close();
        });
        layout->addWidget(cell, i / 4, i % 4);
    }
    auto* cells = new QWidgetAction(m_menu);
    cells->setDefaultWidget(grid);
    m_menu->addAction(cells);
    m_menu->addSeparator();
    m_menu->addAction(tr("&Other"), this, [this] {
        const QColor chosen = AskColor ? AskColor(m_color) : QColorDialog::getColor(m_color, this);
        if (chosen.isValid())
            SetColor(chosen);
    });
    setMenu(m_menu);
    UpdateSwatch();
}

void ColorButton::SetColor(const QColor& color) {
    m_color = color;
    UpdateSwatch();
}

std::int32_t ColorButton::StoredColor() const {
    return static_cast<std::int32_t>(m_color.red() | (m_color.green() << 8) | (m_color.blue() << 16));
}

void ColorButton::SetStoredColor(std::int32_t v) { SetColor(QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF)); }

void ColorButton::UpdateSwatch() { setIcon(Swatch(m_color, iconSize())); }

} // namespace lynkora
