#pragma once
// A Ui for tests: records every box and every attention call, answers
// questions from a queue, and fails the test on a question nobody expected.
#include "platform/ui.h"
#include "support/qt_print.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

struct ShownBox {
    nv::MsgKind kind;
    QString text;
    nv::MsgButtons buttons;
};

class ScriptedUi : public nv::Ui {
public:
    // Answers for Yes/No boxes, used in order. OK boxes answer Ok and leave
    // the queue alone.
    void queueAnswer(nv::MsgAnswer a) { answers.push_back(a); }
    // Results of showModal, used in order (0 when none is queued).
    void queueModalResult(int r) { modalResults.push_back(r); }
    // Runs while a window is shown modally (after it is recorded), so a test
    // can press the shown window's buttons; its return value is the result.
    // Takes the place of the queued results while set.
    std::function<int(QObject *)> onModal;

    nv::MsgAnswer message(nv::MsgKind kind, const QString &text, nv::MsgButtons buttons) override;
    void beep(int soundId) override { beeps.push_back(soundId); }
    void restoreApp() override { ++restoreCalls; }
    void bringToFront() override { ++bringToFrontCalls; }
    void flash() override { ++flashCalls; }
    bool isMinimized() const override { return minimized; }
    void minimizeApp() override { ++minimizeCalls; }
    int showModal(QObject *window) override;
    void help(int context) override { helpContexts.push_back(context); }

    // The texts of all boxes shown, in order.
    std::vector<QString> texts() const;
    void clear();

    std::vector<ShownBox> boxes;
    std::deque<nv::MsgAnswer> answers;
    std::vector<int> beeps;
    int restoreCalls = 0;
    int bringToFrontCalls = 0;
    int flashCalls = 0;
    int minimizeCalls = 0;
    bool minimized = false;
    std::vector<QString> modalShown; // objectName of each window shown
    std::deque<int> modalResults;
    std::vector<int> helpContexts;
};
