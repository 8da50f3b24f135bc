#pragma once
// Runs real processes for tests (the built norvane-cli, a shell loop), with
// standard input, output and error taken from and given to files, so that
// many can run at once and one can be killed at any moment.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

struct ProcessExit {
    bool exited = false; // false: ended by a signal
    int code = -1;       // exit status when exited
    int signal = 0;      // the signal otherwise
};

// Starts program with args; stdin reads stdinPath ("" for /dev/null),
// stdout and stderr go to the given files ("" for /dev/null). -1 on failure.
pid_t spawnProcess(const QString &program, const QStringList &args, const QString &stdinPath = QString(),
                   const QString &stdoutPath = QString(), const QString &stderrPath = QString());
ProcessExit waitProcess(pid_t pid);

struct ProcessRun {
    ProcessExit exit;
    QByteArray out, err;
};

// Runs program to its end with input on its standard input.
ProcessRun runProcess(const QString &program, const QStringList &args, const QByteArray &input = QByteArray());
