#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace lynkora {

class KeywordEditor;

// Name, description and keywords of one category. A title starting with "N" makes it the
// new-category dialog.
class TfrmCat : public QDialog {
public:
    TfrmCat(QWidget* parent, const QString& title);

    // The name the dialog opened with; a name equal to it (ignoring case) is never checked.
    void SetInitialName(const std::string& name);
    QLineEdit* edName;
    QLineEdit* edDescr;
    KeywordEditor* Keywords;
    QPushButton* BtnOK;

    // Whether a category beside which this one will stand bears the name (set by the caller).
    std::function<bool(const std::string& name)> NameTaken;
    // Shows a refusal (the program's error report); the dialog stays open.
    std::function<void(const QString& text)> ShowError;
    std::function<void()> Beep;

    bool IsNew() const { return windowTitle().startsWith('N'); }

protected:
    void accept() override;

private:
    std::string m_initialName;
};

} // namespace lynkora
