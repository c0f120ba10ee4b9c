// SPDX-License-Identifier: MIT
#include "pickers/frmcal.h"

#include "editor/frmnotify.h"
#include "pickers/pickerbackground.h"
#include "scheduler/appcontext.h"
#include "scheduler/twips.h"
#include "store/datetext.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

// The years the picker offers on either side of the current one.
constexpr int RangeYears = 48;

frmCal::frmCal(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmCal"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(2444), twipsToPixels(793));
    PickerBackground::apply(this);

    DTPicker2 = new QDateEdit(this);
    DTPicker2->setObjectName(QStringLiteral("DTPicker2"));
    DTPicker2->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    DTPicker2->setCalendarPopup(true);
    // A small font, so the whole date fits beside the drop-down arrow.
    QFont font = DTPicker2->font();
    font.setPixelSize(10);
    DTPicker2->setFont(font);
    placeTwips(DTPicker2, 210, 210, 1245, 315);

    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    placeTwips(Command1, 1620, 240, 555, 285);
    setTabOrder(DTPicker2, Command1);

    connect(DTPicker2, &QDateEdit::dateChanged, this, &frmCal::DTPicker2_Change);
    connect(DTPicker2->calendarWidget(), &QCalendarWidget::clicked, this, &frmCal::DTPicker2_Click);
    DTPicker2->installEventFilter(this);
    if (auto *text = DTPicker2->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly))
        text->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, &frmCal::Command1_Click);
}

QLineEdit *frmCal::rowDate() const
{
    const int row = m_context.state.EditorRow;
    if (row < 0 || row >= SlotCount)
        return nullptr;
    return m_context.editor().txtDateNotify[row];
}

void frmCal::Form_Load()
{
    m_loaded = false;
    const QDate today = m_context.services.clock.localNow().date();
    m_context.state.NowDate = DateText::formatDate(today);

    m_editorCorner = m_context.editor().pos();
    place();

    // The range follows the clock; a row date outside it starts the picker
    // at today and stays in the row until the user picks.
    const QDate first(today.year() - RangeYears, 1, 1);
    const QDate last(today.year() + RangeYears, 12, 31);
    DTPicker2->setDateRange(first, last);
    QDate start = today;
    if (QLineEdit *box = rowDate(); box && !box->text().isEmpty()) {
        const std::optional<DateText::Value> value = DateText::parse(box->text(), today);
        if (!value)
            box->clear();
        else if (value->date >= first && value->date <= last)
            start = value->date;
    }
    DTPicker2->setDate(start);
    m_loaded = true;
}

void frmCal::place()
{
    // Over the editor's top-left corner, a third of this window's outer
    // width outside it, even off the screen.
    const double third = frameGeometry().width() / 3.0;
    move(static_cast<int>(std::lround(m_editorCorner.x() - third)), m_editorCorner.y());
}

void frmCal::showEvent(QShowEvent *event)
{
    // The window's frame is known only once it is shown.
    if (!event->spontaneous())
        place();
    QDialog::showEvent(event);
}

void frmCal::writeBack()
{
    if (QLineEdit *box = rowDate())
        box->setText(DateText::formatDate(DTPicker2->date()));
}

void frmCal::DTPicker2_Change()
{
    // Only the user's changes reach the row, not the start value.
    if (m_loaded)
        writeBack();
}

void frmCal::DTPicker2_Click()
{
    if (m_loaded)
        writeBack();
}

void frmCal::Command1_Click()
{
    writeBack();
    const int row = m_context.state.EditorRow;
    if (row >= 0 && row < SlotCount)
        m_context.state.table().AlarmFired[row] = 0;
    m_context.editor().SaveMsg();
    accept();
}

void frmCal::keyPressEvent(QKeyEvent *event)
{
    // No cancel button: Escape does nothing. Enter presses OK.
    if (event->matches(QKeySequence::Cancel) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmCal::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint()))
            DTPicker2_Click();
    }
    return QDialog::eventFilter(watched, event);
}
