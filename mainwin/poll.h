#pragma once
// The queue poll: looks for messages waiting for the signed-in user, renews
// the presence stamp, and tells the window what to do about them.
namespace nv {

class Context;

struct PollResult {
    bool networkLost = false; // the queue directory is gone: the program ends
    bool found = false;       // at least one queue file for the user
    bool show = false;        // open the Message Inbox
    bool flash = false;       // minimized and no pop-up wanted: flash instead
};

// The poll of the timer (forced false) and of the "&Inbox" command (forced
// true). It never deletes or moves queue files.
PollResult CheckForMsgs(Context &ctx, bool forced);

} // namespace nv
