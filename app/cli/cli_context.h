#pragma once
// The workstation a command runs as: messages go to stderr, questions are
// answered No.
#include "mainwin/context.h"
#include "platform/clock.h"
#include "platform/console_ui.h"
#include "platform/files.h"

#include <cstdio>

namespace nv::cli {

struct CliContext {
    explicit CliContext(FILE *err) : ui(err) {}

    ConsoleUi ui;
    Files files;
    SystemClock clock;
    SeededRandom random;
    Context ctx{Platform{ui, files, clock, random}};

    // Sets a directory option as the client holds it: no trailing separator.
    static QString directory(const QString &dir);
    int exitCode() const;
};

void printLine(FILE *f, const QString &line);

} // namespace nv::cli
