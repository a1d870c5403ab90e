#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lynkora {

struct TSearchOptions;

// "Find": the text, where to look, from where, and whether case counts.
class TfrmSearch : public QDialog {
public:
    explicit TfrmSearch(QWidget* parent = nullptr);

    // The controls take the stored options.
    void LoadOptions(const TSearchOptions& options);
    // A new search from the controls: the options reset, then filled; selectedPosition is the
    // selected category's place in tree order, the start when the origin is the selection.
    void StoreOptions(TSearchOptions& options, int selectedPosition) const;

    QLineEdit* edFind;
    QRadioButton* rbNames;
    QRadioButton* rbURL;
    QRadioButton* rbDescr;
    QRadioButton* rbKeywords;
    QRadioButton* rbAll;
    QRadioButton* rbFile;
    QRadioButton* rbSelection;
    QCheckBox* chCase;
    QPushButton* BtnFind;
    QPushButton* BtnCancel;

private:
    // Find needs a text; without one Cancel is what Enter presses.
    void UpdateButtons();
};

} // namespace lynkora
