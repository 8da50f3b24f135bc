#pragma once
// Small text and file helpers shared by the subsystems. They hold no state.
#include <QString>

namespace nv {

class Ui;
class Files;

// Moves source to dest without ever replacing a file: copies (refused when
// dest exists), then deletes the source. Creates dest's missing directories.
// Reports a missing source or a dest without a directory part in a plain box;
// a failed copy returns false silently (the caller reports it).
bool MoveAFile(Ui &ui, Files &files, const QString &source, const QString &dest);

// The file name without directory and without its last extension, from the
// first 80 characters of the name; "" when the name holds no full stop.
QString FileBaseName(const QString &path);

// "YYYY/MM/DD" -> "MM/DD/YYYY" and back. No checking: positions beyond the
// end of the text contribute nothing.
QString DateYmdToMdy(const QString &s);
QString DateMdyToYmd(const QString &s);

// The text up to its first NUL character.
QString CutAtNul(const QString &s);

// Drops leading and trailing space characters (spaces only, not tabs).
QString TrimSpaces(const QString &s);

// A TextFileName read from a record, as a bare file name: cut at NUL, the
// part after the last '\' or '/'. "" when that names no file ("", ".", "..").
// Names written by peers are never used as paths.
QString bareFileName(const QString &stored);

} // namespace nv
