// SPDX-License-Identifier: MIT
#include "app/frmabout.h"

#include "app/maker.h"
#include "scheduler/twips.h"
#include "store/platform.h"

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

QFont aboutFont(const QString &family, double points, bool bold, bool italic = false)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString());
    setWindowIcon(QIcon(QStringLiteral(":/icons/tikora.png")));
    setFixedSize(twipsToPixels(4264), twipsToPixels(2847));

    picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/about.png")));
    picture->setGeometry(0, 0, 157, 120);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    placeTwips(cmdOK, 2880, 1290, 660, 345);
    // OK is both the default and the cancel button: Enter and Escape close.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    lblTitle = aboutLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Application Title"),
                          Qt::AlignHCenter | Qt::AlignTop);
    lblTitle->setFont(aboutFont(QStringLiteral("Arial"), 9.51, true, true));
    placeTwips(lblTitle, 2490, 300, 1545, 240);

    lblVersion = aboutLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Version"),
                            Qt::AlignHCenter | Qt::AlignTop);
    lblVersion->setFont(aboutFont(QStringLiteral("MS Sans Serif"), 7.47, true));
    placeTwips(lblVersion, 2782, 728, 832, 299);

    Label1 =
        aboutLabel(this, QStringLiteral("Label1"), MakerCopyright, Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);
    placeTwips(Label1, 494, 2314, 3198, 338);

    Label2 =
        aboutLabel(this, QStringLiteral("Label2"), MakerWebAddress, Qt::AlignLeft | Qt::AlignTop);
    Label2->setFont(aboutFont(QStringLiteral("MS Sans Serif"), 12.23, true));
    placeTwips(Label2, 210, 1800, 3390, 360);
}

void frmAbout::Form_Load()
{
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(VersionMajor)
                            .arg(VersionMinor)
                            .arg(VersionRevision));
    lblTitle->setText(AppTitle);
}
