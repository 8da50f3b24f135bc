#include "store/helpers.h"

#include "platform/files.h"
#include "platform/ui.h"

#include <algorithm>

namespace nv {

namespace {

const QString kMoveNoSource1 = QStringLiteral("Error in MoveAFile(): file '");
const QString kMoveNoSource2 = QStringLiteral("' does not exist.");
const QString kMoveBadDest1 = QStringLiteral("Error in MoveAFile(): invalid TO file encountered: '");
const QString kMoveBadDest2 = QStringLiteral("'.");

// Both separators count: stored paths come from Windows clients.
qsizetype lastSeparator(const QString &s)
{
    return std::max(s.lastIndexOf(QLatin1Char('\\')), s.lastIndexOf(QLatin1Char('/')));
}

} // namespace

bool MoveAFile(Ui &ui, Files &files, const QString &source, const QString &dest)
{
    if (!files.exists(source)) {
        ui.plain(kMoveNoSource1 + source + kMoveNoSource2);
        return false;
    }
    const qsizetype sep = lastSeparator(dest);
    if (sep < 0) {
        ui.plain(kMoveBadDest1 + dest + kMoveBadDest2);
        return false;
    }
    const QString dir = dest.left(sep);
    // An empty directory part is the root, which always exists.
    if (!dir.isEmpty() && !files.isDir(dir))
        files.mkpath(dir); // a failure shows as a failed copy
    if (!files.copyNoOverwrite(source, dest))
        return false;
    files.remove(source); // a copy left behind is harmless; not reported
    return true;
}

QString FileBaseName(const QString &path)
{
    const qsizetype sep = std::max({path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')),
                                    path.lastIndexOf(QLatin1Char(':'))});
    const QString name = CutAtNul(path.mid(sep + 1).left(80));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.left(dot);
}

QString DateYmdToMdy(const QString &s)
{
    return s.mid(5, 2) + QLatin1Char('/') + s.mid(8, 2) + QLatin1Char('/') + s.mid(0, 4);
}

QString DateMdyToYmd(const QString &s)
{
    return s.mid(6, 4) + QLatin1Char('/') + s.mid(0, 2) + QLatin1Char('/') + s.mid(3, 2);
}

QString CutAtNul(const QString &s)
{
    const qsizetype nul = s.indexOf(QChar(u'\0'));
    return nul < 0 ? s : s.left(nul);
}

QString TrimSpaces(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

QString bareFileName(const QString &stored)
{
    const QString cut = CutAtNul(stored);
    const QString name = cut.mid(lastSeparator(cut) + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    return name;
}

} // namespace nv
