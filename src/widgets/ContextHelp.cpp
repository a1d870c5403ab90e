#include "widgets/ContextHelp.h"

#include "companions/HelpWindow.h"

#include <QApplication>
#include <QShortcut>
#include <QVariant>
#include <QWidget>

namespace lynkora {

namespace {
constexpr const char* kProperty = "helpContext";
}

void SetHelpContext(QWidget* control, int context) {
    control->setProperty(kProperty, context);
}

int HelpContextOf(const QWidget* control) {
    for (const QWidget* w = control; w; w = w->parentWidget())
        if (const int c = w->property(kProperty).toInt(); c != 0)
            return c;
    return 0;
}

void InstallContextHelp(QWidget* window) {
    auto* f1 = new QShortcut(QKeySequence::HelpContents, window);
    QObject::connect(f1, &QShortcut::activated, window, [window] {
        if (const int c = HelpContextOf(window->focusWidget()))
            ShowHelpContext(c);
    });
}

} // namespace lynkora
