#include "app/AdoObject.h"

#include "platform/DebugOutput.h"
#include "platform/OdbcConnection.h"

#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <cassert>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>

namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// "Key=value;Key=value" into upper-case keys and trimmed values; nullopt when a part has no '='.
std::optional<std::map<std::string, std::string>> parseConnectionString(std::string_view text) {
    std::map<std::string, std::string> keys;
    while (!text.empty()) {
        const auto end = text.find(';');
        const std::string_view part = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (part.empty())
            continue;
        const auto equals = part.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        keys[upper(trim(part.substr(0, equals)))] = std::string(trim(part.substr(equals + 1)));
    }
    return keys;
}

// How a cell is read, from the column's declared type.
enum class ColumnKind { Storage, Integer, Real, Numeric, Boolean, Date, Text };

ColumnKind kindOf(const char* declared) {
    if (!declared)
        return ColumnKind::Storage; // an expression such as count(*)
    std::string name = upper(declared);
    name = std::string(trim(name.substr(0, name.find('('))));
    static const std::map<std::string, ColumnKind, std::less<>> kinds = {
        {"INT", ColumnKind::Integer},     {"INTEGER", ColumnKind::Integer}, {"LONG", ColumnKind::Integer},
        {"COUNTER", ColumnKind::Integer}, {"REAL", ColumnKind::Real},       {"DOUBLE", ColumnKind::Real},
        {"FLOAT", ColumnKind::Real},      {"CURRENCY", ColumnKind::Real},   {"NUMERIC", ColumnKind::Numeric},
        {"YESNO", ColumnKind::Boolean},   {"BOOLEAN", ColumnKind::Boolean}, {"BIT", ColumnKind::Boolean},
        {"DATETIME", ColumnKind::Date},   {"DATE", ColumnKind::Date},       {"TIME", ColumnKind::Date},
        {"TEXT", ColumnKind::Text},       {"CHAR", ColumnKind::Text},       {"VARCHAR", ColumnKind::Text},
        {"MEMO", ColumnKind::Text},
    };
    const auto found = kinds.find(name);
    return found == kinds.end() ? ColumnKind::Storage : found->second;
}

std::string columnText(sqlite3_stmt* statement, int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
                 : std::string();
}

