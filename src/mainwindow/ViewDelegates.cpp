#include "ViewDelegates.h"

#include "ShortcutListModel.h"

namespace lynkora {

QSize ShortcutItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return m_cell.isValid() ? m_cell : QStyledItemDelegate::sizeHint(option, index);
}

void ShortcutItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(ShortcutListModel::CutRole).toBool()) {
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::Disabled, QPalette::Text));
        if (!option->icon.isNull())
            option->icon = QIcon(option->icon.pixmap(option->decorationSize, QIcon::Disabled));
    }
}

void CategoryNodeDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->state & QStyle::State_Selected)
        option->font.setBold(true);
    if ((option->state & QStyle::State_MouseOver) && !(option->state & QStyle::State_Selected)) {
        option->font.setUnderline(true);
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::Link));
        option->state &= ~QStyle::State_MouseOver; // no hover fill: the underline is the mark
    }
}

} // namespace lynkora
