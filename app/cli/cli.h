#pragma once
// norvane-cli: send a message into the shared queue and inspect the shared
// files from scripts. It never asks: where the desktop client would ask, the
// answer is No and the question is reported.
#include <QMap>
#include <QStringList>

#include <cstdio>

namespace nv::cli {

enum ExitCode { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

// Parsed "--name value" and "--flag" options of one command.
struct Options {
    QMap<QString, QString> values;
    QStringList flags;
    bool has(const QString &name) const { return values.contains(name) || flags.contains(name); }
    QString value(const QString &name) const { return values.value(name); }
};

// What a command accepts.
struct CommandSpec {
    QString name;
    QStringList valueOptions;    // "--server" ...
    QStringList flagOptions;     // "--urgent" ...
    QStringList requiredOptions; // subset of valueOptions
    int (*run)(const Options &opts, FILE *out, FILE *err);
};

const QList<CommandSpec> &commands();

QString usageText();
int run(const QStringList &args, FILE *out, FILE *err);

// Prints "norvane-cli: <reason>" and the usage; returns ExitUsage.
int usageError(FILE *err, const QString &reason);

} // namespace nv::cli
