#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTreeWidget;
class QWidget;

namespace lynkora {

class ColorButton;
class TSettings;

// "Options": six pages over the settings. The browser page and "Clear menu" act on the live
// settings at once; everything else is read by Fill and written back by Store.
class TfrmOptions : public QDialog {
public:
    TfrmOptions(QWidget* parent, TSettings& settings);

    // The controls take the stored values.
    void Fill();
    // Writes the pages back into the settings, in the order the window applies them; true when
    // the chosen storage mode differs from the one in force (applied at the next start).
    bool Store();
    void ShowPage(int page);
    int Page() const;

    // The browser list was changed on the browser page.
    bool BrowsersChanged = false;
    // Replaceable for tests and by the window: a modal dialog (true for OK), a Yes/No question,
    // a warning, the executable chooser for the CSS editor, browser detection.
    std::function<bool(QDialog&)> RunDialog;
    std::function<bool(const QString&)> AskYesNo;
    std::function<void(const QString&)> Warn;
    std::function<QString()> AskCssEditor;
    std::function<void(TSettings&)> Detect;
    // "Clear menu": the window's reopen menus are rebuilt at once.
    std::function<void()> HistoryCleared;

    // General
    QRadioButton *rbDirect, *rbTransact;
    QSpinBox* udMaxHist; // its edit box is read-only; the arrows change it
    QPushButton* BtnClear;
    QCheckBox *chOpenLast, *chLaunch, *chMinimized, *chAuto;
    // Display
    QCheckBox* chCol[8];
    ColorButton* BtnColor;
    QCheckBox *chCenter, *chDesktop, *chTool, *chHeader, *chToolTip, *chFlat;
    // Interface
    QRadioButton *rbClassic, *rbWeb;
    QComboBox* cbDefault;
    // Browsers
    QListWidget* ListBrowse;
    QPushButton *BtnAdd, *BtnEdit, *BtnRemove, *BtnDetect;
    // Proxy
    QCheckBox* chUseProxy;
    QWidget* proxyPanel;
    QLineEdit *edProxyServer, *edProxyPort, *edProxyUser, *edProxyPass;
    // Advanced
    QRadioButton *rbDefCSS, *rbNotepad, *rbCSSCustom;
    QLineEdit* edCSS;
    QPushButton* BtnBrowse;
    QCheckBox* chEnglish;
    QSpinBox* edConnections;

    QTreeWidget* opTree;
    QStackedWidget* opPages;
    QLabel* stCat;
    QPushButton *BtnOK, *BtnCancel, *BtnHelp;

private:
    QWidget* GeneralPage();
    QWidget* DisplayPage();
    QWidget* InterfacePage();
    QWidget* BrowsersPage();
    QWidget* ProxyPage();
    QWidget* AdvancedPage();
    void FillBrowsers();
    void BrowserSelected();
    void AddBrowser();
    void EditBrowser();
    void RemoveBrowser();
    void DetectBrowsersNow();
    void UpdateCss();
    bool Run(QDialog& dialog);

    TSettings& m_s;
};

} // namespace lynkora
