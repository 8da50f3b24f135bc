#pragma once
// What the reading side needs of the folder files beyond the main window's
// routines: appending one record to any folder, borrowing the main
// window's folder slot (LastFolder, Msgs, MsgTexts) for another folder, and
// text files created under a fresh name.
#include "store/msg_info_rec.h"
#include "store/naming.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace nv {

class Context;

// Makes another folder the current one for a while and gives the main
// window its own back afterwards: as it was (nothing it shows was
// written), or loaded again from disk.
class FolderSwap {
public:
    FolderSwap(Context &ctx, const QString &folder);
    ~FolderSwap();
    FolderSwap(const FolderSwap &) = delete;
    FolderSwap &operator=(const FolderSwap &) = delete;

    // Loads the remembered folder again instead of handing back the copy.
    void reloadOnRestore() { m_reload = true; }
    const QString &remembered() const { return m_lastFolder; }

private:
    Context &m_ctx;
    QString m_lastFolder;
    std::vector<TMsgInfoRec> m_msgs;
    QStringList m_texts;
    bool m_reload = false;
};

// A folder name (as TmpFolder holds it) that names one file in the mailbox
// directory and nothing else.
bool usableFolderName(const QString &name);

struct FolderAppend {
    enum Status {
        Written,
        Unreadable,  // the folder file exists but cannot be read as records
        WriteFailed, // the rewrite failed; the old file is unchanged
    };
    Status status = WriteFailed;
    QString path; // the folder file
};

// Appends rec (tag "2.8") to the folder file of folder ("Deleted" and
// "Outbox" spelled so stand for the user's own files) and rewrites it whole.
// A folder of an older layout is converted first, the way showing it would.
// Nothing is reported here: the callers name their own routine.
FolderAppend AppendToFolder(Context &ctx, const QString &folder, const TMsgInfoRec &rec);

// The path of the folder file AppendToFolder writes.
QString appendTargetPath(Context &ctx, const QString &folder);

using NewText = NewTextFile;

// Creates a text file under a fresh random name in dir, exclusively; a name
// taken meanwhile is drawn again.
NewText CreateTextFile(Context &ctx, const QString &dir, const QByteArray &body);

// Only message text files are deleted for a record: a damaged record that
// names an info file or a folder file must not take it with it.
bool isMsgTextFileName(const QString &name);

} // namespace nv
