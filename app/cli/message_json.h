#pragma once
// A message as the read commands print it.
#include "app/cli/json_line.h"

namespace nv {
struct FolderEntry;
class Files;
}

namespace nv::cli {

// The fields shared by "queue" and "folder"; text is the whole text of the
// record's text file in textDir (line ends kept), the inline text of a
// record that kept its text inside, or "".
void addMessageFields(JsonLine &line, const FolderEntry &entry, Files &files, const QString &textDir);

} // namespace nv::cli
