#include "scheduler/frmpass.h"

#include "scheduler/appcontext.h"
#include "scheduler/duetest.h"
#include "scheduler/twips.h"
#include "store/datetext.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

QLabel *clockLabel(QWidget *parent, const QString &objectName, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    label->setAutoFillBackground(true);
    label->setStyleSheet(QStringLiteral("color: #00ff00; background-color: black;"));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

frmPass::frmPass(AppContext &context, Kind kind, QWidget *parent)
    : QDialog(parent), m_context(context), m_kind(kind)
{
    setObjectName(QStringLiteral("frmPass"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(3484), twipsToPixels(1755));
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("frmPass { background-color: #202830; }"));

    Label2 = clockLabel(this, QStringLiteral("Label2"), QStringLiteral("01/01/2007"));
    placeTwips(Label2, 204, 36, 912, 240);
    Label3 = clockLabel(this, QStringLiteral("Label3"), QStringLiteral("12:33:55"));
    placeTwips(Label3, 2490, 30, 795, 285);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    placeTwips(cmdOK, 1470, 15, 585, 315);

    LbMessage = new QLabel(this);
    LbMessage->setObjectName(QStringLiteral("LbMessage"));
    LbMessage->setTextFormat(Qt::PlainText);
    LbMessage->setAlignment(Qt::AlignCenter);
    LbMessage->setAutoFillBackground(true);
    LbMessage->setStyleSheet(QStringLiteral("color: red; background-color: black;"));
    placeTwips(LbMessage, 90, 360, 3330, 195);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &frmPass::Timer1_Timer);
}

void frmPass::Form_Load()
{
    const QDateTime now = m_context.services.clock.localNow();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    Label2->setText(DateText::formatDate(now.date()));
    Label3->setText(DateText::systemTime(now.time()));
    LbMessage->clear();
    m_context.mainAlert().setWindowTitle(AppTitle);
    Timer1->start();
    m_context.store.LoadAlarms();
}

void frmPass::Timer1_Timer()
{
    QPointer<frmPass> self(this);
    Module1 &state = m_context.state;
    m_context.store.LoadAlarms();
    if (!self)
        return;

    // One reading of the clock for the whole tick, so the date and the time
    // of day always belong together, even at midnight.
    const QDateTime now = m_context.services.clock.localNow();
    const QString nowTime = DateText::formatTime(now.time());
    state.NowTime = nowTime;
    state.NowDate = DateText::formatDate(now.date());
    Label3->setText(DateText::systemTime(now.time()));
    Label2->setText(state.NowDate);

    // The loop keeps its own slot index: a tick of another window that runs
    // inside a message box raised from here cannot make this one raise the
    // wrong slot.
    for (int slot = 0; slot < SlotCount; ++slot) {
        state.CurrentSlot = static_cast<qint16>(slot);
        AlarmTable &table = state.table();
        const bool noDate = table.AlarmDate[slot].isEmpty();
        if (noDate)
            table.AlarmDate[slot] = DueTest::EmptyDateText;
        if (DueTest::isDue(noDate ? QString() : table.AlarmDate[slot], table.AlarmTime[slot],
                           table.AlarmFired[slot], now.date(), nowTime)) {
            m_context.FireAlarm(slot);
            if (!self)
                return;
        }
    }
    state.CurrentSlot = SlotCount;
}
