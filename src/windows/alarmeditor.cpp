// SPDX-License-Identifier: MIT
#include "windows/alarmeditor.h"

#include "windows/appcontext.h"
#include "windows/designfont.h"
#include "windows/maker.h"
#include "windows/pictures.h"
#include "windows/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QValidator>

#include <limits>

namespace {

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
    edit->setFont(DesignFont::of(QStringLiteral("Arial"), 6.79));
    placeTwips(edit, left, rowTop(row), width, 285);
    return edit;
}

// The column frames reach this far above their place, and their boxes lie
// this much lower inside them, so each box stays where the row has it and the
// frame's caption clears the first box (nothing lies above the columns).
constexpr double captionLift = 60;

QGroupBox *columnFrame(QWidget *parent, const QString &name, const QString &title, double left,
                       double top, double width)
{
    auto *frame = new QGroupBox(title, parent);
    frame->setObjectName(name);
    frame->setFont(DesignFont::of(QStringLiteral("MS Serif"), 7.47));
    placeTwips(frame, left, top - captionLift, width, 9765 + captionLift);
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

AlarmEditor::AlarmEditor(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmNotify"));
    setWindowTitle(MakerWebAddress);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(9672), twipsToPixels(3861));
    setFont(DesignFont::window());
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    buildRows();
    buildSoundPanel();

    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setObjectName(QStringLiteral("VScroll1"));
    m_scrollBar->setAccessibleName(tr("Rows"));
    m_scrollBar->setRange(0, 6000);
    m_scrollBar->setSingleStep(300);
    m_scrollBar->setPageStep(1000);
    m_scrollBar->setValue(0);
    placeTwips(m_scrollBar, 7836, 132, 315, 3645);
    // Change (arrows, trough, release) and Scroll (dragging) page alike.
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &AlarmEditor::scrollRows);
    connect(m_scrollBar, &QScrollBar::sliderMoved, this, &AlarmEditor::scrollRows);

    m_acceptButton = new QPushButton(tr("OK"), this);
    m_acceptButton->setObjectName(QStringLiteral("cmdOKnotify"));
    m_acceptButton->setDefault(true);
    placeTwips(m_acceptButton, 8496, 3180, 885, 495);
    connect(m_acceptButton, &QPushButton::clicked, this, &AlarmEditor::acceptEdits);

    drawPictures();
    connectToEngine();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now)
            keepInView(now);
    });
}

AlarmEditor::~AlarmEditor() = default;

