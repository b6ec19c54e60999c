// The match-log workbook. Everything goes into the book in memory, and shortly after each change (see
// kSaveDelayMs) the file writer (app/FileWriter.h) replaces the file with the book as it is then, so a crash
// loses at most the changes of that moment. The file writer's thread keeps a copy of the book and builds the
// workbook stream from it; a save on the user-interface thread only hands over the changes since the last
// one (the lines written meanwhile), whatever the length of the match. The log's first copy is written at
// once, since the operator is told when the log cannot be made.
#include "records/MatchLog.h"

#include "app/AppGlobals.h"
#include "app/FileWriter.h"
#include "app/MatchData.h"
#include "platform/CodePage.h"
#include "platform/CompoundFile.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "records/CellFormats.h"
#include "records/ExcelBook.h"
#include "records/MatchRecords.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace MatchLog {
namespace {

// The saves of one log. Threads: Hand and the failure flag on the user-interface thread, Write on the file
// writer's thread; m_mutex protects the changes handed over and not yet written.
class LogSaver {
public:
    LogSaver(std::string path, std::unique_ptr<ExcelBook> copy)
        : m_path(std::move(path)), m_copy(std::move(copy)) {}

    const std::string& path() const { return m_path; }
    // Adds the changes to those a write still waits for.
    void Hand(ExcelBookChanges changes) {
        std::lock_guard lock(m_mutex);
        m_pending.Merge(std::move(changes));
    }
    // Brings the copy up to date and replaces the file with it. A failed write keeps the changes in the
    // copy, so the next one writes them.
    bool Write() {
        ExcelBookChanges changes;
        {
            std::lock_guard lock(m_mutex);
            changes = std::exchange(m_pending, {});
        }
        m_copy->Apply(std::move(changes));
        return platform::WriteCompoundStream(m_path, ExcelStorage::kStreamName, m_copy->Write());
    }

    bool errorShown = false; // "Log file save error!" was shown for this log

private:
    const std::string m_path;
    std::mutex m_mutex;
    ExcelBookChanges m_pending;
    std::unique_ptr<ExcelBook> m_copy; // the file writer's thread's once the log is open
};

std::unique_ptr<ExcelBook> g_pMatchLogBook;
int g_nMatchLogLine = 0;
std::shared_ptr<LogSaver> g_pSaver; // the open log's

bool g_bSaveDue = false; // a change waits for its save

// Hands the changes to the file writer, whose write of them takes the place of a write of the log still
// waiting.
void Save() {
    g_bSaveDue = false;
    if (!g_pMatchLogBook || !g_pSaver)
        return;
    g_pSaver->Hand(g_pMatchLogBook->TakeChanges());
    TheFileWriter().Replace(
        g_pSaver->path(), [saver = g_pSaver] { return saver->Write(); },
        [saver = g_pSaver] {
            DebugPrintf("match log %s could not be saved; it holds an earlier state", saver->path().c_str());
            if (!saver->errorShown) {
                saver->errorShown = true;
                ShowNoticeBox(0, u"Log file save error!");
            }
        });
}

// After a change: the save follows kSaveDelayMs later (at once without an event loop to wait in).
void QueueSave() {
    if (!g_pMatchLogBook || g_bSaveDue)
        return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        Save();
        return;
    }
    g_bSaveDue = true;
    QTimer::singleShot(kSaveDelayMs, app, [] {
        if (g_bSaveDue)
            Save();
    });
}

// The template's workbook stream, read from its file once and again only when the file changes.
struct TemplateStream {
    std::string path;
    qint64 size = -1;
    QDateTime modified;
    ExcelLog::Bytes stream;
};

const ExcelLog::Bytes* ReadTemplate(const std::string& path) {
    static TemplateStream cached;
    const QFileInfo file(QString::fromStdString(path));
    if (!file.exists())
        return nullptr;
    if (cached.path == path && cached.size == file.size() && cached.modified == file.lastModified())
        return &cached.stream;
    ExcelStorage storage;
    ExcelLog::Bytes stream;
    if (!storage.Open(path) || storage.ReadFile(stream) != 1)
        return nullptr;
    cached = {path, file.size(), file.lastModified(), std::move(stream)};
    return &cached.stream;
}

