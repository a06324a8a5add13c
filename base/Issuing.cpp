#include "base/Issuing.h"

#include "base/Errors.h"

#include <QStringList>
#include <map>

namespace
{
std::map<Issuing::Stop, QString> &Stops()
{
    static std::map<Issuing::Stop, QString> stops;
    return stops;
}
} // namespace

void Issuing::SetStop(Stop which, const QString &reason)
{
    if (reason.isEmpty())
        Stops().erase(which);
    else
        Stops()[which] = reason;
}

bool Issuing::IsStopped(Stop which)
{
    return Stops().count(which) != 0;
}

QString Issuing::Stopped()
{
    QStringList reasons;
    for (const auto &stop : Stops())
        reasons << stop.second;
    return reasons.join(QLatin1Char('\n'));
}

void Issuing::Require()
{
    const QString reasons = Stopped();
    if (!reasons.isEmpty())
        throw UserError(reasons + QStringLiteral("\nНищо не е номерирано и отпечатано."));
}