void AlarmEditor::buildRows()
{
    m_rowPanel = new QFrame(this);
    m_rowPanel->setObjectName(QStringLiteral("Frame1"));
    m_rowPanel->setBackgroundRole(QPalette::Base);
    m_rowPanel->setForegroundRole(QPalette::Text);
    m_rowPanel->setAutoFillBackground(true);
    placeTwips(m_rowPanel, 30, 30, 7656, 9825);

    heading(m_rowPanel, QStringLiteral("lbClear"), tr("Clear"), 30, -30, 360);
    heading(m_rowPanel, QStringLiteral("lbDate"), tr("Date"), 570, -30, 345);
    heading(m_rowPanel, QStringLiteral("lbMessages"), tr("Tikoraer Messages"), 2490, 0, 1440);
    heading(m_rowPanel, QStringLiteral("lbTime"), tr("Time"), 5400, 0, 345);
    m_dailyColumn = columnFrame(m_rowPanel, QStringLiteral("Frame3"), tr("Daily"), 6030, 90, 528);
    m_weeklyColumn = columnFrame(m_rowPanel, QStringLiteral("Frame4"), tr("Wkly"), 6570, 90, 540);
    m_monthlyColumn = columnFrame(m_rowPanel, QStringLiteral("Frame5"), tr("Mnly"), 7104, 96, 540);

    const QFont boxFont = DesignFont::of(QStringLiteral("Times New Roman"), 12.23);
    const auto makeBox = [&](QGroupBox *column, const QString &name, int row) {
        QCheckBox *box = new RepeatBox(column);
        box->setObjectName(QStringLiteral("%1_%2").arg(name).arg(row));
        box->setFont(boxFont);
        placeTwips(box, 180, boxTop(row) + captionLift, 195, 285);
        // Only the box shows; it is as wide as the style draws it, so no
        // part of it is cut off (the column leaves room on its right).
        const int boxWidth = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box);
        box->resize(qMax(box->width(), boxWidth), box->height());
        return box;
    };

    for (int row = 0; row < SlotCount; ++row) {
        auto *clear = new QPushButton(m_rowPanel);
        clear->setObjectName(QStringLiteral("cmdClear_%1").arg(row));
        clear->setToolTip(tr("CLEAR THIS ROW"));
        clear->setAccessibleName(tr("Clear row %1").arg(row + 1));
        clear->setFont(boxFont);
        clear->setAutoDefault(false);
        if (row == 0)
            placeTwips(clear, 0, 180, 375, 330);
        else
            placeTwips(clear, 0, rowTop(row), 375, 300);
        m_clearButtons[row] = clear;
        connect(clear, &QPushButton::clicked, this, [this, row] { clearRow(row); });
        clear->installEventFilter(this);

        m_dateBoxes[row] = rowText(m_rowPanel, QStringLiteral("txtDateNotify"), row, 390, 765);
        m_messageBoxes[row] = rowText(m_rowPanel, QStringLiteral("txtMessage"), row, 1170, 3945);
        m_timeBoxes[row] = rowText(m_rowPanel, QStringLiteral("txtTimeNote"), row, 5130, 885);
        m_dateBoxes[row]->installEventFilter(this);
        m_timeBoxes[row]->installEventFilter(this);

        m_dailyBoxes[row] = makeBox(m_dailyColumn, QStringLiteral("ckDaily"), row);
        m_weeklyBoxes[row] = makeBox(m_weeklyColumn, QStringLiteral("ckWeekly"), row);
        m_monthlyBoxes[row] = makeBox(m_monthlyColumn, QStringLiteral("ckMonthly"), row);
        // What a screen reader says of each control: its row and its part.
        const int number = row + 1;
        m_dateBoxes[row]->setAccessibleName(tr("Row %1 date").arg(number));
        m_messageBoxes[row]->setAccessibleName(tr("Row %1 message").arg(number));
        m_timeBoxes[row]->setAccessibleName(tr("Row %1 time").arg(number));
        m_dailyBoxes[row]->setAccessibleName(tr("Row %1 daily").arg(number));
        m_weeklyBoxes[row]->setAccessibleName(tr("Row %1 weekly").arg(number));
        m_monthlyBoxes[row]->setAccessibleName(tr("Row %1 monthly").arg(number));
        // A value set by the program raises the rule just as a click does.
        connect(m_dailyBoxes[row], &QCheckBox::stateChanged, this,
                [this, row] { dailyBoxChanged(row); });
        connect(m_weeklyBoxes[row], &QCheckBox::stateChanged, this,
                [this, row] { weeklyBoxChanged(row); });
        connect(m_monthlyBoxes[row], &QCheckBox::stateChanged, this,
                [this, row] { monthlyBoxChanged(row); });
    }
}

void AlarmEditor::buildSoundPanel()
{
    m_soundPanel = new QGroupBox(tr("Sounds"), this);
    m_soundPanel->setObjectName(QStringLiteral("Frame2"));
    m_soundPanel->setFont(DesignFont::of(QStringLiteral("MS Serif"), 7.47));
    placeTwips(m_soundPanel, 8196, 240, 1455, 1515);

    const QFont optionFont = DesignFont::of(QStringLiteral("Arial"), 8.15);
    const auto option = [&](const QString &name, const QString &caption, double top, double width) {
        auto *button = new QRadioButton(caption, this);
        button->setObjectName(name);
        button->setFont(optionFont);
        placeTwips(button, 8256, top, width, 300);
        return button;
    };
    const auto test = [&](const QString &name, const QString &sound, double top,
                          void (AlarmEditor::*handler)()) {
        auto *button = new QPushButton(this);
        button->setObjectName(name);
        button->setAccessibleName(tr("Play %1").arg(sound));
        button->setFont(optionFont);
        button->setAutoDefault(false);
        placeTwips(button, 9276, top, 285, 285);
        connect(button, &QPushButton::clicked, this, handler);
        button->installEventFilter(this);
        return button;
    };

    // The four lie directly on the window, so they form one group.
    m_messageButton = option(QStringLiteral("optMessage"), tr("Message"), 405, 1005);
    m_alert1Button = option(QStringLiteral("optAlert"), tr("Alert1"), 720, 945);
    m_alert2Button = option(QStringLiteral("optDive"), tr("Alert2"), 1065, 945);
    m_alert3Button = option(QStringLiteral("OptAlarm"), tr("Alert3"), 1380, 945);
    m_messageButton->setChecked(true);

    m_playMessageButton =
        test(QStringLiteral("cmdTest1"), tr("Message"), 390, &AlarmEditor::playMessageSound);
    m_playAlert1Button =
        test(QStringLiteral("cmdTest2"), tr("Alert1"), 720, &AlarmEditor::playAlert1Sound);
    m_playAlert2Button =
        test(QStringLiteral("cmdTest3"), tr("Alert2"), 1050, &AlarmEditor::playAlert2Sound);
    m_playAlert3Button =
        test(QStringLiteral("cmdTest4"), tr("Alert3"), 1380, &AlarmEditor::playAlert3Sound);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setScaledContents(true);
    placeTwips(m_picture, 8316, 2040, 1128, 828);
}

