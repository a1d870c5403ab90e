#include "exchange/ui/SyncDialog.h"

#include "companions/HelpWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace lynkora {

namespace {

// The columns' widths: at least the classic ones, wide enough for the type captions and the
// column titles in the font in use.
std::array<int, 4> ColumnWidths(const QFontMetrics& metrics) {
    std::array<int, 4> widths = {100, 200, 50, 50};
    for (const char* type : kLibraryTypes)
        widths[0] = std::max(widths[0], metrics.horizontalAdvance(QString::fromUtf8(type)) + 12);
    for (int c : {2, 3})
        widths[c] = std::max(widths[c], metrics.horizontalAdvance(c == 2 ? QObject::tr("Import") : QObject::tr("Export")) + 12);
    return widths;
}

// An Import or Export cell: a box centred in the cell, ticked when the mark is set.
class MarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &background, painter);
        QStyleOptionButton box;
        const QRect indicator = QApplication::style()->subElementRect(QStyle::SE_CheckBoxIndicator, &box);
        box.rect = QRect(QPoint(0, 0), indicator.size());
        box.rect.moveCenter(option.rect.center());
        box.state = QStyle::State_Enabled | (index.data(Qt::UserRole).toBool() ? QStyle::State_On : QStyle::State_Off);
        QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter);
    }
};

// Space on a mark cell toggles it, as a click does.
class MarkGrid : public QTableWidget {
public:
    MarkGrid(QWidget* parent, std::function<void(int, int)> toggle)
        : QTableWidget(0, 4, parent), m_toggle(std::move(toggle)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Space && currentRow() >= 0) {
            m_toggle(currentRow(), currentColumn() == 3 ? 3 : 2);
            return;
        }
        QTableWidget::keyPressEvent(event);
    }

private:
    std::function<void(int, int)> m_toggle;
};

} // namespace

TfrmImport::TfrmImport(QWidget* parent, std::vector<TLibrary> libraries) : QDialog(parent) {
    setObjectName("frmImport");
    setWindowTitle(tr("Synchronize"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    for (TLibrary& l : libraries)
        m_rows.push_back({std::move(l), false, false});

    StringGrid1 = new MarkGrid(this, [this](int row, int column) { ToggleCell(row, column); });
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setTextElideMode(Qt::ElideMiddle);
    StringGrid1->setWordWrap(false);
    StringGrid1->setItemDelegateForColumn(2, new MarkDelegate(StringGrid1));
    StringGrid1->setItemDelegateForColumn(3, new MarkDelegate(StringGrid1));
    const std::array<int, 4> kWidths = ColumnWidths(StringGrid1->fontMetrics());
    int total = 2 * StringGrid1->frameWidth();
    for (int c = 0; c < 4; ++c) {
        StringGrid1->setColumnWidth(c, kWidths[c]);
        total += kWidths[c];
    }
    StringGrid1->setFixedSize(total + StringGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent), 160);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column >= 2)
            ToggleCell(row, column);
    });
    connect(StringGrid1, &QTableWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });

    auto* labels = new QHBoxLayout;
    labels->setSpacing(0);
    const char* const captions[4] = {"Library type", "Path", "Import", "Export"};
    for (int c = 0; c < 4; ++c) {
        auto* label = new QLabel(tr(captions[c]), this);
        label->setFixedWidth(kWidths[c]);
        if (c >= 2)
            label->setAlignment(Qt::AlignCenter);
        labels->addWidget(label);
    }
    labels->addStretch();

    const LibraryButtons buttons(this, tr("Sync&hronize"));
    BtnAdd = buttons.add;
    BtnProps = buttons.properties;
    BtnRemove = buttons.remove;
    BtnSync = buttons.command;
    BtnClose = buttons.close;
    BtnHelp = buttons.help;
    auto* middle = new QHBoxLayout;
    auto* gridColumn = new QVBoxLayout;
    gridColumn->addLayout(labels);
    gridColumn->addWidget(StringGrid1);
    middle->addLayout(gridColumn);
    middle->addLayout(buttons.side);
    auto* bottom = buttons.bottom;
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(middle);
    outer->addLayout(bottom);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(BtnAdd, &QPushButton::clicked, this, [this] { AddClick(); });
    connect(BtnProps, &QPushButton::clicked, this, [this] { PropsClick(); });
    connect(BtnRemove, &QPushButton::clicked, this, [this] { RemoveClick(); });
    connect(BtnSync, &QPushButton::clicked, this, [this] { SyncClick(); });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnHelp, &QPushButton::clicked, this, [] { ShowHelpTopic("topicSync"); });
    ShowRows();
}

