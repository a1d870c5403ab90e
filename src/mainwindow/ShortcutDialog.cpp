#include "mainwindow/ShortcutDialog.h"

#include "mainwindow/CategoryTreeModel.h"
#include "mainwindow/KeywordEditor.h"
#include "platform/StoredText.h"
#include "store/DateText.h"
#include "mainwindow/EditRules.h"
#include "widgets/ContextHelp.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

namespace lynkora {

namespace {

// The chosen category stands out in bold; the one under the pointer is underlined.
class CategoryChoiceDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_Selected)
            option->font.setBold(true);
        else if (option->state & QStyle::State_MouseOver)
            option->font.setUnderline(true);
    }
};

} // namespace

TfrmShort::TfrmShort(QWidget* parent, const QString& title, CategoryTree& tree, const std::vector<QIcon>& images)
    : QDialog(parent) {
    setWindowTitle(title);
    PageControl1 = new QTabWidget(this);
    auto* buttons = new QDialogButtonBox(this);
    BtnOK = buttons->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Ca&ncel"), QDialogButtonBox::RejectRole);
    BtnOK->setDefault(true);

    // General: name, address and the category.
    auto* general = new QWidget(PageControl1);
    edName = new QLineEdit(general);
    edURL = new QLineEdit(general);
    lbSelection = new QLabel(general);
    lbSelection->setFrameShape(QFrame::StyledPanel);
    lbSelection->setWordWrap(true);
    TreeCat = new QTreeView(general);
    m_model = new CategoryTreeModel(TreeCat);
    m_model->SetImages(images);
    m_model->SetTree(&tree);
    TreeCat->setModel(m_model);
    TreeCat->setHeaderHidden(true);
    TreeCat->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeCat->setDragEnabled(false);
    TreeCat->setSelectionBehavior(QAbstractItemView::SelectRows);
    TreeCat->setIndentation(35);
    TreeCat->setItemsExpandable(false); // the tree stays fully expanded
    TreeCat->setRootIsDecorated(false);
    // No expand buttons: nothing here can be collapsed.
    TreeCat->setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    TreeCat->setMinimumHeight(160);
    TreeCat->setItemDelegate(new CategoryChoiceDelegate(TreeCat));
    TreeCat->setMouseTracking(true);
    TreeCat->expandAll();
    auto* generalForm = new QFormLayout(general);
    generalForm->addRow(tr("&Name:"), edName);
    generalForm->addRow(tr("Target &URL:"), edURL);
    generalForm->addRow(tr("Ca&tegory:"), lbSelection);
    static_cast<QLabel*>(generalForm->labelForField(lbSelection))->setBuddy(TreeCat);
    generalForm->addRow(TreeCat);
    PageControl1->addTab(general, tr("General"));

    auto* additional = new QWidget(PageControl1);
    edDescr = new QLineEdit(additional);
    Keywords = new KeywordEditor(additional, BtnOK);
    auto* additionalForm = new QFormLayout(additional);
    additionalForm->addRow(tr("De&scription:"), edDescr);
    additionalForm->addRow(tr("Key&words:"), Keywords);
    static_cast<QLabel*>(additionalForm->labelForField(Keywords))->setBuddy(Keywords->KeyEdit());
    PageControl1->addTab(additional, tr("Additional"));

    auto* details = new QWidget(PageControl1);
    auto value = [details] { return new QLabel(details); };
    lbAdded = value();
    lbVisit = value();
    lbNumVisit = value();
    lbVerified = value();
    memVerStat = new QPlainTextEdit(details);
    memVerStat->setReadOnly(true);
    memVerStat->setFocusPolicy(Qt::ClickFocus); // no tab stop
    memVerStat->viewport()->setCursor(Qt::ArrowCursor);
    memVerStat->setTextInteractionFlags(Qt::TextSelectableByMouse); // reads as a label: no caret
    memVerStat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette face = memVerStat->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    memVerStat->setPalette(face);
    auto* detailsForm = new QFormLayout(details);
    detailsForm->addRow(tr("Added"), lbAdded);
    detailsForm->addRow(tr("Last visited"), lbVisit);
    detailsForm->addRow(tr("Visits"), lbNumVisit);
    detailsForm->addRow(tr("Last verified"), lbVerified);
    detailsForm->addRow(tr("Result"), new QLabel(QStringLiteral(": "), details));
    detailsForm->addRow(memVerStat);
    PageControl1->addTab(details, tr("Details"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addWidget(buttons);
    edName->setMinimumWidth(320);
    setFixedSize(sizeHint().expandedTo(QSize(420, 440)));

    SetHelpContext(edName, 1303);
    SetHelpContext(edURL, 1304);
    SetHelpContext(TreeCat, 1305);
    SetHelpContext(edDescr, 1306);
    SetHelpContext(Keywords, 1302);
    SetHelpContext(details, 1307);
    InstallContextHelp(this);

    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmShort::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmShort::reject);
    connect(edName, &QLineEdit::textEdited, this, [this] { BtnOK->setDefault(true); });
    connect(TreeCat->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& i) {
        const CategoryNode* node = m_model->NodeAt(i);
        lbSelection->setText(node ? DecodeStoredText(CategoryTree::CategoryPath(*node)) : QString());
    });
    Beep = [] { QApplication::beep(); };
    ShowDetails(nullptr, true, nullptr);
}

void TfrmShort::SetInitialName(const std::string& name) {
    m_initialName = name;
    edName->setText(DecodeStoredText(name));
}

void TfrmShort::SelectCategory(const CategoryNode* node) {
    const QModelIndex index = m_model->IndexOf(node);
    TreeCat->setCurrentIndex(index);
    TreeCat->scrollTo(index);
}

CategoryNode* TfrmShort::ChosenCategory() const {
    return m_model->NodeAt(TreeCat->currentIndex());
}

void TfrmShort::ShowDetails(const TIShortcut* s, bool englishDates, const DateLocale* locale) {
    const QString na = QStringLiteral(": N/A");
    auto date = [&](TDateTime d) {
        return s && d != 0 ? ": " + QString::fromStdString(LongDateText(englishDates, d, locale)) : na;
    };
    lbAdded->setText(date(s ? s->Added : 0));
    lbVisit->setText(date(s ? s->Access : 0));
    lbNumVisit->setText(s ? ": " + QString::number(s->Count) : na);
    lbVerified->setText(date(s ? s->Verified : 0));
    memVerStat->setPlainText(s ? DecodeStoredText(s->verResponse) : QString());
}

void TfrmShort::accept() {
    auto refuse = [this](QLineEdit* field) {
        PageControl1->setCurrentIndex(0);
        field->setFocus();
        Beep();
    };
    if (edName->text().isEmpty())
        return refuse(edName);
    if (edURL->text().isEmpty())
        return refuse(edURL);
    const std::string name = EncodeUserText(edName->text());
    if (!NeedsNameCheck(m_initialName, name) || !NameTaken || !NameTaken(name)) {
        QDialog::accept();
        return;
    }
    const std::string text = IsNew() ? ShortcutCreateError(name) : ShortcutRenameError(m_initialName, name);
    if (ShowError)
        ShowError(DecodeStoredText(text));
}

} // namespace lynkora
