#include "app/ProgressDlg.h"
#include "platform/TickSource.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

constexpr UINT_PTR kProgressTimer = 100;

TEST(ProgressDlg, RunsItsTicksAndClosesAtTheLast) {
    platform::ManualTime clock;
    CTK_ProgDlg dlg(u"Registering CV ...");
    const HWND hwnd = dlg.GetSafeHwnd();
    EXPECT_EQ(dlg.Message()->text(), QStringLiteral("Registering CV ..."));

    bool checkedBeforeTheEnd = false;
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_EQ(g_hProgDlg.load(), hwnd);
        EXPECT_EQ(clock.interval(hwnd, kProgressTimer), 100u);
        EXPECT_EQ(dlg.Progress()->maximum(), 140);
        clock.advance(139 * 100);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.Ticks(), 139);
        EXPECT_EQ(dlg.Progress()->value(), 138);
        checkedBeforeTheEnd = true;
        clock.advance(100);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(checkedBeforeTheEnd);
    EXPECT_EQ(dlg.Ticks(), 140);
    EXPECT_EQ(dlg.Progress()->value(), 139);
    EXPECT_FALSE(clock.isArmed(hwnd, kProgressTimer));
    EXPECT_EQ(g_hProgDlg.load(), HWND{0});
    EXPECT_EQ(dlg.DoModal(), -1);
}

TEST(ProgressDlg, ClosesEarlyOnAWorkersCloseAndLeavesNoTimer) {
    platform::ManualTime clock;
    CTK_ProgDlg dlg;
    const HWND hwnd = dlg.GetSafeHwnd();
    EXPECT_EQ(dlg.Message()->text(), QStringLiteral("Registering Equipment ..."));

    std::thread pairing;
    QTimer::singleShot(0, &dlg, [&] {
        clock.advance(500);
        pairing = std::thread([] { SendMessage(g_hProgDlg.load(), WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    pairing.join();
    EXPECT_EQ(dlg.Ticks(), 5);
    EXPECT_FALSE(clock.isArmed(hwnd, kProgressTimer));
    EXPECT_EQ(g_hProgDlg.load(), HWND{0});
    clock.advance(20000);
    EXPECT_EQ(dlg.Ticks(), 5);
}

TEST(ProgressDlg, ALateCloseFindsNothingAndAnOldDialogLeavesTheNewOneAlone) {
    platform::ManualTime clock;
    auto old = std::make_unique<CTK_ProgDlg>();
    const HWND oldHwnd = old->GetSafeHwnd();
    QTimer::singleShot(0, old.get(), [&] { clock.advance(14000); });
    ASSERT_EQ(old->DoModal(), IDCANCEL);

    // The run is over: a close to the old handle, from any thread, does nothing and does not block.
    EXPECT_EQ(SendMessage(oldHwnd, WM_CLOSE, 0, 0), 0);
    std::thread([oldHwnd] {
        EXPECT_EQ(SendMessage(oldHwnd, WM_CLOSE, 0, 0), 0);
        EXPECT_EQ(PostMessage(oldHwnd, WM_CLOSE, 0, 0), FALSE);
    }).join();

    CTK_ProgDlg current(u"Registering HV ...");
    QTimer::singleShot(0, &current, [&] {
        old.reset(); // the old dialog object goes while the new one runs
        EXPECT_EQ(g_hProgDlg.load(), current.GetSafeHwnd());
        EXPECT_EQ(SendMessage(oldHwnd, WM_CLOSE, 0, 0), 0);
        clock.advance(1000);
        EXPECT_TRUE(current.isVisible());
        EXPECT_EQ(current.Ticks(), 10);
        SendMessage(g_hProgDlg.load(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(current.DoModal(), IDCANCEL);
    EXPECT_EQ(current.Ticks(), 10);
    EXPECT_EQ(g_hProgDlg.load(), HWND{0});
}

// The device answers before the UI thread has the dialog up: the dialog closes as soon as it opens rather
// than running its 14 s; the end is used once, and an end seen by an open dialog is not kept for the next
// one.
TEST(ProgressDlg, AnEndOfPairingBeforeTheDialogOpensClosesItAtOnce) {
    platform::ManualTime clock;
    const auto run = [&](CTK_ProgDlg& dlg, unsigned ms) {
        QTimer::singleShot(0, &dlg, [&clock, ms] { clock.advance(ms); });
        QTimer::singleShot(0, &dlg, [] { SendMessage(g_hProgDlg.load(), WM_CLOSE, 0, 0); });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        return dlg.Ticks();
    };

    std::thread([] { CloseProgressDialog(); }).join();
    CTK_ProgDlg early;
    // Without the kept end only its last tick would close it.
    QTimer::singleShot(200, &early, [&] { clock.advance(14000); });
    EXPECT_EQ(early.DoModal(), IDCANCEL);
    EXPECT_EQ(early.Ticks(), 0) << "closed by the kept end before its first tick";

    CTK_ProgDlg next;
    EXPECT_EQ(run(next, 500), 5) << "the kept end was used once";

    // An end while a dialog is up closes that one and is not kept.
    CTK_ProgDlg open;
    QTimer::singleShot(0, &open, [&] {
        clock.advance(300);
        std::thread([] { CloseProgressDialog(); }).join();
    });
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    EXPECT_EQ(open.Ticks(), 3);
    CTK_ProgDlg after;
    EXPECT_EQ(run(after, 700), 7);

    // A new pairing forgets an end kept from an earlier one.
    CloseProgressDialog();
    ForgetProgressDialogClose();
    CTK_ProgDlg fresh;
    EXPECT_EQ(run(fresh, 200), 2);
}

} // namespace
