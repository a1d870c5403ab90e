#pragma once

#include "tools/DuplicateScan.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <memory>
#include <unordered_map>
#include <vector>

namespace lynkora {

// The groups of a duplicate scan as a two-level tree: a line per group showing its URL, under
// it a line per shortcut, "name (Category: path)". It owns the groups.
class DuplicatesModel : public QAbstractItemModel {
public:
    explicit DuplicatesModel(QObject* parent = nullptr) : QAbstractItemModel(parent) {}

    void SetGroups(std::vector<TDupItems> groups);
    void SetImages(QIcon group, QIcon shortcut);
    std::size_t GroupCount() const { return m_groups.size(); }
    const TDupItems& Group(std::size_t g) const { return *m_groups[g]; }
    void RemoveGroup(std::size_t g);
    void RemoveEntry(std::size_t g, std::size_t entry);

    // A group line, or a shortcut line of the group GroupOf tells.
    static bool IsGroupLine(const QModelIndex& index) { return index.internalPointer() == nullptr; }
    std::size_t GroupOf(const QModelIndex& index) const;
    // The text of a shortcut line.
    static QString EntryText(const TDupURL& entry);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& = {}) const override { return 1; }
    QVariant data(const QModelIndex& index, int role) const override;

private:
    // A shortcut line points at its group, so removing a group leaves the other lines valid.
    std::vector<std::unique_ptr<TDupItems>> m_groups;
    std::unordered_map<const TDupItems*, int> m_rowOf;
    QIcon m_groupImage, m_shortcutImage;
};

} // namespace lynkora
