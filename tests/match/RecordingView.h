// An operator view over a fresh program folder and match record whose link senders and whose handlers of
// the later parts of the match engine write one line each into `events` instead of acting, and whose
// sounds and message boxes are recorded.
#pragma once

#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "platform/Sound.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestCourt.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

inline std::string U8(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

class RecordingView : public CMainWnd {
public:
    std::vector<std::string> events;

    // The events whose line starts with the prefix ("wt 0 3", "ctrl", ...).
    std::vector<std::string> With(std::string_view prefix) const {
        std::vector<std::string> out;
        for (const std::string& e : events)
            if (e.starts_with(prefix))
                out.push_back(e);
        return out;
    }
    // Every JSON action waiting in the queue, in order, as "kind:level".
    std::vector<std::string> TakeJson() {
        std::vector<std::string> out;
        while (auto entry = m_JsonQueue.TakeNext())
            out.push_back(std::to_string(entry->nKind) + ":" + U8(entry->strText));
        return out;
    }

    void SendControlCharEvent(int code, std::u16string_view a, std::u16string_view b,
                              std::u16string_view c) override {
        Add("ctrl " + std::to_string(code) + " " + Join({a, b, c}));
    }
    void SendColonEvent(int code, std::u16string_view a, std::u16string_view b,
                        std::u16string_view c) override {
        Add("colon " + std::to_string(code) + " " + Join({a, b, c}));
    }
    void SendPipeEvent(int code, std::u16string_view a, std::u16string_view b,
                       std::u16string_view c) override {
        Add("pipe " + std::to_string(code) + " " + Join({a, b, c}));
    }
    void SendBracketEvent(int code, std::u16string_view a, std::u16string_view b,
                          std::u16string_view c) override {
        Add("bracket " + std::to_string(code) + " " + Join({a, b, c}));
    }
    void SendWtMessage(int target, int code, int side, int value) override {
        Add("wt " + Ints({target, code, side, value}));
    }
    void SendIvrMessage(int code, std::u16string_view a, std::u16string_view b, std::u16string_view c,
                        std::u16string_view d) override {
        Add("ivr " + std::to_string(code) + " " + Join({a, b, c, d}));
    }
    void SendTvgMessage(int supplier, int code, std::u16string_view a, std::u16string_view b,
                        std::u16string_view c) override {
        Add("tvg " + Ints({supplier, code}) + " " + Join({a, b, c}));
    }
    void StopAll() override {
        Add("stop");
        if (g_pMatchData)
            g_pMatchData->nGameState = 8;
    }
    void DecideWinner(int side, int kind) override { Add("decide " + Ints({side, kind})); }
    void ShowDecisionPopup(int kind, int side) override { Add("popup " + Ints({kind, side})); }
    void DecideRoundEnd() override { Add("roundend"); }
    void ShowRoundResultDialog(int round, int winner, int reason) override {
        Add("rndres " + Ints({round, winner, reason}));
    }
    void QueueScoredPoint(int side, int kind, int source, int value) override {
        Add("queue " + Ints({side, kind, source, value}));
    }
    void SetJudgeMarks(int side, int slot, int value) override { Add("marks " + Ints({side, slot, value})); }
    void ClearJudgeMarks(int side, int slot) override { Add("clearmarks " + Ints({side, slot})); }
    void MarkSlotScored(int side, int kind) override { Add("scored " + Ints({side, kind})); }
    void ClearSlot(int side, int slot) override { Add("clearslot " + Ints({side, slot})); }
    void ResetSlotCursors(int side) override { Add("resetcursors " + std::to_string(side)); }
    void StepBackSlotCursors(int side, int kind) override { Add("stepback " + Ints({side, kind})); }
    void UpdateTestScreens(int tile, std::string_view text) override {
        Add("test " + std::to_string(tile) + " " + std::string(text));
    }

private:
    void Add(std::string line) { events.push_back(std::move(line)); }
    static std::string Join(std::initializer_list<std::u16string_view> texts) {
        std::string out;
        bool first = true;
        for (std::u16string_view t : texts) {
            if (!first)
                out += "|";
            out += U8(t);
            first = false;
        }
        return out;
    }
    static std::string Ints(std::initializer_list<int> values) {
        std::string out;
        for (int v : values)
            out += (out.empty() ? "" : " ") + std::to_string(v);
        return out;
    }
};

class RecordingSound final : public platform::SoundSink {
public:
    RecordingSound() : m_previous(platform::setSoundSink(this)) {}
    ~RecordingSound() override { platform::setSoundSink(m_previous); }
    void play(std::u16string_view path) override {
        const std::u16string full(path);
        played.push_back(U8(full.substr(full.rfind(u'/') + 1)));
    }
    void stop() override {}
    std::vector<std::string> played; // file names only

private:
    platform::SoundSink* m_previous;
};

// A fresh program folder and match record per test, a recording view over them, boxes to a script.
class MatchTest : public ::testing::Test, protected TestCourt {
protected:
    MatchTest() {
        md->nRound = 3;
        md->nCurRound = 1;
        md->nGameState = 3;
        md->nPSSType = 1;
        md->nEBPPoint = 2;
        md->nEHPPoint = 3;
        md->nJudgePointBottom = 1;
        md->nJudgePointMiddle = 2;
        md->nJudgePointTop = 3;
        md->nGamJeomPoint = 1;
        md->nOvrSupplier = 6; // no OVR records unless a test chooses a supplier
        view = std::make_unique<RecordingView>();
    }
    RecordingSound sound;
    std::unique_ptr<RecordingView> view;
};
