#pragma once

#include "settings/ExportSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace lynkora {

// The HTML export options: page texts, table of contents, output file and style sheet.
class ExportDialog : public QDialog {
public:
    ExportDialog(const std::string& categoryName, QWidget* parent);

    void Load(const THTML& settings);
    void Store(THTML& settings) const;
    bool TableOfContents() const;
    QString OutputFile() const;

    QLineEdit* titleEdit;
    QLineEdit* generatorEdit;
    QLineEdit* contentsEdit;
    QLineEdit* backTopEdit;
    QCheckBox* tocCheck;
    QLineEdit* fileEdit;
    QRadioButton* predefinedRadio;
    QComboBox* sheetCombo;
    QLabel* sheetPreview;
    QRadioButton* ownSheetRadio;
    QLineEdit* sheetFileEdit;

private:
    void UpdatePreview();
};

} // namespace lynkora
