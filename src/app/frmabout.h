// SPDX-License-Identifier: MIT
#pragma once

#include "tikora/version.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The About window: the program's title and version over a picture, the
// maker's web address and copyright line, closed with OK, Enter or Escape.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    static constexpr int VersionMajor = TIKORA_VERSION_MAJOR;
    static constexpr int VersionMinor = TIKORA_VERSION_MINOR;
    static constexpr int VersionRevision = TIKORA_VERSION_PATCH;

    explicit frmAbout(QWidget *parent = nullptr);

    // Fills the title and the version; runs at every showing.
    void Form_Load();

    QPushButton *cmdOK = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *picture = nullptr;
};
