#include "ExportController.h"

#include "MainWindow.h"

#include "companions/Companions.h"
#include "exchange/HtmlExport.h"
#include "platform/QtDateLocale.h"
#include "store/Version.h"

#include <QApplication>
#include <QMessageBox>

#include <filesystem>

namespace lynkora {

namespace {

// Restores the cursor and the status summary however the export ends.
struct ExportScope {
    TfrmMainLynkora& w;
    ~ExportScope() {
        QApplication::restoreOverrideCursor();
        w.acUpdateCtrls();
    }
};

} // namespace

ExportController::ExportController(TfrmMainLynkora& window) : QObject(&window), m_w(window) {}

void ExportController::ExportFile() { Export(nullptr); }

void ExportController::ExportFolder() {
    const CategoryNode* node = m_w.SelectedNode();
    if (node && node != m_w.Tree().RootNode())
        Export(node);
}

HtmlExportOptions ExportController::Options(const std::string& answer) const {
    TSettings& s = m_w.Settings();
    s.ReloadExportHTML();
    const THTML& html = s.ExportHTML;
    HtmlExportOptions o;
    o.output = answer.substr(1);
    o.contents = answer[0] != '0';
    o.title = html.strTitle;
    o.generator = html.strGen;
    o.contentsHeading = html.strTable;
    o.backToTop = html.strBackTop;
    if (html.SelIdx == -1) {
        o.linkStyleSheet = html.Styles.Count() > 0 && !html.Styles.Items(0).Path.empty();
        if (o.linkStyleSheet)
            o.styleSheetPath = html.Styles.Items(0).Path;
    } else if (html.Styles.Count() > 0) {
        // The predefined sheet the reload appended: the last style.
        o.styleSheetText = html.Styles.Items(html.Styles.Count() - 1).Text.Items();
    }
    // The linked sheet goes beside the page, where its relative link finds it.
    o.exportFolder = std::filesystem::path(o.output).parent_path().string();
    o.programVersion = s.ProgramVersion == "0.0.0.0" || s.ProgramVersion.empty() ? kProgramVersion : s.ProgramVersion;
    o.now = NowDateTime();
    o.lastDate = m_w.DataFile()->LastDate();
    o.englishDate = s.UseEnglishDate;
    o.locale = m_w.m_locale.get();
    return o;
}

void ExportController::Export(const CategoryNode* category) {
    if (!m_w.DataFile())
        return;
    m_warnings.clear();
    m_w.Guarded([&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        std::string answer;
        {
            ExportScope scope{m_w};
            answer = ShowExportDlg(category ? category->Text() : std::string(), &m_w);
        }
        if (answer.size() < 2)
            return; // cancelled
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ExportScope scope{m_w};
        m_w.SetStatusText(tr("Exporting shortcuts..."));
        TSettings& s = m_w.Settings();
        // The settings go back with no styles, also after a failed page.
        struct SaveBack {
            TSettings& s;
            ~SaveBack() {
                s.ExportHTML.Styles.Clear();
                try {
                    s.SaveExportHTML();
                } catch (...) {
                    // the page's own error is the one to show
                }
            }
        } saveBack{s};
        const HtmlExportOptions o = Options(answer);
        const HtmlExportReport report = category ? ExportHtmlCategory(*category, o) : ExportHtmlPage(m_w.Tree(), o);
        for (const std::string& warning : report.warnings) {
            m_warnings.push_back(QString::fromStdString(warning));
            QMessageBox box(QMessageBox::NoIcon, kTitle, m_warnings.back(), QMessageBox::Ok, &m_w);
            m_w.ShowBox(box);
        }
    });
}

} // namespace lynkora
