// SPDX-License-Identifier: MIT
#pragma once

#include "platform/modalrunner.h"

class QWidget;

// The real modal windows. Qt's own modality would block input to every
// other window of the program, the tray icon included, so that its menu
// could not be opened while a box or the editor is open. Instead the window
// runs a nested event loop of its own, and while it is open the program's
// other dialogs (the alert windows, the editor under a picker) take no
// input: a click on one brings the modal window to the front. The tray
// icon, menus and pop-ups keep working.
//
// A modal window opens in front of the window it comes from: it is made
// transient for that window (the innermost modal window, else the active
// one, else an alert window kept on top), and keeps on top with it.
class QtModalRunner : public ModalRunner
{
public:
    // Dialogs tell a screen reader that they are modal (AccessibleDialogs)
    // from the start.
    QtModalRunner();
    void exec(QDialog &dialog) override;
    QDialog *active() const override;

    // Whether the dialog is open in a runner's loop now.
    static bool isOpen(const QDialog &dialog);

    // The window a new modal window comes from, as exec chooses it.
    static QWidget *opener(const QDialog &dialog);
};
