#include "app/VeziruduzApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (!theApp.InitInstance()) {
        theApp.ExitInstance();
        return 1;
    }
    application.exec();
    return theApp.ExitInstance();
}
