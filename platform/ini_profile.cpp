#include "platform/ini_profile.h"

#include "platform/codec.h"
#include "platform/files.h"

#include <QStringConverter>

namespace nv {

namespace {

QString trimmed(QStringView s) { return s.trimmed().toString(); }

// Section header "[name]" on a line, or a null string.
QString sectionOf(QStringView line)
{
    const QStringView t = line.trimmed();
    if (t.size() >= 2 && t.front() == QLatin1Char('[') && t.back() == QLatin1Char(']'))
        return t.mid(1, t.size() - 2).trimmed().toString();
    return QString();
}

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The key of a "key=value" line, or a null string.
QString keyOf(QStringView line, qsizetype *eq)
{
    const qsizetype pos = line.indexOf(QLatin1Char('='));
    if (pos < 0)
        return QString();
    *eq = pos;
    return trimmed(line.left(pos));
}

} // namespace

QString IniProfile::load() const
{
    const auto bytes = m_files.readAll(m_path);
    if (!bytes)
        return QString();
    // Written as UTF-8 here; a file from an older workstation is in the ANSI code page.
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(*bytes);
    if (decoder.hasError())
        text = fromAnsi(*bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString IniProfile::readString(const QString &section, const QString &key, const QString &def) const
{
    const QString text = load();
    bool inSection = false;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString sec = sectionOf(line);
        if (!sec.isNull()) {
            inSection = sameName(sec, section);
            continue;
        }
        if (!inSection)
            continue;
        qsizetype eq = 0;
        const QString k = keyOf(line, &eq);
        if (!k.isNull() && sameName(k, key))
            return line.mid(eq + 1).trimmed().toString();
    }
    return def;
}

int IniProfile::readInt(const QString &section, const QString &key, int def) const
{
    const QString v = readString(section, key, QString());
    if (v.isNull())
        return def;
    // Leading digits count, like the platform's profile integer reader.
    qsizetype i = 0;
    bool neg = false;
    if (i < v.size() && (v[i] == QLatin1Char('-') || v[i] == QLatin1Char('+')))
        neg = v[i++] == QLatin1Char('-');
    qint64 n = 0;
    qsizetype digits = 0;
    while (i < v.size() && v[i].isDigit() && v[i].unicode() < 0x80) {
        n = n * 10 + (v[i].unicode() - '0');
        if (n > 0x7fffffff)
            n = 0x7fffffff;
        ++i;
        ++digits;
    }
    if (digits == 0)
        return v.trimmed().isEmpty() ? def : 0;
    return static_cast<int>(neg ? -n : n);
}

bool IniProfile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInt(section, key, def ? 1 : 0) != 0;
}

bool IniProfile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString text = load();
    QStringList lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    for (QString &l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    qsizetype sectionLine = -1, lastInSection = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString sec = sectionOf(lines[i]);
        if (!sec.isNull()) {
            inSection = sameName(sec, section);
            if (inSection && sectionLine < 0) {
                sectionLine = i;
                lastInSection = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            lastInSection = i;
        qsizetype eq = 0;
        const QString k = keyOf(lines[i], &eq);
        if (!k.isNull() && sameName(k, key)) {
            lines[i] = k + QLatin1Char('=') + value;
            goto write;
        }
    }
    if (sectionLine < 0) {
        if (!lines.isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(key + QLatin1Char('=') + value);
    } else {
        lines.insert(lastInSection + 1, key + QLatin1Char('=') + value);
    }
write:
    QString out = lines.join(QStringLiteral("\r\n"));
    out += QStringLiteral("\r\n");
    return m_files.writeWhole(m_path, out.toUtf8());
}

bool IniProfile::writeInt(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniProfile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace nv
