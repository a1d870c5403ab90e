#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lynkora {

// The properties of one browser: executable, version, display name and command line.
class TfrmBrowser : public QDialog {
public:
    // readOnly shows the default browser's entry: nothing can be changed or confirmed.
    TfrmBrowser(QWidget* parent, const QString& caption, bool readOnly = false);

    void SetBrowser(const std::string& path, const std::string& version, const std::string& name,
                    const std::string& command);
    // Takes an executable as if chosen with Browse.
    void ChooseExecutable(const std::string& path);

    std::string Path() const { return m_path; }
    std::string Version() const;
    std::string Name() const;
    // The command line as typed, a shell "%1" turned into "%s", outer blanks removed.
    std::string Command() const;

    // Replaceable for tests: asks for an executable, empty when cancelled.
    std::function<QString(const QString& start)> AskExecutable;
    // Replaceable for tests: the warning sound.
    std::function<void()> Beep;

    QPushButton* OkButton() const { return m_ok; }
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* CommandEdit() const { return m_command; }
    QLabel* ExecutableLabel() const { return m_exe; }

protected:
    void accept() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowPath();
    void Browse();

    std::string m_path;
    QLabel* m_exe;
    QLabel* m_version;
    QLineEdit* m_name;
    QLineEdit* m_command;
    QPushButton* m_browse;
    QPushButton* m_ok;
};

} // namespace lynkora
