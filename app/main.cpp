#include "app/VeziruduzApp.h"
#include "platform/HeapReserve.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Before anything is allocated: the start-up's own allocations land on the pages it touches.
    platform::reserveHeap(platform::kProgramHeapReserve);
    QApplication application(argc, argv);
    if (!theApp.InitInstance()) {
        theApp.ExitInstance();
        return 1;
    }
    application.exec();
    return theApp.ExitInstance();
}
