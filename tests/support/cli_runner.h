#pragma once
// Runs norvane-cli in process and captures what it prints.
#include "app/cli/cli.h"

#include <string>

struct CliRun {
    int rc = -1;
    std::string out, err;
};

CliRun runCli(const QStringList &args);
