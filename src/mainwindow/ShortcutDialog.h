#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeView;

namespace lynkora {

class CategoryNode;
class CategoryTree;
class CategoryTreeModel;
class DateLocale;
class KeywordEditor;
class TIShortcut;

// Name, address, category, description, keywords and usage data of one shortcut. A title
// starting with "N" makes it the new-shortcut dialog.
class TfrmShort : public QDialog {
public:
    TfrmShort(QWidget* parent, const QString& title, CategoryTree& tree, const std::vector<QIcon>& images);

    void SetInitialName(const std::string& name);
    // Selects the category the shortcut goes to (the whole tree stays expanded).
    void SelectCategory(const CategoryNode* node);
    CategoryNode* ChosenCategory() const;
    // Fills the Details page; without a shortcut every value reads ": N/A".
    void ShowDetails(const TIShortcut* shortcut, bool englishDates, const DateLocale* locale);

    QTabWidget* PageControl1;
    QLineEdit* edName;
    QLineEdit* edURL;
    QLabel* lbSelection;
    QTreeView* TreeCat;
    QLineEdit* edDescr;
    KeywordEditor* Keywords;
    QLabel* lbAdded;
    QLabel* lbVisit;
    QLabel* lbNumVisit;
    QLabel* lbVerified;
    QPlainTextEdit* memVerStat;
    QPushButton* BtnOK;

    // Whether a shortcut of the main window's list bears the name (set by the caller).
    std::function<bool(const std::string& name)> NameTaken;
    std::function<void(const QString& text)> ShowError;
    std::function<void()> Beep;

    bool IsNew() const { return windowTitle().startsWith('N'); }

protected:
    void accept() override;

private:
    std::string m_initialName;
    CategoryTreeModel* m_model;
};

} // namespace lynkora
