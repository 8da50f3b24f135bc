#pragma once
// How the directory code finds its files in the network directory.
#include <QByteArray>
#include <QString>

namespace nv {

class Context;
class Files;
struct FileError;

// The file name in the network directory, as found there: the exact name
// when it exists, else an entry that matches it ignoring ASCII letter case
// (the file servers match names so, and older clients may have written
// another case), else the exact name. Empty when the network directory is
// not set.
QString serverFilePath(const Context &ctx, const QString &fileName);

// A name from a file or a record may become part of a file name only when it
// holds no directory separator (and is not empty): it never names a file
// outside the network directory.
bool nameIsSafeForFile(const QString &name);

// readAll opens and reads in one call: these errors come from reading a file
// that did open (a record that cannot be read), the others from opening it.
bool isReadFailure(const FileError &err);

// Rewrites a file whole through Files::writeWhole, always with an error
// record: writeWhole only keeps the old file on a full disk when it can tell.
bool rewriteWhole(Files &files, const QString &path, const QByteArray &data);

// Renames without replacing an existing file, as the older clients' rename
// does: the older copy of a file is never lost.
bool renameNoReplace(Files &files, const QString &from, const QString &to);

} // namespace nv
