#include "app/cli/message_json.h"

#include "platform/codec.h"
#include "platform/files.h"
#include "store/folders.h"
#include "store/helpers.h"

namespace nv::cli {

void addMessageFields(JsonLine &line, const FolderEntry &e, Files &files, const QString &textDir)
{
    const TMsgInfoRec &r = e.rec;
    const QString textFile = bareFileName(r.TextFileName);
    QString text = e.inlineText;
    if (text.isEmpty() && !textFile.isEmpty()) {
        if (const auto bytes = files.readAll(Files::join(textDir, textFile)))
            text = fromAnsi(*bytes);
    }
    line.str("version", e.versionTag)
        .str("from", r.FromUser)
        .str("to", r.ToUser)
        .str("sentAt", r.SentAt)
        .num("urgent", r.Urgent)
        .num("receipt", r.Receipt)
        .str("textFile", textFile)
        .str("toNames", r.ToNames)
        .str("ccNames", r.CcNames)
        .str("bccNames", r.BccNames)
        .str("text", text);
}

} // namespace nv::cli
