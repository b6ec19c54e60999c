#include "app/StartWindow.h"

#include <QLabel>

StartWindow::StartWindow() {
    setWindowTitle(QStringLiteral("Veziruduz"));
    auto* status = new QLabel(QStringLiteral("No match loaded."), this);
    status->setAlignment(Qt::AlignCenter);
    setCentralWidget(status);
    resize(1280, 720);
}
