#include "app/qtservices.h"
#include "scheduler/appcontext.h"
#include "scheduler/frmpass.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle);

    SystemClock clock;
    QtMessageBoxes boxes;
    QtSoundPlayer sound;
    QtModalRunner modal;
    QtProblemReporter problems(boxes);
    AppContext context(Services{clock, boxes, sound, modal, problems});
    context.mainAlert().show();
    return QApplication::exec();
}
