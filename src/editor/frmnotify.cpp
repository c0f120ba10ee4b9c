// SPDX-License-Identifier: MIT
#include "editor/frmnotify.h"

#include "editor/pictures.h"
#include "scheduler/appcontext.h"
#include "scheduler/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QValidator>

#include <limits>

namespace {

QFont fontOf(const QString &family, double points)
{
    QFont f(family);
    f.setPointSizeF(points);
    return f;
}

// A repeat box: grey (2) can come from the file, but a click only ever
// toggles between unchecked and checked; from grey it checks.
class RepeatBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

// Top of row i's Clear button and text boxes within the row panel.
int rowTop(int row)
{
    return 210 + 300 * row;
}

// Top of row i's repeat box within its column frame.
int boxTop(int row)
{
    if (row == 0)
        return 150;
    if (row == SlotCount - 1)
        return 9390;
    return 419 + 299 * (row - 1);
}

// A row's text is one line of the data file: a line break pasted into it
// (CR LF, LF or CR) becomes a space.
class OneLine : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        if (input.contains(u'\r') || input.contains(u'\n'))
            fixup(input);
        return Acceptable;
    }

    void fixup(QString &input) const override
    {
        input.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        input.replace(u'\r', u' ');
        input.replace(u'\n', u' ');
    }
};

QLineEdit *rowText(QWidget *parent, const QString &name, int row, double left, double width)
{
    auto *edit = new QLineEdit(parent);
    edit->setValidator(new OneLine(edit));
    edit->setObjectName(QStringLiteral("%1_%2").arg(name).arg(row));
    // Free text of any length: nothing from the file or the keyboard is cut.
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setFont(fontOf(QStringLiteral("Arial"), 6.79));
    placeTwips(edit, left, rowTop(row), width, 285);
    return edit;
}

QGroupBox *columnFrame(QWidget *parent, const QString &name, const QString &title, double left,
                       double top, double width)
{
    auto *frame = new QGroupBox(title, parent);
    frame->setObjectName(name);
    frame->setFont(fontOf(QStringLiteral("MS Serif"), 7.47));
    placeTwips(frame, left, top, width, 9765);
    return frame;
}

QLabel *heading(QWidget *parent, const QString &name, const QString &text, double left, double top,
                double width)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    // The headings are small, as the boxes they name.
    QFont font = label->font();
    font.setPixelSize(9);
    label->setFont(font);
    placeTwips(label, left, top, width, 195);
    return label;
}

} // namespace

frmNotify::frmNotify(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmNotify"));
    setWindowTitle(AppTitle);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(9672), twipsToPixels(3861));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    buildRows();
    buildSoundPanel();

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setRange(0, 6000);
    VScroll1->setSingleStep(300);
    VScroll1->setPageStep(1000);
    VScroll1->setValue(0);
    placeTwips(VScroll1, 7836, 132, 315, 3645);
    // Change (arrows, trough, release) and Scroll (dragging) page alike.
    connect(VScroll1, &QScrollBar::valueChanged, this, &frmNotify::VScroll1_Change);
    connect(VScroll1, &QScrollBar::sliderMoved, this, &frmNotify::VScroll1_Change);

    cmdOKnotify = new QPushButton(QStringLiteral("OK"), this);
    cmdOKnotify->setObjectName(QStringLiteral("cmdOKnotify"));
    cmdOKnotify->setDefault(true);
    placeTwips(cmdOKnotify, 8496, 3180, 885, 495);
    connect(cmdOKnotify, &QPushButton::clicked, this, &frmNotify::cmdOKnotify_Click);
}

frmNotify::~frmNotify() = default;

