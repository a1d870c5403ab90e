#pragma once

// The calls into the companion libraries, with their arguments, results and the behaviour
// when a library or its entry point is missing.

#include <QByteArray>

#include <functional>
#include <optional>
#include <string>

namespace lynkora {

// The named resources of the resource library, for as long as this object lives (the
// library's resources are registered only while it is loaded).
class Artpack {
public:
    Artpack();
    ~Artpack();
    Artpack(const Artpack&) = delete;
    Artpack& operator=(const Artpack&) = delete;

    bool Loaded() const;
    // Fails with the "failed to initialize" text when the library cannot be loaded (start-up).
    void Require() const;
    // A resource ("LOGO", "BMP_1", "StyleSheet2" ...), empty when missing.
    QByteArray Resource(const std::string& name) const;

private:
    struct Impl;
    Impl* m_impl;
};

// A predefined style sheet's text, or nothing when the library or the sheet is missing.
std::optional<std::string> PredefinedStyleSheet(int index);

// The event log: the message with its code; silently nothing without the library.
void LogEvent(const std::string& message, int code = 1012);

// The export options dialog: "" when cancelled, else a flag character ("0": no table of
// contents) and the output path. A missing library fails with the "failed to initialize" text;
// a missing entry point gives "".
inline constexpr const char* kExportAccess = "[5C1D7E20-4A93-11D2-8B6F-0040C7A1E3B2]";
std::string ShowExportDlg(const std::string& categoryName, void* ownerWindow);

// Sends the data file by e-mail; silently nothing without the library.
void SendLynkoraFile(const std::string& path);

// The import and export wizard. It drives the program through `command` with the codes below;
// a command whose signature is not kWizardSignature is ignored by the receiver.
inline constexpr int kWizardImportFile = 200101;
inline constexpr int kWizardImportBrowser = 200102;
inline constexpr int kWizardExport = 200103;
inline constexpr int kWizardExportFolder = 200104;
inline constexpr int kWizardLibraries = 200105;
inline constexpr long kWizardSignature = 0x6B2F4D17;
inline constexpr int kWizardMessage = 0x0BD1;
using WizardCommand = void (*)(void* context, int code, long signature);
void ShowWizard(void* window, WizardCommand command, void* context);

// What the program does for the wizard's commands.
struct WizardActions {
    std::function<void()> importFile, importBrowser, exportFile, exportFolder, libraries;
    std::function<bool()> exportFolderEnabled;
};
// Runs the command for a wizard code; false (and nothing done) for a wrong signature or an
// unknown code.
bool DispatchWizardCommand(int code, long signature, const WizardActions& actions);

} // namespace lynkora