void TfrmImport::ShowRows() {
    const int current = StringGrid1->currentRow();
    StringGrid1->setRowCount(static_cast<int>(m_rows.size()));
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const TSyncLibrary& row = m_rows[static_cast<std::size_t>(r)];
        auto* type = new QTableWidgetItem(QString::fromStdString(row.library.Type));
        auto* path = new QTableWidgetItem(QString::fromStdString(row.library.Path));
        path->setToolTip(path->text());
        StringGrid1->setItem(r, 0, type);
        StringGrid1->setItem(r, 1, path);
        for (int c : {2, 3}) {
            auto* mark = new QTableWidgetItem;
            mark->setData(Qt::UserRole, c == 2 ? row.import : row.exportTo);
            mark->setData(Qt::AccessibleTextRole, (c == 2 ? row.import : row.exportTo) ? tr("marked") : tr("not marked"));
            StringGrid1->setItem(r, c, mark);
        }
    }
    StringGrid1->setVisible(!m_rows.empty());
    if (current >= 0 && current < StringGrid1->rowCount())
        StringGrid1->selectRow(current);
    UpdateButtons();
}

void TfrmImport::UpdateButtons() {
    const bool selected = StringGrid1->isVisibleTo(this) && StringGrid1->currentRow() >= 0 &&
                          !StringGrid1->selectedItems().isEmpty();
    BtnProps->setEnabled(selected);
    BtnRemove->setEnabled(selected);
}

void TfrmImport::ToggleCell(int row, int column) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || column < 2 || column > 3)
        return;
    bool& mark = column == 2 ? m_rows[static_cast<std::size_t>(row)].import : m_rows[static_cast<std::size_t>(row)].exportTo;
    mark = !mark;
    ShowRows();
}

void TfrmImport::Save() {
    if (m_rows.empty() || !Rows.SaveList)
        return; // an emptied list is not stored: the libraries are back next time
    std::vector<TLibrary> list;
    for (const TSyncLibrary& r : m_rows)
        list.push_back(r.library);
    Rows.SaveList(list);
}

void TfrmImport::AddClick() {
    if (auto library = Rows.Edit(this, nullptr)) {
        m_rows.push_back({*library, false, false});
        ShowRows();
        StringGrid1->selectRow(static_cast<int>(m_rows.size()) - 1);
        Save();
    }
}

void TfrmImport::PropsClick() {
    const int row = StringGrid1->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    if (auto library = Rows.Edit(this, &m_rows[static_cast<std::size_t>(row)].library)) {
        m_rows[static_cast<std::size_t>(row)].library = *library;
        ShowRows();
        Save();
    }
}

void TfrmImport::RemoveClick() {
    const int row = StringGrid1->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    if (!Rows.ConfirmRemove(m_rows[static_cast<std::size_t>(row)].library))
        return;
    m_rows.erase(m_rows.begin() + row);
    ShowRows();
    Save();
}

void TfrmImport::SyncClick() {
    if (!AnyImport(m_rows) && !AnyExport(m_rows)) {
        if (Rows.Warn)
            Rows.Warn(tr("Please select at least one library to import and/or export.      "), this);
        return;
    }
    accept();
}

} // namespace lynkora
