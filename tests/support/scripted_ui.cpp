#include "scripted_ui.h"

#include <QObject>
#include <gtest/gtest.h>

nv::MsgAnswer ScriptedUi::message(nv::MsgKind kind, const QString &text, nv::MsgButtons buttons)
{
    boxes.push_back(ShownBox{kind, text, buttons});
    if (buttons != nv::MsgButtons::YesNo)
        return nv::MsgAnswer::Ok;
    if (answers.empty()) {
        ADD_FAILURE() << "question without a queued answer: " << text.toStdString();
        return nv::MsgAnswer::No;
    }
    const nv::MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

int ScriptedUi::showModal(QObject *window)
{
    modalShown.push_back(window ? window->objectName() : QString());
    if (onModal)
        return onModal(window);
    if (modalResults.empty())
        return 0;
    const int r = modalResults.front();
    modalResults.pop_front();
    return r;
}

std::vector<QString> ScriptedUi::texts() const
{
    std::vector<QString> out;
    out.reserve(boxes.size());
    for (const ShownBox &b : boxes)
        out.push_back(b.text);
    return out;
}

void ScriptedUi::clear()
{
    boxes.clear();
    answers.clear();
    beeps.clear();
    restoreCalls = bringToFrontCalls = flashCalls = minimizeCalls = 0;
    modalShown.clear();
    modalResults.clear();
    helpContexts.clear();
}
