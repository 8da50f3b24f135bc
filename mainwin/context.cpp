#include "mainwin/context.h"

#include "platform/files.h"

namespace nv {

QString Context::queueDir() const { return Files::join(ServerDir, QStringLiteral("queue")); }
QString Context::activityDir() const { return Files::join(ServerDir, QStringLiteral("activity")); }
QString Context::mailboxDir() const { return Files::join(LocalDir, QStringLiteral("mailbox")); }
QString Context::serverFile(const QString &name) const { return Files::join(ServerDir, name); }

} // namespace nv