template <std::size_t N> std::string_view Field(const char (&text)[N]) {
    return {text, strnlen(text, N)};
}

std::string Format(const char* pattern, auto... values) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

ExcelCell* At(int sheetIndex, int row, int column) {
    if (!g_pMatchLogBook)
        return nullptr;
    const auto sheet = g_pMatchLogBook->Sheet(sheetIndex);
    return sheet ? sheet->Cell(row, column) : nullptr;
}

void PutText(int sheet, int row, int column, std::string_view text) {
    if (ExcelCell* cell = At(sheet, row, column))
        cell->SetString(text);
}

void PutInteger(int sheet, int row, int column, int value) {
    if (ExcelCell* cell = At(sheet, row, column))
        cell->SetInteger(value);
}

std::string LocalTimeText() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
}

// The local time of an event line, "hh:mm:ss.mmm". Reading the local time costs about ten microseconds and
// a burst logs many lines in a second, so the local time is read once a second and the milliseconds added.
std::string LineTimeText() {
    static qint64 lastSecond = -1;
    static QTime secondStart;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 second = now / 1000;
    if (second != lastSecond) {
        lastSecond = second;
        secondStart = QDateTime::fromSecsSinceEpoch(second).time();
    }
    return Format("%02d:%02d:%02d.%03d", secondStart.hour(), secondStart.minute(), secondStart.second(),
                  static_cast<int>(now % 1000));
}

struct EventTexts {
    const char* red;  // a nonzero side
    const char* blue; // side 0; null: the same text for both
};

constexpr std::array<EventTexts, 41> kEventTexts{{
    {"Start round %d", nullptr},
    {"Stop round %d", nullptr},
    {"Time out", nullptr},
    {"Match resume", nullptr},
    {"Kye-shi match pause", nullptr},
    {"Kye-shi match resume", nullptr},
    {"Red punch judge", "Blue punch judge"},
    {"Red punch point", "Blue punch point"},
    {"Red body hit", "Blue body hit"},
    {"Red body point", "Blue body point"},
    {"Red head hit", "Blue head hit"},
    {"Red head point", "Blue head point"},
    {"Red tech judge", "Blue tech judge"},
    {"Red tech point", "Blue tech point"},
    {"Red gam-jeom", "Blue gam-jeom"},
    {"Red video replay", "Blue video replay"},
    {"Red add point", "Blue add point"},
    {"Add red punch point", "Add blue punch point"},
    {"Add red body point", "Add blue body point"},
    {"Add red head point", "Add blue head point"},
    {"Add red tech point", "Add blue tech point"},
    {"Add red hit", "Add blue hit"},
    {"Add red gam-jeom", "Add blue gam-jeom"},
    {"Remove red punch point", "Remove blue punch point"},
    {"Remove red body point", "Remove blue body point"},
    {"Remove red head point", "Remove blue head point"},
    {"Remove red tech point", "Remove blue tech point"},
    {"Remove red hit", "Remove blue hit"},
    {"Remove red gam-jeom", "Remove blue gam-jeom"},
    {"Red remove point", "Blue remove point"},
    {"Call for meeting", nullptr},
    {"Technical issue", nullptr},
    {"Call for doctor", nullptr},
    {"Red body judge", "Blue body judge"},
    {"Red head judge", "Blue head judge"},
    {"Red body tech judge", "Blue body tech judge"},
    {"Red head tech judge", "Blue head tech judge"},
    {"Red spinning kick judge", "Blue spinning kick judge"},
    {"Red punch hit", "Blue punch hit"},
    {"Red gam-jeom 2POINT", "Blue gam-jeom 2POINT"},
    {"Remove Red gam-jeom 2POINT", "Remove Blue gam-jeom 2POINT"},
}};

constexpr int kVideoReplay = 15;

