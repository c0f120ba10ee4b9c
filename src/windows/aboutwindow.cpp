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

    picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    // The picture at its natural size, from the version drawn for a screen
    // scaled twice where the screen is.
    QIcon art;
    art.addFile(QStringLiteral(":/pictures/about.png"), QSize(157, 120));
    art.addFile(QStringLiteral(":/pictures/about@2x.png"), QSize(314, 240));
    picture->setPixmap(art.pixmap(QSize(157, 120), devicePixelRatioF()));
    picture->setGeometry(0, 0, 157, 120);

    okButton = new QPushButton(tr("OK"), this);
    okButton->setObjectName(QStringLiteral("cmdOK"));
    okButton->setDefault(true);
    placeTwips(okButton, 2880, 1290, 660, 345);
    // OK is both the default and the cancel button: Enter and Escape close.
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    titleLabel = aboutLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Application Title"),
                            Qt::AlignHCenter | Qt::AlignTop);
    titleLabel->setFont(DesignFont::of(QStringLiteral("Arial"), 9.51, true, true));
    placeTwips(titleLabel, 2490, 300, 1545, 240);

    versionLabel = aboutLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Version"),
                              Qt::AlignHCenter | Qt::AlignTop);
    versionLabel->setFont(DesignFont::of(QStringLiteral("MS Sans Serif"), 7.47, true));
    // As wide as the title above it, on the same centre: the whole version
    // fits, and nothing else stands beside it.
    placeTwips(versionLabel, 2490, 728, 1545, 299);

    copyrightLabel =
        aboutLabel(this, QStringLiteral("Label1"), MakerCopyright, Qt::AlignHCenter | Qt::AlignTop);
    copyrightLabel->setWordWrap(true);
    // Down to the window's bottom edge, so a line that wraps shows whole.
    placeTwips(copyrightLabel, 494, 2314, 3198, 2847 - 2314);

    webLabel =
        aboutLabel(this, QStringLiteral("Label2"), MakerWebAddress, Qt::AlignLeft | Qt::AlignTop);
    webLabel->setFont(DesignFont::of(QStringLiteral("MS Sans Serif"), 12.23, true));
    placeTwips(webLabel, 210, 1800, 3390, 360);
}

void AboutWindow::load()
{
    versionLabel->setText(
        tr("Version %1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision));
    titleLabel->setText(AppTitle);
}
