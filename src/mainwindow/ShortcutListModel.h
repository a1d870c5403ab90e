#pragma once

#include <functional>

#include "settings/ListColumns.h"
#include "store/Folder.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace lynkora {

class DateLocale;

// The shortcuts of the selected category. Rows carry only a shortcut's identity number; every
// value is read from the shortcut itself, found again by that number. The columns are the
// visible ones of the column settings, in their fixed order.
class ShortcutListModel : public QAbstractTableModel {
public:
    enum ListSortOrders { lsoNameAsc = 200, lsoNameDesc, lsoUrlAsc, lsoUrlDesc, lsoVisitsAsc, lsoVisitsDesc };
    static constexpr int IdRole = Qt::UserRole + 1;
    static constexpr int CutRole = Qt::UserRole + 2;

    explicit ShortcutListModel(QObject* parent = nullptr);

    // Fills the list with the category's shortcuts (nullptr: empty) and sorts it.
    void FillList(TISFolder* folder);
    TISFolder* Folder() const { return m_folder; }
    void SetColumns(const TLVColumns& columns);
    void SetDates(bool english, const DateLocale* locale);
    void SetNewItems(double lastDate, QColor color);
    void SetImages(std::vector<QIcon> images) { m_images = std::move(images); }
    // Sorts by a list order (200-205; any other value sorts by name ascending).
    void SortList(int order);
    int Order() const { return m_order; }

    std::uint32_t IdAt(int row) const { return m_ids[static_cast<std::size_t>(row)]; }
    int RowOf(std::uint32_t id) const;
    TIShortcut* ShortcutAt(int row) const;
    // Re-reads one shortcut's row (after a visit or a check).
    void ShortcutChanged(std::uint32_t id);
    // The header text of column c ("Name", "URL" ...).
    QString ColumnCaption(int c) const;
    // The index in the column settings of visible column c.
    int ColumnKind(int c) const { return m_visible[static_cast<std::size_t>(c)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }

    // Queued rows that show the being-verified image (a run over several selected rows).
    std::function<bool(std::uint32_t id)> ShownBusy;
    // Decides an in-place rename of a shortcut; the model changes nothing itself.
    std::function<void(std::uint32_t id, const QString& text)> OnRename;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text of a cell (tests and the drawing code use it).
    QString CellText(int row, int column) const;

private:
    QString DateText(double date) const;
    void RebuildRowIndex();

    TISFolder* m_folder = nullptr;
    std::vector<std::uint32_t> m_ids;
    std::unordered_map<std::uint32_t, int> m_rowOf; // row of each identity, for lookups by identity
    std::vector<int> m_visible; // column kinds in display order
    TLVColumns m_columns;
    bool m_english = true;
    const DateLocale* m_locale = nullptr;
    double m_lastDate = 0;
    QColor m_newColor = QColor(255, 0, 0);
    std::vector<QIcon> m_images;
    int m_order = lsoNameAsc;
};

} // namespace lynkora
