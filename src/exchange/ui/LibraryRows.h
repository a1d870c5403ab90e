#pragma once

#include "exchange/LibraryList.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QDialog;
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

    // "New library" (first type preselected) or "Library properties" of `current`.
    std::optional<TLibrary> Edit(QWidget* parent, const TLibrary* current) const;
    // true when the user agreed to remove the library.
    bool ConfirmRemove(const TLibrary& library) const;
};

} // namespace lynkora
