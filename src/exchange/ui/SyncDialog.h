#pragma once

#include "exchange/Synchronize.h"
#include "exchange/ui/LibraryRows.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace lynkora {

// "Synchronize": the libraries with their Import and Export marks, which start empty each time.
// Add, Properties and Remove change the stored list; Synchronize closes with OK when something
// is marked.
class TfrmImport : public QDialog {
public:
    TfrmImport(QWidget* parent, std::vector<TLibrary> libraries);

    // The libraries with the marks the user set, in list order.
    std::vector<TSyncLibrary> Libraries() const { return m_rows; }
    // Toggles a mark as a click on its cell does (column 2 Import, 3 Export).
    void ToggleCell(int row, int column);

    QTableWidget* StringGrid1;
    QPushButton *BtnAdd, *BtnProps, *BtnRemove, *BtnSync, *BtnClose, *BtnHelp;

    // Its library window, questions, warnings and the stored list (not saved while the list is
    // empty: the stored list then stays).
    LibraryRows Rows;

private:
    void ShowRows();
    void UpdateButtons();
    void Save();
    void AddClick();
    void PropsClick();
    void RemoveClick();
    void SyncClick();

    std::vector<TSyncLibrary> m_rows;
};

} // namespace lynkora
