#pragma once
// An INI profile read and written one key at a time, like the platform
// profile functions the older clients used: no caching, every write goes to
// disk at once, sections and keys match ignoring case, values are verbatim.
#include <QString>

namespace nv {

class Files;

class IniProfile {
public:
    IniProfile(Files &files, QString path) : m_files(files), m_path(std::move(path)) {}

    const QString &path() const { return m_path; }

    QString readString(const QString &section, const QString &key, const QString &def = QString()) const;
    int readInt(const QString &section, const QString &key, int def) const;
    bool readBool(const QString &section, const QString &key, bool def) const;

    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInt(const QString &section, const QString &key, int value);
    bool writeBool(const QString &section, const QString &key, bool value);

private:
    QString load() const;
    Files &m_files;
    QString m_path;
};

} // namespace nv
