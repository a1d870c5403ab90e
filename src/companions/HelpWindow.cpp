#include "HelpWindow.h"

#include "HelpTopics.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace lynkora {

namespace {

QUrl UrlOf(const std::string& target) {
    const auto hash = target.find('#');
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(HelpDirectory() + "/" + target.substr(0, hash)));
    if (hash != std::string::npos)
        url.setFragment(QString::fromStdString(target.substr(hash + 1)));
    return url;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(tr("Lynkora 4.0 Help"));
    auto* layout = new QVBoxLayout(this);
    auto* tools = new QToolBar(this);
    layout->addWidget(tools);
    auto* split = new QSplitter(this);
    layout->addWidget(split, 1);

    m_tabs = new QTabWidget(split);
    m_contents = new QTreeWidget(m_tabs);
    m_contents->setHeaderHidden(true);
    for (const auto& [title, page] : HelpContents()) {
        auto* item = new QTreeWidgetItem(m_contents, {QString::fromStdString(title)});
        item->setData(0, Qt::UserRole, QString::fromStdString(page));
    }
    m_tabs->addTab(m_contents, tr("&Contents"));

    auto* indexPage = new QWidget(m_tabs);
    auto* indexLayout = new QVBoxLayout(indexPage);
    auto* filter = new QLineEdit(indexPage);
    filter->setPlaceholderText(tr("Type a keyword"));
    m_index = new QListWidget(indexPage);
    for (const auto& [keyword, target] : HelpIndex()) {
        auto* item = new QListWidgetItem(QString::fromStdString(keyword), m_index);
        item->setData(Qt::UserRole, QString::fromStdString(target));
    }
    indexLayout->addWidget(filter);
    indexLayout->addWidget(m_index);
    m_tabs->addTab(indexPage, tr("&Index"));

    m_browser = new QTextBrowser(split);
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({QString::fromStdString(HelpDirectory())});
    split->addWidget(m_tabs);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 3);

    auto* back = tools->addAction(tr("&Back"), m_browser, &QTextBrowser::backward);
    auto* forward = tools->addAction(tr("&Forward"), m_browser, &QTextBrowser::forward);
    tools->addAction(tr("&Home"), this, [this] { ShowTarget("index.html"); });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_contents, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        ShowTarget(item->data(0, Qt::UserRole).toString().toStdString());
    });
    connect(m_contents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        ShowTarget(item->data(0, Qt::UserRole).toString().toStdString());
    });
    connect(m_index, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        ShowTarget(item->data(Qt::UserRole).toString().toStdString());
    });
    connect(filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        for (int i = 0; i < m_index->count(); ++i) {
            QListWidgetItem* item = m_index->item(i);
            item->setHidden(!item->text().contains(text, Qt::CaseInsensitive));
        }
    });
    resize(860, 600);
    ShowTarget("index.html");
}

void HelpWindow::ShowTarget(const std::string& target) {
    m_browser->setSource(UrlOf(target));
}

void HelpWindow::ShowContents() {
    m_tabs->setCurrentIndex(0);
    show();
    raise();
}

void HelpWindow::ShowIndex() {
    m_tabs->setCurrentIndex(1);
    show();
    raise();
}

HelpWindow& HelpWindow::Instance() {
    static HelpWindow* window = new HelpWindow; // lives as long as the program
    return *window;
}

void ShowHelpContents() { HelpWindow::Instance().ShowContents(); }
void ShowHelpIndex() { HelpWindow::Instance().ShowIndex(); }

void ShowHelpTopic(const std::string& topic) {
    HelpWindow& w = HelpWindow::Instance();
    w.ShowTarget(HelpTopicTarget(topic).value_or("index.html"));
    w.show();
    w.raise();
}

void ShowHelpContext(int context) {
    HelpWindow& w = HelpWindow::Instance();
    w.ShowTarget(HelpContextTarget(context).value_or("index.html"));
    w.show();
    w.raise();
}

} // namespace lynkora
