#include "records/PrintSheet.h"

#include "app/AppGlobals.h"
#include "records/PageModel.h"

#include <QString>

namespace {

constexpr int kLine = PageText::SingleLine;
constexpr int kBold = PageText::SingleLine | PageText::Bold;
constexpr int kBoldCentred = PageText::SingleLine | PageText::Bold | PageText::Centre;
const char16_t* const kSans = u"굴림";
const char16_t* const kSerif = u"바탕";

std::u16string Fmt(const char16_t* format, std::initializer_list<std::u16string_view> values) {
    QString text = QString::fromUtf16(format);
    for (const std::u16string_view v : values)
        text = text.arg(QString::fromUtf16(v.data(), static_cast<qsizetype>(v.size())));
    return text.toStdU16String();
}

// A player's block: name with its side, the origin when it differs from the nation, the nation.
void PlayerBlock(CPage& page, double column, const std::u16string& name, const char16_t* side,
                 const std::u16string& from, const std::u16string& nation) {
    double row = page.PrintText(2.25, column, kBold, 10, name + u" (" + side + u")");
    const std::u16string origin = OriginText(from, nation);
    if (!origin.empty())
        row = page.PrintText(row, column, kLine, 10, origin);
    page.PrintText(row, column, kLine, 10, NationText(nation));
}

void Header(CPage& page, int pageNumber, const ResultSheetJob& job) {
    const std::u16string* s = job.row;
    page.SetFontFace(kSans);
    page.PrintText(0.8, 0.5, kBold, 20, u"GAME RESULT");
    page.PrintText(0.8, 2.8, kBold, 12,
                   QStringLiteral("( PAGE %1/%2 )").arg(pageNumber).arg(job.pages.count()).toStdU16String());
    const double r1 = page.PrintText(
        1.39, 0.55, kBold, 12,
        Fmt(u"%1 : %2 (%3)", {s[ResultSlot::Weight], s[ResultSlot::Weight1], s[ResultSlot::Sex]}));
    page.DrawBox(1.2, 4.0, 2.1, 7.5, 1, 0, 0);
    const std::u16string& winner = s[ResultSlot::Winner];
    const std::size_t paren = winner.find(u'(');
    if (paren != std::u16string::npos) {
        page.PrintText(r1 + 0.12, 3.3, kBold, 25, winner.substr(0, paren));
        page.PrintText(r1 + 0.26, 4.6, kBold, 12, winner.substr(paren));
    } else {
        page.PrintText(r1 + 0.12, 3.1, kBoldCentred, 25, winner);
    }
    const double r2 = page.PrintText(r1 + 0.06, 0.55, kBold, 12, u"Game No." + s[ResultSlot::GameNo]);
    const double r3 = page.PrintText(r2 + 0.04, 0.55, kBold, 12, s[ResultSlot::Date]);
    page.DrawLine(r3, 0.15, r3, 7.65, 1, 0);

    PlayerBlock(page, 0.55, s[ResultSlot::ChungName], u"CHUNG", s[ResultSlot::ChungFrom],
                s[ResultSlot::ChungNation]);
    page.PrintText(2.59, 1.69, kBold, 12, s[ResultSlot::ChungTotal]);
    page.DrawBox(2.56, 1.6, 2.86, 2.1, 1, 0, 0);
    PlayerBlock(page, 3.3, s[ResultSlot::HongName], u"HONG", s[ResultSlot::HongFrom],
                s[ResultSlot::HongNation]);
    page.PrintText(2.59, 2.73, kBold, 12, s[ResultSlot::HongTotal]);
    page.DrawBox(2.56, 2.64, 2.86, 3.14, 1, 0, 0);

    // Score summary: labels in the middle, Chung's values left, Hong's right, dotted rules between rows.
    page.DrawBox(3.0, 0.15, 4.45, 4.2, 1, 0, 0);
    page.DrawLine(3.0, 1.5, 4.45, 1.5, 1, 0);
    page.DrawLine(3.0, 2.85, 4.45, 2.85, 1, 0);
    struct ScoreRow {
        const char16_t* label;
        double labelColumn;
        int chung, hong;
    };
    const ScoreRow rows[] = {
        {u"Point of Head", 1.6, ResultSlot::ChungHead, ResultSlot::HongHead},
        {u"Point of Vest", 1.6, ResultSlot::ChungVest, ResultSlot::HongVest},
        {u"Point", 1.95, ResultSlot::ChungPoint, ResultSlot::HongPoint},
        {u"Gam-Jeom", 1.75, ResultSlot::ChungDeduct, ResultSlot::HongDeduct},
    };
    double chungRow = 3.15;
    double hongRow = 3.15;
    for (const ScoreRow& r : rows) {
        page.PrintText(chungRow, r.labelColumn, kBold, 10, r.label);
        const double next = page.PrintText(chungRow, 0.7, kLine, 10, s[r.chung]);
        page.DrawLine(next, 0.15, next, 4.2, 1, PageLine::Dotted);
        const double hongNext = page.PrintText(hongRow, 3.4, kLine, 10, s[r.hong]);
        chungRow = next + 0.08;
        hongRow = hongNext + 0.08;
    }

    page.SetFontFace(kSerif);
    const double d1 =
        page.PrintText(3.12, 4.6, kLine, 10, Fmt(u"* Head Gear ( %1 )", {s[ResultSlot::HeadGear]}));
    const double d2 =
        page.PrintText(d1 + 0.02, 4.6, kLine, 10, Fmt(u"* e-Socks ( %1 )", {s[ResultSlot::ESocks]}));
    page.PrintText(
        d2 + 0.02, 4.6, kLine, 10,
        Fmt(u"* Vaild Power ( Vest : %1  Head : %2 )", {s[ResultSlot::VestValue], s[ResultSlot::HeadValue]}));
    page.PrintText(3.9, 4.6, kLine, 10, u"# P.H : Point of Head");
    page.PrintText(3.9, 6.3, kLine, 10, u"# P.V : Point of Vest");
    page.PrintText(4.1, 4.6, kLine, 10, u"# P.T : Point");
    page.PrintText(4.1, 6.3, kLine, 10, u"# G.J : Gam-Jeom");
}

void TableFrame(CPage& page, double bottom) {
    page.DrawBox(ResultTable::kTop, 0.15, bottom, 7.8, 1, 0, 0);
    page.SetFontFace(kSans);
    page.SetFontSize(8);
    for (const double row : {4.92, 5.15}) {
        page.DrawLine(row, 0.17, row, 4.37, 1, 0);
        page.DrawLine(row, 3.6, row, 7.8, 1, 0);
    }
    struct Heading {
        double row, column;
        const char16_t* text;
    };
    static const Heading headings[] = {
        {4.7, 1.3, u"CHUNG"},         {4.7, 2.65, u"HONG"},  {4.7, 4.5, u"CHUNG (JUDGE)"},
        {4.7, 6.38, u"HONG (JUDGE)"}, {4.96, 0.25, u"R"},    {4.96, 0.5, u"Time"},
        {4.96, 0.82, u"P.H"},         {4.96, 1.1, u"P.V"},   {4.96, 1.36, u"P.T"},
        {4.96, 1.62, u"G.J"},         {4.96, 2.17, u"P.H"},  {4.96, 2.45, u"P.V"},
        {4.96, 2.72, u"P.T"},         {4.96, 2.96, u"G.J"},  {4.96, 3.62, u"1/100"},
        {4.96, 3.95, u"Sec."},        {4.96, 4.24, u"P.T"},  {4.96, 4.54, u"Jud1"},
        {4.96, 4.94, u"Jud2"},        {4.96, 5.32, u"Jud3"}, {4.96, 6.06, u"P.T"},
        {4.96, 6.38, u"Jud1"},        {4.96, 6.74, u"Jud2"}, {4.96, 7.12, u"Jud3"},
    };
    for (const Heading& h : headings)
        page.PrintText(h.row, h.column, kLine, 8, h.text);
    for (const double column : {0.8, 2.15, 3.48, 3.6, 4.22, 6.03})
        page.DrawLine(ResultTable::kTop, column, bottom, column, 1, 0);
    for (const double column :
         {0.43, 1.06, 1.34, 1.6, 1.88, 2.43, 2.7, 2.94, 3.22, 4.52, 4.92, 5.29, 5.67, 6.36, 6.72, 7.1, 7.44})
        page.DrawLine(4.92, column, bottom, column, 1, 0);
}

// A point, deduction or judge value: blank for "0"; two or more characters start at wide, shorter ones at
// narrow.
void Value(CPage& page, double row, double wide, double narrow, const std::u16string& text) {
    if (text.size() >= 2)
        page.PrintText(row, wide, kLine, 10, text);
    else if (text != u"0")
        page.PrintText(row, narrow, kLine, 10, text);
}

void EventRow(CPage& page, double y, const TTK_DbTemp& e, bool hong, int roundSeconds, double& next) {
    const std::u16string round = e.itemvalid == u"FALSE" ? std::u16string(u"@") : e.round;
    next = page.PrintText(y, 0.24, kLine, 10, round);
    page.PrintText(y, 0.46, kLine, 10, e.rtime);
    const auto precise = [&] {
        page.PrintText(y, 3.66, kLine, 10, PreciseLogTime(e.rtime, e.ptime, roundSeconds));
    };
    const bool judgeRow = e.jpoint != u"0" || e.judge1 != u"0" || e.judge2 != u"0" || e.judge3 != u"0";
    if (!judgeRow) {
        const double dx = hong ? 1.35 : 0.0;
        if (e.face != u"0" || e.vest != u"0")
            precise();
        if (e.face != u"0")
            page.PrintText(y, dx + 0.83, kLine, 10, e.face);
        if (e.vest != u"0")
            page.PrintText(y, dx + 1.09, kLine, 10, e.vest);
        Value(page, y, dx + 1.37, dx + 1.44, e.point);
        Value(page, y, dx + 1.63, dx + 1.7, e.deduct);
        return;
    }
    const double dx = hong ? 1.84 : 0.0;
    if (e.jpoint == u"0")
        precise();
    else
        page.PrintText(y, dx + 4.3, kLine, 10, e.jpoint);
    const std::u16string* judges[] = {&e.judge1, &e.judge2, &e.judge3};
    const double columns[] = {4.59, 4.96, 5.33};
    for (int j = 0; j < 3; ++j)
        if (*judges[j] != u"0")
            page.PrintText(y, dx + columns[j], kLine, 10, JudgeCodeText(*judges[j]));
}

} // namespace

