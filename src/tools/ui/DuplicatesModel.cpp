#include "tools/ui/DuplicatesModel.h"

#include "platform/StoredText.h"

namespace lynkora {

void DuplicatesModel::SetGroups(std::vector<TDupItems> groups) {
    beginResetModel();
    m_groups.clear();
    m_rowOf.clear();
    for (TDupItems& g : groups) {
        m_groups.push_back(std::make_unique<TDupItems>(std::move(g)));
        m_rowOf[m_groups.back().get()] = static_cast<int>(m_groups.size() - 1);
    }
    endResetModel();
}

void DuplicatesModel::SetImages(QIcon group, QIcon shortcut) {
    m_groupImage = std::move(group);
    m_shortcutImage = std::move(shortcut);
}

std::size_t DuplicatesModel::GroupOf(const QModelIndex& index) const {
    if (IsGroupLine(index))
        return static_cast<std::size_t>(index.row());
    return static_cast<std::size_t>(m_rowOf.at(static_cast<const TDupItems*>(index.internalPointer())));
}

QString DuplicatesModel::EntryText(const TDupURL& e) {
    return DecodeStoredText(e.Name) + " (Category: " + DecodeStoredText(e.Category) + ")";
}

void DuplicatesModel::RemoveGroup(std::size_t g) {
    beginRemoveRows({}, static_cast<int>(g), static_cast<int>(g));
    m_rowOf.erase(m_groups[g].get());
    m_groups.erase(m_groups.begin() + static_cast<std::ptrdiff_t>(g));
    for (std::size_t i = g; i < m_groups.size(); ++i)
        m_rowOf[m_groups[i].get()] = static_cast<int>(i);
    endRemoveRows();
}

void DuplicatesModel::RemoveEntry(std::size_t g, std::size_t entry) {
    const int row = static_cast<int>(entry);
    beginRemoveRows(index(static_cast<int>(g), 0), row, row);
    m_groups[g]->URLs.Delete(entry);
    endRemoveRows();
}

QModelIndex DuplicatesModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0)
        return {};
    if (!parent.isValid())
        return static_cast<std::size_t>(row) < m_groups.size() ? createIndex(row, 0, nullptr) : QModelIndex();
    if (!IsGroupLine(parent))
        return {};
    const std::size_t g = static_cast<std::size_t>(parent.row());
    if (g >= m_groups.size() || static_cast<std::size_t>(row) >= m_groups[g]->URLs.Count())
        return {};
    return createIndex(row, 0, m_groups[g].get());
}

QModelIndex DuplicatesModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || IsGroupLine(child))
        return {};
    return createIndex(static_cast<int>(GroupOf(child)), 0, nullptr);
}

int DuplicatesModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(m_groups.size());
    if (!IsGroupLine(parent))
        return 0;
    return static_cast<int>(m_groups[static_cast<std::size_t>(parent.row())]->URLs.Count());
}

QVariant DuplicatesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const TDupItems& group = *m_groups[GroupOf(index)];
    if (role == Qt::DisplayRole)
        return IsGroupLine(index) ? DecodeStoredText(group.URL)
                                  : EntryText(group.URLs.Items(static_cast<std::size_t>(index.row())));
    if (role == Qt::DecorationRole)
        return IsGroupLine(index) ? m_groupImage : m_shortcutImage;
    return {};
}

} // namespace lynkora
