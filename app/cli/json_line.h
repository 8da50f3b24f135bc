#pragma once
// One JSON object per line, fields in the order they are added.
#include <QString>
#include <QStringList>

namespace nv::cli {

class JsonLine {
public:
    JsonLine &str(const char *key, const QString &value);
    JsonLine &num(const char *key, qint64 value);
    JsonLine &list(const char *key, const QStringList &values);
    QString text() const { return QLatin1Char('{') + m_fields.join(QStringLiteral(", ")) + QLatin1Char('}'); }

private:
    QStringList m_fields;
};

QString jsonString(const QString &s);

} // namespace nv::cli