bool validDateTime(const DbDateTime& t) {
    using namespace std::chrono;
    const year_month_day date{year{t.year}, month{static_cast<unsigned>(t.month)},
                              day{static_cast<unsigned>(t.day)}};
    return t.year >= 1 && t.year <= 9999 && date.ok() && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
           t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

// Reads `digits` decimal digits at text[at]; -1 when they are not all there.
int digitsAt(std::string_view text, std::size_t at, std::size_t digits) {
    if (at + digits > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "YYYY-MM-DD", optionally followed by " HH:MM" or " HH:MM:SS" (or 'T' instead of the space) and a
// fraction of a second, which is dropped.
std::optional<DbDateTime> parseDateTime(std::string_view text) {
    DbDateTime t;
    t.year = digitsAt(text, 0, 4);
    t.month = digitsAt(text, 5, 2);
    t.day = digitsAt(text, 8, 2);
    if (t.year < 0 || t.month < 0 || t.day < 0 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    std::string_view rest = text.substr(10);
    if (!rest.empty()) {
        if (rest.size() < 6 || (rest[0] != ' ' && rest[0] != 'T') || rest[3] != ':')
            return std::nullopt;
        t.hour = digitsAt(rest, 1, 2);
        t.minute = digitsAt(rest, 4, 2);
        rest = rest.substr(6);
        if (!rest.empty() && rest[0] == ':') {
            t.second = digitsAt(rest, 1, 2);
            rest = rest.substr(std::min<std::size_t>(3, rest.size()));
            if (!rest.empty() && rest[0] == '.' && rest.size() > 1 &&
                rest.find_first_not_of("0123456789", 1) == std::string_view::npos)
                rest = {};
        }
        if (t.hour < 0 || t.minute < 0 || t.second < 0 || !rest.empty())
            return std::nullopt;
    }
    if (!validDateTime(t))
        return std::nullopt;
    return t;
}

// Unix seconds (UTC) as a calendar date and time; nullopt outside the years 1-9999.
std::optional<DbDateTime> fromUnixSeconds(double seconds) {
    constexpr double kFirst = -62135596800.0; // 0001-01-01 00:00:00
    constexpr double kLast = 253402300799.0;  // 9999-12-31 23:59:59
    if (!std::isfinite(seconds) || seconds < kFirst || seconds > kLast)
        return std::nullopt;
    using namespace std::chrono;
    const auto whole = static_cast<std::int64_t>(std::floor(seconds));
    const auto dayNumber = static_cast<std::int64_t>(std::floor(static_cast<double>(whole) / 86400.0));
    const std::int64_t secondOfDay = whole - dayNumber * 86400;
    const year_month_day date{sys_days{days{dayNumber}}};
    return DbDateTime{static_cast<int>(date.year()),
                      static_cast<int>(static_cast<unsigned>(date.month())),
                      static_cast<int>(static_cast<unsigned>(date.day())),
                      static_cast<int>(secondOfDay / 3600),
                      static_cast<int>(secondOfDay / 60 % 60),
                      static_cast<int>(secondOfDay % 60)};
}

// A value that does not fit its column's declared type is kept as it is stored, so nothing is lost.
DbVariant readCell(sqlite3_stmt* statement, int column) {
    const int storage = sqlite3_column_type(statement, column);
    if (storage == SQLITE_NULL)
        return {};
    const auto asStored = [&]() -> DbVariant {
        switch (storage) {
        case SQLITE_INTEGER:
            return DbVariant::integer(sqlite3_column_int64(statement, column));
        case SQLITE_FLOAT:
            return DbVariant::real(sqlite3_column_double(statement, column));
        default:
            return DbVariant::text(columnText(statement, column));
        }
    };
    const bool number = storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
    switch (kindOf(sqlite3_column_decltype(statement, column))) {
    case ColumnKind::Storage:
    case ColumnKind::Integer:
    case ColumnKind::Numeric:
        return asStored();
    case ColumnKind::Real:
        return number ? DbVariant::real(sqlite3_column_double(statement, column)) : asStored();
    case ColumnKind::Boolean:
        if (number)
            return DbVariant::boolean(sqlite3_column_double(statement, column) != 0.0);
        if (const std::string word = upper(columnText(statement, column)); word == "TRUE" || word == "FALSE")
            return DbVariant::boolean(word == "TRUE");
        return asStored();
    case ColumnKind::Date: {
        const auto date = number ? fromUnixSeconds(sqlite3_column_double(statement, column))
                                 : parseDateTime(columnText(statement, column));
        return date ? DbVariant::dateTime(*date) : asStored();
    }
    case ColumnKind::Text:
        return DbVariant::text(columnText(statement, column));
    }
    return asStored();
}

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Only one statement per call: text after the first one is refused rather than silently run or dropped.
enum class Prepared { Ok, SqlError, Empty, Several };

Prepared prepareOne(sqlite3* db, const std::string& sql, Statement& out) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
    out.reset(raw);
    if (rc != SQLITE_OK)
        return Prepared::SqlError;
    if (!raw)
        return Prepared::Empty;
    const std::string_view rest(tail, static_cast<std::size_t>(sql.c_str() + sql.size() - tail));
    return rest.find_first_not_of(" \t\r\n;") == std::string_view::npos ? Prepared::Ok : Prepared::Several;
}

// A bound value as the text a server receives; nullopt binds NULL.
std::optional<std::string> ParameterText(const DbVariant& v) {
    switch (v.type()) {
    case DbVariant::Type::Null:
        return std::nullopt;
    case DbVariant::Type::Int32:
    case DbVariant::Type::Int64:
        return std::to_string(v.asInt64());
    case DbVariant::Type::Real: {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", v.asReal());
        return std::string(text);
    }
    case DbVariant::Type::Text:
        return v.asText();
    case DbVariant::Type::Bool:
        return std::string(v.asBool() ? "1" : "0");
    case DbVariant::Type::DateTime: {
        const DbDateTime& t = v.asDateTime();
        char text[40];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
        return std::string(text);
    }
    }
    return std::nullopt;
}

} // namespace

CAdoObject::CAdoObject() = default;

CAdoObject::~CAdoObject() {
    Close();
}

BOOL CAdoObject::Open(const char* connectionString) {
    if (m_db || m_server) {
        DumpError("CAdoObject", "the connection is already open");
        return FALSE;
    }
    const std::string_view text = trim(connectionString ? connectionString : "");
    const BOOL opened = upper(text.substr(0, 7)) == "DRIVER=" ? OpenOdbc(std::string(text)) : OpenFile(text);
    if (opened)
        m_connection = std::string(text);
    return opened;
}

BOOL CAdoObject::OpenFile(std::string_view text) {
    const auto keys = parseConnectionString(text);
    if (!keys) {
        DumpError("CAdoObject", "malformed connection string");
        return FALSE;
    }
    const auto value = [&](const char* key) {
        const auto found = keys->find(key);
        return found == keys->end() ? std::string() : found->second;
    };
    // Each provider name leads to the way its databases are opened.
    using Opener = BOOL (CAdoObject::*)(const std::string&);
    static const std::map<std::string, Opener, std::less<>> providers = {
        {"MICROSOFT.JET.OLEDB.4.0", &CAdoObject::OpenSqliteFile},
        {"MICROSOFT.ACE.OLEDB.12.0", &CAdoObject::OpenSqliteFile},
    };
    const std::string provider = value("PROVIDER");
    const auto found = providers.find(upper(provider));
    if (found == providers.end()) {
        DumpError("CAdoObject", "unsupported provider \"" + provider + "\"");
        return FALSE;
    }
    return (this->*found->second)(value("DATA SOURCE"));
}

BOOL CAdoObject::OpenSqliteFile(const std::string& path) {
    if (path.empty()) {
        DumpError("CAdoObject", "the connection string names no Data Source");
        return FALSE;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    std::string failure;
    if (rc != SQLITE_OK)
        failure = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    else if (sqlite3_db_readonly(db, "main") == 1)
        failure = "the database file is read-only";
    // The file is only read on first use: a file that is no database shows up here, not at open.
    else if (sqlite3_busy_timeout(db, m_busyTimeoutMs) != SQLITE_OK ||
             // A commit returns once it is on the disk, in WAL mode too: an event the screen shows
             // survives a power cut.
             sqlite3_exec(
                 db, "PRAGMA foreign_keys=OFF; PRAGMA synchronous=FULL; SELECT count(*) FROM sqlite_master;",
                 nullptr, nullptr, nullptr) != SQLITE_OK)
        failure = sqlite3_errmsg(db);
    if (!failure.empty()) {
        sqlite3_close_v2(db);
        DumpError("SQLite", failure + ": " + path);
        return FALSE;
    }
    m_db = db;
    m_filePath = path;
    bOpen = 1;
    return TRUE;
}

sqlite3_stmt* CAdoObject::Prepare(const std::string& sql) {
    if (!m_db) {
        m_connectionLost = true;
        DumpError("CAdoObject", "the connection is not open");
        return nullptr;
    }
    Statement statement;
    switch (prepareOne(m_db, sql, statement)) {
    case Prepared::Ok:
        return statement.release();
    case Prepared::SqlError:
        DumpSqliteError(sql);
        break;
    case Prepared::Empty:
        DumpError("CAdoObject", "empty statement");
        break;
    case Prepared::Several:
        DumpError("CAdoObject", "more than one statement: " + sql);
        break;
    }
    return nullptr;
}

std::vector<std::u16string> CAdoObject::Select(const char* format, ...) {
    ClearRows();
    std::string sql;
    va_list args;
    va_start(args, format);
    const bool formatted = FormatStatement(sql, kMaxSelectLength, format, args);
    va_end(args);
    if (!formatted)
        return std::vector<std::u16string>(1);
    return SelectSql(sql, {});
}

std::vector<std::u16string> CAdoObject::SelectBound(std::string_view sql,
                                                    const std::vector<DbVariant>& values) {
    ClearRows();
    if (sql.size() > kMaxSelectLength) {
        DumpError("CAdoObject", "statement longer than " + std::to_string(kMaxSelectLength) + "; not run");
        return std::vector<std::u16string>(1);
    }
    return SelectSql(std::string(sql), values);
}

BOOL CAdoObject::Execute(const char* format, ...) {
    std::string sql;
    va_list args;
    va_start(args, format);
    const bool formatted = FormatStatement(sql, kMaxExecuteLength, format, args);
    va_end(args);
    if (!formatted)
        return FALSE;
    return ExecuteSql(sql, {});
}

BOOL CAdoObject::ExecuteBound(std::string_view sql, const std::vector<DbVariant>& values) {
    if (sql.size() > kMaxExecuteLength) {
        DumpError("CAdoObject", "statement longer than " + std::to_string(kMaxExecuteLength) + "; not run");
        return FALSE;
    }
    return ExecuteSql(std::string(sql), values);
}

namespace {

bool bindAll(sqlite3_stmt* statement, const std::vector<DbVariant>& values) {
    if (sqlite3_bind_parameter_count(statement) != static_cast<int>(values.size()))
        return false;
    for (int i = 0; i < static_cast<int>(values.size()); ++i) {
        const DbVariant& v = values[static_cast<std::size_t>(i)];
        int rc = SQLITE_OK;
        switch (v.type()) {
        case DbVariant::Type::Null:
            rc = sqlite3_bind_null(statement, i + 1);
            break;
        case DbVariant::Type::Int32:
        case DbVariant::Type::Int64:
            rc = sqlite3_bind_int64(statement, i + 1, v.asInt64());
            break;
        case DbVariant::Type::Real:
            rc = sqlite3_bind_double(statement, i + 1, v.asReal());
            break;
        case DbVariant::Type::Bool:
            rc = sqlite3_bind_int(statement, i + 1, v.asBool() ? 1 : 0);
            break;
        case DbVariant::Type::Text:
        case DbVariant::Type::DateTime: {
            const std::string text = ParameterText(v).value_or(std::string());
            rc = sqlite3_bind_text(statement, i + 1, text.c_str(), static_cast<int>(text.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        }
        if (rc != SQLITE_OK)
            return false;
    }
    return true;
}

} // namespace

std::vector<std::u16string> CAdoObject::SelectSql(const std::string& sql,
                                                  const std::vector<DbVariant>& values) {
    const std::vector<std::u16string> failed(1);
    if (m_server) {
        std::vector<std::u16string> names;
        if (!RunOdbc(sql, values, &names))
            return failed;
        return names;
    }
    const Statement statement(Prepare(sql));
    if (!statement)
        return failed;
    if (!bindAll(statement.get(), values)) {
        DumpError("CAdoObject", "the values do not match the placeholders of: " + sql);
        return failed;
    }
    std::vector<std::u16string> names;
    const int columns = sqlite3_column_count(statement.get());
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            m_cells.push_back(readCell(statement.get(), c));
            if (nRows == 0)
                names.push_back(QString::fromUtf8(sqlite3_column_name(statement.get(), c)).toStdU16String());
        }
        ++nRows;
    }
    if (rc != SQLITE_DONE) {
        DumpSqliteError(sql);
        ClearRows();
        return failed;
    }
    nColumns = columns;
    return names;
}

BOOL CAdoObject::ExecuteSql(const std::string& sql, const std::vector<DbVariant>& values) {
    m_rowsAffected = -1;
    if (m_server)
        return RunOdbc(sql, values, nullptr) ? TRUE : FALSE;
    const Statement statement(Prepare(sql));
    if (!statement)
        return FALSE;
    if (!bindAll(statement.get(), values)) {
        DumpError("CAdoObject", "the values do not match the placeholders of: " + sql);
        return FALSE;
    }
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        DumpSqliteError(sql);
        return FALSE;
    }
    m_rowsAffected = sqlite3_changes(m_db);
    return TRUE;
}

BOOL CAdoObject::OpenOdbc(const std::string& connectionText) {
    auto server = std::make_unique<platform::OdbcConnection>();
    std::string error;
    if (!server->open(connectionText, m_connectSeconds, error)) {
        DumpError("ODBC", error);
        return FALSE;
    }
    m_server = std::move(server);
    m_connectionLost = false;
    bOpen = 1;
    return TRUE;
}

bool CAdoObject::RunOdbc(const std::string& sql, const std::vector<DbVariant>& values,
                         std::vector<std::u16string>* names) {
    const bool keepRows = names != nullptr;
    std::vector<std::optional<std::string>> parameters;
    parameters.reserve(values.size());
    for (const DbVariant& v : values)
        parameters.push_back(ParameterText(v));
    platform::OdbcResult result;
    std::string error;
    if (!m_server->run(sql, parameters, m_statementSeconds, keepRows ? &result : nullptr, error)) {
        m_connectionLost = m_server->lost();
        DumpError("ODBC", error + " in: " + sql);
        return false;
    }
    m_connectionLost = false;
    m_rowsAffected = result.affected;
    if (!keepRows)
        return true;
    if (result.rows > 0)
        for (const std::string& name : result.names)
            names->push_back(QString::fromStdString(name).toStdU16String());
    m_cells.reserve(result.cells.size());
    for (std::size_t i = 0; i < result.cells.size(); ++i) {
        const auto& text = result.cells[i];
        if (!text) {
            m_cells.emplace_back();
            continue;
        }
        std::int64_t number = 0;
        const bool integer = result.integerColumn[i % static_cast<std::size_t>(result.columns)];
        const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), number);
        m_cells.push_back(integer && ec == std::errc() && end == text->data() + text->size()
                              ? DbVariant::integer(number)
                              : DbVariant::text(*text));
    }
    nRows = result.rows;
    nColumns = result.columns;
    return true;
}

void CAdoObject::SetBusyTimeout(int ms) {
    m_busyTimeoutMs = ms;
    if (m_db)
        sqlite3_busy_timeout(m_db, ms);
}

void CAdoObject::SetTimeouts(int connectSeconds, int statementSeconds) {
    m_connectSeconds = connectSeconds;
    m_statementSeconds = statementSeconds;
}

BOOL CAdoObject::Close() {
    if (m_db)
        sqlite3_close_v2(m_db); // no statement outlives a call, so nothing keeps the file open
    m_db = nullptr;
    m_server.reset();
    m_connection.clear();
    m_filePath.clear();
    bOpen = 0;
    return TRUE;
}

const DbVariant& CAdoObject::cell(int row, int column) const {
    static const DbVariant null;
    const bool inside = row >= 0 && row < nRows && column >= 0 && column < nColumns;
    assert(inside && "cell outside the last SELECT");
    return inside ? m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(nColumns) +
                            static_cast<std::size_t>(column)]
                  : null;
}

bool CAdoObject::FormatStatement(std::string& statement, std::size_t limit, const char* format,
                                 va_list args) {
    if (!format) {
        DumpError("CAdoObject", "no statement");
        return false;
    }
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        DumpError("CAdoObject", "the statement could not be formatted");
        return false;
    }
    if (static_cast<std::size_t>(length) > limit) {
        DumpError("CAdoObject", "statement of " + std::to_string(length) + " bytes is longer than " +
                                    std::to_string(limit) + "; not run");
        return false;
    }
    statement.assign(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(statement.data(), statement.size() + 1, format, args);
    return true;
}

void CAdoObject::ClearRows() {
    m_cells.clear();
    nRows = 0;
    nColumns = 0;
}

void CAdoObject::DumpError(std::string_view source, std::string_view description) {
    m_lastError.assign(source);
    m_lastError += ", ";
    m_lastError += description;
    OutputDebugString(m_lastError);
}

void CAdoObject::DumpSqliteError(std::string_view statement) {
    std::string description = sqlite3_errmsg(m_db);
    description += " in: ";
    description += statement;
    DumpError("SQLite", description);
}
