#pragma once
// One workstation for a test: a context with a scripted Ui, failure-injecting
// files, a fixed clock and a seeded generator. Two of them on one network
// directory are two copies of the program.
#include "mainwin/context.h"
#include "platform/clock.h"
#include "support/faulty_files.h"
#include "support/scripted_ui.h"

#include <QDateTime>

struct Workstation {
    explicit Workstation(const QString &serverDir = QString(), const QString &localDir = QString(),
                         const QString &user = QString())
    {
        if (!serverDir.isEmpty())
            ctx.ServerDir = serverDir;
        if (!localDir.isEmpty())
            ctx.LocalDir = localDir;
        ctx.settings.UserName = user;
    }

    ScriptedUi ui;
    FaultyFiles files;
    nv::FixedClock clock{QDateTime(QDate(2008, 2, 24), QTime(9, 5, 0))};
    nv::SeededRandom random{12345};
    nv::Context ctx{nv::Platform{ui, files, clock, random}};
};
