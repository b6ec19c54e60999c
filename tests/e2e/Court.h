// A court as the operator finds it: a new program folder made by the set-up script, the program started
// through its application object (frame, operator view, public scoreboard on the second monitor), the
// receiver played on a pseudo-terminal and boxes answered from a script. The steps drive the program only
// through its widgets and keys: clicks on the real buttons and dialogs, key presses into the operator's
// window. The program's timers run on a manual clock; the receiver's threads keep real time.
#pragma once

#include "app/MainFrame.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "platform/Sound.h"
#include "platform/TickSource.h"
#include "tests/support/ScriptedPrompter.h"
#include "tools/FakeReceiver.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class CTK_RegDlg;
class CTK_RndResDlg;

class QTableWidget;
class QWidget;

// The sensor byte of a hit the e-socks felt: the shipped rules score protector hits only with it.
inline constexpr BYTE kSock = 0x11;

// The court's loudspeaker: the sounds' file names in the order they were played. The machine running the
// tests has no audio device.
class CourtSound final : public platform::SoundSink {
public:
    CourtSound() : m_previous(platform::setSoundSink(this)) {}
    ~CourtSound() override { platform::setSoundSink(m_previous); }
    void play(std::u16string_view path) override {
        const std::u16string file(path.substr(path.rfind(u'/') + 1));
        played.push_back(QString::fromStdU16String(file).toStdString());
    }
    void stop() override {}
    std::vector<std::string> played;

private:
    platform::SoundSink* m_previous;
};

class Court : public ::testing::Test {
protected:
    // The prepared program folder every court copies (the script runs once per test binary).
    static void SetUpTestSuite();

    void SetUp() override;
    void TearDown() override;
    // Starts the program on `folder` with the instance-lock folder `runtime` and the receiver at
    // ReceiverPath(), as the operator does; returns once the receiver has linked on the court's saved
    // channel.
    void Start(const std::string& runtime);
    // Runs on the copied program folder before the program starts: settings files a court is given.
    virtual void PrepareFolder() {}
    // The path the program opens as its receiver: the fake's pseudo-terminal, unless a court names another.
    virtual std::string ReceiverPath() { return fake.SlavePath(); }

    // ---- the operator's hands ----
    // A left click in the middle of a visible, enabled widget.
    static void Click(QWidget* widget);
    // A key pressed and released in the operator's window, as the window system delivers it.
    void Key(int key);
    // Delivers what is posted, deletions too.
    static void Deliver();
    // Runs the event loop until done holds (bounded); the manual clock stays where it is.
    static bool Until(const std::function<bool()>& done);
    // Runs `act` on the modal dialog or box of type T once its loop runs; the caller then does what opens it.
    template <typename T> static void WhenModal(std::function<void(T&)> act);
    // Moves the program's clock by ms in steps of at most a second, delivering what each step posted.
    void Advance(unsigned ms);

    // ---- the court's set-up ----
    // The configuration dialog: the court by its arrows, "SET" for its channel (the receiver then joins its
    // network), the competition rule (0 points, 1 best of 3), " Team" when `team`, "Okay".
    void Configure(int court, int competitionRule, bool team = false);
    // The registration dialog: contest `contest` for Chung and Hong registered with its form and loaded by
    // a double click in the contest list.
    void RegisterAndLoad(const std::string& contest, const QString& chung, const QString& hong);
    // The contest's row of a registration dialog's contest list (either dialog) clicked, then double-clicked:
    // the contest is loaded.
    void LoadContest(QTableWidget& list, const std::string& contest);
    // The registration dialog (either) closed; the operator's window has the keys again.
    void CloseRegistration();
    // The device buttons of the registration dialog, each with the flag its device sets once paired: the
    // four protectors (Chung's trunk and head, Hong's trunk and head), then the three judge devices.
    std::vector<std::pair<int, const int*>> DeviceButtons() const;
    // The four protectors and the three wireless judge devices paired from the registration dialog.
    void PairDevices();
    // One device button of the open registration dialog (either kind) clicked, until its device is paired
    // and the progress dialog the button opens is closed.
    void PairByButton(CTK_RegDlg& dialog, int button, const int& flag);

    // ---- the match ----
    // Wireless judges (1 to 3) press the same buttons, given as their devices send them for Chung and for
    // Hong; returns once the view has taken the last judge's press.
    void JudgesPress(std::initializer_list<int> judges, BYTE chungCode, BYTE hongCode);
    // Chung's and Hong's scores as the operator screen shows them (the current round's under the round-win
    // system).
    std::pair<int, int> Shown() const;
    // Waits until the operator screen shows the scores (the device reports arrive on the receiver's thread).
    void Scores(std::pair<int, int> expected);

    // ---- the round result dialog ----
    // A control of a dialog by its id.
    static QWidget* Child(QWidget& parent, int id);
    // After `ms` more on the program's clock the round has ended and, a moment later, its result dialog
    // opens; nullptr (and a failure) when it does not.
    CTK_RndResDlg* RoundResultAfter(unsigned ms);
    // The dialog's counters, Chung's (chungId) and Hong's (the next id), as "chung:hong"; a label's text.
    static std::string Pair(CTK_RndResDlg& dialog, int chungId);
    static std::string Text(CTK_RndResDlg& dialog, int id);
    // "Confirm" in the dialog: the view records the round's winner and the dialog closes.
    void Confirm(CTK_RndResDlg& dialog);

    // ---- what the records hold ----
    // Rows of the local database, each row's columns joined by '|', once the events queued so far are
    // written.
    std::vector<std::string> Rows(const std::string& sql) const;
    // The event log of one side (CHUNGLOG or HONGLOG) in the order of its events: round, vest, face, point,
    // judge points, gam-jeom, the three judges, and whether the event counted.
    std::vector<std::string> Events(const char* table) const;
    // How many frames of that wire command the receiver got so far.
    int CommandCount(BYTE command) const;

    std::string folder; // the program folder, with a trailing '/'
    platform::ManualTime clock{1000};
    ScriptedPrompter prompter;
    CourtSound sound;
    FakeReceiver fake;
    CMainFrame* frame = nullptr;
    CMainWnd* view = nullptr;
    MatchData* md = nullptr;

private:
    static std::string s_template;
    QTemporaryDir m_dir;
    QTemporaryDir m_runtime;
    bool m_started = false;
};

template <typename T> void Court::WhenModal(std::function<void(T&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act)] {
        auto* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        act(*modal);
    });
    timer->start();
}
