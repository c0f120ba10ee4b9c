// SPDX-License-Identifier: MIT
#include "windows/timepicker.h"

#include "store/datetext.h"
#include "windows/alarmeditor.h"
#include "windows/appcontext.h"
#include "windows/designfont.h"
#include "windows/pickerbackground.h"
#include "windows/twips.h"

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

TimePicker::TimePicker(AppContext &context, int row, QWidget *parent)
    : QDialog(parent), m_context(context), m_row(row)
{
    setObjectName(QStringLiteral("frmTime"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(2509), twipsToPixels(1196));
    setFont(DesignFont::window());
    PickerBackground::apply(this);

    m_okButton = button(this, QStringLiteral("cmdOK"), tr("&Accept"));
    m_okButton->setDefault(true);
    placeTwips(m_okButton, 195, 690, 795, 375);
    m_nowButton = button(this, QStringLiteral("cmdNow"), tr("&NOW"));
    placeTwips(m_nowButton, 1680, 120, 675, 345);
    m_timeEdit = new QTimeEdit(this);
    m_timeEdit->setObjectName(QStringLiteral("DTPicker1"));
    m_timeEdit->setAccessibleName(tr("Time"));
    m_timeEdit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    placeTwips(m_timeEdit, 150, 120, 1305, 315);
    m_cancelButton = button(this, QStringLiteral("cmdCancel"), tr("&Cancel"));
    placeTwips(m_cancelButton, 1560, 690, 795, 375);

    setTabOrder(m_okButton, m_nowButton);
    setTabOrder(m_nowButton, m_timeEdit);
    setTabOrder(m_timeEdit, m_cancelButton);
    m_okButton->setFocus();

    connect(m_okButton, &QPushButton::clicked, this, &TimePicker::acceptTime);
    connect(m_nowButton, &QPushButton::clicked, this, &TimePicker::setNow);
    connect(m_cancelButton, &QPushButton::clicked, this, &TimePicker::cancel);
}

void TimePicker::startFromRow()
{
    const QDateTime now = m_context.services.clock.localNow();
    const QString text = m_context.engine.row(m_row).time;
    // A text that is neither a date nor a time is emptied; a date alone is
    // midnight.
    std::optional<DateText::Value> value = DateText::parse(text, now.date());
    if (!value && !text.isEmpty())
        m_context.engine.setText(m_row, AlarmEngine::Field::Time, QString());
    m_timeEdit->setTime(value ? value->time : toSeconds(now.time()));
}

void TimePicker::acceptTime()
{
    m_context.engine.commitText(m_row, AlarmEngine::Field::Time,
                                DateText::formatTime(m_timeEdit->time()));
    accept();
}

void TimePicker::setNow()
{
    m_timeEdit->setTime(toSeconds(m_context.services.clock.localNow().time()));
}

void TimePicker::cancel()
{
    reject();
}

void TimePicker::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel) || event->key() == Qt::Key_Escape) {
        m_cancelButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
