#pragma once

#include <QSize>
#include <QStyledItemDelegate>

namespace lynkora {

// List items: queued shortcuts are drawn in the ghosted look, like cut items. In the icon and
// list styles every item takes the cell size the window computed from the widest name.
class ShortcutItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // An invalid size lets each item size itself (details view).
    void SetCellSize(QSize size) { m_cell = size; }
    QSize CellSize() const { return m_cell; }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    QSize m_cell;
};

// Tree nodes: the selected node bold, the node under the pointer underlined in the link
// colour.
class CategoryNodeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace lynkora
