#include "match/KeyFilter.h"
#include "tests/match/RecordingView.h"

#include "app/Timers.h"
#include "platform/TickSource.h"
#include "screens/ExtIvrScrDlg.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Records the gam-jeom and equipment-test calls the keys make.
class KeyView : public RecordingView {
public:
    void OnClickedAddChungGamJeom() override { events.push_back("gamjeom 0"); }
    void OnClickedAddHongGamJeom() override { events.push_back("gamjeom 1"); }
    bool CheckEquipmentTestMode() override {
        events.push_back("equipment test check");
        return true;
    }
};

// A control that records the keys it is given and lets them go on to its parent.
class KeyRecorder : public QWidget {
public:
    using QWidget::QWidget;
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        keys.push_back(event->key());
        event->ignore();
    }
};

// The operator view's window with one focused control of its own, active as the one the keyboard types
// into.
struct FocusedWindow {
    QWidget& window;

    template <typename Control> Control* Add(Control* made) {
        made->setParent(&window);
        made->show();
        window.show();
        QApplication::setActiveWindow(&window);
        made->setFocus();
        return made;
    }
};

// One key stroke as the window system delivers it: to the window, which hands it to its focus widget.
void Type(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
          bool autoRepeat = false) {
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text, autoRepeat);
    QApplication::sendEvent(window.windowHandle(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text, autoRepeat);
    QApplication::sendEvent(window.windowHandle(), &release);
}

class KeyFilterTest : public MatchTest {
protected:
    KeyFilterTest() {
        view = std::make_unique<KeyView>();
        view->OnInitialUpdate();
        std::strcpy(md->szContestNo, "101");
        md->nGameState = 3;
        md->nCurRound = 1;
    }

    long Count(const std::string& line) const { return std::ranges::count(view->events, line); }

    platform::ManualTime clock;
};

TEST_F(KeyFilterTest, SpaceRunsTheClockInsteadOfClickingTheFocusedButton) {
    FocusedWindow w{*view};
    QPushButton* button = w.Add(new QPushButton(QStringLiteral("Registration")));
    ASSERT_EQ(QApplication::focusWidget(), button);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });

    Type(w.window, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(md->nGameState, 8) << "the running round stopped";

    // Between rounds Space pauses the rest countdown, and again resumes it.
    md->nGameState = 5;
    view->SetTimer(TIMER_REST_CLOCK, 1000);
    Type(w.window, Qt::Key_Space);
    EXPECT_EQ(md->nGameState, 14);
    EXPECT_FALSE(clock.isArmed(view->GetSafeHwnd(), TIMER_REST_CLOCK));
    Type(w.window, Qt::Key_Space, Qt::NoModifier, true);
    EXPECT_EQ(md->nGameState, 14) << "a held Space acts once";
    Type(w.window, Qt::Key_Space);
    EXPECT_EQ(md->nGameState, 5);
    EXPECT_TRUE(clock.isArmed(view->GetSafeHwnd(), TIMER_REST_CLOCK));

    // Without a match Space does nothing, and still never clicks.
    md->szContestNo[0] = '\0';
    md->nGameState = 3;
    Type(w.window, Qt::Key_Space);
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_EQ(clicks, 0);
}

TEST_F(KeyFilterTest, KeysPassedOnReachTheFocusedControlAndActOnce) {
    FocusedWindow w{*view};
    auto* recorder = w.Add(new KeyRecorder);
    recorder->setFocusPolicy(Qt::StrongFocus);
    recorder->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), recorder);

    // Down starts the injury count and goes on; the control lets it go on to its parent, and the count
    // still starts once.
    Type(w.window, Qt::Key_Down);
    EXPECT_EQ(md->nGameState, 9);
    EXPECT_EQ(Count("wt 0 8 0 0"), 1);
    EXPECT_EQ(recorder->keys, std::vector<int>{Qt::Key_Down});

    Type(w.window, Qt::Key_A);
    EXPECT_EQ(recorder->keys, (std::vector<int>{Qt::Key_Down, Qt::Key_A}));

    // Consumed keys never reach it, even where they do nothing.
    md->szContestNo[0] = '\0';
    Type(w.window, Qt::Key_Left);
    Type(w.window, Qt::Key_Up);
    EXPECT_EQ(recorder->keys.size(), 2u);
}

