#include "exchange/ui/ImportBrowsersDialog.h"

#include "companions/HelpWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lynkora {

TfrmImpBrowse::TfrmImpBrowse(QWidget* parent, std::vector<TLibrary> libraries)
    : QDialog(parent), m_libraries(std::move(libraries)) {
    setObjectName("frmImpBrowse");
    setWindowTitle(tr("Import browser libraries"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    ImportList = new QTreeWidget(this);
    ImportList->setObjectName("ImportList");
    ImportList->setColumnCount(2);
    ImportList->setHeaderLabels({tr("Type"), tr("Path")});
    ImportList->setColumnWidth(0, 150);
    ImportList->setColumnWidth(1, 240);
    ImportList->setRootIsDecorated(false);
    ImportList->setSelectionMode(QAbstractItemView::SingleSelection);
    ImportList->setTextElideMode(Qt::ElideMiddle);
    ImportList->setMinimumSize(150 + 240 + 2 * ImportList->frameWidth() + 4, 180);
    connect(ImportList, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });

    const LibraryButtons buttons(this, tr("&Import"));
    BtnAdd = buttons.add;
    BtnProps = buttons.properties;
    BtnRemove = buttons.remove;
    BtnImport = buttons.command;
    BtnClose = buttons.close;
    BtnHelp = buttons.help;
    auto* middle = new QHBoxLayout;
    middle->addWidget(ImportList, 1);
    middle->addLayout(buttons.side);
    auto* bottom = buttons.bottom;
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(middle, 1);
    outer->addLayout(bottom);

    connect(BtnAdd, &QPushButton::clicked, this, [this] {
        if (auto library = Rows.Edit(this, nullptr)) {
            m_libraries.push_back(*library);
            ShowItems();
            ImportList->setCurrentItem(ImportList->topLevelItem(ImportList->topLevelItemCount() - 1));
            Save();
        }
    });
    connect(BtnProps, &QPushButton::clicked, this, [this] {
        const int at = Selected();
        if (at < 0)
            return;
        if (auto library = Rows.Edit(this, &m_libraries[static_cast<std::size_t>(at)])) {
            m_libraries[static_cast<std::size_t>(at)] = *library;
            ImportList->topLevelItem(at)->setText(0, QString::fromStdString(library->Type));
            ImportList->topLevelItem(at)->setText(1, QString::fromStdString(library->Path));
            Save();
        }
    });
    connect(BtnRemove, &QPushButton::clicked, this, [this] {
        const int at = Selected();
        if (at < 0 || !Rows.ConfirmRemove(m_libraries[static_cast<std::size_t>(at)]))
            return;
        m_libraries.erase(m_libraries.begin() + at);
        delete ImportList->takeTopLevelItem(at);
        Save();
        UpdateButtons();
    });
    connect(BtnImport, &QPushButton::clicked, this, [this] {
        if (Ticked().empty()) {
            if (Rows.Warn)
                Rows.Warn(tr("Please select at least one library to import.      "), this);
            return;
        }
        accept();
    });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnHelp, &QPushButton::clicked, this, [] { ShowHelpTopic("topicImport"); });
    ShowItems();
}

void TfrmImpBrowse::ShowItems() {
    // Ticks the user set stay with their rows.
    std::vector<bool> ticked;
    for (int i = 0; i < ImportList->topLevelItemCount(); ++i)
        ticked.push_back(ImportList->topLevelItem(i)->checkState(0) == Qt::Checked);
    ImportList->clear();
    for (std::size_t i = 0; i < m_libraries.size(); ++i) {
        auto* item = new QTreeWidgetItem(ImportList, {QString::fromStdString(m_libraries[i].Type),
                                                      QString::fromStdString(m_libraries[i].Path)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, i < ticked.size() && ticked[i] ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(1, item->text(1));
    }
    UpdateButtons();
}

int TfrmImpBrowse::Selected() const {
    const auto items = ImportList->selectedItems();
    return items.isEmpty() ? -1 : ImportList->indexOfTopLevelItem(items.front());
}

void TfrmImpBrowse::UpdateButtons() {
    const bool selected = Selected() >= 0;
    BtnProps->setEnabled(selected);
    BtnRemove->setEnabled(selected);
}

void TfrmImpBrowse::Save() {
    if (Rows.SaveList)
        Rows.SaveList(m_libraries);
}

std::vector<TLibrary> TfrmImpBrowse::Ticked() const {
    std::vector<TLibrary> out;
    for (int i = 0; i < ImportList->topLevelItemCount(); ++i)
        if (ImportList->topLevelItem(i)->checkState(0) == Qt::Checked)
            out.push_back(m_libraries[static_cast<std::size_t>(i)]);
    return out;
}

} // namespace lynkora
