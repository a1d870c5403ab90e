#pragma once

#include "exchange/LibraryList.h"

#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lynkora {

// A library's properties: its type and its path ("New library" or "Library properties").
class TfrmLib : public QDialog {
public:
    TfrmLib(QWidget* parent, const QString& caption);

    // The type whose caption equals the library's (ignoring case; the first when none does) and
    // its path.
    void SetLibrary(const TLibrary& library);
    TLibrary Library() const;
    // Browser profiles found on this computer, offered above the type; choosing one fills in
    // its type and path. Without any the row stays hidden.
    void SetProposals(std::vector<TLibrary> found);

    QComboBox* cbFound;
    QComboBox* cbLibType;
    QLineEdit* edPath;
    QPushButton *BtnBrowse, *BtnOK, *BtnCancel;

    // Chooses a path for the type (0: a folder), starting at `start`; empty when cancelled.
    // Replaceable for tests.
    std::function<QString(int type, const QString& start)> Choose;

private:
    std::vector<TLibrary> m_found;
    QLabel* m_foundLabel;
    void BrowseClick();
    void OkClick();
};

} // namespace lynkora
