#include "platform/console_ui.h"

namespace nv {

MsgAnswer ConsoleUi::message(MsgKind kind, const QString &text, MsgButtons buttons)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.remove(QLatin1Char('\r'));
    std::fputs(line.toUtf8().constData(), m_err);
    std::fputc('\n', m_err);
    Q_UNUSED(kind);
    ++m_failures; // every box the client would show is something the caller must hear of
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

} // namespace nv
