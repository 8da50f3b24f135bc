#pragma once
// What the message store fuzzers share: a silent Ui, a fresh local working
// directory per run with its mailbox, and checks of the layouts' promises.
#include "mainwin/context.h"
#include "mainwin/settings.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "store/helpers.h"
#include "store/msg_info_rec.h"
#include "store/short_string.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace nvstorefuzz {

class SilentUi final : public nv::Ui {
public:
    nv::MsgAnswer message(nv::MsgKind, const QString &, nv::MsgButtons buttons) override
    {
        ++shown;
        return buttons == nv::MsgButtons::YesNo ? nv::MsgAnswer::Yes : nv::MsgAnswer::Ok;
    }
    void beep(int) override {}
    void restoreApp() override {}
    void bringToFront() override {}
    void flash() override {}
    bool isMinimized() const override { return false; }
    void minimizeApp() override {}
    int showModal(QObject *) override { return 0; }
    void help(int) override {}
    int shown = 0;
};

// A directory made once and emptied before every run; in memory where the
// system has a tmpfs, so that the syncs of every write cost nothing.
inline QString freshDir()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/nvstorefuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/nvstorefuzz-XXXXXX"));
    QDir(dir.path()).removeRecursively();
    QDir().mkpath(dir.path());
    return dir.path();
}

// A workstation whose user BOB has a mailbox and a queue directory.
struct Station {
    Station()
    {
        const QString root = freshDir();
        ctx.LocalDir = root + QStringLiteral("/local");
        ctx.ServerDir = root + QStringLiteral("/net");
        QDir().mkpath(ctx.mailboxDir());
        QDir().mkpath(ctx.queueDir());
        ctx.settings.UserName = QStringLiteral("BOB");
        nv::ComputeFolderBases(ctx);
    }
    SilentUi ui;
    nv::Files files;
    nv::FixedClock clock{QDateTime(QDate(2008, 2, 24), QTime(9, 5, 0))};
    nv::SeededRandom random{1};
    nv::Context ctx{nv::Platform{ui, files, clock, random}};
};

// A broken promise of the code under test.
#define NV_STORE_FUZZ_CHECK(cond)                                                                                      \
    do {                                                                                                               \
        if (!(cond))                                                                                                   \
            std::abort();                                                                                              \
    } while (0)

// Every record handed out: a bare text file name, and a record that a write
// and a read give back unchanged.
inline void checkRecord(const nv::TMsgInfoRec &r)
{
    NV_STORE_FUZZ_CHECK(r.TextFileName.isEmpty() || nv::bareFileName(r.TextFileName) == r.TextFileName);
    const nv::TMsgInfoRec fitted = nv::fittedMsgInfoRec(r);
    NV_STORE_FUZZ_CHECK(nv::decodeMsgInfoRec(nv::encodeMsgInfoRec(r).constData()) == fitted);
}

// A folder file in the current layout: whole records, every one tagged "2.8".
inline bool isCurrentFolder(const QByteArray &bytes)
{
    if (bytes.size() % nv::kMsgInfoRecSize != 0)
        return false;
    for (qsizetype off = 0; off < bytes.size(); off += nv::kMsgInfoRecSize) {
        if (nv::readShortStringBytes(bytes.constData(), bytes.size(), off, 11) != "2.8")
            return false;
    }
    return true;
}

} // namespace nvstorefuzz
