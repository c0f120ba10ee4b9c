// SPDX-License-Identifier: MIT
#include "windows/datepicker.h"

#include "store/datetext.h"
#include "windows/alarmeditor.h"
#include "windows/appcontext.h"
#include "windows/designfont.h"
#include "windows/pickerbackground.h"
#include "windows/twips.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

// The years the picker offers on either side of the current one.
constexpr int RangeYears = 48;

DatePicker::DatePicker(AppContext &context, int row, QWidget *parent)
    : QDialog(parent), m_context(context), m_row(row)
{
    setObjectName(QStringLiteral("frmCal"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(2444), twipsToPixels(793));
    setFont(DesignFont::window());
    PickerBackground::apply(this);

    m_dateEdit = new QDateEdit(this);
    m_dateEdit->setObjectName(QStringLiteral("DTPicker2"));
    m_dateEdit->setAccessibleName(tr("Date"));
    m_dateEdit->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    m_dateEdit->setCalendarPopup(true);
    // A small font, so the whole date fits beside the drop-down arrow.
    QFont font = m_dateEdit->font();
    font.setPixelSize(10);
    m_dateEdit->setFont(font);
    placeTwips(m_dateEdit, 210, 210, 1245, 315);

    m_okButton = new QPushButton(tr("&OK"), this);
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setDefault(true);
    placeTwips(m_okButton, 1620, 240, 555, 285);
    setTabOrder(m_dateEdit, m_okButton);

    connect(m_dateEdit, &QDateEdit::dateChanged, this, &DatePicker::dateChanged);
    connect(m_dateEdit->calendarWidget(), &QCalendarWidget::clicked, this,
            &DatePicker::dateClicked);
    m_dateEdit->installEventFilter(this);
    if (auto *text = m_dateEdit->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly))
        text->installEventFilter(this);
    connect(m_okButton, &QPushButton::clicked, this, &DatePicker::acceptDate);
}

void DatePicker::startFromRow()
{
    m_loaded = false;
    const QDate today = m_context.engine.readToday();

    m_editorCorner = m_context.editor().pos();
    place();

    // The range follows the clock; a row date outside it starts the picker
    // at today and stays in the row until the user picks.
    const QDate first(today.year() - RangeYears, 1, 1);
    const QDate last(today.year() + RangeYears, 12, 31);
    m_dateEdit->setDateRange(first, last);
    QDate start = today;
    if (const QString text = m_context.engine.row(m_row).date; !text.isEmpty()) {
        const std::optional<DateText::Value> value = DateText::parse(text, today);
        if (!value)
            m_context.engine.setText(m_row, AlarmEngine::Field::Date, QString());
        else if (value->date >= first && value->date <= last)
            start = value->date;
    }
    m_dateEdit->setDate(start);
    m_loaded = true;
}

void DatePicker::place()
{
    // Over the editor's top-left corner, a third of this window's outer
    // width outside it, even off the screen.
    m_placedByWidth = frameGeometry().width();
    const double third = m_placedByWidth / 3.0;
    move(static_cast<int>(std::lround(m_editorCorner.x() - third)), m_editorCorner.y());
}

void DatePicker::showEvent(QShowEvent *event)
{
    // The window's frame is known only once it is shown (and framed; see
    // moveEvent).
    if (!event->spontaneous())
        place();
    QDialog::showEvent(event);
}

void DatePicker::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    // The desktop puts its frame round the window after it is shown, and
    // moves it: placed again by its outer width once that is known.
    if (isVisible() && frameGeometry().width() != m_placedByWidth)
        place();
}

void DatePicker::writeBack()
{
    m_context.engine.setText(m_row, AlarmEngine::Field::Date,
                             DateText::formatDate(m_dateEdit->date()));
}

void DatePicker::dateChanged()
{
    // Only the user's changes reach the row, not the start value.
    if (m_loaded)
        writeBack();
}

void DatePicker::dateClicked()
{
    if (m_loaded)
        writeBack();
}

void DatePicker::acceptDate()
{
    m_context.engine.commitText(m_row, AlarmEngine::Field::Date,
                                DateText::formatDate(m_dateEdit->date()));
    accept();
}

void DatePicker::keyPressEvent(QKeyEvent *event)
{
    // No cancel button: Escape does nothing. Enter presses OK.
    if (event->matches(QKeySequence::Cancel) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool DatePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint()))
            dateClicked();
    }
    return QDialog::eventFilter(watched, event);
}
