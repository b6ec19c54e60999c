// Waits in a test until a condition holds, with a bound instead of a fixed sleep; on the UI thread it runs
// the event loop meanwhile unless pump is false (as a UI thread that blocks in a join).
#pragma once

#include <QCoreApplication>

#include <chrono>
#include <functional>
#include <thread>

inline bool pumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds bound = std::chrono::seconds(20), bool pump = true) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        if (pump)
            QCoreApplication::processEvents();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
