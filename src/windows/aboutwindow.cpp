// SPDX-License-Identifier: MIT
#include "windows/aboutwindow.h"

#include "platform/seams.h"
#include "windows/designfont.h"
#include "windows/maker.h"
#include "windows/twips.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

QLabel *aboutLabel(QWidget *parent, const QString &name, const QString &text, Qt::Alignment align)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(align);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

} // namespace

AboutWindow::AboutWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString());
    setWindowIcon(QIcon(QStringLiteral(":/icons/tikora.png")));
    setFixedSize(twipsToPixels(4264), twipsToPixels(2847));
    setFont(DesignFont::window());

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    // The picture at its natural size, from the version drawn for a screen
    // scaled twice where the screen is.
    QIcon art;
    art.addFile(QStringLiteral(":/pictures/about.png"), QSize(157, 120));
    art.addFile(QStringLiteral(":/pictures/about@2x.png"), QSize(314, 240));
    m_picture->setPixmap(art.pixmap(QSize(157, 120), devicePixelRatioF()));
    m_picture->setGeometry(0, 0, 157, 120);

    m_okButton = new QPushButton(tr("OK"), this);
    m_okButton->setObjectName(QStringLiteral("cmdOK"));
    m_okButton->setDefault(true);
    placeTwips(m_okButton, 2880, 1290, 660, 345);
    // OK is both the default and the cancel button: Enter and Escape close.
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    m_titleLabel = aboutLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Application Title"),
                              Qt::AlignHCenter | Qt::AlignTop);
    m_titleLabel->setFont(DesignFont::of(QStringLiteral("Arial"), 9.51, true, true));
    placeTwips(m_titleLabel, 2490, 300, 1545, 240);

    m_versionLabel = aboutLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Version"),
                                Qt::AlignHCenter | Qt::AlignTop);
    m_versionLabel->setFont(DesignFont::of(QStringLiteral("MS Sans Serif"), 7.47, true));
    // As wide as the title above it, on the same centre: the whole version
    // fits, and nothing else stands beside it.
    placeTwips(m_versionLabel, 2490, 728, 1545, 299);

    m_copyrightLabel =
        aboutLabel(this, QStringLiteral("Label1"), MakerCopyright, Qt::AlignHCenter | Qt::AlignTop);
    m_copyrightLabel->setWordWrap(true);
    // Down to the window's bottom edge, so a line that wraps shows whole.
    placeTwips(m_copyrightLabel, 494, 2314, 3198, 2847 - 2314);

    m_webLabel =
        aboutLabel(this, QStringLiteral("Label2"), MakerWebAddress, Qt::AlignLeft | Qt::AlignTop);
    m_webLabel->setFont(DesignFont::of(QStringLiteral("MS Sans Serif"), 12.23, true));
    placeTwips(m_webLabel, 210, 1800, 3390, 360);
}

void AboutWindow::fillTitleAndVersion()
{
    m_versionLabel->setText(
        tr("Version %1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision));
    m_titleLabel->setText(AppTitle);
}
