#pragma once

#include "exchange/ui/LibraryRows.h"

#include <QDialog>

#include <functional>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace lynkora {

// "Import browser libraries": the libraries with a box each, none ticked at first. Every change
// to the list is stored at once, an empty list too.
class TfrmImpBrowse : public QDialog {
public:
    TfrmImpBrowse(QWidget* parent, std::vector<TLibrary> libraries);

    // The ticked libraries, in list order.
    std::vector<TLibrary> Ticked() const;

    QTreeWidget* ImportList;
    QPushButton *BtnAdd, *BtnProps, *BtnRemove, *BtnImport, *BtnClose, *BtnHelp;

    // Its library window, questions, warnings and the stored list; every change is saved.
    LibraryRows Rows;

private:
    void ShowItems();
    void UpdateButtons();
    void Save();
    int Selected() const;

    std::vector<TLibrary> m_libraries;
};

} // namespace lynkora