bool IsPenalty(int code) {
    return code == 14 || code == 22 || code == 28 || code == 39 || code == 40;
}
bool IsRemoval(int code) {
    return (code >= 23 && code <= 29) || code == 40;
}
bool InJ(int code) {
    return code == 6 || code == 8 || code == 10 || code == 12 || code == 15 || code == 38;
}
bool InP(int code) {
    switch (code) {
    case 7:
    case 9:
    case 11:
    case 13:
    case 16:
    case 17:
    case 18:
    case 19:
    case 23:
    case 24:
    case 25:
    case 29:
        return true;
    default:
        return false;
    }
}
bool InG(int code) {
    return code == 14 || code == 22 || code == 28;
}

// Reads "h:m:s" into seconds.
std::optional<int> Seconds(std::string_view text) {
    int h = 0, m = 0, s = 0, used = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%2d:%2d:%2d%n", &h, &m, &s, &used) != 3 ||
        used != static_cast<int>(copy.size()))
        return std::nullopt;
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 60)
        return std::nullopt;
    return h * 3600 + m * 60 + s;
}

// The cell formats of the event lines' looks in the open log, each looked up (or added) once.
class EventStyles {
public:
    explicit EventStyles(ExcelBook& book) : m_table(book) {}

    XfSpec& Spec(CellLook look) {
        const auto key = std::pair(static_cast<int>(look.look), static_cast<int>(look.fill));
        auto it = m_specs.find(key);
        if (it != m_specs.end())
            return it->second;
        FontSpec font;
        font.name = u"Arial";
        font.height = 240;
        font.weight = 400;
        font.colour = look.look == Look::Blue ? 4 : look.look == Look::Plain ? 0 : 2;
        XfSpec spec;
        spec.table = &m_table;
        spec.font = m_table.FindOrAddFont(font);
        spec.format = 0;
        spec.alignment = 0x12;
        spec.border1 = 0x1111;
        if (look.look == Look::Marker) {
            spec.fill = 17;
            spec.border2 = 0x04000000;
        } else {
            spec.fill = look.fill == Fill::Yellow ? 5 : look.fill == Fill::Grey ? 22 : 1;
            spec.border2 = look.fill == Fill::None ? 0 : 0x04000000;
        }
        return m_specs.emplace(key, spec).first->second;
    }

private:
    CellFormatTable m_table;
    std::map<std::pair<int, int>, XfSpec> m_specs;
};

std::unique_ptr<EventStyles> g_pEventStyles; // the open log's

} // namespace

ExcelBook* OpenBook() {
    return g_pMatchLogBook.get();
}

void SaveNow() {
    if (g_bSaveDue)
        Save();
}

std::string EventText(int code, int side, int round) {
    if (code < 0 || code >= static_cast<int>(kEventTexts.size()))
        return Format("Event %d", code);
    if (code == kVideoReplay && side != 0 && side != 1)
        return "Referee video replay";
    const EventTexts& t = kEventTexts[code];
    const char* text = side == 0 && t.blue ? t.blue : t.red;
    return code <= 1 ? Format(text, round) : text;
}

std::string SourceText(int source) {
    static constexpr const char* kSources[] = {"S", "BP", "HP", "J", "RJ", "RC", "BC", "CR", "BH"};
    if (source < 0 || source > 8)
        return Format("%d", source);
    return kSources[source];
}

std::string TechniqueText(int technique) {
    static constexpr const char* kTechniques[] = {"P",         "T",         "Body",    "Head",
                                                  "Body tech", "Head tech", "Spinning"};
    if (technique < 1 || technique > 7)
        return {};
    return kTechniques[technique - 1];
}

std::optional<std::string> ElapsedText(std::string_view start, std::string_view end) {
    const auto from = Seconds(start);
    const auto to = Seconds(end);
    if (!from || !to)
        return std::nullopt;
    int elapsed = *to - *from;
    if (elapsed < 0)
        elapsed += 24 * 3600; // the match went on past midnight
    return Format("%02d:%02d", elapsed / 60, elapsed % 60);
}