TEST_F(KeyFilterTest, GamJeomKeysAskFirstAndOnlyOutsideTheRunningRound) {
    FocusedWindow w{*view};
    w.Add(new QPushButton(QStringLiteral("any")));

    Type(w.window, Qt::Key_Left);
    EXPECT_TRUE(prompter.boxes().empty()) << "the round runs";

    md->nGameState = 8;
    prompter.answer(IDYES);
    Type(w.window, Qt::Key_Left);
    prompter.answer(IDNO);
    Type(w.window, Qt::Key_Right);
    prompter.answer(IDYES);
    Type(w.window, Qt::Key_Right);
    const std::vector<ScriptedPrompter::Box> boxes = prompter.boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, u"CHUNG - Add Gam-Jeom");
    EXPECT_EQ(boxes[1].text, u"HONG - Add Gam-Jeom");
    for (const ScriptedPrompter::Box& box : boxes) {
        EXPECT_EQ(box.caption, u"Information");
        EXPECT_EQ(box.flags, MB_YESNO | MB_ICONINFORMATION);
    }
    EXPECT_EQ(view->With("gamjeom"), (std::vector<std::string>{"gamjeom 0", "gamjeom 1"}));

    // The equipment test refuses with its own notice.
    md->nGameState = 13;
    Type(w.window, Qt::Key_Left);
    EXPECT_EQ(prompter.boxes().size(), 3u);
    EXPECT_EQ(Count("equipment test check"), 1);
}

TEST_F(KeyFilterTest, ModalDialogsAndTextFieldsKeepTheirKeys) {
    // A name typed into a text field.
    FocusedWindow w{*view};
    auto* edit = w.Add(new QLineEdit);
    ASSERT_EQ(QApplication::focusWidget(), edit);
    Type(w.window, Qt::Key_Space);
    Type(w.window, Qt::Key_Left);
    EXPECT_EQ(edit->text(), QStringLiteral(" "));
    EXPECT_EQ(md->nGameState, 3);

    // A modal dialog's focused button is clicked by Space as usual.
    QDialog dialog;
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    int clicks = 0;
    QObject::connect(ok, &QPushButton::clicked, [&clicks] { ++clicks; });
    dialog.setModal(true);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ok->setFocus();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    Type(dialog, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(md->nGameState, 3);
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(KeyFilterTest, ShiftZHidesThePublicPopups) {
    md->nMonitorCount = 2;
    view->ShowExtIvrScreen(0, 1);
    ASSERT_NE(view->m_pExtIvrScrDlg, nullptr);
    ASSERT_TRUE(view->m_pExtIvrScrDlg->isVisible());
    FocusedWindow w{*view};
    w.Add(new QPushButton(QStringLiteral("any")));

    Type(w.window, Qt::Key_Z);
    EXPECT_TRUE(view->m_pExtIvrScrDlg->isVisible()) << "Z alone";
    Type(w.window, Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_FALSE(view->m_pExtIvrScrDlg->isVisible());
    EXPECT_EQ(md->nGameState, 3);
}

TEST_F(KeyFilterTest, TheViewInstallsOneFilterAndRemovesItAsItGoes) {
    view->OnInitialUpdate();
    std::strcpy(md->szContestNo, "101");
    md->nGameState = 3;
    FocusedWindow w{*view};
    QPushButton* button = w.Add(new QPushButton(QStringLiteral("any")));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    Type(w.window, Qt::Key_Down);
    EXPECT_EQ(Count("wt 0 8 0 0"), 1) << "one filter after a second start";

    view.reset(); // with its button
    QWidget other;
    auto* otherButton = new QPushButton(QStringLiteral("any"), &other);
    QObject::connect(otherButton, &QPushButton::clicked, [&clicks] { ++clicks; });
    other.show();
    QApplication::setActiveWindow(&other);
    otherButton->setFocus();
    Type(other, Qt::Key_Space);
    EXPECT_EQ(clicks, 1) << "without the view Space is the button's again";
}

TEST_F(KeyFilterTest, AModelessDialogOfTheProgramKeepsItsKeys) {
    FocusedWindow w{*view};
    w.Add(new QPushButton(QStringLiteral("any")));
    // A modeless dialog (registration, round result, video replay) over the view, its button focused.
    QDialog dialog(view.get());
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    int clicks = 0;
    QObject::connect(ok, &QPushButton::clicked, [&clicks] { ++clicks; });
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ok->setFocus();
    ASSERT_EQ(QApplication::activeModalWidget(), nullptr);
    for (const int key : {Qt::Key_Space, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left})
        Type(dialog, key);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(md->nGameState, 3) << "the round runs on";
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(Count("wt 0 8 0 0"), 0) << "no injury count";

    QApplication::setActiveWindow(view.get());
    Type(*view, Qt::Key_Space);
    EXPECT_EQ(md->nGameState, 8) << "back in the view Space stops the clock";
    EXPECT_EQ(clicks, 1);
}

} // namespace
