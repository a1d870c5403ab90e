#pragma once

#include "exchange/ImportMerge.h"
#include "exchange/LibraryList.h"

#include <QObject>

#include <exception>
#include <vector>

namespace lynkora {

class TfrmMainLynkora;
class ImportTarget;
struct LibraryRows;

// Import > File..., Import > Browsers... and Synchronize: the windows of each, then the readers
// and writers on the open document, and the final pass that sorts, writes and shows the tree.
class ImportController : public QObject {
public:
    explicit ImportController(TfrmMainLynkora& window);

    void ImportFile();     // acImportFile
    void ImportBrowsers(); // acImportBrowser
    void Synchronize();    // acLibraries

private:
    void ImportHtml(const std::string& path);
    void ImportDataFile(const std::string& path, DataFileKind kind);
    ImportTarget Target();
    std::vector<TLibrary> Libraries();
    LibraryRows Rows();
    // After a browser import or a synchronisation, also when a reader failed: the tree sorted,
    // every category written, the selection's list shown (a rebuilt tree opened as a file is);
    // then the failure is reported.
    void FinalPass(std::exception_ptr failure, bool newTree = false);

    TfrmMainLynkora& m_w;
};

} // namespace lynkora
