// SPDX-License-Identifier: MIT
#pragma once

class QDialog;

// Shows a window modally and returns when it is hidden. The real one runs
// the window's own event loop; tests replace it to act while it is open.
class ModalRunner
{
public:
    virtual ~ModalRunner() = default;
    virtual void exec(QDialog &dialog) = 0;
};
