#include "mainwin/poll.h"

#include "mainwin/context.h"
#include "mainwin/main_texts.h"
#include "mainwin/presence.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "store/folders.h"
#include "store/naming.h"
#include "store/queue_reader.h"

namespace nv {

PollResult CheckForMsgs(Context &ctx, bool forced)
{
    PollResult r;
    const QString queue = ctx.queueDir();
    if (!ctx.files.isDir(queue)) {
        ctx.ui.plain(texts::NetworkLost);
        r.networkLost = true;
        return r;
    }
    StampActivityFile(ctx);

    const TUserSettings &s = ctx.settings;
    const QStringList names = isQueueableUser(s.UserName)
                                  ? ctx.files.find(queue, s.UserName + QStringLiteral(".m*"))
                                  : QStringList();
    if (!names.isEmpty()) {
        r.found = true;
        bool urgent = false;
        for (const QString &name : names)
            if (ReadQueueMsg(ctx, name) && ctx.CurrentQueueMsg.Urgent == 1)
                urgent = true;
        if (s.AutoPopUp || forced || urgent || !ctx.ui.isMinimized()) {
            ctx.ui.restoreApp();
            ctx.ui.bringToFront();
            if (!forced && s.BeepOnNew)
                ctx.ui.beep(s.BeepSound);
            r.show = true;
        } else {
            r.flash = true;
            if (s.BeepOnNew)
                ctx.ui.beep(s.BeepSound);
        }
    }
    if (forced) {
        // Read messages kept in the read-inbox are worth a look on demand too.
        const QString last = ctx.settings.LastFolder;
        ctx.settings.LastFolder = ctx.InboxBase;
        LoadFolderMsgs(ctx);
        if (!ctx.Msgs.empty())
            r.show = true;
        ctx.settings.LastFolder = last;
        LoadFolderMsgs(ctx);
    }
    return r;
}

} // namespace nv
