#pragma once
// Dispatch: one composed message becomes files. For every recipient user a
// message text file and then a message info file go into the queue
// directory; the sender's Outbox folder gets one record for the whole
// message with a text file of its own. There is no transaction: a failure
// reported for one recipient does not undo the others.
//
// The queue copies of one call share one sync: every text file and info
// file is written first (the info files under temporary names), then all
// are synced at once, then each info file takes its final name. A failure
// box waits until then, in the recipients' order.
//
// Three windows drive it (the multiple-recipient window, the create-message
// window and the telephone-message window); they differ only in what
// DispatchCaller holds.
#include "compose/compose_texts.h"

#include <QString>
#include <QStringList>

namespace nv {

class Context;

struct DispatchCaller {
    enum class Order {
        AddresseesFirst, // every addressee, then the Outbox copy
        OutboxFirst,     // the Outbox copy; the addressees only when it was written
    };
    Order order = Order::AddresseesFirst;
    int outboxCapacity = 0;  // records; 0 for no limit
    bool reloadGroups = false; // LoadGroups again just before a name is matched
    QString sendRoutine;     // named in the queue messages
    QString outboxRoutine;   // named in the Outbox messages
    QString outboxUnreadable; // the whole message
    QString outboxFull;       // the question; only asked with a capacity
    QString outboxNotWritten; // after No to that question
};

inline const DispatchCaller kMultiRecipientCaller{
    DispatchCaller::Order::AddresseesFirst, 0,     false,
    compose_texts::MultiSendRoutine,        compose_texts::MultiOutboxRoutine,
    compose_texts::MultiOutboxUnreadable,   QString(), QString()};

inline const DispatchCaller kCreateMsgCaller{
    DispatchCaller::Order::OutboxFirst,   100, false,
    compose_texts::CreateSendRoutine,     compose_texts::CreateOutboxRoutine,
    compose_texts::FormOutboxUnreadable,  compose_texts::CreateOutboxFull,
    compose_texts::CreateOutboxNotWritten};

inline const DispatchCaller kPhoneMsgCaller{
    DispatchCaller::Order::OutboxFirst,   100, true,
    compose_texts::PhoneSendRoutine,      compose_texts::PhoneOutboxRoutine,
    compose_texts::FormOutboxUnreadable,  compose_texts::PhoneOutboxFull,
    compose_texts::PhoneOutboxNotWritten};

// Yes and No are the routines' answers. Stopped: a message text file could
// not be created, which ends the whole send action (what was written
// before stays).
enum class DispatchResult { Yes, No, Stopped };

// Queues the message for one addressee: a user, or "(g)" + a group name,
// which goes to every member of the group (none when its member file is
// gone). A "(g)" name that matches no group is queued as a user of that
// name. No, after a plain box, when name is empty. Every recipient whose
// info file could not be written (its queue full, a name that cannot name
// a file, a write failure) is reported in an error box, keeps no text file
// in the queue, and the next recipient is served. Nothing waiting in a queue
// is ever replaced.
DispatchResult SendMsgToUser(Context &ctx, const DispatchCaller &caller, const QString &name, const QString &ToNames,
                             const QString &CcNames, const QString &BccNames, bool urgent, bool receipt,
                             const QStringList &body);

// Appends the sender's copy to the Outbox (no receipt, no ToUser) and
// rewrites the Outbox file whole. Yes when UseOutBox is off (nothing is
// touched) and after the write, also a failed one (reported). No when the
// Outbox exists but cannot be read, or is full (the caller's capacity): the
// user is asked to empty it and sends again. An Outbox that cannot be read
// as records is replaced by the new record alone, as the message says; its
// old bytes are kept beside it first (OutboxBase + ".bad1", ".bad2" ...),
// and without that copy the Outbox is left as it is.
DispatchResult WriteToOutbox(Context &ctx, const DispatchCaller &caller, const QString &ToNames,
                             const QString &CcNames, const QString &BccNames, bool urgent,
                             const QStringList &body);

// An address list as stored: every name followed by ";", cut to 255.
QString addressListText(const QStringList &names);

// A whole send action in the caller's order. With AddresseesFirst: every To,
// then every Cc, then every Bcc name through SendMsgToUser, then
// WriteToOutbox. With OutboxFirst: WriteToOutbox, then the addressees only
// when it said yes. Ends at the first No or Stopped. The list texts are
// built from the three lists (addressListText). Yes when every step said yes.
DispatchResult SendMessage(Context &ctx, const DispatchCaller &caller, const QStringList &toList,
                           const QStringList &ccList, const QStringList &bccList, bool urgent, bool receipt,
                           const QStringList &body);

} // namespace nv