const char16_t* JudgeCodeText(std::u16string_view code) {
    static const char16_t* const kCodes[] = {u"V1", u"V2", u"H3", u"H4", u"H5"};
    if (code.size() == 1 && code[0] >= u'1' && code[0] <= u'5')
        return kCodes[code[0] - u'1'];
    return u"?";
}

ResultSheetJob SharedResultSheetJob(double printableHeight, int roundSeconds) {
    static const std::vector<TTK_DbTemp> kNone;
    ResultSheetJob job;
    job.row = g_strResultRow;
    job.chung = g_pChungLog ? g_pChungLog : &kNone;
    job.hong = g_pHongLog ? g_pHongLog : &kNone;
    job.rowsPerPage = ResultRowsPerPage(printableHeight);
    job.tableBottom = ResultTableBottom(printableHeight);
    job.pages = PaginateResult(*job.chung, *job.hong, job.rowsPerPage);
    job.roundSeconds = roundSeconds;
    return job;
}

void PrintMatchResultPage(CPage& page, int pageNumber, const ResultSheetJob& job) {
    Header(page, pageNumber, job);
    TableFrame(page, job.tableBottom);
    if (pageNumber < 1 || pageNumber > job.pages.count())
        return;
    std::size_t c = job.pages.chungStart[pageNumber - 1];
    std::size_t h = job.pages.hongStart[pageNumber - 1];
    double y = ResultTable::kFirstRow;
    for (int n = 0; n < job.rowsPerPage; ++n) {
        const int side = NextResultRowSide(*job.chung, *job.hong, c, h);
        if (side == 0)
            break;
        const TTK_DbTemp& e = side == 1 ? (*job.chung)[c++] : (*job.hong)[h++];
        double next = y;
        EventRow(page, y, e, side == 2, job.roundSeconds, next);
        if (n > 0) {
            const int style = n % 2 ? PageLine::Dotted : 0;
            page.DrawLine(y - 0.02, 0.2, y - 0.02, 3.7, 1, style);
            page.DrawLine(y - 0.02, 3.65, y - 0.02, 7.76, 1, style);
        }
        y = next;
    }
}
