// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Who makes Tikora, as the About window and the editor's caption show it.
inline const QString MakerWebAddress = QStringLiteral("tikora.example.org");
inline const QString MakerCopyright =
    QStringLiteral("Copyright \u00a9 2026 the Tikora developers. MIT licence.");
