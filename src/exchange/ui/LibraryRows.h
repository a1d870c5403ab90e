#pragma once

#include "exchange/LibraryList.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace lynkora {

// What the two library list windows share: the properties window for a new or an existing
// library, and the question before one is removed.
struct LibraryRows {
    // Shows a modal dialog; true for OK. Replaceable for tests.
    std::function<bool(QDialog&)> RunDialog;
    std::function<bool(const QString&)> AskYesNo;
    // Browser profiles to offer for a new library.
    std::function<std::vector<TLibrary>()> Proposals;
    // A warning owned by the window that shows it; the list stored.
    std::function<void(const QString&, QWidget* owner)> Warn;
    std::function<void(const std::vector<TLibrary>&)> SaveList;

    // "New library" (first type preselected) or "Library properties" of `current`.
    std::optional<TLibrary> Edit(QWidget* parent, const TLibrary* current) const;
    // true when the user agreed to remove the library.
    bool ConfirmRemove(const TLibrary& library) const;
};

// The buttons both list windows show: Add, Properties and Remove beside the list, the window's
// own command (the default button), Close and Help below it.
struct LibraryButtons {
    LibraryButtons(QWidget* parent, const QString& command);
    QPushButton *add, *properties, *remove, *command, *close, *help;
    QVBoxLayout* side;   // beside the list
    QHBoxLayout* bottom; // below it
};

} // namespace lynkora
