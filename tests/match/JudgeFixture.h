// An operator view whose judges' windows and slot queues are the real ones, over a fresh program folder,
// a manual clock and a running round of a three-round individual match; the IVR notices and receiver
// commands it would send are recorded.
#pragma once

#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "platform/Sound.h"
#include "platform/TickSource.h"
#include "tests/support/TestCourt.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class JudgeView : public CMainWnd {
public:
    std::vector<std::string> ivr;
    std::vector<std::string> receiver;
    void SendIvrMessage(int code, std::u16string_view a, std::u16string_view b, std::u16string_view c,
                        std::u16string_view d) override {
        std::string line = std::to_string(code);
        for (std::u16string_view text : {a, b, c, d})
            line += "|" + QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
        ivr.push_back(line);
    }
    void SendReceiverCommand(int code, const char* text) override {
        receiver.push_back(std::to_string(code) + " " + text);
    }
};

class JudgeSounds final : public platform::SoundSink {
public:
    JudgeSounds() : m_previous(platform::setSoundSink(this)) {}
    ~JudgeSounds() override { platform::setSoundSink(m_previous); }
    void play(std::u16string_view path) override {
        const std::u16string full(path);
        played.push_back(QString::fromStdU16String(full.substr(full.rfind(u'/') + 1)).toStdString());
    }
    void stop() override {}
    std::vector<std::string> played; // file names only

private:
    platform::SoundSink* m_previous;
};

class JudgeTest : public ::testing::Test, protected TestCourt {
protected:
    JudgeTest() {
        md->nRound = 3;
        md->nCurRound = 1;
        md->nGameState = 3;
        md->nRemainTime = 90000;
        md->nPSSType = 1;
        md->nEBPPoint = 2;
        md->nEHPPoint = 3;
        md->nJudgePointBottom = 1;
        md->nJudgePointMiddle = 2;
        md->nJudgePointTop = 3;
        md->nJudgeNumber = 3;
        md->nJudgeQuorum = 2;
        md->nJudgeButtonTime = 1000;
        md->nOvrSupplier = 6; // no OVR records
        view = std::make_unique<JudgeView>();
        hwnd = view->GetSafeHwnd();
        for (int side = 0; side < 2; ++side) {
            view->m_nCurrentSlot[side] = -1;
            for (int& slot : view->m_nSlotIndex[side])
                slot = -1;
        }
    }
    ~JudgeTest() override { view.reset(); }

    const TTK_SideScore& Side(int side) const { return md->aSide[side]; }
    std::vector<int> States(int side) const {
        std::vector<int> out;
        for (const TTK_QueueSlot& slot : md->aSide[side].aSlotState)
            out.push_back(slot.nState);
        return out;
    }
    bool Armed(UINT_PTR id) const { return clock.isArmed(hwnd, id); }

    platform::ManualTime clock{5000};
    JudgeSounds sounds;
    std::unique_ptr<JudgeView> view;
    HWND hwnd = 0;
};
