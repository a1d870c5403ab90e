#pragma once

#include "store/CategoryTree.h"
#include "store/DateTime.h"

#include <string>
#include <vector>

namespace lynkora {

class DateLocale;

// What a page is made of: the export settings' texts, the style sheet, and the dates.
struct HtmlExportOptions {
    std::string output;          // the page's file
    bool contents = true;        // the table of contents
    std::string title;           // strTitle
    std::string generator;       // strGen, before the date; may be empty
    std::string contentsHeading; // strTable
    std::string backToTop;       // strBackTop
    // Either a style sheet file, linked and copied into the export folder, or a sheet's text
    // written into the page.
    bool linkStyleSheet = false;
    std::string styleSheetPath;
    std::vector<std::string> styleSheetText;
    std::string exportFolder;
    std::string programVersion; // in the footer
    TDateTime now = 0;          // the date in the title block
    TDateTime lastDate = 0;     // shortcuts added later are new
    bool englishDate = true;
    const DateLocale* locale = nullptr;
};

// What went wrong without stopping the page ("CopyFile failed: ...").
struct HtmlExportReport {
    std::vector<std::string> warnings;
};

// The whole document as one page. Every text of the collection is escaped and written as UTF-8;
// a link whose scheme runs script (javascript:, vbscript:, data:) is written as plain text. The
// page is written beside the target and renamed over it; a page that cannot be written fails
// with the reason and leaves the old one.
HtmlExportReport ExportHtmlPage(const CategoryTree& tree, const HtmlExportOptions& options);
// One category with everything below it.
HtmlExportReport ExportHtmlCategory(const CategoryNode& category, const HtmlExportOptions& options);

// The page's text, as the two exports write it (copying no style sheet).
std::string HtmlPageText(const CategoryTree& tree, const HtmlExportOptions& options);
std::string HtmlCategoryText(const CategoryNode& category, const HtmlExportOptions& options);

} // namespace lynkora
