// SPDX-License-Identifier: MIT
#pragma once

#include "tikora/version.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The About window: the program's title and version over a picture, the
// maker's web address and copyright line, closed with OK, Enter or Escape.
class AboutWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr int VersionMajor = TIKORA_VERSION_MAJOR;
    static constexpr int VersionMinor = TIKORA_VERSION_MINOR;
    static constexpr int VersionRevision = TIKORA_VERSION_PATCH;

    explicit AboutWindow(QWidget *parent = nullptr);

    // Fills the title and the version; runs at every showing.
    void fillTitleAndVersion();

private:
    QPushButton *m_okButton = nullptr;
    QLabel *m_titleLabel = nullptr;
    QLabel *m_versionLabel = nullptr;
    QLabel *m_copyrightLabel = nullptr;
    QLabel *m_webLabel = nullptr;
    QLabel *m_picture = nullptr;
};
