#include "records/ResultBrowser.h"

#include "app/AdoObject.h"
#include "app/VariantText.h"
#include "platform/DebugOutput.h"
#include "records/ResultSheet.h"

#include <QString>

namespace {

constexpr const char* kColumns =
    "SELECT roomno, gameno, cname, hname, chungpoint, hongpoint, win, gtime, keyvalue FROM GAMET";

std::vector<ResultListRow> Rows(CAdoObject& db, const std::string& sql,
                                const std::vector<DbVariant>& values = {}) {
    db.SelectBound(sql, values);
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

DbVariant Text(std::u16string_view value) {
    return DbVariant::text(
        QString::fromUtf16(value.data(), static_cast<qsizetype>(value.size())).toStdString());
}

// "column = ?" of one term with its values added, or empty for a term without a criterion or a value.
std::string Condition(const ResultSearchTerm& term, std::vector<DbVariant>& values) {
    if (term.criterion == ResultCriterion::None || term.value.empty())
        return {};
    switch (term.criterion) {
    case ResultCriterion::Court:
        values.push_back(Text(term.value));
        return "roomno = ?";
    case ResultCriterion::MatchNo: {
        const int number = QString::fromStdU16String(term.value).trimmed().toInt();
        values.push_back(DbVariant::text(QString::asprintf("%03d", number).toStdString()));
        return "gameno = ?";
    }
    case ResultCriterion::Name:
        values.push_back(Text(term.value));
        values.push_back(Text(term.value));
        return "(cname = ? OR hname = ?)";
    case ResultCriterion::None:
        break;
    }
    return {};
}

// Runs every statement inside one transaction; rolls back at the first failure.
bool InOneTransaction(CAdoObject& db, const std::vector<ResultQuery>& statements) {
    if (!db.Execute("BEGIN IMMEDIATE")) {
        DebugPrintf("result browser: cannot start the deletion: %s", db.lastError().c_str());
        return false;
    }
    for (const ResultQuery& statement : statements) {
        if (!db.ExecuteBound(statement.sql, statement.values)) {
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

ResultQuery ResultSearchQuery(const ResultSearchTerm& first, const ResultSearchTerm& second) {
    ResultQuery query;
    std::string where;
    for (const ResultSearchTerm* term : {&first, &second}) {
        const std::string condition = Condition(*term, query.values);
        if (condition.empty())
            continue;
        where += where.empty() ? " WHERE " : " AND ";
        where += condition;
    }
    query.sql = kColumns + where + " ORDER BY gtime DESC, rowid DESC";
    return query;
}

std::vector<ResultListRow> SearchResults(CAdoObject& db, const ResultSearchTerm& first,
                                         const ResultSearchTerm& second) {
    const ResultQuery query = ResultSearchQuery(first, second);
    return Rows(db, query.sql, query.values);
}

bool DeleteResults(CAdoObject& db, const std::vector<std::u16string>& keys) {
    std::vector<ResultQuery> statements;
    for (const std::u16string& key : keys)
        for (const char* table : {"GAMET", "CHUNGLOG", "HONGLOG"})
            statements.push_back({std::string("DELETE FROM ") + table + " WHERE keyvalue = ?", {Text(key)}});
    return InOneTransaction(db, statements);
}

bool DeleteAllResults(CAdoObject& db) {
    return InOneTransaction(
        db, {{"DELETE FROM GAMET", {}}, {"DELETE FROM CHUNGLOG", {}}, {"DELETE FROM HONGLOG", {}}});
}
