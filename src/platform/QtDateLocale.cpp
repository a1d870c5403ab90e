#include "QtDateLocale.h"

#include <QDate>

namespace lynkora {

std::string QtDateLocale::LongDate(int year, int month, int day) const {
    return m_locale.toString(QDate(year, month, day), QLocale::LongFormat).toStdString();
}

std::string QtDateLocale::MonthAbbreviation(int month) const {
    return m_locale.monthName(month, QLocale::ShortFormat).toStdString();
}

int QtDateLocale::LongDateOrder() const {
    // Whichever of day, month and year comes first in the locale's long date pattern; quoted
    // literal text is skipped.
    // Runs of three or more "d" are the weekday's name, not the day.
    const QString pattern = m_locale.dateFormat(QLocale::LongFormat);
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        i += run;
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c == u'd' && run <= 2)
            return 1;
        if (c == u'M')
            return 0;
        if (c == u'y')
            return 2;
    }
    return 0;
}

} // namespace lynkora
