#pragma once

#include "scheduler/appcontext.h"
#include "support/fakeclock.h"
#include "support/recordingservices.h"

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>

// Shows a "modal" window without a nested loop: it is shown, the hook acts
// on it as the user would, and the call returns. A window the hook left
// open is hidden, as if its own loop had ended.
class FakeModalRunner : public ModalRunner
{
public:
    void exec(QDialog &dialog) override;

    QList<QPointer<QDialog>> shown;
    std::function<void(QDialog &dialog)> whileOpen;
};

// A program with a fake clock and recording services, for window tests.
struct TestApp
{
    FakeClock clock;
    RecordingMessageBoxes boxes;
    RecordingSound sound;
    FakeModalRunner modal;
    RecordingProblems problems;
    AppContext context{Services{clock, boxes, sound, modal, problems}};
};
