// SPDX-License-Identifier: MIT
#pragma once

#include "engine/services.h"

#include <QString>

// The program's title: the caption of every message box and the tray tip.
inline const QString AppTitle = QStringLiteral("Tikora");

// Opens the help file with the desktop's viewer; failures are ignored.
class HelpViewer
{
public:
    virtual ~HelpViewer() = default;
    virtual void open(const QString &path) = 0;
};
