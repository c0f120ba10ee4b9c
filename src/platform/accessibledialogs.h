// SPDX-License-Identifier: MIT
#pragma once

class QDialog;

// What a screen reader is told of the program's dialogs. The modal runner
// blocks the other windows by hand rather than through Qt's modality, so Qt
// would call its windows not modal: here a dialog open in the runner says
// that it is, and a change of that is sent as it happens.
namespace AccessibleDialogs {

// Installs the accessible interface of dialogs (once).
void install();

// The dialog became modal, or stopped being.
void modalChanged(QDialog &dialog);

} // namespace AccessibleDialogs
