// The picture catalogue: which picture each id is, and at what size. Ids 2000 and up are pictures whose
// screens leave the id to us (device icons of the operator screen and the like).
#include "resources/Artwork.h"

#include "resources/ArtworkIds.h"
#include "resources/ArtworkPainters.h"

#include <QMutex>
#include <QMutexLocker>

#include <functional>
#include <map>
#include <utility>
#include <vector>

using namespace ArtworkPaint;

namespace {

// How a picture is drawn, and the words it carries.
struct Drawing {
    template <class Draw>
    Drawing(Draw draw, QString words = {}) : draw(std::move(draw)), says(std::move(words)) {}
    std::function<QImage(QSize)> draw;
    QString says;
};

struct Recipe {
    ArtworkEntry entry;
    std::function<QImage(QSize)> draw;
};

constexpr QSize kPublicSmall{1280, 720};
constexpr QSize kPublicLarge{1920, 1080};

const QColor kJudgeTile[11] = {
    QColor(0, 0, 0),       QColor(255, 214, 0),   QColor(120, 220, 120), QColor(255, 170, 60),
    QColor(120, 200, 255), QColor(255, 140, 160), QColor(200, 170, 255), QColor(170, 235, 220),
    QColor(230, 230, 230), QColor(255, 235, 150), QColor(190, 200, 215),
};

std::vector<Recipe> BuildRecipes() {
    std::vector<Recipe> r;
    const auto add = [&r](ImageKind kind, int id, QSize size, const char* what, Drawing drawing) {
        r.push_back({{kind, id, size, what, std::move(drawing.says)}, std::move(drawing.draw)});
    };
    const auto png = [&](int id, QSize size, const char* what, Drawing drawing) {
        add(ImageKind::Png, id, size, what, std::move(drawing));
    };
    const auto bmp = [&](int id, QSize size, const char* what, Drawing drawing) {
        add(ImageKind::Bitmap, id, size, what, std::move(drawing));
    };
    const auto banner = [](Side side, const char* caption, const char* sub) {
        QString says = QString::fromUtf8(caption);
        if (*sub)
            says += (says.isEmpty() ? QString() : QStringLiteral("\n")) + QString::fromUtf8(sub);
        return Drawing([=](QSize s) { return Banner(s, side, caption, sub); }, says);
    };

    // ---- operator screen ----
    bmp(504, {1280, 720}, "operator screen background", [](QSize s) { return OperatorBackground(s); });
    // The score-correction buttons, by column: add (upper row) and remove (lower row).
    struct Column {
        int chungAdd, chungRemove, hongAdd, hongRemove;
        const char* word;
    };
    static const Column columns[] = {
        {913, 912, 915, 914, "PUNCH"},          {897, 896, 899, 898, "TRUNK"},
        {905, 904, 907, 906, "HEAD"},           {893, 892, 895, 894, "HIT"},
        {909, 908, 911, 910, "TECH"},           {901, 900, 903, 902, "GJ"},
        {1030, 1031, 1028, 1029, "GJ \u00d72"},
    };
    for (const Column& c : columns) {
        const QSize size{74, 37};
        bmp(c.chungAdd, size, "Chung score correction, add",
            [w = c.word](QSize s) { return CorrectionButton(s, Side::Chung, true, w); });
        bmp(c.chungRemove, size, "Chung score correction, remove",
            [w = c.word](QSize s) { return CorrectionButton(s, Side::Chung, false, w); });
        bmp(c.hongAdd, size, "Hong score correction, add",
            [w = c.word](QSize s) { return CorrectionButton(s, Side::Hong, true, w); });
        bmp(c.hongRemove, size, "Hong score correction, remove",
            [w = c.word](QSize s) { return CorrectionButton(s, Side::Hong, false, w); });
    }
    bmp(1022, {150, 44}, "Chung winner button",
        [](QSize s) { return CommandButton(s, Side::Chung, "CHUNG WIN"); });
    bmp(1023, {150, 44}, "Hong winner button",
        [](QSize s) { return CommandButton(s, Side::Hong, "HONG WIN"); });
    bmp(545, {100, 44}, "start button", [](QSize s) { return CommandButton(s, Side::Neutral, "START"); });
    bmp(546, {80, 40}, "stop button", [](QSize s) { return CommandButton(s, Side::Alert, "STOP"); });
    // The operator's round marks and round-win marks.
    bmp(922, {35, 35}, "Chung won the round (operator)", [](QSize s) { return Mark(s, Side::Chung, "W"); });
    bmp(923, {35, 35}, "Hong won the round (operator)", [](QSize s) { return Mark(s, Side::Hong, "W"); });
    bmp(931, {45, 21}, "round-win system indicator", [](QSize s) { return Mark(s, Side::Neutral, "WIN"); });
    bmp(689, {70, 70}, "a round won by Chung", [](QSize s) { return Mark(s, Side::Chung, "\u2605"); });
    bmp(690, {70, 70}, "a round won by Hong", [](QSize s) { return Mark(s, Side::Hong, "\u2605"); });
    bmp(480, {70, 70}, "a round won by Chung (scoreboard 1920)",
        [](QSize s) { return Mark(s, Side::Chung, "\u2605"); });
    bmp(479, {70, 70}, "a round won by Hong (scoreboard 1920)",
        [](QSize s) { return Mark(s, Side::Hong, "\u2605"); });

    // Icons of the operator's buttons (32 x 32) and the toggles' on / off faces.
    const auto icon = [&](int id, Glyph glyph, QColor colour, bool dim, const char* what) {
        add(ImageKind::Icon, id, {32, 32}, what, [=](QSize s) { return Icon(s, glyph, colour, dim); });
    };
    const QColor ink(40, 48, 64);
    icon(520, Glyph::Registration, ink, false, "Registration");
    icon(659, Glyph::Configuration, ink, false, "Configuration");
    icon(521, Glyph::EquipmentTest, QColor(46, 160, 67), false, "Equipment test");
    icon(518, Glyph::KyeShi, QColor(200, 30, 40), false, "Kye-Shi");
    icon(522, Glyph::Finish, ink, false, "Finish the match");
    icon(527, Glyph::Undo, ink, false, "Winner cancel");
    icon(614, Glyph::VideoReplay, SideColour(Side::Chung), false, "Chung video replay");
    icon(670, Glyph::VideoReplay, SideColour(Side::Hong), false, "Hong video replay");
    icon(561, Glyph::Palette, ink, false, "Chung buttons in blue (on)");
    icon(557, Glyph::Palette, ink, true, "Chung buttons in blue (off)");
    icon(562, Glyph::Palette, ink, false, "Hong buttons in red (on)");
    icon(558, Glyph::Palette, ink, true, "Hong buttons in red (off)");
    icon(563, Glyph::Monitor, QColor(46, 160, 67), false, "Public scoreboard shown");
    icon(559, Glyph::Monitor, ink, true, "Public scoreboard hidden");
    icon(946, Glyph::Reverse, QColor(214, 120, 0), false, "Sides exchanged on the scoreboard");
    icon(560, Glyph::Reverse, ink, true, "Sides as on this screen");
    icon(128, Glyph::AppIcon, ink, false, "program icon");
    add(ImageKind::Cursor, 401, {32, 32}, "hover cursor",
        [](QSize s) { return Icon(s, Glyph::Hand, Qt::white, false); });

    // Operator paint parts (ids of our own).
    png(ArtworkIds::ReceiverOpen, {45, 44}, "receiver open",
        [](QSize s) { return Icon(s, Glyph::ReceiverOpen, QColor(220, 226, 236), false); });
    png(ArtworkIds::ReceiverClosed, {45, 44}, "receiver closed",
        [](QSize s) { return Icon(s, Glyph::ReceiverClosed, QColor(150, 156, 166), false); });
    png(ArtworkIds::JudgeWired, {48, 33}, "wired judge device",
        [](QSize s) { return Icon(s, Glyph::JudgeWired, QColor(220, 226, 236), false); });
    png(ArtworkIds::JudgeWireless, {48, 33}, "wireless judge device",
        [](QSize s) { return Icon(s, Glyph::JudgeWireless, QColor(220, 226, 236), false); });
    png(ArtworkIds::TrunkChung, {40, 48}, "Chung trunk protector registered",
        [](QSize s) { return Icon(s, Glyph::Trunk, SideColour(Side::Chung).lighter(130), false); });
    png(ArtworkIds::TrunkHong, {40, 48}, "Hong trunk protector registered",
        [](QSize s) { return Icon(s, Glyph::Trunk, SideColour(Side::Hong).lighter(130), false); });
    png(ArtworkIds::TrunkNone, {40, 48}, "trunk protector not registered",
        [](QSize s) { return Icon(s, Glyph::Trunk, QColor(90, 96, 108), false); });
    png(ArtworkIds::HeadChung, {40, 48}, "Chung head gear registered",
        [](QSize s) { return Icon(s, Glyph::Head, SideColour(Side::Chung).lighter(130), false); });
    png(ArtworkIds::HeadHong, {40, 48}, "Hong head gear registered",
        [](QSize s) { return Icon(s, Glyph::Head, SideColour(Side::Hong).lighter(130), false); });
    png(ArtworkIds::HeadNone, {40, 48}, "head gear not registered",
        [](QSize s) { return Icon(s, Glyph::Head, QColor(90, 96, 108), false); });
    png(ArtworkIds::ReplayQuota, {60, 50}, "video-replay card (operator)",
        [](QSize s) { return ReplayCard(s); });
    png(ArtworkIds::PunchLevel, {40, 48}, "punch level icon",
        [](QSize s) { return Icon(s, Glyph::Punch, QColor(230, 200, 60), false); });

    // ---- public scoreboard ----
    bmp(950, kPublicSmall, "scoreboard 1280, Chung left",
        [](QSize s) { return PublicBackground(s, false, false, false); });
    bmp(949, kPublicSmall, "scoreboard 1280, Hong left",
        [](QSize s) { return PublicBackground(s, true, false, false); });
    bmp(952, kPublicLarge, "scoreboard 1920, Chung left",
        [](QSize s) { return PublicBackground(s, false, false, false); });
    bmp(951, kPublicLarge, "scoreboard 1920, Hong left",
        [](QSize s) { return PublicBackground(s, true, false, false); });
    bmp(936, kPublicLarge, "scoreboard 1920 round-win, Chung left",
        [](QSize s) { return PublicBackground(s, false, true, false); });
    bmp(937, kPublicLarge, "scoreboard 1920 round-win, Hong left",
        [](QSize s) { return PublicBackground(s, true, true, false); });
    bmp(1026, kPublicLarge, "scoreboard 1920 round-win one judge, Chung left",
        [](QSize s) { return PublicBackground(s, false, true, true); });
    bmp(1027, kPublicLarge, "scoreboard 1920 round-win one judge, Hong left",
        [](QSize s) { return PublicBackground(s, true, true, true); });
    bmp(941, {300, 60}, "side label CHUNG (left)", [](QSize s) { return SideLabel(s, Side::Chung); });
    bmp(939, {300, 60}, "side label HONG (right)", [](QSize s) { return SideLabel(s, Side::Hong); });
    bmp(940, {300, 60}, "side label HONG (left, reversed)", [](QSize s) { return SideLabel(s, Side::Hong); });
    bmp(938, {300, 60}, "side label CHUNG (right, reversed)",
        [](QSize s) { return SideLabel(s, Side::Chung); });
    bmp(924, {80, 80}, "Chung won the round (scoreboard)", [](QSize s) { return Mark(s, Side::Chung, "W"); });
    bmp(925, {80, 80}, "Hong won the round (scoreboard)", [](QSize s) { return Mark(s, Side::Hong, "W"); });
    bmp(928, {70, 70}, "Chung superiority mark", [](QSize s) { return Mark(s, Side::Chung, "\u2714"); });
    bmp(930, {70, 70}, "Hong superiority mark", [](QSize s) { return Mark(s, Side::Hong, "\u2714"); });
    png(437, {150, 110}, "video-replay card 1920", [](QSize s) { return ReplayCard(s); });
    png(681, {100, 74}, "video-replay card 1280", [](QSize s) { return ReplayCard(s); });
    png(440, {75, 102}, "trunk hit reached", [](QSize s) { return HitBox(s, Glyph::Trunk, true); });
    png(441, {75, 102}, "trunk hit below the minimum",
        [](QSize s) { return HitBox(s, Glyph::Trunk, false); });
    png(442, {75, 102}, "head hit reached", [](QSize s) { return HitBox(s, Glyph::Head, true); });
    png(443, {75, 102}, "head hit below the minimum", [](QSize s) { return HitBox(s, Glyph::Head, false); });
    png(1037, {75, 102}, "punch hit reached", [](QSize s) { return HitBox(s, Glyph::Punch, true); });
    png(1038, {75, 102}, "punch hit below the minimum",
        [](QSize s) { return HitBox(s, Glyph::Punch, false); });
    png(444, {41, 41}, "slot state: technique waiting",
        [](QSize s) { return Tile(s, QColor(255, 214, 0), ""); });
    for (int state = 1; state <= 10; ++state)
        png(451 + state, {41, 41}, "judge mark tile",
            [state](QSize s) { return Tile(s, kJudgeTile[state], ""); });
    png(983, {442, 220}, "centre panel behind the clock", [](QSize s) { return CentrePanel(s); });
    png(1042, {160, 60}, "Chung punch below the minimum",
        [](QSize s) { return Indicator(s, Side::Chung, false); });
    png(1043, {160, 60}, "Chung punch scored", [](QSize s) { return Indicator(s, Side::Chung, true); });
    png(1044, {160, 60}, "Hong punch below the minimum",
        [](QSize s) { return Indicator(s, Side::Hong, false); });
    png(1045, {160, 60}, "Hong punch scored", [](QSize s) { return Indicator(s, Side::Hong, true); });

    // ---- public pop-ups ----
    struct Mode {
        Side side;
        const char* caption;
        const char* sub;
    };
    static const Mode ivr[6] = {
        {Side::Chung, "VIDEO REPLAY", "CHUNG REQUEST ACCEPTED"},
        {Side::Hong, "VIDEO REPLAY", "HONG REQUEST ACCEPTED"},
        {Side::Chung, "VIDEO REPLAY", "CHUNG REQUEST REJECTED"},
        {Side::Hong, "VIDEO REPLAY", "HONG REQUEST REJECTED"},
        {Side::Chung, "VIDEO REPLAY", "CHUNG REQUEST"},
        {Side::Hong, "VIDEO REPLAY", "HONG REQUEST"},
    };
    for (int mode = 0; mode < 6; ++mode) {
        const Mode m = ivr[mode];
        png(848 + mode, kPublicSmall, "video-replay screen 1280", banner(m.side, m.caption, m.sub));
        png(838 + mode, kPublicLarge, "video-replay screen 1920", banner(m.side, m.caption, m.sub));
    }
    // The referee's request and its outcomes; the request's picture leaves room for the Kye-Shi count.
    png(1028, kPublicLarge, "referee's video-replay request",
        banner(Side::Neutral, "VIDEO REPLAY", "REFEREE REQUEST"));
    png(1024, kPublicLarge, "referee's video-replay request accepted",
        banner(Side::Neutral, "VIDEO REPLAY", "REFEREE REQUEST ACCEPTED"));
    png(1026, kPublicLarge, "referee's video-replay request rejected",
        banner(Side::Neutral, "VIDEO REPLAY", "REFEREE REQUEST REJECTED"));

    static const char* const devices[8] = {"CHUNG HEAD GEAR", "CHUNG TRUNK PROTECTOR",
                                           "HONG HEAD GEAR",  "HONG TRUNK PROTECTOR",
                                           "JUDGE 1",         "JUDGE 2",
                                           "JUDGE 3",         "RECEIVER"};
    static const Side deviceSide[8] = {Side::Chung, Side::Chung, Side::Hong,  Side::Hong,
                                       Side::Alert, Side::Alert, Side::Alert, Side::Alert};
    for (int i = 0; i < 8; ++i) {
        png(622 + i, kPublicLarge, "device lost 1920",
            banner(deviceSide[i], devices[i], "DEVICE NOT RESPONDING"));
        png(694 + i, kPublicSmall, "device lost 1280",
            banner(deviceSide[i], devices[i], "DEVICE NOT RESPONDING"));
    }

    png(707, kPublicSmall, "winner display 1280", banner(Side::Neutral, "", ""));
    png(658, kPublicLarge, "winner display 1920", banner(Side::Neutral, "", ""));
    png(872, {1020, 574}, "winner display, operator copy", banner(Side::Neutral, "", ""));

    // Decision banners by reason: (1280, 1920, 1920 round-win) x (Chung, Hong).
    struct Reason {
        int small[2], large[2], roundWin[2];
        const char* sub;
    };
    static const Reason reasons[] = {
        {{830, 832}, {829, 831}, {978, 978}, "WIN BY POINT GAP"},
        {{822, 824}, {821, 823}, {821, 823}, "WIN BY GOLDEN POINT"},
        {{834, 836}, {833, 835}, {982, 982}, "WIN BY PUNITIVE DECLARATION"},
    };
    for (const Reason& reason : reasons) {
        for (int side = 0; side < 2; ++side) {
            const Side s = side == 0 ? Side::Chung : Side::Hong;
            const char* who = side == 0 ? "CHUNG" : "HONG";
            png(reason.small[side], {962, 122}, "decision banner 1280", banner(s, who, reason.sub));
            png(reason.large[side], {1444, 183}, "decision banner 1920", banner(s, who, reason.sub));
        }
    }
    // The round-win system's 1920 banners name no side (one picture serves both).
    png(978, {472, 320}, "decision banner 1920 round-win, point gap",
        banner(Side::Neutral, "POINT GAP", "ROUND WON"));
    png(982, {472, 320}, "decision banner 1920 round-win, punitive",
        banner(Side::Neutral, "PUNITIVE", "ROUND WON"));
    png(ArtworkIds::GoldenPointBannerChung, {472, 320}, "decision banner 1920 round-win, golden point",
        banner(Side::Chung, "CHUNG", "WIN BY GOLDEN POINT"));
    png(ArtworkIds::GoldenPointBannerHong, {472, 320}, "decision banner 1920 round-win, golden point",
        banner(Side::Hong, "HONG", "WIN BY GOLDEN POINT"));
    png(ArtworkIds::RoundDecidedBanner, {472, 320}, "decision banner 1920 round-win, round decided",
        banner(Side::Neutral, "DECISION", "ROUND DECIDED"));
    png(ArtworkIds::MatchDecidedBanner, {472, 320}, "decision banner 1920 round-win, match decided",
        banner(Side::Neutral, "DECISION", "MATCH DECIDED"));
    png(ArtworkIds::FinalDecisionBanner, {472, 320}, "decision banner 1920 round-win, final",
        banner(Side::Neutral, "DECISION", "FINAL DECISION"));
    png(865, {962, 122}, "decision banner 1280, round decided",
        banner(Side::Neutral, "DECISION", "ROUND DECIDED"));
    png(864, {1444, 183}, "decision banner 1920, round decided",
        banner(Side::Neutral, "DECISION", "ROUND DECIDED"));
    png(867, {962, 122}, "decision banner 1280, match decided",
        banner(Side::Neutral, "DECISION", "MATCH DECIDED"));
    png(962, {1444, 183}, "decision banner 1920, match decided",
        banner(Side::Neutral, "DECISION", "MATCH DECIDED"));
    png(869, {962, 122}, "decision banner 1280, final", banner(Side::Neutral, "DECISION", "FINAL DECISION"));
    png(868, {1444, 183}, "decision banner 1920, final", banner(Side::Neutral, "DECISION", "FINAL DECISION"));

    // Superiority and round-result pop-ups: dark backgrounds, the pop-ups write their tables over them.
    png(891, kPublicSmall, "superiority, totals 1280", banner(Side::Neutral, "", ""));
    png(890, kPublicLarge, "superiority, totals 1920", banner(Side::Neutral, "", ""));
    png(882, kPublicSmall, "superiority, golden round 1280 (one judge)", banner(Side::Neutral, "", ""));
    png(881, kPublicLarge, "superiority, golden round 1920 (one judge)", banner(Side::Neutral, "", ""));
    png(859, kPublicSmall, "superiority, golden round 1280", banner(Side::Neutral, "", ""));
    png(858, kPublicLarge, "superiority, golden round 1920", banner(Side::Neutral, "", ""));
    png(888, kPublicLarge, "round result", banner(Side::Neutral, "", ""));
    png(734, kPublicLarge, "match result (one judge)", banner(Side::Neutral, "", ""));
    png(736, kPublicLarge, "match result", banner(Side::Neutral, "", ""));
    png(889, {1020, 574}, "round result, operator copy", banner(Side::Neutral, "", ""));
    png(876, {1020, 574}, "match result (one judge), operator copy", banner(Side::Neutral, "", ""));
    png(874, {1020, 574}, "match result, operator copy", banner(Side::Neutral, "", ""));

    // ---- dialogs ----
    bmp(587, {20, 20}, "link closed lamp", [](QSize s) { return Lamp(s, false); });
    bmp(588, {20, 20}, "link open lamp", [](QSize s) { return Lamp(s, true); });
    bmp(948, {48, 16}, "check list header boxes", [](QSize) { return CheckStrip(); });
    return r;
}

const std::vector<Recipe>& Recipes() {
    static const std::vector<Recipe> recipes = BuildRecipes();
    return recipes;
}

const std::vector<ArtworkEntry>& Entries() {
    static const std::vector<ArtworkEntry> entries = [] {
        std::vector<ArtworkEntry> list;
        for (const Recipe& recipe : Recipes())
            list.push_back(recipe.entry);
        return list;
    }();
    return entries;
}

} // namespace

std::span<const ArtworkEntry> ArtworkCatalogue() {
    return Entries();
}

QString ArtworkSays(ImageKind kind, int id) {
    for (const ArtworkEntry& entry : Entries()) {
        if (entry.kind == kind && entry.id == id)
            return entry.says;
    }
    return {};
}

QImage Artwork(ImageKind kind, int id) {
    static QMutex mutex;
    static std::map<std::pair<ImageKind, int>, QImage> cache;
    QMutexLocker lock(&mutex);
    const auto key = std::make_pair(kind, id);
    if (const auto it = cache.find(key); it != cache.end())
        return it->second;
    for (const Recipe& recipe : Recipes()) {
        if (recipe.entry.kind != kind || recipe.entry.id != id)
            continue;
        QImage image = recipe.draw(recipe.entry.size).convertToFormat(QImage::Format_ARGB32);
        cache.emplace(key, image);
        return image;
    }
    return {};
}
