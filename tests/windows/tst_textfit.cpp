// SPDX-License-Identifier: MIT
// Every text of every window fits the control that shows it: labels, push
// buttons, check boxes, option buttons, frame captions and text boxes, at the
// desktop's font and at a font 2 points larger. The room a control leaves for
// its text is asked of the style (frame, indicator, margins), and the text is
// measured with the control's own font. A frame's caption is also not covered
// by the controls inside the frame. The German texts fit as the English do.

#include "platform/translations.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/aboutwindow.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/datepicker.h"
#include "windows/timepicker.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QtTest>

#include <memory>

namespace {

QString sizeText(const QSize &size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QString misfitText(const QString &text, const QSize &needed, const QRect &room)
{
    return QStringLiteral("\"%1\" needs %2 in %3")
        .arg(text, sizeText(needed), sizeText(room.size()));
}

QString withoutMnemonic(const QString &text)
{
    return QString(text).remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// Where the glyphs of one line land: the line aligned in the room as the
// control aligns it, the glyphs on its baseline.
QRect inkRect(const QFontMetrics &metrics, const QString &shown, const QRect &room,
              Qt::Alignment align)
{
    int lineTop = room.top();
    if (align & Qt::AlignVCenter)
        lineTop += (room.height() - metrics.height()) / 2;
    else if (align & Qt::AlignBottom)
        lineTop = room.bottom() + 1 - metrics.height();
    return metrics.tightBoundingRect(shown).translated(room.left(), lineTop + metrics.ascent());
}

// Why one line of text does not fit its room, or nothing: it must be no
// wider than the room, and its glyphs must lie within the room's top and
// bottom.
QString lineMisfit(const QFont &font, const QString &text, const QRect &room, Qt::Alignment align,
                   int extraWidth = 0, int extraHeight = 0)
{
    const QFontMetrics metrics(font);
    const QString shown = withoutMnemonic(text);
    const int width = metrics.horizontalAdvance(shown) + extraWidth;
    const QRect ink = inkRect(metrics, shown, room, align);
    const bool fitsHeight =
        ink.top() >= room.top() && ink.bottom() <= room.bottom() && extraHeight <= room.height();
    if (width <= room.width() && fitsHeight)
        return QString();
    return misfitText(text, QSize(width, qMax(ink.height(), extraHeight)), room);
}

// What a control paints over its parent: a check box or option button only
// its box and its text, anything else its whole rectangle.
QRect paintedRect(const QWidget &widget)
{
    auto *button = qobject_cast<const QAbstractButton *>(&widget);
    const bool check = qobject_cast<const QCheckBox *>(&widget) != nullptr;
    if (!button || !(check || qobject_cast<const QRadioButton *>(&widget)))
        return widget.rect();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    QRect painted = widget.style()->subElementRect(
        check ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator, &option, button);
    if (!button->text().isEmpty())
        painted |= widget.style()->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, button);
    return painted;
}

// The control drawn over the glyphs (in the owner's coordinates), if any.
QString coveringControl(const QWidget &owner, const QRect &ink)
{
    for (QWidget *child : owner.findChildren<QWidget *>()) {
        if (!child->isVisibleTo(&owner))
            continue;
        const QRect painted = paintedRect(*child).translated(child->mapTo(&owner, QPoint(0, 0)));
        if (painted.intersects(ink))
            return QStringLiteral("covered by ") + child->objectName();
    }
    return QString();
}

QString labelMisfit(const QLabel &label)
{
    if (label.text().isEmpty())
        return QString();
    QRect room = label.contentsRect();
    const int margin = label.margin();
    room.adjust(margin, margin, -margin, -margin);
    if (!label.wordWrap())
        return lineMisfit(label.font(), label.text(), room, label.alignment());
    // Wrapped: every line must show whole.
    const QSize needed = QFontMetrics(label.font())
                             .boundingRect(QRect(0, 0, room.width(), 10000),
                                           int(label.alignment()) | Qt::TextWordWrap, label.text())
                             .size();
    if (needed.width() <= room.width() && needed.height() <= room.height())
        return QString();
    return misfitText(label.text(), needed, room);
}

QStyleOptionButton buttonOption(const QAbstractButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    if (auto *push = qobject_cast<const QPushButton *>(&button)) {
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
    }
    return option;
}

// The text, and the icon beside it, in the room the style draws them in.
QString contentsMisfit(const QAbstractButton &button, const QRect &room)
{
    const bool icon = !button.icon().isNull();
    if (!icon && button.text().isEmpty())
        return QString();
    const int iconWidth = icon ? button.iconSize().width() + (button.text().isEmpty() ? 0 : 4) : 0;
    const int iconHeight = icon ? button.iconSize().height() : 0;
    if (button.text().isEmpty())
        return iconWidth <= room.width() && iconHeight <= room.height()
                   ? QString()
                   : misfitText(QStringLiteral("(icon)"), QSize(iconWidth, iconHeight), room);
    return lineMisfit(button.font(), button.text(), room, Qt::AlignVCenter, iconWidth, iconHeight);
}

QString buttonMisfit(const QAbstractButton &button)
{
    const QStyleOptionButton option = buttonOption(button);
    QStyle *style = button.style();
    if (qobject_cast<const QPushButton *>(&button))
        return contentsMisfit(
            button, style->subElementRect(QStyle::SE_PushButtonContents, &option, &button));
    const bool check = qobject_cast<const QCheckBox *>(&button) != nullptr;
    const QRect indicator = style->subElementRect(
        check ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator, &option, &button);
    if (!button.rect().contains(indicator))
        return QStringLiteral("its box %1 at %2,%3 lies outside %4")
            .arg(sizeText(indicator.size()))
            .arg(indicator.x())
            .arg(indicator.y())
            .arg(sizeText(button.size()));
    return contentsMisfit(button, style->subElementRect(check ? QStyle::SE_CheckBoxContents
                                                              : QStyle::SE_RadioButtonContents,
                                                        &option, &button));
}

QString groupBoxMisfit(const QGroupBox &box)
{
    if (box.title().isEmpty())
        return QString();
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.lineWidth = 1;
    option.textAlignment = box.alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect label =
        box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    // The caption is drawn from the label's left edge to the frame's right,
    // at the label's top, under the frame's controls.
    const QRect room(label.topLeft(), QPoint(box.rect().right(), label.bottom()));
    const QString why = lineMisfit(box.font(), box.title(), room, Qt::AlignTop);
    if (!why.isEmpty())
        return why;
    const QString shown = withoutMnemonic(box.title());
    return coveringControl(box, inkRect(QFontMetrics(box.font()), shown, room, Qt::AlignTop));
}

// A text box: its frame, and the margin a line edit keeps inside it, leave the rest.
QString lineEditMisfit(const QLineEdit &edit)
{
    if (edit.text().isEmpty())
        return QString();
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = edit.rect();
    option.lineWidth = edit.hasFrame()
                           ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit)
                           : 0;
    QRect room = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
    room = room.marginsRemoved(edit.textMargins());
    room.adjust(2, 1, -2, -1); // the line edit's own margin
    return lineMisfit(edit.font(), edit.text(), room, Qt::AlignVCenter);
}

// Everything shown in the window that does not fit, one line each.
QStringList misfits(QWidget &window)
{
    QStringList found;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(&window))
            continue;
        QString why;
        if (auto *label = qobject_cast<QLabel *>(widget))
            why = labelMisfit(*label);
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            why = buttonMisfit(*button);
        else if (auto *box = qobject_cast<QGroupBox *>(widget))
            why = groupBoxMisfit(*box);
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            why = lineEditMisfit(*edit);
        if (!why.isEmpty()) {
            const QString name = widget->objectName().isEmpty()
                                     ? widget->parentWidget()->objectName() + QStringLiteral(" box")
                                     : widget->objectName();
            found.append(name + QStringLiteral(": ") + why);
        }
    }
    return found;
}