std::optional<CellLook> EventCellLook(int code, int side, int column, int round, bool golden) {
    const CellLook redNone{Look::Red, Fill::None};
    const CellLook roundColumn{Look::Red, round % 2 ? Fill::Grey : Fill::None};
    if (code == 0 || code == 1)
        return CellLook{Look::Marker, Fill::None};
    if (column == 1)
        return roundColumn;
    const auto asJ = [&] {
        return side != 0 ? CellLook{Look::Blue, Fill::None} : CellLook{Look::Plain, Fill::None};
    };
    const auto asP = [&] {
        return side != 0 ? CellLook{Look::Blue, Fill::Yellow} : CellLook{Look::Plain, Fill::Yellow};
    };
    if (column == 2 || column == 5 || column == 6) {
        if (InJ(code))
            return asJ();
        if (InP(code))
            return asP();
        if (InG(code) || code == 39 || code == 40)
            return golden ? asJ() : asP();
        return redNone;
    }
    if (column == 3 || column == 4) {
        if (InG(code) && golden)
            return roundColumn;
        if (InP(code) || InG(code))
            return CellLook{Look::Red, Fill::Yellow};
        return redNone;
    }
    const bool low = column >= 7 && column <= 11;
    const bool high = column >= 12 && column <= 16;
    if (InJ(code)) {
        if (side == 1 && high)
            return CellLook{Look::Blue, Fill::None};
        if (side == 0 && low)
            return CellLook{Look::Plain, Fill::None};
        return redNone;
    }
    if (InP(code)) {
        if (side == 1 && high)
            return CellLook{Look::Blue, Fill::Yellow};
        if (side == 0 && low)
            return CellLook{Look::Plain, Fill::Yellow};
        if (side == 2)
            return std::nullopt;
        return redNone;
    }
    if (InG(code)) {
        if (side == 1 && low)
            return CellLook{Look::Plain, Fill::None};
        if (side == 0 && high)
            return CellLook{Look::Blue, Fill::None};
        return redNone;
    }
    return redNone;
}

bool GoldenRoundException(const MatchData& md, int side) {
    if (side < 0 || side > 1 || md.nRound < 0 || md.nRound >= kMaxRounds || md.nCurRound != md.nRound + 1)
        return false;
    const TTK_SideScore& s = md.aSide[side];
    return s.nRoundPenalty1[md.nRound] + s.nRoundPenalty2[md.nRound] < 2;
}

std::string UniqueLogPath(const std::string& folder, std::string name) {
    for (char& c : name)
        if (c == '/' || c == '\\')
            c = '_';
    if (name.empty() || name == "." || name == "..")
        name = "match.xls";
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    // The stem is cut to leave room for the extension and a number, at a character's start, so a long
    // contest number still gives a file.
    const auto named = [&](const std::string& suffix) {
        std::size_t keep = std::min(
            stem.size(), kMaxFileNameBytes - std::min(kMaxFileNameBytes, suffix.size() + extension.size()));
        while (keep > 0 && keep < stem.size() && (static_cast<unsigned char>(stem[keep]) & 0xc0) == 0x80)
            --keep;
        return folder + stem.substr(0, keep) + suffix + extension;
    };
    std::string path = named("");
    for (int n = 2; QFileInfo::exists(QString::fromStdString(path)); ++n)
        path = named(" (" + std::to_string(n) + ")");
    return path;
}

} // namespace MatchLog

using namespace MatchLog;

