#include "QtNameCollator.h"

#include "StoredText.h"

#include <memory>

namespace lynkora {

QtNameCollator::QtNameCollator() {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
}

int QtNameCollator::compare(std::string_view a, std::string_view b) const {
    // Case folded first: some locales' collations (the C locale's) still order by case.
    const QString x = DecodeStoredText(a).toCaseFolded();
    const QString y = DecodeStoredText(b).toCaseFolded();
    const int r = m_collator.compare(x, y);
    if (r != 0)
        return r < 0 ? -1 : 1;
    // Texts the locale ranks equal but that differ other than by case stay distinct.
    const int exact = x.compare(y, Qt::CaseInsensitive);
    return exact == 0 ? 0 : (exact < 0 ? -1 : 1);
}

void InstallLocaleNameCollator() { SetNameCollator(std::make_shared<QtNameCollator>()); }

} // namespace lynkora