void AlarmEditor::drawPictures()
{
    // For this screen's pixel ratio and in this palette's colours (the
    // buttons take the window's); drawn again when either may have changed.
    const qreal ratio = devicePixelRatioF();
    const QIcon clear = EditorPictures::clearRowIcon(ratio, palette().color(QPalette::Button));
    for (QPushButton *button : m_clearButtons)
        button->setIcon(clear);
    const QIcon speaker = EditorPictures::speakerIcon(ratio, palette().color(QPalette::ButtonText));
    for (QPushButton *button :
         {m_playMessageButton, m_playAlert1Button, m_playAlert2Button, m_playAlert3Button})
        button->setIcon(speaker);
    m_picture->setPixmap(EditorPictures::alarmClock(ratio));
}

void AlarmEditor::changeEvent(QEvent *event)
{
    // Once built: the palette may change while the controls are made.
    if (event->type() == QEvent::PaletteChange && m_picture)
        drawPictures();
    QDialog::changeEvent(event);
}

void AlarmEditor::scrollRows()
{
    m_rowPanel->move(m_rowPanel->x(), twipsToPixels(-m_scrollBar->value()));
}

void AlarmEditor::closeEvent(QCloseEvent *event)
{
    // The close box cancels: nothing is saved and the editor only hides.
    event->ignore();
    cancelEdits();
}

void AlarmEditor::keyPressEvent(QKeyEvent *event)
{
    // Escape does nothing here; Enter presses OK (a focused speaker or
    // clear cross takes Enter itself: see eventFilter).
    if (event->matches(QKeySequence::Cancel) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AlarmEditor::showEvent(QShowEvent *event)
{
    // Shown by the program, not merely mapped again by the desktop: it opens
    // where it was scrolled to, on the date of the first row it shows.
    if (!event->spontaneous()) {
        drawPictures();
        m_context.engine.rememberShownTexts();
        m_dateBoxes[firstRowInView()]->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(event);
}

int AlarmEditor::firstRowInView() const
{
    for (int row = 0; row < SlotCount; ++row) {
        const QRect box(m_dateBoxes[row]->mapTo(this, QPoint(0, 0)), m_dateBoxes[row]->size());
        if (rect().contains(box))
            return row;
    }
    return 0;
}

void AlarmEditor::keepInView(QWidget *control)
{
    // The rows follow the keyboard: a control that Tab moved to outside the
    // visible part of the panel scrolls into it, and the scroll bar with it,
    // by whole rows, so the panel rests on its grid as the arrows leave it.
    if (!m_rowPanel->isAncestorOf(control))
        return;
    const int top = control->mapTo(m_rowPanel, QPoint(0, 0)).y() * 15;
    const int bottom = top + control->height() * 15;
    const int scrolled = m_scrollBar->value();
    const int visible = height() * 15;
    const int row = m_scrollBar->singleStep();
    if (top < scrolled)
        m_scrollBar->setValue(top / row * row);
    else if (bottom > scrolled + visible)
        m_scrollBar->setValue((bottom - visible + row - 1) / row * row);
}
