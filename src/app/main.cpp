#include "app/frmtray.h"
#include "app/qtservices.h"
#include "app/singlecopy.h"
#include "app/trayicon.h"
#include "scheduler/appcontext.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

// An exception that escapes an event handler ends the program, after
// saying so; nothing is saved on that path.
class TikoraApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            fail(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            fail(QStringLiteral("unknown error"));
        }
        return false;
    }

private:
    static void fail(const QString &what)
    {
        QtMessageBoxes().show(QStringLiteral("Tikora has met an unexpected problem and must "
                                             "close.\n%1")
                                  .arg(what));
        std::fflush(nullptr);
        std::_Exit(EXIT_FAILURE);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    TikoraApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tikora.png")));

    QtMessageBoxes boxes;
    SingleCopy copy;
    if (copy.acquire() == SingleCopy::AlreadyRunning) {
        boxes.show(SingleCopy::AlreadyRunningText);
        return EXIT_FAILURE;
    }

    SystemClock clock;
    QtSoundPlayer sound;
    QtModalRunner modal;
    QtHelpViewer help;
    QtTrayIcon tray;
    QtProblemReporter problems(boxes, tray);
    AppContext context(Services{clock, boxes, sound, modal, problems, help, tray});

    context.endProcess = [&copy](int code) {
        copy.release();
        std::fflush(nullptr);
        std::_Exit(code);
    };

    frmTray trayForm(context);
    trayForm.startUp();
    return QApplication::exec();
}
