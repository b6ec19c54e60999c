// The small modal dialog shown while a device is being paired with the receiver: one line of text and a bar
// that fills in 140 ticks of 100 ms. It closes itself at the last tick; the pairing thread closes it earlier
// by sending WM_CLOSE to g_hProgDlg.
#pragma once

#include "platform/WindowMessages.h"

#include <QDialog>

#include <atomic>
#include <string>

class QLabel;
class QProgressBar;

// The open progress dialog, 0 when none is open. Written on the UI thread, read by the pairing thread.
extern std::atomic<HWND> g_hProgDlg;

// The pairing has ended (its reply or its time-out), from any thread: closes the open dialog. The reply can
// come before the UI thread, which sends the pairing command first, has the dialog up; the end is then kept
// and the dialog closes as soon as it opens instead of running all its ticks.
void CloseProgressDialog();
// A new pairing starts: an end kept from an earlier one is forgotten.
void ForgetProgressDialogClose();

class CTK_ProgDlg : public QDialog, public MessageWindow {
    Q_OBJECT
public:
    static constexpr int IDC_PROGRESS = 1232;
    static constexpr int IDC_MESSAGE = 1233;
    static constexpr int kTicks = 140;

    // UI thread. The text is shown from the start; the creator then runs DoModal().
    explicit CTK_ProgDlg(std::u16string message = u"Registering Equipment ...", QWidget* parent = nullptr);
    ~CTK_ProgDlg() override;

    // UI thread: runs the dialog until its last tick or a WM_CLOSE, then destroys its window. Returns
    // IDCANCEL, or -1 when the window was already destroyed (a dialog runs once).
    int DoModal();

    // UI thread (through the message functions): WM_CLOSE ends the dialog.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // UI thread: one tick of the bar.
    void OnTimer(UINT_PTR id) override;

    // UI thread, for the creator and tests.
    int Ticks() const { return m_nTick; }
    QProgressBar* Progress() const { return m_progress; }
    QLabel* Message() const { return m_message; }

private:
    void OnInitDialog();
    void OnDestroy();

    std::u16string m_strMessage;
    QProgressBar* m_progress; // child, control 1232
    QLabel* m_message;        // child, control 1233
    int m_nTick = 0;
};
