#pragma once

#include <QDialog>

#include <functional>

class QListWidget;
class QPushButton;

namespace lynkora {

class TToolbarEditor;
struct TToolEntry;

// "Customize toolbar": categories, their commands and the layout being edited, with Add,
// Remove, Up and Down between them. The editor holds the working copy; Save closes with OK.
class TfrmTool : public QDialog {
public:
    // `iconFor` gives a row's image: its command's, or the separator's.
    TfrmTool(QWidget* parent, TToolbarEditor& editor, std::function<QIcon(const TToolEntry&)> iconFor);

    QListWidget *ListBox1, *ListView1, *listTool;
    QPushButton *btnAdd, *BtnDel, *BtnUp, *BtnDown, *BtnSave, *BtnCancel;

private:
    void ListBox1Click();
    void ListView1Click();
    void listToolClick();
    void btnAddClick();
    void BtnDelClick();
    void BtnUpClick();
    void BtnDownClick();

    void ShowCategories();
    void ShowCommands();
    void ShowLayout();
    void ShowButtons();

    TToolbarEditor& m_editor;
    std::function<QIcon(const TToolEntry&)> m_iconFor;
    bool m_filling = false; // rows are being put in: their selection signals are not the user's
};

} // namespace lynkora
