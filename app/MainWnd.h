// The operator view: the operator's scoring screen and the hub of the match engine. It owns the screen's
// controls, the pop-ups and the public scoreboard, and receives every device and dialog message and every
// timer. UI thread only, except GetSafeHwnd() (see platform/WindowMessages.h).
#pragma once

#include "platform/WindowMessages.h"

#include <QWidget>

#include <map>

class QLabel;
class QPushButton;

class CMainWnd : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    explicit CMainWnd(QWidget* parent = nullptr);
    ~CMainWnd() override;

    // Starts the view once the frame has loaded the settings: scoreboard, controls, match cleared, timers.
    void OnInitialUpdate();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

    // The screen's controls by their ids. Until the owner-drawn controls exist they are plain widgets,
    // made on first use (hidden until placed); SetupControls places and shows them.
    QWidget* GetDlgItem(int id) const; // null for an id not made yet
    QLabel* Static(int id);
    QPushButton* Button(int id); // checkable buttons are made checkable by their owner
    void SetDlgItemText(int id, const QString& text);
    void ShowDlgItem(int id, bool show);

    // ---- view core: construction, start, shutdown, painting, own buttons, match clearing ----

    // ---- display operations (operator screen and public scoreboard) ----

    // ---- record operations (event log, result file, match log, tournament database) ----

private:
    template <typename T> T* MakeControl(int id);
    std::map<int, QWidget*> m_controls; // children of the view, deleted with it
};

extern HWND g_hMainWnd;