int OpenMatchLog(std::u16string_view fileName) {
    MatchLog::SaveNow(); // the log open until now keeps its last changes
    g_pEventStyles.reset();
    g_pMatchLogBook.reset();
    g_pSaver.reset();
    const MatchData* md = g_pMatchData;
    if (!md)
        return 0;
    const std::string folder = WideToMultiByte(AppPath(u"Log/"), CP_UTF8);
    if (!QDir().mkpath(QString::fromStdString(folder))) {
        DebugPrintf("OpenMatchLog: the folder %s cannot be made", folder.c_str());
        return 0;
    }
    auto book = std::make_unique<ExcelBook>();
    const std::string templatePath =
        folder + WideToMultiByte(md->nCompetitionType == 1 ? kTeamTemplate : kTemplate, CP_UTF8);
    const ExcelLog::Bytes* stream = ReadTemplate(templatePath);
    if (!stream || !book->Read(*stream) || book->SheetCount() < 3) {
        DebugPrintf("OpenMatchLog: the template %s is missing, damaged or has fewer than three sheets",
                    templatePath.c_str());
        return 0;
    }
    const std::string path = UniqueLogPath(folder, WideToMultiByte(fileName, CP_UTF8));
    if (!book->storage().Create(path) || book->storage().MakeFile() != 1 || !book->Save()) {
        DebugPrintf("OpenMatchLog: %s cannot be written", path.c_str());
        return 0;
    }
    g_pSaver = std::make_shared<LogSaver>(path, book->Copy());
    g_pEventStyles = std::make_unique<EventStyles>(*book);
    g_pMatchLogBook = std::move(book);
    g_nMatchLogLine = 0;
    return 1;
}

void WriteMatchLogHeader() {
    const MatchData* md = g_pMatchData;
    if (!g_pMatchLogBook || !md)
        return;
    constexpr int kColumn = 3;
    const auto put = [](int row, std::string_view text) { PutText(kHeaderSheet, row, kColumn, text); };
    put(3, Field(md->szContestNo));
    put(4, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString());
    const bool women = Field(md->szGender).find('F') != std::string_view::npos;
    put(5, std::string(women ? "W" : "M") + std::string(Field(md->szWeight)));
    put(6, Field(md->szPhase));
    put(7, Field(md->szWeightClass));
    put(8, std::to_string(md->nLevelBody));
    put(9, std::to_string(md->nLevelHead));
    for (int side = 0; side < 2; ++side) {
        const TTK_Player& p = md->aPlayer[side];
        put(12 + side, Field(p.szName));
        put(14 + side, Field(p.szNationName));
        put(16 + side, Field(p.szNationCode));
    }
    PutInteger(kHeaderSheet, 20, kColumn, md->nCompetitionType == 1 ? md->nTeamVRQuota : md->nVRQuota);
    QueueSave();
}

void WriteMatchLogTimes(int which) {
    if (!g_pMatchLogBook)
        return;
    constexpr int kColumn = 3;
    const std::string now = LocalTimeText();
    if (which == 0) {
        PutText(kHeaderSheet, 10, kColumn, now);
        QueueSave();
        return;
    }
    PutText(kHeaderSheet, 11, kColumn, now);
    const auto sheet = g_pMatchLogBook->Sheet(kHeaderSheet);
    const ExcelCell* start = sheet ? sheet->Peek(10, kColumn) : nullptr;
    std::string startText;
    if (start && start->GetString(startText))
        if (const auto elapsed = ElapsedText(startText, now))
            PutText(kHeaderSheet, 18, kColumn, *elapsed);
    QueueSave();
}

