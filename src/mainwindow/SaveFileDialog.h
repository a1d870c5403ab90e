#pragma once

#include <QFileDialog>

#include <functional>

namespace lynkora {

// The save dialog for data files. A name that Refuse turns down keeps the dialog open, and is
// turned down before the dialog asks whether to replace an existing file.
class SaveFileDialog : public QFileDialog {
public:
    SaveFileDialog(QWidget* parent, const QString& title, std::function<bool(const QString& path)> refuse);
    // The chosen path with the ".lyx" ending the dialog adds when it is missing.
    QString ChosenPath() const;
    void accept() override;

private:
    std::function<bool(const QString&)> m_refuse;
};

} // namespace lynkora
