#pragma once

#include <QFileDialog>

#include <functional>

namespace lynkora {

// "Import from file": HTML pages and both generations of data files. A file that Refuse turns
// down keeps the dialog open.
class ImportFileDialog : public QFileDialog {
public:
    ImportFileDialog(QWidget* parent, std::function<bool(const QString& path)> refuse);
    QString ChosenPath() const;
    void accept() override;

private:
    std::function<bool(const QString&)> m_refuse;
};

} // namespace lynkora