void WriteMatchLogRoundScores(int round) {
    const MatchData* md = g_pMatchData;
    if (!g_pMatchLogBook || !md)
        return;
    const bool totals = round == 10;
    if (!totals && (round < 0 || round > 4)) {
        DebugPrintf("WriteMatchLogRoundScores: no row for round index %d", round);
        return;
    }
    const int base = totals ? (md->nCompetitionType == 1 ? 30 : 25) : 5 + 5 * round;
    const int lastEntry = std::clamp(md->nRound, 0, kMaxRounds - 1);
    // A round's entry, or the sum of the entries of the regular rounds and the golden round.
    const auto value = [&](const int* entries) {
        if (!totals)
            return entries[round];
        int sum = 0;
        for (int i = 0; i <= lastEntry; ++i)
            sum += entries[i];
        return sum;
    };
    for (int side = 0; side < 2; ++side) {
        const TTK_SideScore& own = md->aSide[side];
        const TTK_SideScore& other = md->aSide[1 - side];
        const TTK_Player& player = md->aPlayer[side];
        const int row = base + side;
        PutText(kRoundSheet, row, 1,
                std::string(Field(player.szName)) + " - " + std::string(Field(player.szNationCode)));
        for (int tally = 0; tally < 6; ++tally)
            PutInteger(kRoundSheet, row, 2 + tally, value(own.nTechTally[tally]));
        PutText(kRoundSheet, row, 8, Format("(+%d)", value(own.nTechTally[6])));
        PutInteger(kRoundSheet, row, 9, value(own.nTechTally[7]));
        PutText(kRoundSheet, row, 10, Format("(+%d)", value(own.nTechTally[8])));
        PutInteger(kRoundSheet, row, 11, value(own.nTechTally[9]));
        PutText(kRoundSheet, row, 12,
                Format("(+%d)", value(other.nRoundPenalty1) + value(other.nRoundPenalty2)));
        PutInteger(kRoundSheet, row, 13, value(own.nRoundPenalty1) + value(own.nRoundPenalty2));
        const int score = totals ? own.nScore + other.nPenaltyCount1 + 2 * other.nPenaltyCount2
                                 : own.nRoundScore[round] + other.nRoundPenaltyPoints1[round] +
                                       other.nRoundPenaltyPoints2[round];
        PutInteger(kRoundSheet, row, 20, score);
    }
    QueueSave();
}

void LogMatchEvent(int round, int code, std::u16string_view time, int side, int source, int points, int count,
                   int technique1, int technique2, int technique3) {
    const MatchData* md = g_pMatchData;
    if (!g_pMatchLogBook || !md || g_pMatchLogBook->SheetCount() <= kEventSheet)
        return;
    const int row = kFirstEventRow + g_nMatchLogLine;
    if (row > ExcelSheet::kMaxRow) {
        DebugPrintf("LogMatchEvent: the event sheet is full; event %d not logged", code);
        return;
    }
    const auto text = [&](int column, std::string_view value) { PutText(kEventSheet, row, column, value); };
    const auto integer = [&](int column, int value) { PutInteger(kEventSheet, row, column, value); };
    const bool red = side == 1;

    integer(1, round);
    text(2, EventText(code, side, round));
    text(3, WideToMultiByte(time, CP_UTF8));
    text(4, LineTimeText());
    text(5, SourceText(source));

    const auto total = [&](int s) {
        const TTK_SideScore& own = md->aSide[s];
        const TTK_SideScore& other = md->aSide[1 - s];
        const int i = round - 1;
        if (md->nCompetitionRule == 1 && i >= 0 && i < kMaxRounds)
            return own.nRoundScore[i] + other.nRoundPenaltyPoints1[i] + other.nRoundPenaltyPoints2[i];
        return own.nScore + other.nPenaltyCount1 + 2 * other.nPenaltyCount2;
    };
    text(6, Format("%d - %d", total(0), total(1)));

    if (points != 0) {
        int column = red ? 12 : 7;
        if (IsPenalty(code))
            column = side == 1 ? 7 : side == 0 ? 12 : 2; // the points go to the opponent
        if (IsRemoval(code))
            text(column, Format("-%d", points));
        else
            integer(column, points);
    }
    if (count != 0)
        integer(red ? 13 : 8, count);
    const int techniques[] = {technique1, technique2, technique3};
    for (int i = 0; i < 3; ++i)
        if (techniques[i] != 0)
            text((red ? 14 : 9) + i, TechniqueText(techniques[i]));

    EventStyles& styles = *g_pEventStyles;
    const bool golden = GoldenRoundException(*md, side);
    for (int column = 1; column <= 16; ++column)
        if (const auto look = EventCellLook(code, side, column, round, golden))
            if (ExcelCell* cell = At(kEventSheet, row, column))
                cell->SetFormat(styles.Spec(*look));
    ++g_nMatchLogLine;
    QueueSave();
}

void CloseMatchLog() {
    Save();
    g_pEventStyles.reset();
    g_pMatchLogBook.reset();
    g_pSaver.reset();
}
