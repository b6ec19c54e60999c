// The pictures the operator screen's paint parts draw, made once by SetupControls. A null picture is not
// drawn (nor the text that goes over it). UI thread only.
#pragma once

#include "app/MainWnd.h"

#include <QImage>

#include <memory>

struct CMainWnd::PaintImages {
    QImage background;  // bitmap 504
    QImage mark[11];    // judge marks by kind 1..10 (PNG 451 + kind)
    QImage slotWaiting; // slot state 1
    QImage hit[4][2];   // last hits by type 1..3: [below the minimum, reached]
    QImage replayCard;  // a side with video-replay requests left
    QImage receiver[2]; // closed, open
    QImage judgeWired, judgeWireless;
    QImage trunk[3], head[3]; // Chung, Hong registered; not registered
    QImage punch;             // the punch level

    // Every picture from the catalogue.
    static std::shared_ptr<PaintImages> Load();
};
