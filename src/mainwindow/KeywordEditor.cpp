#include "mainwindow/KeywordEditor.h"

#include "platform/StoredText.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace lynkora {

KeywordEditor::KeywordEditor(QWidget* parent, QPushButton* okButton) : QWidget(parent), m_ok(okButton) {
    m_key = new QLineEdit(this);
    m_key->setObjectName("edKey");
    m_add = new QPushButton(tr("&Add"), this);
    m_add->setEnabled(false);
    m_list = new QListWidget(this);
    m_list->setObjectName("listKeywords");
    m_remove = new QPushButton(tr("Re&move"), this);
    m_remove->setEnabled(false);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_key, 0, 0);
    grid->addWidget(m_add, 0, 1);
    grid->addWidget(m_list, 1, 0, 2, 1);
    grid->addWidget(m_remove, 1, 1, Qt::AlignTop);
    m_list->setMaximumHeight(90);
    setTabOrder(m_key, m_add);
    setTabOrder(m_add, m_list);
    setTabOrder(m_list, m_remove);

    connect(m_key, &QLineEdit::textChanged, this, [this](const QString& text) {
        const bool typing = !text.isEmpty();
        m_add->setEnabled(typing);
        m_add->setDefault(typing);
        if (m_ok)
            m_ok->setDefault(!typing);
    });
    connect(m_add, &QPushButton::clicked, this, &KeywordEditor::Add);
    connect(m_remove, &QPushButton::clicked, this, &KeywordEditor::Remove);
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_remove->setEnabled(!m_list->selectedItems().isEmpty()); });
}

void KeywordEditor::SetKeywords(const TStringList& keywords) {
    m_list->clear();
    for (const std::string& k : keywords.Items())
        m_list->addItem(DecodeStoredText(k));
}

std::vector<std::string> KeywordEditor::Keywords() const {
    std::vector<std::string> out;
    for (int i = 0; i < m_list->count(); ++i)
        out.push_back(EncodeUserText(m_list->item(i)->text()));
    return out;
}

void KeywordEditor::TakeInto(TStringList& keywords) const {
    keywords.Clear();
    for (std::string& k : Keywords())
        keywords.Add(std::move(k));
}

void KeywordEditor::Add() {
    if (m_key->text().isEmpty())
        return;
    m_list->addItem(m_key->text());
    m_key->clear();
    m_key->setFocus();
}

void KeywordEditor::Remove() {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (!selected.isEmpty())
        delete selected.front();
    m_list->clearSelection();
    m_remove->setEnabled(false);
}

} // namespace lynkora
