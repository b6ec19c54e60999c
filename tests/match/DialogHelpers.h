// Helpers for driving the match dialogs offscreen: a window that stands in for the operator view and
// records what the dialogs post or send to it, and a way to answer a modal dialog from inside its loop.
#pragma once

#include "app/MainWnd.h"
#include "platform/WindowMessages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

// Takes g_hMainWnd for its lifetime and records every message as "message-WM_USER wParam lParam", with the
// text of a sent decision ("107 0 B,B,P,3,A,3").
class ViewStandIn final : public MessageWindow {
public:
    ViewStandIn() : m_saved(g_hMainWnd) { g_hMainWnd = GetSafeHwnd(); }
    ~ViewStandIn() override { g_hMainWnd = m_saved; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        std::string line =
            std::to_string(message - WM_USER) + " " + std::to_string(static_cast<long>(wParam));
        if (message == WM_USER + 107)
            line += " " + std::string(reinterpret_cast<const char*>(lParam));
        else
            line += " " + std::to_string(static_cast<long>(lParam));
        messages.push_back(line);
        return 0;
    }
    std::vector<std::string> messages;

private:
    HWND m_saved;
};

// Delivers posted messages and deletes what asked to be deleted.
inline void Pump() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Runs `act` on the modal dialog once its loop runs (the next time the event loop turns).
inline void WhenModal(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        if (QWidget* modal = QApplication::activeModalWidget())
            act(*modal);
    });
}

template <typename T> T* Child(const QWidget& parent, int id) {
    return parent.findChild<T*>(QString::number(id));
}
