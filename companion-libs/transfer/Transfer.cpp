// libtransfer: ShowWizard(window, command, context) leads the user to one of the five import
// and export commands and sends it to the program with the wizard signature.
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWizard>

namespace {

using Command = void (*)(void*, int, long);
constexpr long kSignature = 0x6B2F4D17;

struct Choice {
    int code;
    const char* caption;
    const char* explanation;
};

const Choice kChoices[] = {
    {200101, "Import shortcuts from a &file", "Another data file, an older collection or an HTML page."},
    {200102, "Import from &browsers", "Favourites, Netscape bookmark files and Opera hotlists."},
    {200103, "Export the &whole collection to HTML", "A page with every category and shortcut."},
    {200104, "Export the &selected category to HTML", "A page with one category and those below it."},
    {200105, "S&ynchronize with browsers", "Exchange shortcuts with the libraries you registered."},
};

} // namespace

extern "C" __attribute__((visibility("default"))) void ShowWizard(void* window, Command command,
                                                                 void* context) {
    if (!command || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    QWizard wizard(static_cast<QWidget*>(window));
    wizard.setWindowTitle(QObject::tr("Import and Export"));
    wizard.setOption(QWizard::NoBackButtonOnStartPage);

    auto* intro = new QWizardPage;
    intro->setTitle(QObject::tr("Import and export your internet shortcuts"));
    auto* introLayout = new QVBoxLayout(intro);
    auto* text = new QLabel(QObject::tr("This wizard takes you to the right tool for moving shortcuts "
                                        "between Lynkora, your browsers and web pages."));
    text->setWordWrap(true);
    introLayout->addWidget(text);
    wizard.addPage(intro);

    auto* choose = new QWizardPage;
    choose->setTitle(QObject::tr("What would you like to do?"));
    auto* chooseLayout = new QVBoxLayout(choose);
    auto* group = new QButtonGroup(choose);
    for (const Choice& c : kChoices) {
        auto* radio = new QRadioButton(QObject::tr(c.caption));
        radio->setToolTip(QObject::tr(c.explanation));
        group->addButton(radio, c.code);
        chooseLayout->addWidget(radio);
        auto* note = new QLabel(QObject::tr(c.explanation));
        note->setIndent(24);
        chooseLayout->addWidget(note);
    }
    group->button(kChoices[0].code)->setChecked(true);
    wizard.addPage(choose);

    if (wizard.exec() == QDialog::Accepted && group->checkedId() > 0)
        command(context, group->checkedId(), kSignature);
}
