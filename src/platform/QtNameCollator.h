#pragma once

#include "store/NameCollator.h"

#include <QCollator>

namespace lynkora {

// Locale-aware, case-insensitive comparison of names (stored text is UTF-8, or Windows-1252
// where it is not valid UTF-8).
class QtNameCollator : public NameCollator {
public:
    QtNameCollator();
    int compare(std::string_view a, std::string_view b) const override;

private:
    QCollator m_collator;
};

// Installs QtNameCollator for the store's name comparisons.
void InstallLocaleNameCollator();

} // namespace lynkora
