// The rule settings of Rule.ini (sections Rule, OVR, IVR, TVG, LED) and the Use keys of JudgeDev.ini, loaded
// into the settings area of the match record. Every key has a valid range; a missing key or a non-number
// reads as 0, and a value outside the range is replaced by the key's replacement value (logged), so the
// record never holds a setting the program cannot work with. Judge_Button_Time and Judge_Tech_Time out of
// range are also written back to Rule.ini as "1000".
//
// Thread: user-interface thread (they write the record).
#pragma once

struct MatchData;

// Reads every rule key and sets nJudgeQuorum. Returns the number of values replaced.
int LoadRuleSettings(MatchData& md);

// Re-reads the team keys (all but Team_Match_Time_1 and Team_Match_Time_2, which keep their values) with the
// same ranges. Returns the number of values replaced.
int LoadTeamRules(MatchData& md);

// The minimum hit levels a new match of the record's kind starts with: a team match the team's (Team_Lev_B,
// Team_Lev_H, Team_Lev_P as the record holds them); an individual match none for the trunk and the head
// until a class is loaded, its punch level kept.
void ApplyNewMatchLevels(MatchData& md);
