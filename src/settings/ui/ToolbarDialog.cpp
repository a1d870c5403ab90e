#include "settings/ui/ToolbarDialog.h"

#include "companions/Companions.h"
#include "settings/ToolbarLayout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace lynkora {

namespace {

QListWidget* List(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setIconSize(QSize(16, 16));
    list->setFixedSize(160, 240);
    return list;
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// A glyph of the resource library, fuchsia transparent; none when the library is missing.
QIcon Glyph(const Artpack& art, const char* name) {
    QImage image = QImage::fromData(art.Resource(name)).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(255, 0, 255))
                image.setPixelColor(x, y, Qt::transparent);
    return QIcon(QPixmap::fromImage(image));
}

int Row(const QListWidget* list) {
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

} // namespace

TfrmTool::TfrmTool(QWidget* parent, TToolbarEditor& editor, std::function<QIcon(const TToolEntry&)> iconFor)
    : QDialog(parent), m_editor(editor), m_iconFor([iconFor = std::move(iconFor)](const TToolEntry& entry) {
          // A command without an image keeps the image's room, so the captions stay in line.
          QIcon icon = iconFor(entry);
          if (icon.isNull()) {
              QPixmap blank(16, 16);
              blank.fill(Qt::transparent);
              icon = QIcon(blank);
          }
          return icon;
      }) {
    setObjectName("frmTool");
    setWindowTitle(tr("Customize toolbar"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    ListBox1 = List("ListBox1", this);
    ListView1 = List("ListView1", this);
    listTool = List("listTool", this);
    btnAdd = Button(tr("&Add >>"), "btnAdd", this);
    BtnDel = Button(tr("<< Re&move"), "BtnDel", this);
    BtnUp = Button(QString(), "BtnUp", this);
    BtnDown = Button(QString(), "BtnDown", this);
    BtnSave = Button(tr("Sa&ve"), "BtnSave", this);
    BtnCancel = Button(tr("Ca&ncel"), "BtnCancel", this);
    BtnSave->setDefault(true);
    {
        Artpack art;
        BtnUp->setIcon(Glyph(art, "UPARROW"));
        BtnDown->setIcon(Glyph(art, "DNARROW"));
    }
    BtnUp->setAccessibleName(tr("Up"));
    BtnDown->setAccessibleName(tr("Down"));
    for (QPushButton* arrow : {BtnUp, BtnDown})
        arrow->setFixedSize(28, 28);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Categories:"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Commands:"), this), 0, 1);
    grid->addWidget(new QLabel(tr("Toolbar layout:"), this), 0, 3);
    grid->addWidget(ListBox1, 1, 0);
    grid->addWidget(ListView1, 1, 1);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(btnAdd);
    middle->addWidget(BtnDel);
    middle->addStretch();
    grid->addLayout(middle, 1, 2);
    grid->addWidget(listTool, 1, 3);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(BtnUp);
    arrows->addWidget(BtnDown);
    arrows->addStretch();
    grid->addLayout(arrows, 1, 4);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BtnSave);
    bottom->addWidget(BtnCancel);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(bottom);
    outer->setSizeConstraint(QLayout::SetFixedSize); // a fixed dialog border

    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { ListBox1Click(); });
    connect(ListView1, &QListWidget::itemSelectionChanged, this, [this] { ListView1Click(); });
    connect(listTool, &QListWidget::itemSelectionChanged, this, [this] { listToolClick(); });
    connect(btnAdd, &QPushButton::clicked, this, [this] { btnAddClick(); });
    connect(BtnDel, &QPushButton::clicked, this, [this] { BtnDelClick(); });
    connect(BtnUp, &QPushButton::clicked, this, [this] { BtnUpClick(); });
    connect(BtnDown, &QPushButton::clicked, this, [this] { BtnDownClick(); });
    connect(BtnSave, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    ShowCategories();
    ShowLayout();
    ShowCommands();
}

void TfrmTool::ShowCategories() {
    m_filling = true;
    ListBox1->clear();
    for (const std::string& category : m_editor.Categories())
        ListBox1->addItem(QString::fromStdString(category));
    if (m_editor.SelectedCategory() >= 0)
        ListBox1->setCurrentRow(m_editor.SelectedCategory());
    m_filling = false;
}

void TfrmTool::ShowCommands() {
    m_filling = true;
    ListView1->clear();
    for (const TToolEntry& entry : m_editor.CommandList())
        ListView1->addItem(new QListWidgetItem(m_iconFor(entry), QString::fromStdString(entry.caption)));
    if (m_editor.SelectedCommand() >= 0)
        ListView1->setCurrentRow(m_editor.SelectedCommand());
    else
        ListView1->clearSelection();
    m_filling = false;
    ShowButtons();
}

void TfrmTool::ShowLayout() {
    m_filling = true;
    listTool->clear();
    for (const TToolEntry& entry : m_editor.Layout())
        listTool->addItem(new QListWidgetItem(m_iconFor(entry), QString::fromStdString(entry.caption)));
    if (m_editor.SelectedLayout() >= 0) {
        listTool->setCurrentRow(m_editor.SelectedLayout());
        listTool->scrollToItem(listTool->currentItem());
    } else {
        listTool->clearSelection();
    }
    m_filling = false;
    ShowButtons();
}

void TfrmTool::ShowButtons() {
    btnAdd->setEnabled(m_editor.AddEnabled());
    BtnDel->setEnabled(m_editor.RemoveEnabled());
    BtnUp->setEnabled(m_editor.UpEnabled());
    BtnDown->setEnabled(m_editor.DownEnabled());
}

void TfrmTool::ListBox1Click() {
    if (m_filling)
        return;
    m_editor.SelectCategory(Row(ListBox1));
    ShowCommands();
}

void TfrmTool::ListView1Click() {
    if (m_filling)
        return;
    m_editor.SelectCommand(Row(ListView1));
    ShowButtons();
}

void TfrmTool::listToolClick() {
    if (m_filling)
        return;
    m_editor.SelectLayout(Row(listTool));
    ShowButtons();
}

void TfrmTool::btnAddClick() {
    m_editor.Add();
    ShowLayout();
    ShowCommands();
    listTool->scrollToBottom();
}

void TfrmTool::BtnDelClick() {
    m_editor.Remove();
    ShowLayout();
    ShowCommands();
}

void TfrmTool::BtnUpClick() {
    m_editor.Up();
    ShowLayout();
}

void TfrmTool::BtnDownClick() {
    m_editor.Down();
    ShowLayout();
}

} // namespace lynkora
