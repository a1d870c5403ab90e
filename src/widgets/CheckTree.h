#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QTreeView>

#include <vector>

namespace lynkora {

// A tree of entries with tri-state boxes that cascade: ticking or clearing an entry does the
// same to everything below it, and an entry whose children differ shows the partly-ticked state.
// Entries are plain rows of a table (no object per entry), so a hundred thousand fill at once.
class CheckTreeModel : public QAbstractItemModel {
public:
    explicit CheckTreeModel(QObject* parent = nullptr);

    // The images that entries name by number.
    void SetImages(std::vector<QIcon> images);
    // Filling: entries are added between BeginFill and EndFill, each under an earlier one
    // (-1: at the top); the number returned names the entry from then on. Entries start clear.
    void BeginFill();
    int Add(int parent, const QString& text, int image);
    void EndFill();
    void Clear();

    int Count() const { return static_cast<int>(m_nodes.size()); }
    Qt::CheckState State(int entry) const { return m_nodes[static_cast<std::size_t>(entry)].state; }
    // Sets the entry and everything below it, then brings the entries above in line.
    void SetState(int entry, Qt::CheckState state);
    // Entries in the ticked state (the partly-ticked ones do not count).
    int TickedCount() const;
    QModelIndex IndexOf(int entry) const;
    int EntryOf(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Node {
        int parent;
        int row; // among the parent's children
        int image;
        Qt::CheckState state = Qt::Unchecked;
        QString text;
        std::vector<int> children;
    };
    const std::vector<int>& ChildrenOf(int entry) const { return entry < 0 ? m_top : m_nodes[static_cast<std::size_t>(entry)].children; }
    void NotifyChildren(int entry);

    std::vector<Node> m_nodes;
    std::vector<int> m_top;
    std::vector<QIcon> m_images;
    bool m_filling = false;
};

// The view over a check tree model: one column, no header, whole rows selected.
class CheckTree : public QTreeView {
public:
    explicit CheckTree(QWidget* parent = nullptr);
    CheckTreeModel& Model() { return *m_model; }
    const CheckTreeModel& Model() const { return *m_model; }

protected:
    // Space ticks or clears the current entry.
    void keyPressEvent(QKeyEvent* event) override;

private:
    CheckTreeModel* m_model;
};

} // namespace lynkora
