#pragma once

#include "store/DateText.h"

#include <QLocale>

namespace lynkora {

// The date texts of a Qt locale (the user's, unless another is given).
class QtDateLocale : public DateLocale {
public:
    explicit QtDateLocale(QLocale locale = QLocale::system()) : m_locale(std::move(locale)) {}
    std::string LongDate(int year, int month, int day) const override;
    std::string MonthAbbreviation(int month) const override;
    int LongDateOrder() const override;

private:
    QLocale m_locale;
};

} // namespace lynkora
