#include "store/sent_at.h"

#include "store/helpers.h"

namespace nv {

namespace {
constexpr int kSentAtWidth = 22;
} // namespace

QString SentAt(const QDateTime &t)
{
    // Fixed separators and ASCII digits, whatever the locale: the stored
    // form must sort as text on every workstation.
    if (!t.isValid())
        return QString();
    const QDate d = t.date();
    const QTime tm = t.time();
    return QStringLiteral("%1/%2/%3 %4:%5:%6")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(tm.hour(), 2, 10, QLatin1Char('0'))
        .arg(tm.minute(), 2, 10, QLatin1Char('0'))
        .arg(tm.second(), 2, 10, QLatin1Char('0'));
}

// An empty date stays empty (records converted from the oldest layouts may
// carry none); rearranging it would show a bare "//".
QString ShowDateTime(const QString &stored)
{
    if (stored.isEmpty())
        return QString();
    return (DateYmdToMdy(stored) + stored.mid(10)).left(kSentAtWidth);
}

QString StoreDateTime(const QString &shown)
{
    if (shown.isEmpty())
        return QString();
    return (DateMdyToYmd(shown) + shown.mid(10)).left(kSentAtWidth);
}

} // namespace nv
