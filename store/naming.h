#pragma once
// Names of the files of the message store: random message text file names
// and the numbered message info files that queue a message for one user.
#include "platform/files.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace nv {

class Random;
struct TMsgInfoRec;

// Queue info files per user: user + ".m" + "01".."99".
constexpr int kMaxQueueFiles = 99;

// A fresh message text file name: a uniform draw below 100,000,000 in
// decimal + ".tms" (at most 12 characters). Drawn again while a file of that
// name exists in dir; after many clashes in a row the last draw is returned
// (callers create the file exclusively, so nothing is ever replaced).
QString NewMsgFileName(Random &random, Files &files, const QString &dir);

// user + ".m" + NN: the name of queue info file number n (1..99).
QString queueInfoName(const QString &user, int n);

// Whether a user name can stand in a queue file name: not empty (after the
// cut at NUL) and no path separator.
bool isQueueableUser(const QString &user);

// Full path of the first queue info file of user (cut at NUL) that does not
// exist yet, numbers 01..99 in order; "" when all 99 exist or the name cannot
// form a file name.
QString QueueFileName(Files &files, const QString &queueDir, const QString &user);

struct QueuePublish {
    enum Status { Published, QueueFull, Failed } status = Failed;
    QString path;    // the info file written (Published), or the one that failed
    FileError error; // Failed only
};

// Encodes rec and publishes it exclusively under the user's first free
// number; a name taken meanwhile by another sender moves on to the next.
// Never replaces a waiting message: all 99 taken gives QueueFull.
QueuePublish WriteQueueInfoFile(Files &files, const QString &queueDir, const QString &user, const TMsgInfoRec &rec);

// WriteQueueInfoFile in two steps, so that the info files of many recipients
// share one sync: PrepareQueueInfoFile writes the record under a temporary
// name no search pattern matches; once that file is durable,
// PublishQueueInfoFile links it to the user's first free number.
struct PreparedInfoFile {
    QString user;     // cut at NUL
    int number = 1;   // the first free number when the record was written
    QString tempPath; // the record, whole
    QByteArray bytes;
};

// Published: the record waits under prepared->tempPath (not yet under its
// final name). QueueFull and Failed as WriteQueueInfoFile, with nothing
// left behind. With Sync::Deferred the caller syncs the temporary file.
QueuePublish PrepareQueueInfoFile(Files &files, const QString &queueDir, const QString &user, const TMsgInfoRec &rec,
                                  Sync sync, PreparedInfoFile *prepared);

// Links a prepared record under the user's first free number, counting from
// the one found when it was written, as WriteQueueInfoFile does; removes the
// temporary file whatever the outcome.
QueuePublish PublishQueueInfoFile(Files &files, const QString &queueDir, const PreparedInfoFile &prepared);

// A message text file's bytes: every line ended by CR LF, Windows-1252.
QByteArray textFileBytes(const QStringList &lines);

// Creates a message text file with body under a fresh name in dir, created
// exclusively and drawn again on a clash. Returns the file name (without
// directory), or nothing with err set.
// A message text file created by CreateNewTextFile.
struct NewTextFile {
    bool ok = false;
    QString name;    // file name without directory
    QString path;    // the file written, or the last one tried (for messages)
    FileError error; // when not ok
};

// Creates a message text file under a fresh name in dir, exclusively, so
// that no file of another sender is ever replaced; a name taken meanwhile
// is drawn again. With Sync::Deferred the caller makes it durable together
// with the file that names it.
NewTextFile CreateNewTextFile(Random &random, Files &files, const QString &dir, const QByteArray &body,
                              Sync sync = Sync::Now);

std::optional<QString> WriteNewTextFile(Random &random, Files &files, const QString &dir, const QByteArray &body,
                                        FileError *err = nullptr);

} // namespace nv
