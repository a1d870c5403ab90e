#pragma once

#include <QObject>
#include <QString>

#include <vector>

namespace lynkora {

class CategoryNode;
class TfrmMainLynkora;
struct HtmlExportOptions;

// The HTML export commands of the main window: the export options window of the companion
// library, then the page of the whole file or of the selected category.
class ExportController : public QObject {
public:
    explicit ExportController(TfrmMainLynkora& window);

    void ExportFile();   // acExport
    void ExportFolder(); // acExportFolder

    // What the last export said without stopping ("CopyFile failed: ...").
    const std::vector<QString>& Warnings() const { return m_warnings; }

private:
    void Export(const CategoryNode* category);
    // The page's options from the stored export settings and the window's answer.
    HtmlExportOptions Options(const std::string& answer) const;

    TfrmMainLynkora& m_w;
    std::vector<QString> m_warnings;
};

} // namespace lynkora
