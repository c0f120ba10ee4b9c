// SPDX-License-Identifier: MIT
#include "app/application.h"

#include <exception>

TikoraApplication::TikoraApplication(int &argc, char **argv) : QApplication(argc, argv)
{
}

bool TikoraApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        if (onFailure)
            onFailure(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        if (onFailure)
            onFailure(QStringLiteral("unknown error"));
    }
    return false;
}
