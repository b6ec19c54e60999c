#include "records/ResultSheet.h"

#include "app/AdoObject.h"
#include "app/AppGlobals.h"
#include "app/DbVariant.h"
#include "app/VariantText.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

QString Q(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The integer value of a stored text; anything that is not a number reads 0.
long long IntOf(std::u16string_view text) {
    bool ok = false;
    const long long value = Q(text).trimmed().toLongLong(&ok);
    return ok ? value : 0;
}

std::vector<DbVariant> Key(std::u16string_view key) {
    return {DbVariant::text(Q(key).toStdString())};
}

// Parts of "YYYY-MM-DD/HH:MM:SS": year, month, day, hour, minute (missing ones empty).
struct DateParts {
    QString year, month, day, hour, minute;
};
DateParts SplitDate(std::u16string_view gtime) {
    const QString text = Q(gtime);
    const qsizetype slash = text.indexOf(u'/');
    const QStringList date = text.left(slash < 0 ? text.size() : slash).split(u'-');
    const QStringList time = slash < 0 ? QStringList() : text.mid(slash + 1).split(u':');
    const auto at = [](const QStringList& parts, int i) { return i < parts.size() ? parts[i] : QString(); };
    return {at(date, 0), at(date, 1), at(date, 2), at(time, 0), at(time, 1)};
}

} // namespace

std::string ResultRowQuery() {
    return "SELECT roomno, gameno, chungpoint, hongpoint, cfacepoint, cbodypoint, hfacepoint, hbodypoint, "
           "cdeduct, hdeduct, cname, hname, win, cnation, hnation, weight, weight1, sex, gtime, face, valid, "
           "keyvalue, cpoint, hpoint, bvalue, fvalue, cfrom, hfrom FROM GAMET WHERE keyvalue = ?";
}

void StoreResultRow(const std::vector<std::u16string>& cells, std::u16string (&row)[40]) {
    // Slot of each query column, in query order; face and valid are made "O" / "X".
    static constexpr int kSlots[] = {
        ResultSlot::Court,       ResultSlot::GameNo,      ResultSlot::ChungTotal, ResultSlot::HongTotal,
        ResultSlot::ChungHead,   ResultSlot::ChungVest,   ResultSlot::HongHead,   ResultSlot::HongVest,
        ResultSlot::ChungDeduct, ResultSlot::HongDeduct,  ResultSlot::ChungName,  ResultSlot::HongName,
        ResultSlot::Winner,      ResultSlot::ChungNation, ResultSlot::HongNation, ResultSlot::Weight,
        ResultSlot::Weight1,     ResultSlot::Sex,         ResultSlot::Date,       ResultSlot::HeadGear,
        ResultSlot::ESocks,      ResultSlot::Key,         ResultSlot::ChungPoint, ResultSlot::HongPoint,
        ResultSlot::VestValue,   ResultSlot::HeadValue,   ResultSlot::ChungFrom,  ResultSlot::HongFrom,
    };
    const std::size_t n = std::min(cells.size(), std::size(kSlots));
    for (std::size_t i = 0; i < n; ++i) {
        const int slot = kSlots[i];
        if (slot == ResultSlot::HeadGear || slot == ResultSlot::ESocks)
            row[slot] = StoredYes(cells[i]) ? u"O" : u"X";
        else if (slot == ResultSlot::Date)
            row[slot] = SheetDateText(cells[i]);
        else
            row[slot] = cells[i];
    }
}

bool LoadResultRow(CAdoObject& db, std::u16string_view key) {
    db.SelectBound(ResultRowQuery(), Key(key));
    if (db.nRows < 1)
        return false;
    std::vector<std::u16string> cells;
    for (int c = 0; c < db.nColumns; ++c)
        cells.push_back(VariantToString(db.cell(0, c)));
    StoreResultRow(cells, g_strResultRow);
    return true;
}

bool StoredYes(std::u16string_view value) {
    return value == u"TRUE" || IntOf(value) != 0;
}

std::u16string SheetDateText(std::u16string_view gtime) {
    const DateParts d = SplitDate(gtime);
    return QStringLiteral("%1-%2-%3 %4:%5").arg(d.year, d.month, d.day, d.hour, d.minute).toStdU16String();
}

std::u16string ListDateText(std::u16string_view gtime) {
    const DateParts d = SplitDate(gtime);
    return QStringLiteral("%1/%2-%3:%4").arg(d.month, d.day, d.hour, d.minute).toStdU16String();
}

std::u16string NationText(std::u16string_view nation) {
    return nation == u"none" ? std::u16string() : std::u16string(nation);
}

std::u16string OriginText(std::u16string_view from, std::u16string_view nation) {
    if (from.empty() || from == nation)
        return {};
    return u"< " + std::u16string(from) + u" >";
}

EventFilter EventFilterOf(bool summary, bool includeAll) {
    if (summary)
        return EventFilter::Summary;
    return includeAll ? EventFilter::All : EventFilter::Valid;
}

