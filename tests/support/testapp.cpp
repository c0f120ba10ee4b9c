#include "support/testapp.h"

void FakeModalRunner::exec(QDialog &dialog)
{
    shown.append(&dialog);
    QPointer<QDialog> guard(&dialog);
    dialog.show();
    if (whileOpen)
        whileOpen(dialog);
    if (guard && guard->isVisible())
        guard->hide();
}
