// SPDX-License-Identifier: MIT
// The floor program of the whole-program benchmark: what any Qt program that
// looks like Tikora from outside costs at the least. It links the same Qt
// libraries, creates windows of the same kinds with the same numbers of
// controls (all hidden), shows a tray icon with a context menu, and runs one
// 500 ms timer that reads Tikor.dat into memory. Nothing else: no parsing,
// no fonts, no style sheets, no pictures, no sound, none of the program's
// own classes. bench/wholeprogram.py runs it beside build-bench/tikora.
#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int Rows = 32;

// The alert window: a client area with two clock labels, a message label
// and an OK button, under a menu bar with one item and one menu of two.
std::unique_ptr<QDialog> alertWindow()
{
    auto dialog = std::make_unique<QDialog>();
    auto *client = new QWidget(dialog.get());
    client->setFixedSize(232, 117);
    auto *date = new QLabel(QStringLiteral("01/01/2007"), client);
    date->setGeometry(14, 2, 61, 16);
    auto *time = new QLabel(QStringLiteral("12:33:55"), client);
    time->setGeometry(166, 2, 53, 19);
    auto *ok = new QPushButton(QStringLiteral("OK"), client);
    ok->setGeometry(98, 1, 39, 21);
    auto *message = new QLabel(client);
    message->setGeometry(6, 24, 222, 13);

    auto *menuBar = new QMenuBar(dialog.get());
    menuBar->addAction(QStringLiteral("&Set"));
    QMenu *help = menuBar->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About"));

    auto *layout = new QVBoxLayout(dialog.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client);
    return dialog;
}

// The editor: 32 rows of a button, three line edits and three check boxes
// in a frame with four headings and three column boxes, a box of four
// option buttons with four test buttons, a picture label, a scroll bar and
// an OK button.
std::unique_ptr<QDialog> editorWindow()
{
    auto dialog = std::make_unique<QDialog>();
    dialog->setFixedSize(645, 257);
    auto *rows = new QFrame(dialog.get());
    rows->setGeometry(2, 2, 510, 655);
    for (int i = 0; i < 4; ++i)
        (new QLabel(QStringLiteral("Heading"), rows))->setGeometry(40 + 120 * i, 0, 60, 13);
    QGroupBox *columns[3];
    for (int c = 0; c < 3; ++c) {
        columns[c] = new QGroupBox(QStringLiteral("Column"), rows);
        columns[c]->setGeometry(402 + 36 * c, 6, 36, 651);
    }
    for (int row = 0; row < Rows; ++row) {
        const int top = 14 + 20 * row;
        (new QPushButton(rows))->setGeometry(0, top, 25, 20);
        (new QLineEdit(rows))->setGeometry(26, top, 51, 19);
        (new QLineEdit(rows))->setGeometry(78, top, 263, 19);
        (new QLineEdit(rows))->setGeometry(342, top, 59, 19);
        for (QGroupBox *column : columns)
            (new QCheckBox(column))->setGeometry(12, 10 + 20 * row, 13, 19);
    }

    auto *sounds = new QGroupBox(QStringLiteral("Sounds"), dialog.get());
    sounds->setGeometry(546, 16, 97, 101);
    for (int i = 0; i < 4; ++i) {
        (new QRadioButton(QStringLiteral("Option"), dialog.get()))
            ->setGeometry(550, 27 + 22 * i, 65, 20);
        (new QPushButton(dialog.get()))->setGeometry(618, 26 + 22 * i, 19, 19);
    }
    (new QLabel(dialog.get()))->setGeometry(554, 136, 75, 55);
    (new QScrollBar(Qt::Vertical, dialog.get()))->setGeometry(522, 9, 21, 243);
    (new QPushButton(QStringLiteral("OK"), dialog.get()))->setGeometry(566, 212, 59, 33);
    return dialog;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    const std::unique_ptr<QDialog> alert = alertWindow();
    const std::unique_ptr<QDialog> editor = editorWindow();

    QMenu menu;
    for (const char *item : {"&Tikora", "&Set Alarm", "&Help", "&About", "&Exit"})
        menu.addAction(QString::fromLatin1(item));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tikora-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/tikora-32.png"), QSize(32, 32));
    QSystemTrayIcon tray(icon);
    tray.setToolTip(QStringLiteral("Tikora"));
    tray.setContextMenu(&menu);
    tray.show();

    QByteArray bytes;
    QTimer clock;
    clock.setInterval(500);
    QObject::connect(&clock, &QTimer::timeout, [&bytes] {
        QFile file(QStringLiteral("Tikor.dat"));
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    });
    clock.start();
    return QApplication::exec();
}