std::string EventRowsQuery(int side, EventFilter filter) {
    std::string sql =
        "SELECT round, rtime, face, vest, point, deduct, judge1, judge2, judge3, jpoint, itemvalid, "
        "gtime, ptime, dbindex FROM ";
    sql += side == 0 ? "CHUNGLOG" : "HONGLOG";
    sql += " WHERE keyvalue = ?";
    if (filter == EventFilter::Summary)
        sql += " AND itemvalid = 1 AND (jpoint <> 0 OR point <> 0 OR deduct <> 0)";
    else if (filter == EventFilter::Valid)
        sql += " AND itemvalid = 1";
    return sql + " ORDER BY dbindex ASC";
}

bool LoadEventRows(CAdoObject& db, int side, EventFilter filter, std::u16string_view key,
                   std::vector<TTK_DbTemp>& rows) {
    rows.clear();
    const std::vector<std::u16string> names = db.SelectBound(EventRowsQuery(side, filter), Key(key));
    if (names.size() == 1 && names[0].empty())
        return false;
    for (int r = 0; r < db.nRows; ++r) {
        const auto text = [&](int c) { return c < db.nColumns ? VariantToString(db.cell(r, c)) : u""; };
        rows.push_back({text(0), text(1), text(2), text(3), text(4), text(5), text(6), text(7), text(8),
                        text(9), text(10), text(11), text(12), text(13)});
    }
    return true;
}

int NextResultRowSide(const std::vector<TTK_DbTemp>& chung, const std::vector<TTK_DbTemp>& hong,
                      std::size_t chungIndex, std::size_t hongIndex) {
    const bool haveChung = chungIndex < chung.size();
    const bool haveHong = hongIndex < hong.size();
    if (!haveChung && !haveHong)
        return 0;
    if (!haveHong)
        return 1;
    if (!haveChung)
        return 2;
    return IntOf(chung[chungIndex].dbindex) < IntOf(hong[hongIndex].dbindex) ? 1 : 2;
}

void SplitMinSec(std::u16string_view clock, int& minutes, int& seconds) {
    const std::size_t colon = clock.find(u':');
    if (colon == std::u16string_view::npos) {
        minutes = seconds = 0;
        return;
    }
    minutes = static_cast<int>(IntOf(clock.substr(0, colon)));
    seconds = static_cast<int>(IntOf(clock.substr(colon + 1)));
}

std::u16string PreciseLogTime(std::u16string_view rtime, std::u16string_view ptime, int roundSeconds) {
    const std::size_t point = rtime.find(u'.');
    if (rtime.find(u':') == std::u16string_view::npos && point != std::u16string_view::npos && point > 0)
        return QString::asprintf("0:%02lld.", IntOf(rtime.substr(0, point))).toStdU16String() +
               std::u16string(rtime.substr(point + 1));
    int minutes = 0;
    int seconds = 0;
    SplitMinSec(rtime, minutes, seconds);
    const int total = 60 * minutes + seconds;
    const long long stamp = IntOf(ptime);
    // A running clock shows the full round only during its first second, when the stamp is below 1000.
    const bool atRest = total == 0 || (total == roundSeconds && std::llabs(stamp) >= 1000);
    const long long ms = std::llabs(stamp) % 1000;
    if (ms == 0)
        return std::u16string(rtime) + u".00";
    QString first;
    if (atRest) {
        first = QString::asprintf("-%d:%02lld", minutes, stamp / 1000);
    } else {
        // The text shows the second that is running; the event came ms into it.
        const int left = std::max(0, total - 1);
        first = QString::asprintf("%d:%02d", left / 60, left % 60);
    }
    return (first + QString::asprintf(".%02lld", (1000 - ms) / 10)).toStdU16String();
}

ResultPages PaginateResult(const std::vector<TTK_DbTemp>& chung, const std::vector<TTK_DbTemp>& hong,
                           int rowsPerPage) {
    rowsPerPage = std::max(1, rowsPerPage);
    ResultPages pages;
    std::size_t c = 0;
    std::size_t h = 0;
    for (std::size_t k = 0;; ++k) {
        const int side = NextResultRowSide(chung, hong, c, h);
        if (k % static_cast<std::size_t>(rowsPerPage) == 0 && (side != 0 || k == 0)) {
            pages.chungStart.push_back(c);
            pages.hongStart.push_back(h);
        }
        if (side == 0)
            break;
        (side == 1 ? c : h) += 1;
    }
    return pages;
}

double ResultTableBottom(double printableHeight) {
    return std::min(ResultTable::kBottom, printableHeight);
}

int ResultRowsPerPage(double printableHeight) {
    // The last row's text must end above the frame's bottom line.
    const double room = ResultTableBottom(printableHeight) - ResultTable::kFirstRow - 10.0 / 72.0;
    const int rows = 1 + static_cast<int>(std::floor(room / ResultTable::kRowPitch + 1e-9));
    return std::clamp(rows, 1, ResultTable::kMaxRowsPerPage);
}
