#include "exchange/ui/ConfirmDialog.h"

#include "widgets/CheckTree.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

namespace lynkora {

TfrmConfirm::TfrmConfirm(QWidget* parent, std::vector<QIcon> images) : QDialog(parent) {
    setObjectName("frmConfirm");
    setWindowTitle(tr("Confirm Import"));
    setMinimumSize(382, 403);
    resize(481, 403);
    ConfirmTree = new CheckTree(this);
    ConfirmTree->setObjectName("ConfirmTree");
    ConfirmTree->Model().SetImages(std::move(images));
    chSelCat = new QCheckBox(tr("Import into selected category."), this);
    chSelCat->setObjectName("chSelCat");
    chSelCat->setChecked(true);
    chSelCat->hide();
    BtnImport = new QPushButton(tr("&Import"), this);
    BtnCancel = new QPushButton(tr("Ca&ncel"), this);
    BtnImport->setDefault(true);
    BtnCancel->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chSelCat);
    bottom->addStretch();
    bottom->addWidget(BtnImport);
    bottom->addWidget(BtnCancel);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(ConfirmTree, 1);
    outer->addLayout(bottom);
    connect(BtnImport, &QPushButton::clicked, this, [this] {
        if (ConfirmTree->Model().TickedCount() == 0) {
            if (ShowError)
                ShowError(tr("Please select one or more items to import!      "));
            return;
        }
        accept();
    });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmConfirm::Fill(const PreviewEntry& fileEntry) {
    CheckTreeModel& model = ConfirmTree->Model();
    m_entries.clear();
    model.BeginFill();
    // Each entry after its parent, children in order, without recursion.
    std::vector<std::pair<const PreviewEntry*, int>> stack{{&fileEntry, -1}};
    while (!stack.empty()) {
        auto [entry, parent] = stack.back();
        stack.pop_back();
        const int image = entry->EntryKind() == PreviewEntry::Kind::File       ? kFileImage
                          : entry->EntryKind() == PreviewEntry::Kind::Category ? kCategoryImage
                                                                                : kShortcutImage;
        const int id = model.Add(parent, QString::fromStdString(entry->Text()), image);
        m_entries.emplace(entry, id);
        const auto& children = entry->Children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.emplace_back(it->get(), id);
    }
    model.EndFill();
    model.SetState(0, Qt::Checked);
    ConfirmTree->expandAll();
    ConfirmTree->setCurrentIndex(model.IndexOf(0));
    ConfirmTree->scrollTo(model.IndexOf(0));
}

TickState TfrmConfirm::Tick(const PreviewEntry& entry) const {
    const auto it = m_entries.find(&entry);
    if (it == m_entries.end())
        return TickState::Unticked;
    switch (ConfirmTree->Model().State(it->second)) {
    case Qt::Checked:
        return TickState::Ticked;
    case Qt::PartiallyChecked:
        return TickState::Partly;
    default:
        return TickState::Unticked;
    }
}

QString TfrmConfirm::GeometryText() const {
    // The place of the frame and the size inside it, as move() and resize() take them back.
    return QStringLiteral("%1,%2,%3,%4").arg(x()).arg(height()).arg(y()).arg(width());
}

void TfrmConfirm::SetGeometryText(const QString& text) {
    const QStringList f = text.split(',');
    bool okLeft = false, okHeight = false, okTop = false, okWidth = false;
    const int left = f.value(0).trimmed().toInt(&okLeft);
    const int height = f.value(1).trimmed().toInt(&okHeight);
    const int top = f.value(2).trimmed().toInt(&okTop);
    const int width = f.value(3).trimmed().toInt(&okWidth);
    resize(std::max(okWidth ? width : 481, minimumWidth()), std::max(okHeight ? height : 277, minimumHeight()));
    if (okLeft && okTop)
        move(left, top);
}

} // namespace lynkora
