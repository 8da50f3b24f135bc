#include "app/cli/json_line.h"

namespace nv::cli {

QString jsonString(const QString &s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\b': out += QStringLiteral("\\b"); break;
        case '\f': out += QStringLiteral("\\f"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

JsonLine &JsonLine::str(const char *key, const QString &value)
{
    m_fields.append(jsonString(QString::fromLatin1(key)) + QStringLiteral(": ") + jsonString(value));
    return *this;
}

JsonLine &JsonLine::num(const char *key, qint64 value)
{
    m_fields.append(jsonString(QString::fromLatin1(key)) + QStringLiteral(": ") + QString::number(value));
    return *this;
}

JsonLine &JsonLine::list(const char *key, const QStringList &values)
{
    QStringList items;
    for (const QString &v : values)
        items.append(jsonString(v));
    m_fields.append(jsonString(QString::fromLatin1(key)) + QStringLiteral(": [") + items.join(QStringLiteral(", ")) +
                    QLatin1Char(']'));
    return *this;
}

} // namespace nv::cli
