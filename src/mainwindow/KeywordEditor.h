#pragma once

#include "store/StringList.h"

#include <QWidget>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace lynkora {

// The keyword entry of the property dialogs: a line for the next keyword, Add, the list and
// Remove. While the line holds text, Add is the default button (Enter adds); otherwise the
// dialog's OK button is.
class KeywordEditor : public QWidget {
public:
    KeywordEditor(QWidget* parent, QPushButton* okButton);

    void SetKeywords(const TStringList& keywords);
    // The entries as they stand: unsorted, duplicates kept (the category sorts them).
    std::vector<std::string> Keywords() const;
    void TakeInto(TStringList& keywords) const;

    QLineEdit* KeyEdit() const { return m_key; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* RemoveButton() const { return m_remove; }
    QListWidget* List() const { return m_list; }

private:
    void Add();
    void Remove();

    QPushButton* m_ok;
    QLineEdit* m_key;
    QPushButton* m_add;
    QListWidget* m_list;
    QPushButton* m_remove;
};

} // namespace lynkora
