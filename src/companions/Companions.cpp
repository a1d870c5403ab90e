#include "Companions.h"

#include "CompanionLibrary.h"

#include "store/Errors.h"

#include <QFile>

#include <memory>

namespace lynkora {

struct Artpack::Impl {
    CompanionLibrary library{"artpack"};
};

Artpack::Artpack() : m_impl(new Impl) {}
Artpack::~Artpack() { delete m_impl; }

bool Artpack::Loaded() const { return m_impl->library.Loaded(); }

void Artpack::Require() const {
    if (!Loaded())
        throw ELynkora(LibraryFailedText(m_impl->library.FileName(), m_impl->library.ErrorText()));
}

QByteArray Artpack::Resource(const std::string& name) const {
    if (!Loaded())
        return {};
    for (const char* ext : {"", ".png", ".jpg"}) {
        QFile file(QString::fromStdString(":/artpack/" + name + ext));
        if (file.open(QIODevice::ReadOnly))
            return file.readAll();
    }
    return {};
}

std::optional<std::string> PredefinedStyleSheet(int index) {
    Artpack art;
    const QByteArray text = art.Resource("StyleSheet" + std::to_string(index));
    if (text.isEmpty())
        return std::nullopt;
    return text.toStdString();
}

void LogEvent(const std::string& message, int code) {
    CompanionLibrary journal("journal");
    if (auto entry = journal.Entry<void (*)(const char*, int)>("LogEvent"))
        entry(message.c_str(), code);
}

std::string ShowExportDlg(const std::string& categoryName, void* ownerWindow) {
    CompanionLibrary webstyle("webstyle");
    if (!webstyle.Loaded())
        throw ELynkora(LibraryFailedText(webstyle.FileName(), webstyle.ErrorText()));
    using Entry = const char* (*)(const char*, const char*, void*);
    auto entry = webstyle.Entry<Entry>("ShowExportDlg");
    if (!entry)
        return {};
    const char* result = entry(kExportAccess, categoryName.c_str(), ownerWindow);
    return result ? std::string(result) : std::string();
}

void SendLynkoraFile(const std::string& path) {
    CompanionLibrary mailout("mailout");
    if (auto entry = mailout.Entry<void (*)(const char*)>("SendLynkoraFile"))
        entry(path.c_str());
}

void ShowWizard(void* window, WizardCommand command, void* context) {
    CompanionLibrary transfer("transfer");
    if (auto entry = transfer.Entry<void (*)(void*, WizardCommand, void*)>("ShowWizard"))
        entry(window, command, context);
}

bool DispatchWizardCommand(int code, long signature, const WizardActions& a) {
    if (signature != kWizardSignature)
        return false;
    auto run = [](const std::function<void()>& f) {
        if (f)
            f();
        return true;
    };
    switch (code) {
    case kWizardImportFile:
        return run(a.importFile);
    case kWizardImportBrowser:
        return run(a.importBrowser);
    case kWizardExport:
        return run(a.exportFile);
    case kWizardExportFolder:
        return run(a.exportFolderEnabled && a.exportFolderEnabled() ? a.exportFolder : a.exportFile);
    case kWizardLibraries:
        return run(a.libraries);
    default:
        return false;
    }
}

} // namespace lynkora
