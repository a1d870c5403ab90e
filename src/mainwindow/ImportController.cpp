#include "ImportController.h"

#include "MainWindow.h"
#include "VerificationController.h"

#include "exchange/BrowserProfiles.h"
#include "exchange/ImportTarget.h"
#include "exchange/PreviewReaders.h"
#include "exchange/Synchronize.h"
#include "exchange/ui/ConfirmDialog.h"
#include "exchange/ui/ImportBrowsersDialog.h"
#include "exchange/ui/ImportFileDialog.h"
#include "exchange/ui/SyncDialog.h"
#include "store/DataFileStorage.h"
#include "store/Errors.h"
#include "store/NameCollator.h"
#include "store/TextTools.h"
#include "widgets/CheckTree.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <memory>
#include <random>

namespace lynkora {

namespace {

// The hourglass for as long as the object lives.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string FileNameOf(const std::string& path) { return QFileInfo(QString::fromStdString(path)).fileName().toStdString(); }

} // namespace

ImportController::ImportController(TfrmMainLynkora& window) : QObject(&window), m_w(window) {
    m_w.ConnectDocumentCommand("acImportFile", this, &ImportController::ImportFile);
    m_w.ConnectDocumentCommand("acImportBrowser", this, &ImportController::ImportBrowsers);
    m_w.ConnectDocumentCommand("acLibraries", this, &ImportController::Synchronize);
}

ImportTarget ImportController::Target() {
    TDataFile* file = m_w.DataFile();
    // The identifiers in use are gathered once; the import is the only one adding categories.
    auto ids = std::make_shared<FolderIdNumbers>(CollectFolderIds(file->WorkStorage()));
    return ImportTarget(m_w.m_tree, [ids] { return ids->Next(); },
                        [file](CategoryNode& node) { file->WriteCategory(node); });
}

std::vector<TLibrary> ImportController::Libraries() {
    return LoadLibraries(m_w.m_registry, m_w.Settings().FavoritesFolder());
}

LibraryRows ImportController::Rows() {
    LibraryRows rows;
    rows.RunDialog = [this](QDialog& d) { return m_w.Run(d); };
    rows.AskYesNo = [this](const QString& text) { return m_w.Ask(text); };
    rows.Proposals = [] { return FindBrowserProfiles(QDir::homePath().toStdString()); };
    rows.Warn = [this](const QString& text, QWidget* owner) { m_w.ShowWarningBox(text, owner); };
    rows.SaveList = [this](const std::vector<TLibrary>& list) { SaveLibraries(m_w.m_registry, list); };
    return rows;
}

void ImportController::ImportFile() {
    if (!m_w.DataFile() || m_w.Verification().Running())
        return;
    const std::string open = m_w.DataFile()->FileName();
    ImportFileDialog dialog(&m_w, [this, open](const QString& path) {
        if (CompareAsciiNoCase(FullPath(path.toStdString()), open) != 0)
            return false;
        m_w.ShowWarningBox(tr("Lynkora cannot import from the currently opened data file!      "), nullptr);
        return true;
    });
    if (!m_w.Run(dialog) || dialog.ChosenPath().isEmpty())
        return;
    const std::string path = FullPath(dialog.ChosenPath().toStdString());
    const std::string lower = LowerAscii(path);
    m_w.Guarded([&] {
        if (lower.find(".htm") != std::string::npos)
            ImportHtml(path);
        else if (lower.find(".ldb") != std::string::npos)
            ImportDataFile(path, DataFileKind::Classic);
        else if (lower.find(".lyx") != std::string::npos)
            ImportDataFile(path, DataFileKind::Current);
    });
}

void ImportController::ImportHtml(const std::string& path) {
    std::vector<std::string> links;
    ScanHtmlLinks(links, QFileInfo(QString::fromStdString(path)).absolutePath().toStdString() + "/", path);
    if (links.empty()) {
        m_w.ShowInfoBox(tr("Lynkora did not find any URL's in the file:      \n\n") + QString::fromStdString(path));
        return;
    }
    PreviewEntry preview(PreviewEntry::Kind::File, FileNameOf(path));
    FillLinkPreview(preview, links);
    TSettings& s = m_w.Settings();
    TfrmConfirm dialog(&m_w, m_w.m_smallImages);
    dialog.ShowError = [this](const QString& text) { m_w.ShowErrorBox(text); };
    dialog.chSelCat->show();
    if (!s.ConWinPos.empty())
        dialog.SetGeometryText(QString::fromStdString(s.ConWinPos));
    dialog.Fill(preview);
    const bool ok = m_w.Run(dialog);
    s.ConWinPos = dialog.GeometryText().toStdString();
    if (!ok)
        return;
    CategoryNode* selected = m_w.SelectedNode();
    CategoryNode& target = dialog.chSelCat->isChecked() && selected ? *selected : *m_w.m_tree.RootNode();
    ImportTarget writer = Target();
    MergeLinks(preview, dialog.Ticks(), target, writer, NowDateTime());
    m_w.m_treeModel->NodeChanged(&target);
    m_w.FillList(m_w.SelectedNode());
    m_w.acUpdateCtrls();
}

void ImportController::ImportDataFile(const std::string& path, DataFileKind kind) {
    PreviewEntry preview(PreviewEntry::Kind::File, FileNameOf(path));
    TfrmConfirm dialog(&m_w, m_w.m_smallImages);
    dialog.ShowError = [this](const QString& text) { m_w.ShowErrorBox(text); };
    {
        const WaitCursor wait;
        if (kind == DataFileKind::Classic)
            LoadClassicDataFile(path, preview);
        else
            LoadDataFileTree(path, preview);
        dialog.Fill(preview);
    }
    const bool ok = m_w.Run(dialog);
    m_w.Settings().ConWinPos = dialog.GeometryText().toStdString();
    if (!ok)
        return;
    const WaitCursor wait;
    const TDataFile::BatchOfWrites batch(*m_w.DataFile());
    ImportTarget target = Target();
    MergeDataFile(preview, kind, dialog.Ticks(), target);
    m_w.m_treeModel->SortTree(m_w.Settings().TreeSortOrder);
    m_w.m_treeModel->BranchChanged(m_w.m_tree.RootNode());
    m_w.FillList(m_w.SelectedNode());
    m_w.acUpdateCtrls();
}

void ImportController::ImportBrowsers() {
    if (!m_w.DataFile() || m_w.Verification().Running())
        return;
    TfrmImpBrowse dialog(&m_w, Libraries());
    dialog.Rows = Rows();
    if (!m_w.Run(dialog))
        return;
    m_w.SetStatusText(tr("Importing shortcuts..."));
    std::exception_ptr failure;
    {
        const WaitCursor wait;
        const TDataFile::BatchOfWrites batch(*m_w.DataFile());
        ImportTarget target = Target();
        try {
            for (const TLibrary& library : dialog.Ticked())
                ImportLibrary(library, target);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    FinalPass(failure);
}

void ImportController::Synchronize() {
    if (!m_w.DataFile() || m_w.Verification().Running())
        return;
    TfrmImport dialog(&m_w, Libraries());
    dialog.Rows = Rows();
    if (!m_w.Run(dialog))
        return;
    const std::vector<TSyncLibrary> libraries = dialog.Libraries();
    TDataFile& file = *m_w.DataFile();
    std::exception_ptr failure;
    const bool rebuilt = AnyImport(libraries);
    bool emptied = !rebuilt;
    m_w.Guarded([&] {
        if (emptied)
            return;
        // The run rebuilds the collection from the libraries. Until it is saved the file keeps
        // the old one (working copy), or its backup does (direct mode).
        m_w.WaitForDeletion();
        m_w.m_listModel->FillList(nullptr);
        m_w.m_treeModel->SetTree(nullptr);
        m_w.m_tree.Clear();
        file.EmptyCollection();
        file.LoadTree(m_w.m_tree);
        m_w.m_treeModel->SetTree(&m_w.m_tree);
        m_w.SelectNode(m_w.m_tree.RootNode());
        emptied = true;
    });
    if (!emptied)
        return; // reported; nothing was read or written
    m_w.SetStatusText(tr("Synchronizing..."));
    {
        const WaitCursor wait;
        const TDataFile::BatchOfWrites batch(file);
        std::mt19937 random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
        ImportTarget target = Target();
        try {
            lynkora::Synchronize(libraries, target, m_w.m_tree, random);
        } catch (const std::exception& e) {
            if (AnyImport(libraries) && file.DirectMode())
                failure = std::make_exception_ptr(ELynkora(std::string(e.what()) + "\n\nThe collection as it was before " +
                                                           "the synchronisation is kept in " + file.BackupName()));
            else
                failure = std::current_exception();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    FinalPass(failure, rebuilt);
}

void ImportController::FinalPass(std::exception_ptr failure, bool newTree) {
    m_w.SetStatusText(m_w.StatusSummary());
    m_w.Guarded([&] {
        m_w.m_treeModel->SortTree(m_w.Settings().TreeSortOrder);
        TDataFile* file = m_w.DataFile();
        const TDataFile::BatchOfWrites batch(*file);
        m_w.m_tree.ForEach([&](CategoryNode& node) { file->WriteCategory(node); });
        m_w.m_treeModel->BranchChanged(m_w.m_tree.RootNode());
        if (newTree)
            m_w.ShowNewTree();
        else if (!m_w.SelectedNode())
            m_w.SelectNode(m_w.m_tree.RootNode());
        m_w.FillList(m_w.SelectedNode());
        m_w.acUpdateCtrls();
    });
    if (failure)
        m_w.ReportError(failure);
}

} // namespace lynkora
