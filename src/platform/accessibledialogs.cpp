// SPDX-License-Identifier: MIT
#include "platform/accessibledialogs.h"

#include "platform/qtmodalrunner.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialog>
#include <QMessageBox>

namespace {

// A dialog as Qt describes it, modal while the runner has it open.
class AccessibleDialog : public QAccessibleWidget
{
public:
    AccessibleDialog(QDialog *dialog, QAccessible::Role role) : QAccessibleWidget(dialog, role) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (QtModalRunner::isOpen(*static_cast<QDialog *>(widget())))
            state.modal = true;
        return state;
    }

    QString text(QAccessible::Text t) const override
    {
        // A message box is read by its text, as Qt reads it.
        if (t == QAccessible::Description) {
            if (const auto *box = qobject_cast<const QMessageBox *>(widget()))
                return box->text();
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *dialogFactory(const QString &className, QObject *object)
{
    // Asked for each class of the object, the most derived first: a class of
    // the program's own with an interface of its own has answered before.
    auto *dialog = qobject_cast<QDialog *>(object);
    if (!dialog || !dialog->isWindow())
        return nullptr;
    if (className == QLatin1String("QMessageBox"))
        return new AccessibleDialog(dialog, QAccessible::AlertMessage);
    if (className == QLatin1String("QDialog"))
        return new AccessibleDialog(dialog, QAccessible::Dialog);
    return nullptr;
}

} // namespace

namespace AccessibleDialogs {

void install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(dialogFactory);
}

void modalChanged(QDialog &dialog)
{
    QAccessible::State changed;
    changed.modal = true;
    QAccessibleStateChangeEvent event(&dialog, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace AccessibleDialogs
