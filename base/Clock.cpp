#include "base/Clock.h"

namespace
{
QDate &FixedDay()
{
    static QDate day;
    return day;
}
} // namespace

QDate Today()
{
    return FixedDay().isValid() ? FixedDay() : QDate::currentDate();
}

void FixToday(const QDate &day)
{
    FixedDay() = day;
}
