// PNG ids of pictures whose screens leave the id to us: the operator screen's painted device icons and the
// like. Kept at 2000 and up, clear of every id the screens name.
#pragma once

namespace ArtworkIds {
constexpr int ReceiverOpen = 2001;   // 45 x 44
constexpr int ReceiverClosed = 2002; // 45 x 44
constexpr int JudgeWired = 2003;     // 48 x 33
constexpr int JudgeWireless = 2004;  // 48 x 33
constexpr int TrunkChung = 2005;     // 40 x 48, registered
constexpr int TrunkHong = 2006;
constexpr int TrunkNone = 2007; // not registered
constexpr int HeadChung = 2008;
constexpr int HeadHong = 2009;
constexpr int HeadNone = 2010;
constexpr int ReplayQuota = 2011; // 60 x 50
constexpr int PunchLevel = 2012;  // 40 x 48
// The decision banners of the round-win system's 1920 scoreboard, at the size it shows them (472 x 320).
constexpr int GoldenPointBannerChung = 2013;
constexpr int GoldenPointBannerHong = 2014;
constexpr int RoundDecidedBanner = 2015;
constexpr int MatchDecidedBanner = 2016;
constexpr int FinalDecisionBanner = 2017;
} // namespace ArtworkIds