// The desktop's font for the time of a test.
class DesktopFont
{
public:
    explicit DesktopFont(double extraPoints) : m_saved(QApplication::font())
    {
        QFont font = m_saved;
        font.setPointSizeF(m_saved.pointSizeF() + extraPoints);
        QApplication::setFont(font);
    }
    ~DesktopFont() { QApplication::setFont(m_saved); }

private:
    QFont m_saved;
};

} // namespace

class TestTextFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The families this run measured with, for whoever reads a failure.
        qInfo("desktop font: %s", qPrintable(QApplication::font().toString()));
        qInfo("families: %s", qPrintable(QFontDatabase::families().join(QStringLiteral(", "))));
    }

    void everyTextFits_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<double>("extraPoints");
        QTest::addColumn<bool>("german");
        const char *windows[] = {"main alert",  "further alert", "editor",
                                 "date picker", "time picker",   "About"};
        for (const bool german : {false, true}) {
            const char *language = german ? "German" : "English";
            for (const char *window : windows) {
                QTest::addRow("%s, %s, desktop font", window, language)
                    << QString::fromLatin1(window) << 0.0 << german;
                QTest::addRow("%s, %s, 2 pt larger", window, language)
                    << QString::fromLatin1(window) << 2.0 << german;
            }
        }
    }

    void everyTextFits()
    {
        QFETCH(QString, window);
        QFETCH(double, extraPoints);
        QFETCH(bool, german);
        std::unique_ptr<Translations> translations;
        if (german) {
            translations =
                std::make_unique<Translations>(QStringList{QStringLiteral(TIKORA_TRANSLATIONS_DIR)},
                                               QLocale(QLocale::German, QLocale::Germany));
            QVERIFY(translations->ownInstalled());
        }
        TempCurrentDir dir;
        DesktopFont font(extraPoints);
        TestApp app;
        // The widest texts the rows and clocks show.
        app.clock.setLocal(QDate(2026, 12, 28), QTime(23, 58, 58));

        std::unique_ptr<QWidget> owned;
        QWidget *shown = nullptr;
        if (window == QLatin1String("main alert")) {
            AlertWindow &main = app.context.mainAlert();
            main.startShowing();
            shown = &main;
        } else if (window == QLatin1String("further alert")) {
            auto *alert = new AlertWindow(app.context, AlertWindow::Further);
            owned.reset(alert);
            alert->startShowing();
            alert->setMessage(QStringLiteral("Pay the gym by July"), OpenAlerts::NoId);
            shown = alert;
        } else if (window == QLatin1String("editor")) {
            AlarmEditor &editor = app.context.editor();
            editor.showWorkingCopy();
            for (int row = 0; row < SlotCount; ++row) {
                app.context.engine.setText(row, AlarmEngine::Field::Date,
                                           QStringLiteral("12/28/26"));
                app.context.engine.setText(row, AlarmEngine::Field::Message,
                                           QStringLiteral("Dentist at three"));
                app.context.engine.setText(row, AlarmEngine::Field::Time,
                                           QStringLiteral("23:58:58"));
            }
            shown = &editor;
        } else if (window == QLatin1String("date picker")) {
            app.context.editor();
            auto *picker = new DatePicker(app.context, 2);
            owned.reset(picker);
            picker->startFromRow();
            shown = picker;
        } else if (window == QLatin1String("time picker")) {
            app.context.engine.setText(2, AlarmEngine::Field::Time, QStringLiteral("23:58:58"));
            auto *picker = new TimePicker(app.context, 2);
            owned.reset(picker);
            picker->startFromRow();
            shown = picker;
        } else {
            auto *about = new AboutWindow;
            owned.reset(about);
            about->fillTitleAndVersion();
            shown = about;
        }
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));

        const QStringList found = misfits(*shown);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
