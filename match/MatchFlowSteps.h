// Small steps that the round clock, the match flow and the round preparation share. UI thread only.
#pragma once

#include <QString>

#include <string_view>

class CMainWnd;

namespace MatchFlowSteps {

constexpr int kKyeShiCheck = 1245; // check box: the injury display on both screens

// Plays Sound/<name>.wav of the program folder, without waiting.
void PlayFlowSound(std::u16string_view name);
// A match-log event of the current round with the time text; only while the match-log workbook is open.
void LogFlowEvent(const CMainWnd& view, int code, std::u16string_view time);
// Unchecks the injury check box and hides the injury display and the public scoreboard's notice.
void HideInjuryDisplay(CMainWnd& view);
// An injury or time-out count on the injury display and the public scoreboard's notice.
void ShowCountdown(CMainWnd& view, const QString& text);
// A yes/no question of the match flow (caption "Information"); true for Yes.
bool AskYes(const CMainWnd& view, std::u16string_view text);
// A notice of the match flow with an OK button.
void Tell(const CMainWnd& view, std::u16string_view text);

} // namespace MatchFlowSteps
