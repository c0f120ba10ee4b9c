// SPDX-License-Identifier: MIT
// The pictures the program draws itself are sharp on a screen scaled twice,
// and the loudspeaker stands out on light and dark buttons alike. The whole
// test runs on a screen scaled twice (QT_SCALE_FACTOR=2), as a user with a
// high-density screen has it.

#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/aboutwindow.h"
#include "windows/alarmeditor.h"
#include "windows/datepicker.h"
#include "windows/pickerbackground.h"
#include "windows/pictures.h"
#include "windows/timepicker.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

// Relative luminance of a colour on an sRGB screen, as the accessibility
// guidelines define it.
double luminance(const QColor &colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) +
           0.0722 * linear(colour.blue());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// The colour of the picture's most opaque pixel: the loudspeaker's body.
QColor inkOf(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    QColor ink(Qt::transparent);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor here = image.pixelColor(x, y);
            if (here.alpha() > ink.alpha())
                ink = here;
        }
    }
    return ink;
}

QPalette lightPalette()
{
    QPalette palette(QColor(239, 239, 239), QColor(239, 239, 239));
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    return palette;
}

// A dark desktop: light text on dark grey, as dark colour schemes have it.
QPalette darkPalette()
{
    QPalette palette(QColor(53, 53, 53), QColor(45, 45, 45));
    palette.setColor(QPalette::ButtonText, QColor(238, 238, 238));
    palette.setColor(QPalette::WindowText, QColor(238, 238, 238));
    palette.setColor(QPalette::Base, QColor(30, 30, 30));
    palette.setColor(QPalette::Text, QColor(238, 238, 238));
    return palette;
}

class DesktopPalette
{
public:
    explicit DesktopPalette(const QPalette &palette) : m_saved(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~DesktopPalette() { QApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The screen the test runs on: scaled twice.
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
    }

    void drawnAtTheRatioGiven_data()
    {
        QTest::addColumn<std::function<QPixmap(qreal)>>("draw");
        QTest::addColumn<QSize>("size"); // in device-independent pixels
        QTest::newRow("clear cross") << std::function<QPixmap(qreal)>([](qreal r) {
            return EditorPictures::clearRow(r, Qt::white);
        }) << QSize(16, 16);
        QTest::newRow("loudspeaker") << std::function<QPixmap(qreal)>([](qreal r) {
            return EditorPictures::speaker(r, Qt::black);
        }) << QSize(16, 16);
        QTest::newRow("alarm clock")
            << std::function<QPixmap(qreal)>(&EditorPictures::alarmClock) << QSize(78, 60);
        QTest::newRow("picker background")
            << std::function<QPixmap(qreal)>(&PickerBackground::picture) << QSize(169, 133);
    }

    void drawnAtTheRatioGiven()
    {
        QFETCH(std::function<QPixmap(qreal)>, draw);
        QFETCH(QSize, size);
        const QPixmap one = draw(1);
        QCOMPARE(one.size(), size);
        QCOMPARE(one.devicePixelRatio(), 1.0);
        const QPixmap two = draw(2);
        QCOMPARE(two.size(), size * 2);
        QCOMPARE(two.devicePixelRatio(), 2.0);
        QCOMPARE(two.deviceIndependentSize(), QSizeF(size));
        // Drawn again, not the small one enlarged: some pixel differs from
        // its neighbour within a pair that enlarging would have copied.
        const QImage image = two.toImage().convertToFormat(QImage::Format_ARGB32);
        bool finer = false;
        for (int y = 0; y < image.height() && !finer; y += 2) {
            for (int x = 0; x + 1 < image.width() && !finer; x += 2)
                finer = image.pixel(x, y) != image.pixel(x + 1, y);
        }
        QVERIFY(finer);
    }

    void theEditorsPicturesAreSharpOnThisScreen()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        const QPixmap clock = control<QLabel>(editor, "Image1")->pixmap();
        QCOMPARE(clock.devicePixelRatio(), 2.0);
        QCOMPARE(clock.size(), QSize(156, 120));
        for (QPushButton *button :
             {Row::clear(editor, 0), control<QPushButton>(editor, "cmdTest3")}) {
            const QPixmap icon = button->icon().pixmap(QSize(16, 16), 2.0);
            QCOMPARE(icon.size(), QSize(32, 32));
            // The icon holds a picture drawn at this ratio, not an enlarged one.
            QVERIFY2(button->icon().availableSizes().contains(QSize(32, 32)),
                     qPrintable(button->objectName()));
        }
    }

    void aboutShowsItsPictureDrawnForThisRatio()
    {
        AboutWindow about;
        const QPixmap picture = control<QLabel>(about, "picture")->pixmap();
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        QCOMPARE(picture.size(), QSize(314, 240));
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(157, 120));
    }

    void thePickersBackgroundIsDrawnAtThisRatio()
    {
        // A band picture shown as drawn for ratio 2, pixel for pixel, along
        // the top edge, where no control lies.
        TempCurrentDir dir;
        TestApp app;
        app.context.editor();
        DatePicker date(app.context, 0);
        TimePicker time(app.context, 0);
        const QImage expected =
            PickerBackground::picture(2).toImage().convertToFormat(QImage::Format_RGB32);
        for (QDialog *picker : {static_cast<QDialog *>(&date), static_cast<QDialog *>(&time)}) {
            picker->show();
            QVERIFY(QTest::qWaitForWindowExposed(picker));
            const QImage shown = picker->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shown.devicePixelRatio(), 2.0);
            for (int x = 0; x < shown.width(); ++x)
                QCOMPARE(shown.pixel(x, 4), expected.pixel(x, 4));
        }
    }

    void theLoudspeakerStandsOut_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light desktop") << lightPalette();
        QTest::newRow("dark desktop") << darkPalette();
    }

    void theLoudspeakerStandsOut()
    {
        QFETCH(QPalette, palette);
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        // The desktop's colours change while the editor exists, as when the
        // user switches the scheme.
        DesktopPalette desktop(palette);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        const QColor ink =
            inkOf(control<QPushButton>(editor, "cmdTest1")->icon().pixmap(QSize(16, 16), 2.0));
        QCOMPARE(ink.alpha(), 255);
        // The contrast the guidelines ask of text: 4.5 to 1.
        for (QPalette::ColorRole behind : {QPalette::Button, QPalette::Window}) {
            const double ratio = contrast(ink, palette.color(behind));
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1 on %2: %3")
                                                  .arg(ink.name(), palette.color(behind).name())
                                                  .arg(ratio)));
        }
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestPictures test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pictures.moc"
