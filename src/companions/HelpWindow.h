#pragma once

#include <QWidget>

#include <string>

class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

namespace lynkora {

// The help: contents, index, back and forward beside the page.
class HelpWindow : public QWidget {
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows a place ("page.html#anchor") of the help pages.
    void ShowTarget(const std::string& target);
    void ShowContents();
    void ShowIndex();
    QTextBrowser* Browser() const { return m_browser; }

    // The program's one help window, made on first use.
    static HelpWindow& Instance();

private:
    QTabWidget* m_tabs;
    QTreeWidget* m_contents;
    QListWidget* m_index;
    QTextBrowser* m_browser;
};

// The calls of the help menu and the help buttons.
void ShowHelpContents();
void ShowHelpIndex();
void ShowHelpTopic(const std::string& topic);
void ShowHelpContext(int context);

} // namespace lynkora
