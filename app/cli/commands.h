#pragma once
// One function per command, each in a file of its own.
#include "app/cli/cli.h"

namespace nv::cli {

CommandSpec sendCommand();
CommandSpec queueCommand();
CommandSpec folderCommand();
CommandSpec usersCommand();
CommandSpec groupsCommand();
CommandSpec whoCommand();

} // namespace nv::cli
