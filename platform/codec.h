#pragma once
// Records and text files hold Windows-1252 bytes; memory holds QString.
#include <QByteArray>
#include <QString>

namespace nv {

QString fromAnsi(const char *data, qsizetype len);
inline QString fromAnsi(const QByteArray &bytes) { return fromAnsi(bytes.constData(), bytes.size()); }

// Characters the code page cannot hold become '?'.
QByteArray toAnsi(const QString &text);
char toAnsiChar(QChar c);

} // namespace nv
