#include "ShortcutListModel.h"

#include <QMimeData>

#include "platform/StoredText.h"
#include "store/DateText.h"

#include <QCollator>

#include <algorithm>

namespace lynkora {

ShortcutListModel::ShortcutListModel(QObject* parent) : QAbstractTableModel(parent) {
    SetColumns(TLVColumns());
}

void ShortcutListModel::SetColumns(const TLVColumns& columns) {
    beginResetModel();
    m_columns = columns;
    m_visible.clear();
    m_visible.push_back(TLVColumns::Name);
    for (int i = TLVColumns::URL; i < TLVColumns::Count; ++i)
        if (columns[static_cast<std::size_t>(i)].Visible)
            m_visible.push_back(i);
    endResetModel();
}

void ShortcutListModel::SetDates(bool english, const DateLocale* locale) {
    m_english = english;
    m_locale = locale;
    if (!m_ids.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void ShortcutListModel::SetNewItems(double lastDate, QColor color) {
    m_lastDate = lastDate;
    m_newColor = color;
}

void ShortcutListModel::FillList(TISFolder* folder) {
    beginResetModel();
    m_folder = folder;
    m_ids.clear();
    if (folder) {
        m_ids.reserve(folder->Shortcuts.Count());
        for (const auto& s : folder->Shortcuts)
            m_ids.push_back(s->ID());
    }
    RebuildRowIndex();
    endResetModel();
    SortList(m_order);
}

void ShortcutListModel::SortList(int order) {
    m_order = order;
    if (!m_folder || m_ids.size() < 2)
        return;
    emit layoutAboutToBeChanged();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Sort keys decoded once: the comparison runs n log n times.
    struct Row {
        std::uint32_t id;
        QCollatorSortKey key;
        std::int32_t count;
    };
    const bool byUrl = order == lsoUrlAsc || order == lsoUrlDesc;
    const bool byVisits = order == lsoVisitsAsc || order == lsoVisitsDesc;
    const bool descending = order == lsoNameDesc || order == lsoUrlDesc || order == lsoVisitsDesc;
    std::vector<Row> rows;
    rows.reserve(m_ids.size());
    for (std::uint32_t id : m_ids) {
        const TIShortcut* s = m_folder->Shortcuts.FindItemID(id);
        const std::string_view text = !s ? std::string_view() : byUrl ? s->URL.view() : std::string_view(s->Name);
        // Case folded first: some locales' collations (the C locale's) still order by case.
        rows.push_back({id, collator.sortKey(byVisits ? QString() : DecodeStoredText(text).toCaseFolded()),
                         s ? s->Count : 0});
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        const int c = byVisits ? (a.count < b.count ? -1 : a.count > b.count ? 1 : 0) : a.key.compare(b.key);
        return descending ? c > 0 : c < 0;
    });
    // Selections and the current item are persistent indexes: they follow their shortcut, not
    // the row position it had.
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> beforeIds;
    beforeIds.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& i : before)
        beforeIds.push_back(IdAt(i.row()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        m_ids[i] = rows[i].id;
    RebuildRowIndex();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k)
        after.push_back(index(RowOf(beforeIds[static_cast<std::size_t>(k)]), before[k].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

int ShortcutListModel::RowOf(std::uint32_t id) const {
    const auto it = m_rowOf.find(id);
    return it == m_rowOf.end() ? -1 : it->second;
}

void ShortcutListModel::RebuildRowIndex() {
    m_rowOf.clear();
    m_rowOf.reserve(m_ids.size());
    for (std::size_t i = 0; i < m_ids.size(); ++i)
        m_rowOf[m_ids[i]] = static_cast<int>(i);
}

TIShortcut* ShortcutListModel::ShortcutAt(int row) const {
    if (!m_folder || row < 0 || static_cast<std::size_t>(row) >= m_ids.size())
        return nullptr;
    return m_folder->Shortcuts.FindItemID(m_ids[static_cast<std::size_t>(row)]);
}

void ShortcutListModel::ShortcutChanged(std::uint32_t id) {
    const int row = RowOf(id);
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int ShortcutListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_ids.size());
}

int ShortcutListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_visible.size());
}

QString ShortcutListModel::DateText(double date) const {
    return date == 0 ? QStringLiteral("N/A")
                     : QString::fromStdString(ShortDateText(m_english, date, m_locale));
}

QString ShortcutListModel::CellText(int row, int column) const {
    const TIShortcut* s = ShortcutAt(row);
    if (!s || column < 0 || column >= columnCount())
        return {};
    switch (m_visible[static_cast<std::size_t>(column)]) {
    case TLVColumns::Name: return DecodeStoredText(s->Name);
    case TLVColumns::URL: return DecodeStoredText(s->URL);
    case TLVColumns::Description: return DecodeStoredText(s->Descr);
    case TLVColumns::Added: return DateText(s->Added);
    case TLVColumns::LastVisited: return DateText(s->Access);
    case TLVColumns::Visits: return QString::number(s->Count);
    case TLVColumns::LastVerified: return DateText(s->Verified);
    case TLVColumns::Status: return DecodeStoredText(s->verResponse);
    default: return {};
    }
}

QVariant ShortcutListModel::data(const QModelIndex& index, int role) const {
    const TIShortcut* s = ShortcutAt(index.row());
    if (!s)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return CellText(index.row(), index.column());
    case Qt::DecorationRole: {
        if (index.column() != 0)
            return {};
        const bool busy = s->VerState == vsVerifying || (s->VerState == vsQueued && ShownBusy && ShownBusy(s->ID()));
        const std::size_t image = s->VerState == vsFailed ? 2 : busy ? 1 : 0;
        return image < m_images.size() ? QVariant(m_images[image]) : QVariant();
    }
    case Qt::ForegroundRole:
        // Shortcuts added since the previous session stand out.
        return s->Added > m_lastDate ? QVariant(m_newColor) : QVariant();
    case Qt::TextAlignmentRole:
        return m_visible[static_cast<std::size_t>(index.column())] == TLVColumns::Visits
                   ? QVariant(Qt::AlignCenter)
                   : QVariant();
    case IdRole:
        return static_cast<uint>(s->ID());
    case CutRole:
        return s->VerState == vsQueued;
    case Qt::ToolTipRole: {
        // The last check can be read here while the verification columns are hidden.
        QString tip = DecodeStoredText(s->URL);
        if (s->Verified != 0 || !s->verResponse.empty())
            tip += "\n" + DecodeStoredText(s->verResponse) + "\n" + DateText(s->Verified);
        return tip;
    }
    default:
        return {};
    }
}

QString ShortcutListModel::ColumnCaption(int c) const {
    return QString::fromStdString(m_columns[static_cast<std::size_t>(m_visible[static_cast<std::size_t>(c)])].Caption);
}

QVariant ShortcutListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return ColumnCaption(section);
    return {};
}

} // namespace lynkora

namespace lynkora {

Qt::ItemFlags ShortcutListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0)
        f |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    return f;
}

bool ShortcutListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::EditRole || !OnRename)
        return false;
    OnRename(IdAt(index.row()), value.toString());
    return true;
}

} // namespace lynkora

namespace lynkora {

QStringList ShortcutListModel::mimeTypes() const {
    return {QStringLiteral("application/x-lynkora-shortcuts")};
}

QMimeData* ShortcutListModel::mimeData(const QModelIndexList& indexes) const {
    // The drop moves the list's selection; the identities only mark what the drag is.
    QByteArray ids;
    for (const QModelIndex& i : indexes)
        if (i.column() == 0)
            ids += QByteArray::number(IdAt(i.row())) + ",";
    auto* data = new QMimeData;
    data->setData("application/x-lynkora-shortcuts", ids);
    return data;
}

} // namespace lynkora
