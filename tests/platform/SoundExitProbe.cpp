// A program that plays its sounds through the real player, one after the other and each again, and then
// ends as the court program does: the application object goes first, the process's statics after it. Its
// exit status tells whether that order is safe.
#include "platform/Sound.h"

#include <QApplication>
#include <QTimer>

#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    for (int round = 0; round < 2; ++round)
        for (int n = 1; n < argc; ++n)
            PlaySound(QString::fromLocal8Bit(argv[n]).toStdU16String());
    QTimer::singleShot(300, &app, &QCoreApplication::quit);
    return app.exec();
}
