// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>

#include <functional>

// The program's application object. An exception that escapes an event
// handler is caught here and handed to onFailure, which in the program says
// so in a message box and ends it; nothing is saved on that path.
class TikoraApplication : public QApplication
{
public:
    TikoraApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    std::function<void(const QString &what)> onFailure;
};
