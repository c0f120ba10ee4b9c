// SPDX-License-Identifier: MIT
#pragma once

class QDialog;

// Shows a window modally and returns when it is hidden. The real one runs
// a nested event loop; tests replace it to act while the window is open.
class ModalRunner
{
public:
    virtual ~ModalRunner() = default;
    virtual void exec(QDialog &dialog) = 0;
    // The innermost modal window open now (a picker over the editor, a
    // message box over either), or none.
    virtual QDialog *active() const = 0;
};
