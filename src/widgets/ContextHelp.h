#pragma once

class QWidget;

namespace lynkora {

// Gives a control its help context number.
void SetHelpContext(QWidget* control, int context);
// The number of the control or its nearest parent that has one; 0 when none has.
int HelpContextOf(const QWidget* control);
// F1 in the window shows the help for the focused control's number.
void InstallContextHelp(QWidget* window);

} // namespace lynkora
