#include "tools/ui/DuplicatesDialog.h"

#include "companions/HelpWindow.h"
#include "tools/ui/DuplicatesModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <sstream>

namespace lynkora {

namespace {

constexpr int kWidth = 481;
constexpr int kHeight = 277;

// A whole number as the program has always read one, or nothing.
std::optional<int> ToInt(const std::string& text) {
    std::size_t used = 0;
    try {
        const int value = std::stoi(text, &used);
        if (used == text.size())
            return value;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

struct RestoreCursor {
    ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TfrmDuplicates::TfrmDuplicates(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Duplicate URL's"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(kWidth, kHeight);

    mnuActions = new QMenu(tr("&Actions"), this);
    mnuDel = mnuActions->addAction(tr("Delete selection"));
    mnuDel->setObjectName("mnuDel");
    mnuDel->setShortcut(QKeySequence(Qt::Key_Delete));
    mnuDelAll = mnuActions->addAction(tr("Delete all but first"));
    mnuDelAll->setObjectName("mnuDelAll");
    mnuDelAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    mnuActions->addSeparator();
    mnuHelp = mnuActions->addAction(tr("&Help"));
    mnuActions->addSeparator();
    mnuClose = mnuActions->addAction(tr("&Close"));
    // The form sees the keys first, wherever the focus is.
    for (QAction* a : {mnuDel, mnuDelAll}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }

    auto* toolbar = new QToolBar(this);
    btnActions = new QToolButton(toolbar);
    btnActions->setText(tr("&Actions"));
    btnActions->setMenu(mnuActions);
    btnActions->setPopupMode(QToolButton::InstantPopup);
    btnActions->setAutoRaise(true);
    btnActions->setFocusPolicy(Qt::NoFocus); // the keys go to the lines
    toolbar->addWidget(btnActions);

    m_model = new DuplicatesModel(this);
    treeDup = new QTreeView(this);
    treeDup->setObjectName("treeDup");
    treeDup->setModel(m_model);
    treeDup->setHeaderHidden(true);
    treeDup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeDup->setSelectionBehavior(QAbstractItemView::SelectRows);
    treeDup->setSelectionMode(QAbstractItemView::SingleSelection);
    treeDup->setUniformRowHeights(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(treeDup, 1);
    treeDup->setFocus();

    connect(mnuDel, &QAction::triggered, this, [this] { Guarded([this] { DeleteSelection(); }); });
    connect(mnuDelAll, &QAction::triggered, this, [this] { Guarded([this] { DeleteAllButFirst(); }); });
    connect(mnuHelp, &QAction::triggered, this, [] { ShowHelpTopic("topicDup"); });
    connect(mnuClose, &QAction::triggered, this, &QDialog::reject);
    connect(treeDup->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateItems(); });
    Guarded = [](const std::function<void()>& command) { command(); };
    UpdateItems();
}

void TfrmDuplicates::SetGroups(std::vector<TDupItems> groups, const QIcon& groupImage, const QIcon& shortcutImage) {
    m_model->SetImages(groupImage, shortcutImage);
    m_model->SetGroups(std::move(groups));
    treeDup->expandAll();
    if (m_model->rowCount() > 0) {
        const QModelIndex first = m_model->index(0, 0);
        treeDup->setCurrentIndex(first);
        treeDup->scrollTo(first);
    }
    UpdateItems();
}

void TfrmDuplicates::UpdateItems() {
    mnuDel->setEnabled(!m_allDeleted && treeDup->selectionModel()->hasSelection());
    mnuDelAll->setEnabled(!m_allDeleted);
}

void TfrmDuplicates::Place(const std::string& position, const QWidget* over) {
    std::vector<std::string> parts;
    std::istringstream in(position);
    for (std::string part; std::getline(in, part, ',');)
        parts.push_back(part);
    parts.resize(4);
    // A damaged value gets the window's own size and place; closing stores a good one again.
    const std::optional<int> left = ToInt(parts[0]), top = ToInt(parts[2]);
    const int height = ToInt(parts[1]).value_or(kHeight);
    const int width = ToInt(parts[3]).value_or(kWidth);
    resize(width, height);
    if (left && top)
        move(*left, *top);
    else if (over)
        move(over->geometry().center() - QPoint(width / 2, height / 2));
}

std::string TfrmDuplicates::Position() const {
    return std::to_string(x()) + "," + std::to_string(height()) + "," + std::to_string(y()) + "," +
           std::to_string(width());
}

void TfrmDuplicates::RemoveEntry(std::size_t group, std::size_t entry) {
    DeleteShortcut(m_model->Group(group).URLs.Items(entry));
    m_model->RemoveEntry(group, entry);
}

void TfrmDuplicates::DeleteSelection() {
    const QModelIndexList selected = treeDup->selectionModel()->selectedRows();
    if (selected.isEmpty() || m_allDeleted)
        return;
    const QModelIndex line = selected.front();
    const std::size_t g = m_model->GroupOf(line);
    if (!DuplicatesModel::IsGroupLine(line)) {
        const std::size_t entry = static_cast<std::size_t>(line.row());
        const QString text = tr("The following internet shortcut will  be removed:      ") + "\n\n" +
                             DuplicatesModel::EntryText(m_model->Group(g).URLs.Items(entry)) + "\n\n" +
                             tr("Do you want to continue?");
        if (AskYesNo(text))
            RemoveEntry(g, entry); // the group line stays, however few lines remain under it
        return;
    }
    const QString text = tr("All internet shortcuts with the following URL will be removed:      ") + "\n\n\"" +
                         line.data().toString() + "\"\n\n" + tr("Do you want to continue?");
    if (!AskYesNo(text))
        return;
    for (std::size_t entry = m_model->Group(g).URLs.Count(); entry-- > 0;)
        RemoveEntry(g, entry);
    m_model->RemoveGroup(g);
}

void TfrmDuplicates::DeleteAllButFirst() {
    if (m_allDeleted)
        return;
    if (!AskYesNo(tr("All duplicate entries will be removed!      ") + "\n" + tr("Do you want to coninue?")))
        return;
    m_allDeleted = true;
    UpdateItems();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RestoreCursor restore;
    for (std::size_t g = m_model->GroupCount(); g-- > 0;) {
        for (std::size_t entry = m_model->Group(g).URLs.Count(); entry-- > 1;)
            RemoveEntry(g, entry);
        m_model->RemoveGroup(g);
    }
}

} // namespace lynkora
