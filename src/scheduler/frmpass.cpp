// SPDX-License-Identifier: MIT
#include "scheduler/frmpass.h"

#include "editor/frmnotify.h"
#include "scheduler/appcontext.h"
#include "scheduler/schedule.h"
#include "scheduler/twips.h"
#include "store/datetext.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

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
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(11);
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
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPixels(3484), twipsToPixels(1755));
    client->setAutoFillBackground(true);
    m_client = client;

    Label2 = clockLabel(client, QStringLiteral("Label2"), QStringLiteral("01/01/2007"));
    placeTwips(Label2, 204, 36, 912, 240);
    Label3 = clockLabel(client, QStringLiteral("Label3"), QStringLiteral("12:33:55"));
    placeTwips(Label3, 2490, 30, 795, 285);

    cmdOK = new QPushButton(QStringLiteral("OK"), client);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    placeTwips(cmdOK, 1470, 15, 585, 315);
    connect(cmdOK, &QPushButton::clicked, this, &frmPass::cmdOK_Click);

    LbMessage = new QLabel(client);
    LbMessage->setObjectName(QStringLiteral("LbMessage"));
    LbMessage->setTextFormat(Qt::PlainText);
    LbMessage->setAlignment(Qt::AlignCenter);
    LbMessage->setWordWrap(false);
    LbMessage->setAutoFillBackground(true);
    placeTwips(LbMessage, 90, 360, 3330, 195);

    menuBar = new QMenuBar(this);
    menuBar->setNativeMenuBar(false);
    mnuNotify = menuBar->addAction(QStringLiteral("&Set"));
    mnuNotify->setObjectName(QStringLiteral("mnuNotify"));
    mnuHelp = menuBar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpItem = mnuHelp->addAction(QStringLiteral("&Help"));
    mnuHelpItem->setObjectName(QStringLiteral("mnuHelpItem"));
    mnuHelpItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    mnuAbout = mnuHelp->addAction(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuAbout->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    // The shortcuts work while the window is active, menu open or not.
    addAction(mnuHelpItem);
    addAction(mnuAbout);
    connect(mnuNotify, &QAction::triggered, this,
            [this] { m_context.openEditor(AppContext::FromAlertWindow, this); });
    connect(mnuHelpItem, &QAction::triggered, this, [this] { m_context.openHelp(); });
    connect(mnuAbout, &QAction::triggered, this,
            [this] { m_context.showAbout(AppContext::FromAlertWindow); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->activate();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    // The tick runs from a posted call, not inside the timer's own event: a
    // timer does not fire again while its event is being handled, so a
    // problem box opened by the tick would stop this clock until dismissed.
    // This way the clock goes on ticking inside any box, and due entries
    // fire on time.
    connect(Timer1, &QTimer::timeout, this, &frmPass::Timer1_Timer, Qt::QueuedConnection);
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
    const QDateTime now = Schedule::readClock(state, m_context.services.clock);
    Label3->setText(DateText::systemTime(now.time()));
    Label2->setText(state.NowDate);
    Schedule::raiseDueSlots(state, now, m_dueTest, [this, &self](int slot) {
        m_context.FireAlarm(slot);
        return !self.isNull();
    });
}

void frmPass::cmdOK_Click()
{
    LbMessage->clear();
    const QDateTime now = Schedule::readClock(m_context.state, m_context.services.clock);
    frmNotify &editor = m_context.editor();
    // The repeat boxes are read from the editor, and the new dates written
    // there too: the save writes the file from the editor's rows.
    Schedule::moveRepeatingEntries(
        m_context.state, now,
        [&editor](int slot) {
            return Repetition::Boxes{frmNotify::boxValue(editor.ckDaily[slot]),
                                     frmNotify::boxValue(editor.ckWeekly[slot]),
                                     frmNotify::boxValue(editor.ckMonthly[slot])};
        },
        [&editor](int slot, const QString &date) { editor.txtDateNotify[slot]->setText(date); });

    QPointer<frmPass> self(this);
    editor.SaveMsg();
    if (!self)
        return;
    hide();
    if (m_kind == Further) {
        // Done with: it stops ticking and goes once control is back in the
        // event loop.
        Timer1->stop();
        deleteLater();
    }
}

void frmPass::Form_Unload()
{
    cmdOK_Click();
}

void frmPass::showEvent(QShowEvent *event)
{
    // The picture behind the clock and the colours of the clock and the
    // message are put on when the window is first shown, before it is drawn:
    // the main window may stay hidden all day, and the picture and the style
    // sheets cost memory all the same.
    if (!m_dressed) {
        QPalette backdrop = m_client->palette();
        backdrop.setBrush(QPalette::Window, QPixmap(QStringLiteral(":/pictures/alert.png")));
        m_client->setPalette(backdrop);
        const QString clock = QStringLiteral("color: #00ff00; background-color: black;");
        Label2->setStyleSheet(clock);
        Label3->setStyleSheet(clock);
        LbMessage->setStyleSheet(QStringLiteral("color: red; background-color: black;"));
        m_dressed = true;
    }
    QDialog::showEvent(event);
}

void frmPass::closeEvent(QCloseEvent *event)
{
    event->accept();
    // With no notification area the main window is the only way in, and
    // closing it ends the program as Exit does (which acknowledges).
    if (m_kind == Main && !m_context.services.tray.available() && m_context.exitProgram) {
        m_context.exitProgram();
        return;
    }
    Form_Unload();
}

void frmPass::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close an alert window; Enter presses OK.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
