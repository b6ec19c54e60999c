// A program that plays a sound through the real player and then ends as the court program does: the
// application object goes first, the process's statics after it. Its exit status tells whether that order
// is safe.
#include "platform/Sound.h"

#include <QApplication>
#include <QTimer>

#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    PlaySound(path.toStdU16String());
    QTimer::singleShot(300, &app, &QCoreApplication::quit);
    return app.exec();
}
