// SPDX-License-Identifier: MIT
#include "windows/alertwindow.h"

#include "store/datetext.h"
#include "windows/appcontext.h"
#include "windows/designfont.h"
#include "windows/twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
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
    label->setFont(DesignFont::of(QStringLiteral("Arial"), 8, true));
    return label;
}

// The client area, with the picture behind the clock painted straight from
// a pixmap, which the windows share (it comes from the pixmap cache). The
// palette stays the application's: the style keeps what it draws (the OK
// button) by palette, so a palette of each window's own would have every
// new window's button drawn and kept anew.
class Backdrop : public QWidget
{
public:
    using QWidget::QWidget;
    QPixmap picture; // put on at the first show

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!picture.isNull())
            QPainter(this).drawTiledPixmap(rect(), picture);
    }
};

} // namespace

AlertWindow::AlertWindow(AppContext &context, Kind kind, QWidget *parent)
    : QDialog(parent), m_context(context), m_kind(kind)
{
    installAccessibleInterface();
    setObjectName(QStringLiteral("frmPass"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DesignFont::window());
    auto *client = new Backdrop(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPixels(3484), twipsToPixels(1755));
    client->setAutoFillBackground(true);
    m_client = client;

    m_dateLabel = clockLabel(client, QStringLiteral("Label2"), QStringLiteral("01/01/2007"));
    placeTwips(m_dateLabel, 204, 36, 912, 240);
    m_timeLabel = clockLabel(client, QStringLiteral("Label3"), QStringLiteral("12:33:55"));
    placeTwips(m_timeLabel, 2490, 30, 795, 285);

    m_okButton = new QPushButton(tr("OK"), client);
    m_okButton->setObjectName(QStringLiteral("cmdOK"));
    m_okButton->setDefault(true);
    placeTwips(m_okButton, 1470, 15, 585, 315);
    connect(m_okButton, &QPushButton::clicked, this, &AlertWindow::acknowledge);

    m_messageLabel = new QLabel(client);
    m_messageLabel->setObjectName(QStringLiteral("LbMessage"));
    m_messageLabel->setTextFormat(Qt::PlainText);
    m_messageLabel->setAlignment(Qt::AlignCenter);
    m_messageLabel->setWordWrap(false);
    m_messageLabel->setAutoFillBackground(true);
    placeTwips(m_messageLabel, 90, 360, 3330, 195);

    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    m_setAction = m_menuBar->addAction(tr("&Set"));
    m_setAction->setObjectName(QStringLiteral("mnuNotify"));
    m_helpMenu = m_menuBar->addMenu(tr("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("mnuHelp"));
    m_helpAction = m_helpMenu->addAction(tr("&Help"));
    m_helpAction->setObjectName(QStringLiteral("mnuHelpItem"));
    m_helpAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    m_aboutAction = m_helpMenu->addAction(tr("&About"));
    m_aboutAction->setObjectName(QStringLiteral("mnuAbout"));
    m_aboutAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    // The shortcuts work while the window is active, menu open or not.
    addAction(m_helpAction);
    addAction(m_aboutAction);
    // A command returns at once and its window opens after it: a screen
    // reader that chose it over the accessibility bus waits for the answer,
    // and the editor's and About's loops run until they close.
    connect(
        m_setAction, &QAction::triggered, this,
        [this] { m_context.commands.openEditor(MenuCommands::FromAlertWindow, this); },
        Qt::QueuedConnection);
    connect(
        m_helpAction, &QAction::triggered, this, [this] { m_context.commands.openHelp(); },
        Qt::QueuedConnection);
    connect(
        m_aboutAction, &QAction::triggered, this,
        [this] { m_context.commands.showAbout(MenuCommands::FromAlertWindow); },
        Qt::QueuedConnection);

    if (m_kind == Further)
        addSnoozeMenu();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(client);
    // Laid out when first shown: the main window may stay hidden all day,
    // and measuring its texts loads the fonts and the text shaper.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_clock = &m_context.alarmClock;
    m_clock->add(*this, kind == Main ? AlarmClock::Kind::Main : AlarmClock::Kind::Further);
}

AlertWindow::~AlertWindow()
{
    // A further window deleted later than the program's clock has nothing
    // to leave.
    if (m_clock)
        m_clock->remove(*this);
}

void AlertWindow::startShowing()
{
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_context.alarmClock.showNow(*this);
    m_messageLabel->clear();
    m_context.mainAlert().setWindowTitle(AppTitle);
    m_context.alarmClock.start(*this);
    m_context.engine.loadFile();
}

void AlertWindow::showTime(const QDateTime &localNow)
{
    m_timeLabel->setText(DateText::systemTime(localNow.time()));
    m_dateLabel->setText(DateText::formatDate(localNow.date()));
}

void AlertWindow::setMessage(const QString &message, OpenAlerts::Id alert)
{
    m_alert = alert;
    m_messageLabel->setText(message);
    m_messageLabel->setAccessibleDescription(message);
}

QString AlertWindow::message() const
{
    return m_messageLabel->text();
}

void AlertWindow::acknowledge()
{
    withdrawNotification();
    m_messageLabel->clear();
    QPointer<AlertWindow> self(this);
    m_context.engine.acknowledge(m_alert);
    m_alert = OpenAlerts::NoId;
    if (!self)
        return;
    // The only way in stays open: hidden, it could never be shown again.
    if (onlyWayIn())
        return;
    hide();
    if (m_kind == Further) {
        // Done with: it stops ticking and goes once control is back in the
        // event loop.
        m_context.alarmClock.stop(*this);
        deleteLater();
    }
}

bool AlertWindow::onlyWayIn() const
{
    // With no notification area there is no icon to show it again from.
    return m_kind == Main && !m_context.services.tray.available();
}

void AlertWindow::dress()
{
    if (m_dressed)
        return;
    static_cast<Backdrop *>(m_client)->picture = QPixmap(QStringLiteral(":/pictures/alert.png"));
    const QString clock = QStringLiteral("color: #00ff00; background-color: black;");
    m_dateLabel->setStyleSheet(clock);
    m_timeLabel->setStyleSheet(clock);
    m_messageLabel->setStyleSheet(QStringLiteral("color: red; background-color: black;"));
    m_dressed = true;
}

void AlertWindow::prepare()
{
    dress();
    ensurePolished();
    layout()->activate();
}

void AlertWindow::showEvent(QShowEvent *event)
{
    // The picture behind the clock and the colours of the clock and the
    // message are put on when the window is first shown, before it is drawn:
    // the main window may stay hidden all day, and the picture and the style
    // sheets cost memory all the same.
    dress();
    QDialog::showEvent(event);
    m_context.alarmClock.shownChanged(*this);
}

void AlertWindow::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    m_context.alarmClock.shownChanged(*this);
}

void AlertWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    // The close box acknowledges; closing the only way in ends the program
    // as Exit does (which acknowledges too).
    if (onlyWayIn() && m_context.commands.exitProgram) {
        m_context.commands.exitProgram();
        return;
    }
    acknowledge();
}

void AlertWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close an alert window; Enter presses OK.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
