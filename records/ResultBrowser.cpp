#include "records/ResultBrowser.h"

#include "app/AdoObject.h"
#include "app/SqlText.h"
#include "app/VariantText.h"
#include "platform/DebugOutput.h"
#include "records/ResultSheet.h"

#include <QString>

namespace {

constexpr const char* kColumns =
    "SELECT roomno, gameno, cname, hname, chungpoint, hongpoint, win, gtime, keyvalue FROM GAMET";

std::vector<ResultListRow> Rows(CAdoObject& db, const std::string& sql) {
    db.Select("%s", sql.c_str());
    std::vector<ResultListRow> rows;
    if (db.nColumns < 9)
        return rows;
    for (int r = 0; r < db.nRows; ++r) {
        const auto text = [&](int c) { return VariantToString(db.cell(r, c)); };
        rows.push_back(
            {text(0), text(1), text(2), text(3), text(4), text(5), text(6), ListDateText(text(7)), text(8)});
    }
    return rows;
}

std::string Literal(std::u16string_view value) {
    return "'" +
           SqlQuote(QString::fromUtf16(value.data(), static_cast<qsizetype>(value.size())).toStdString()) +
           "'";
}

// "column = 'value'" of one term, or empty for a term without a criterion or a value.
std::string Condition(const ResultSearchTerm& term) {
    if (term.criterion == ResultCriterion::None || term.value.empty())
        return {};
    switch (term.criterion) {
    case ResultCriterion::Court:
        return "roomno = " + Literal(term.value);
    case ResultCriterion::MatchNo: {
        const int number = QString::fromStdU16String(term.value).trimmed().toInt();
        return "gameno = '" + QString::asprintf("%03d", number).toStdString() + "'";
    }
    case ResultCriterion::Name:
        return "(cname = " + Literal(term.value) + " OR hname = " + Literal(term.value) + ")";
    case ResultCriterion::None:
        break;
    }
    return {};
}

// Runs every statement inside one transaction; rolls back at the first failure.
bool InOneTransaction(CAdoObject& db, const std::vector<std::string>& statements) {
    if (!db.Execute("BEGIN IMMEDIATE")) {
        DebugPrintf("result browser: cannot start the deletion: %s", db.lastError().c_str());
        return false;
    }
    for (const std::string& sql : statements) {
        if (!db.Execute("%s", sql.c_str())) {
            DebugPrintf("result browser: deletion undone: %s", db.lastError().c_str());
            db.Execute("ROLLBACK");
            return false;
        }
    }
    if (!db.Execute("COMMIT")) {
        db.Execute("ROLLBACK");
        return false;
    }
    return true;
}

} // namespace

std::vector<ResultListRow> LatestResult(CAdoObject& db) {
    return Rows(db, std::string(kColumns) + " ORDER BY gtime DESC, rowid DESC LIMIT 1");
}

std::string ResultSearchQuery(const ResultSearchTerm& first, const ResultSearchTerm& second) {
    std::string where;
    for (const ResultSearchTerm* term : {&first, &second}) {
        const std::string condition = Condition(*term);
        if (condition.empty())
            continue;
        where += where.empty() ? " WHERE " : " AND ";
        where += condition;
    }
    return kColumns + where + " ORDER BY gtime DESC, rowid DESC";
}

std::vector<ResultListRow> SearchResults(CAdoObject& db, const ResultSearchTerm& first,
                                         const ResultSearchTerm& second) {
    return Rows(db, ResultSearchQuery(first, second));
}

bool DeleteResults(CAdoObject& db, const std::vector<std::u16string>& keys) {
    std::vector<std::string> statements;
    for (const std::u16string& key : keys)
        for (const char* table : {"GAMET", "CHUNGLOG", "HONGLOG"})
            statements.push_back(std::string("DELETE FROM ") + table + " WHERE keyvalue = " + Literal(key));
    return InOneTransaction(db, statements);
}

bool DeleteAllResults(CAdoObject& db) {
    return InOneTransaction(db, {"DELETE FROM GAMET", "DELETE FROM CHUNGLOG", "DELETE FROM HONGLOG"});
}
