// Tests that read the event log back: the rows are written by the event-log writer's thread, so a reader
// first waits (bounded) until the writer has ended its attempt at every event queued so far, then lets the
// view take what the writer posted (the held link records go out then).
#pragma once

#include "records/EventLogWriter.h"

#include <QCoreApplication>

#include <chrono>
#include <thread>

inline bool SettleEventLog() {
    const EventLogWriter& writer = TheEventLogWriter();
    for (int i = 0; i < 4000; ++i) {
        if (writer.Settled() >= writer.LastQueued()) {
            // What the view takes now may log more: a device's hit that arrived meanwhile.
            QCoreApplication::sendPostedEvents();
            if (writer.Settled() >= writer.LastQueued())
                return true;
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}
