// SPDX-License-Identifier: MIT
#include "pickers/frmtime.h"

#include "editor/frmnotify.h"
#include "pickers/pickerbackground.h"
#include "scheduler/appcontext.h"
#include "scheduler/twips.h"
#include "store/datetext.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace {

// The picker holds whole seconds, as the row's text does.
QTime toSeconds(const QTime &time)
{
    return QTime(time.hour(), time.minute(), time.second());
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmTime::frmTime(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmTime"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(2509), twipsToPixels(1196));
    PickerBackground::apply(this);

    cmdOK = button(this, QStringLiteral("cmdOK"), QStringLiteral("&Accept"));
    cmdOK->setDefault(true);
    placeTwips(cmdOK, 195, 690, 795, 375);
    cmdNow = button(this, QStringLiteral("cmdNow"), QStringLiteral("&NOW"));
    placeTwips(cmdNow, 1680, 120, 675, 345);
    DTPicker1 = new QTimeEdit(this);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    placeTwips(DTPicker1, 150, 120, 1305, 315);
    cmdCancel = button(this, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"));
    placeTwips(cmdCancel, 1560, 690, 795, 375);

    setTabOrder(cmdOK, cmdNow);
    setTabOrder(cmdNow, DTPicker1);
    setTabOrder(DTPicker1, cmdCancel);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmTime::cmdOK_Click);
    connect(cmdNow, &QPushButton::clicked, this, &frmTime::cmdNow_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTime::cmdCancel_Click);
}

QLineEdit *frmTime::rowTime() const
{
    const int row = m_context.state.EditorRow;
    if (row < 0 || row >= SlotCount)
        return nullptr;
    return m_context.editor().txtTimeNote[row];
}

void frmTime::Form_Load()
{
    const QDateTime now = m_context.services.clock.localNow();
    QLineEdit *box = rowTime();
    if (!box)
        return;
    // A text that is neither a date nor a time is emptied; a date alone is
    // midnight.
    std::optional<DateText::Value> value = DateText::parse(box->text(), now.date());
    if (!value && !box->text().isEmpty())
        box->clear();
    DTPicker1->setTime(value ? value->time : toSeconds(now.time()));
}

void frmTime::UpdateTime()
{
    if (QLineEdit *box = rowTime())
        box->setText(DateText::formatTime(DTPicker1->time()));
}

void frmTime::cmdOK_Click()
{
    UpdateTime();
    const int row = m_context.state.EditorRow;
    if (row >= 0 && row < SlotCount)
        m_context.state.table().AlarmFired[row] = 0;
    m_context.editor().SaveMsg();
    accept();
}

void frmTime::cmdNow_Click()
{
    DTPicker1->setTime(toSeconds(m_context.services.clock.localNow().time()));
}

void frmTime::cmdCancel_Click()
{
    reject();
}

void frmTime::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel) || event->key() == Qt::Key_Escape) {
        cmdCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