void frmNotify::buildRows()
{
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setBackgroundRole(QPalette::Base);
    Frame1->setForegroundRole(QPalette::Text);
    Frame1->setAutoFillBackground(true);
    placeTwips(Frame1, 30, 30, 7656, 9825);

    heading(Frame1, QStringLiteral("lbClear"), QStringLiteral("Clear"), 30, -30, 360);
    heading(Frame1, QStringLiteral("lbDate"), QStringLiteral("Date"), 570, -30, 345);
    heading(Frame1, QStringLiteral("lbMessages"), QStringLiteral("Tikoraer Messages"), 2490, 0,
            1440);
    heading(Frame1, QStringLiteral("lbTime"), QStringLiteral("Time"), 5400, 0, 345);
    Frame3 = columnFrame(Frame1, QStringLiteral("Frame3"), QStringLiteral("Daily"), 6030, 90, 528);
    Frame4 = columnFrame(Frame1, QStringLiteral("Frame4"), QStringLiteral("Wkly"), 6570, 90, 540);
    Frame5 = columnFrame(Frame1, QStringLiteral("Frame5"), QStringLiteral("Mnly"), 7104, 96, 540);

    const QFont boxFont = fontOf(QStringLiteral("Times New Roman"), 12.23);
    const QIcon clearIcon(EditorPictures::clearRow());
    const auto makeBox = [&](QGroupBox *column, const QString &name, int row) {
        QCheckBox *box = new RepeatBox(column);
        box->setObjectName(QStringLiteral("%1_%2").arg(name).arg(row));
        box->setFont(boxFont);
        placeTwips(box, 180, boxTop(row), 195, 285);
        return box;
    };

    for (int row = 0; row < SlotCount; ++row) {
        auto *clear = new QPushButton(Frame1);
        clear->setObjectName(QStringLiteral("cmdClear_%1").arg(row));
        clear->setIcon(clearIcon);
        clear->setToolTip(QStringLiteral("CLEAR THIS ROW"));
        clear->setFont(boxFont);
        clear->setAutoDefault(false);
        if (row == 0)
            placeTwips(clear, 0, 180, 375, 330);
        else
            placeTwips(clear, 0, rowTop(row), 375, 300);
        cmdClear[row] = clear;
        connect(clear, &QPushButton::clicked, this, [this, row] { cmdClear_Click(row); });

        txtDateNotify[row] = rowText(Frame1, QStringLiteral("txtDateNotify"), row, 390, 765);
        txtMessage[row] = rowText(Frame1, QStringLiteral("txtMessage"), row, 1170, 3945);
        txtTimeNote[row] = rowText(Frame1, QStringLiteral("txtTimeNote"), row, 5130, 885);
        txtDateNotify[row]->installEventFilter(this);
        txtTimeNote[row]->installEventFilter(this);

        ckDaily[row] = makeBox(Frame3, QStringLiteral("ckDaily"), row);
        ckWeekly[row] = makeBox(Frame4, QStringLiteral("ckWeekly"), row);
        ckMonthly[row] = makeBox(Frame5, QStringLiteral("ckMonthly"), row);
        // A value set by the program raises the rule just as a click does.
        connect(ckDaily[row], &QCheckBox::stateChanged, this, [this, row] { ckDaily_Click(row); });
        connect(ckWeekly[row], &QCheckBox::stateChanged, this,
                [this, row] { ckWeekly_Click(row); });
        connect(ckMonthly[row], &QCheckBox::stateChanged, this,
                [this, row] { ckMonthly_Click(row); });
    }
}

void frmNotify::buildSoundPanel()
{
    Frame2 = new QGroupBox(QStringLiteral("Sounds"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFont(fontOf(QStringLiteral("MS Serif"), 7.47));
    placeTwips(Frame2, 8196, 240, 1455, 1515);

    const QFont optionFont = fontOf(QStringLiteral("Arial"), 8.15);
    const QIcon speaker(EditorPictures::speaker());
    const auto option = [&](const QString &name, const QString &caption, double top, double width) {
        auto *button = new QRadioButton(caption, this);
        button->setObjectName(name);
        button->setFont(optionFont);
        placeTwips(button, 8256, top, width, 300);
        return button;
    };
    const auto test = [&](const QString &name, double top, void (frmNotify::*handler)()) {
        auto *button = new QPushButton(this);
        button->setObjectName(name);
        button->setIcon(speaker);
        button->setFont(optionFont);
        button->setAutoDefault(false);
        placeTwips(button, 9276, top, 285, 285);
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };

    // The four lie directly on the window, so they form one group.
    optMessage = option(QStringLiteral("optMessage"), QStringLiteral("Message"), 405, 1005);
    optAlert = option(QStringLiteral("optAlert"), QStringLiteral("Alert1"), 720, 945);
    optDive = option(QStringLiteral("optDive"), QStringLiteral("Alert2"), 1065, 945);
    OptAlarm = option(QStringLiteral("OptAlarm"), QStringLiteral("Alert3"), 1380, 945);
    optMessage->setChecked(true);

    cmdTest1 = test(QStringLiteral("cmdTest1"), 390, &frmNotify::cmdTest1_Click);
    cmdTest2 = test(QStringLiteral("cmdTest2"), 720, &frmNotify::cmdTest2_Click);
    cmdTest3 = test(QStringLiteral("cmdTest3"), 1050, &frmNotify::cmdTest3_Click);
    cmdTest4 = test(QStringLiteral("cmdTest4"), 1380, &frmNotify::cmdTest4_Click);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(EditorPictures::alarmClock());
    Image1->setScaledContents(true);
    placeTwips(Image1, 8316, 2040, 1128, 828);
}

void frmNotify::VScroll1_Change()
{
    Frame1->move(Frame1->x(), twipsToPixels(-VScroll1->value()));
}

void frmNotify::closeEvent(QCloseEvent *event)
{
    // The close box cancels: nothing is saved and the editor only hides.
    event->ignore();
    cancelEdits();
}

void frmNotify::keyPressEvent(QKeyEvent *event)
{
    // Escape does nothing here; Enter still presses OK.
    if (event->matches(QKeySequence::Cancel) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmNotify::showEvent(QShowEvent *event)
{
    // Shown by the program, not merely mapped again by the desktop.
    if (!event->spontaneous())
        rememberRowTexts();
    QDialog::showEvent(event);
}
