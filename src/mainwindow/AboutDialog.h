#pragma once

#include "store/Version.h"

#include <QDialog>

#include <string>

namespace lynkora {


// "About Lynkora": the ABOUT picture at its own size, the build line and the site's link.
class TAboutForm : public QDialog {
public:
    TAboutForm(const std::string& version, QWidget* parent = nullptr);
    QString TitleText() const { return m_title; }

private:
    QString m_title;
};

// The credits picture in a fixed 326 x 432 dialog with an OK button.
class CreditsDialog : public QDialog {
public:
    explicit CreditsDialog(QWidget* parent = nullptr);
};

} // namespace lynkora
