#pragma once
// The sending time of a message: stored year first so that stored values
// sort as text, shown month first.
#include <QDateTime>
#include <QString>

namespace nv {

// "yyyy/MM/dd hh:mm:ss", 24-hour clock, 19 characters.
QString SentAt(const QDateTime &t);

// Stored "yyyy/mm/dd hh:mm:ss" -> shown "mm/dd/yyyy hh:mm:ss", cut to 22.
QString ShowDateTime(const QString &stored);

// Shown "mm/dd/yyyy hh:mm:ss" -> stored "yyyy/mm/dd hh:mm:ss", cut to 22.
QString StoreDateTime(const QString &shown);

} // namespace nv
