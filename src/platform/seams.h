// SPDX-License-Identifier: MIT
#pragma once

#include "engine/services.h"

#include <QString>

#include <functional>

// The program's title: the caption of every message box and the tray tip.
inline const QString AppTitle = QStringLiteral("Tikora");

// Opens the help file with the desktop's viewer. When no viewer can open
// it, `failed` runs: at once, or once the viewer has given up.
class HelpViewer
{
public:
    virtual ~HelpViewer() = default;
    virtual void open(const QString &path, std::function<void()> failed) = 0;
};
