#include "app/ProgressDlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

std::atomic<HWND> g_hProgDlg{0};

namespace {
constexpr UINT_PTR kProgressTimer = 100;
constexpr UINT kTickMs = 100;
// An end of pairing not yet seen by a dialog. Set before the handle is read, and the dialog stores its handle
// before it takes the flag: whichever side comes second sees the other, so the end is never lost.
std::atomic<bool> s_closePending{false};
} // namespace

void CloseProgressDialog() {
    s_closePending = true;
    PostMessage(g_hProgDlg.load(), WM_CLOSE, 0, 0);
}

void ForgetProgressDialogClose() {
    s_closePending = false;
}

CTK_ProgDlg::CTK_ProgDlg(std::u16string message, QWidget* parent)
    : QDialog(parent), m_strMessage(std::move(message)), m_progress(new QProgressBar(this)),
      m_message(new QLabel(this)) {
    m_progress->setObjectName(QString::number(IDC_PROGRESS));
    m_progress->setTextVisible(false);
    m_message->setObjectName(QString::number(IDC_MESSAGE));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setText(QString::fromStdU16String(m_strMessage));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_progress);
    setFixedSize(300, 83);
}

CTK_ProgDlg::~CTK_ProgDlg() {
    OnDestroy();
}

int CTK_ProgDlg::DoModal() {
    if (GetSafeHwnd() == 0)
        return -1;
    OnInitDialog();
    exec();
    OnDestroy();
    return IDCANCEL;
}

void CTK_ProgDlg::OnInitDialog() {
    g_hProgDlg = GetSafeHwnd();
    m_nTick = 0;
    m_progress->setRange(0, kTicks);
    m_progress->setValue(0);
    SetTimer(kProgressTimer, kTickMs);
    if (s_closePending.exchange(false))
        PostMessage(GetSafeHwnd(), WM_CLOSE, 0, 0);
}

void CTK_ProgDlg::OnDestroy() {
    // Only this dialog's own handle is cleared: a newer dialog may already have put its own there.
    HWND own = GetSafeHwnd();
    if (own != 0 && g_hProgDlg.compare_exchange_strong(own, HWND{0}))
        s_closePending = false; // an end that came while this dialog was up was this dialog's
    // Unregisters the handle and kills the timer: a close that arrives late finds nothing.
    DestroyWindow();
}

LRESULT CTK_ProgDlg::WindowProc(UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) {
        KillTimer(kProgressTimer);
        reject();
    }
    return 0;
}

void CTK_ProgDlg::OnTimer(UINT_PTR id) {
    if (id != kProgressTimer)
        return;
    m_progress->setValue(m_nTick);
    if (++m_nTick >= kTicks) {
        KillTimer(kProgressTimer);
        SendMessage(GetSafeHwnd(), WM_CLOSE, 0, 0);
    }
}
