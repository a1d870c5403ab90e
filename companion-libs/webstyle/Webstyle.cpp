// libwebstyle: ShowExportDlg(access, category name, owner) shows the export options and stores
// them as the "ExportHTML" settings value; it returns "" on cancel, else a flag character ("0":
// no table of contents) and the output file.
#include "ExportDialog.h"

#include "companions/Companions.h"
#include "platform/Registry.h"
#include "store/ObjectStream.h"

#include <QApplication>

#include <cstring>
#include <string>

extern "C" __attribute__((visibility("default"))) const char* ShowExportDlg(const char* access,
                                                                            const char* category,
                                                                            void* owner) {
    using namespace lynkora;
    static thread_local std::string result;
    result.clear();
    if (!access || std::strcmp(access, kExportAccess) != 0 || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return result.c_str();
    try {
        Registry registry;
        THTML settings;
        if (registry.ValueExists("", "ExportHTML"))
            ObjectStream::ReadObject(registry.ReadBinary("", "ExportHTML"), settings);
        ExportDialog dialog(category ? category : "", static_cast<QWidget*>(owner));
        dialog.Load(settings);
        if (dialog.exec() != QDialog::Accepted)
            return result.c_str();
        dialog.Store(settings);
        registry.WriteBinary("", "ExportHTML", ObjectStream::WriteObject(settings));
        registry.Sync();
        result = (dialog.TableOfContents() ? "1" : "0") + dialog.OutputFile().toStdString();
    } catch (const std::exception&) {
        result.clear(); // a damaged settings value: nothing exported rather than a crash
    }
    return result.c_str();
}
