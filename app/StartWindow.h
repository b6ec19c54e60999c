// The main window shown while the program has no frame of its own yet: the title and a status line.
#pragma once

#include <QMainWindow>

class StartWindow : public QMainWindow {
    Q_OBJECT
public:
    StartWindow();
};
