#include "AboutDialog.h"

#include "MainWindow.h"

#include "companions/Companions.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace lynkora {

namespace {

QPixmap Picture(const char* name) {
    Artpack art;
    return QPixmap::fromImage(QImage::fromData(art.Resource(name)));
}

} // namespace

TAboutForm::TAboutForm(const std::string& version, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Lynkora"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* logo = new QLabel(this);
    logo->setObjectName("imgLogo");
    const QPixmap picture = Picture("ABOUT");
    logo->setPixmap(picture);
    // The picture is shown whole: the label is exactly its size.
    logo->setFixedSize(picture.isNull() ? QSize(0, 0) : picture.size());
    top->addWidget(logo, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    m_title = tr("Build %1 (Update 2)").arg(QString::fromStdString(version));
    auto* name = new QLabel(tr("Lynkora 4.0"), this);
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    name->setFont(big);
    auto* title = new QLabel(m_title, this);
    title->setObjectName("lblTitle");
    auto* about = new QLabel(tr("A manager for your internet shortcuts."), this);
    about->setWordWrap(true);
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(QString::fromLatin1(kWebSite)), this);
    link->setObjectName("lblWeb");
    link->setOpenExternalLinks(true);
    link->setCursor(Qt::PointingHandCursor);
    texts->addWidget(name);
    texts->addWidget(title);
    texts->addSpacing(8);
    texts->addWidget(about);
    texts->addWidget(link);
    texts->addStretch(1);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    // Wide enough for the texts on their own lines beside the picture.
    const int textWidth = QFontMetrics(big).horizontalAdvance(QString::fromLatin1(kWebSite)) + 40;
    setMinimumWidth(logo->width() + 12 + std::max(textWidth, 220) + 24);
    setFixedSize(sizeHint().expandedTo(minimumSize()));
}

CreditsDialog::CreditsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Lynkora 4.0 Credits"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(326, 432);
    auto* image = new QLabel(this);
    image->setPixmap(Picture("CREDITS"));
    image->move(8, 8);
    image->resize(326 - 16, 432 - 56);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setGeometry(8, 432 - 40, 326 - 16, 32);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

} // namespace lynkora
