#include "platform/OdbcConnection.h"

#include <QString>

#include <sql.h>
#include <sqlext.h>

#include <cstring>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's wide characters are UTF-16");

namespace platform {

namespace {

std::u16string wide(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String();
}

std::string utf8(const char16_t* text, std::size_t length) {
    return QString::fromUtf16(text, static_cast<qsizetype>(length)).toStdString();
}

bool ok(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// "[state] message" of every diagnostic record of the handle; state gets the first record's state.
std::string diagnostics(SQLSMALLINT type, SQLHANDLE handle, std::string& state) {
    std::string text;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR sqlState[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        if (!ok(SQLGetDiagRec(type, handle, record, sqlState, &native, message, sizeof message, &length)))
            break;
        if (record == 1)
            state = reinterpret_cast<const char*>(sqlState);
        if (!text.empty())
            text += "; ";
        text += "[" + std::string(reinterpret_cast<const char*>(sqlState)) + "] " +
                reinterpret_cast<const char*>(message);
    }
    return text.empty() ? "unknown ODBC error" : text;
}

// Class 08 is the connection's; 57P01..03 is PostgreSQL's server shutting down; HYT01 a connection time-out;
// HYT00 and 57014 a statement the server did not finish in time, after which the connection is not trusted.
bool connectionState(const std::string& state) {
    return state.rfind("08", 0) == 0 || state.rfind("57P", 0) == 0 || state == "HYT01" || state == "HYT00" ||
           state == "57014";
}

struct StatementHandle {
    SQLHSTMT handle = SQL_NULL_HSTMT;
    ~StatementHandle() {
        if (handle != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
    }
};

} // namespace

struct OdbcConnection::Handles {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
};

OdbcConnection::OdbcConnection() : m_handles(std::make_unique<Handles>()) {}

OdbcConnection::~OdbcConnection() {
    close();
}

bool OdbcConnection::isOpen() const {
    return m_handles->connected;
}

bool OdbcConnection::open(const std::string& connectionText, int loginTimeoutSeconds, std::string& error) {
    if (m_handles->connected) {
        error = "the connection is already open";
        return false;
    }
    close();
    Handles& h = *m_handles;
    if (!ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h.env)) ||
        !ok(SQLSetEnvAttr(h.env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)) ||
        !ok(SQLAllocHandle(SQL_HANDLE_DBC, h.env, &h.dbc))) {
        error = "the ODBC driver manager is not usable";
        close();
        return false;
    }
    const auto seconds = static_cast<SQLULEN>(loginTimeoutSeconds > 0 ? loginTimeoutSeconds : 0);
    SQLSetConnectAttr(h.dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(seconds), 0);
    SQLSetConnectAttr(h.dbc, SQL_ATTR_CONNECTION_TIMEOUT, reinterpret_cast<SQLPOINTER>(seconds), 0);
    std::u16string text = wide(connectionText);
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc =
        SQLDriverConnectW(h.dbc, nullptr, reinterpret_cast<SQLWCHAR*>(text.data()),
                          static_cast<SQLSMALLINT>(text.size()), out, 1024, &outLength, SQL_DRIVER_NOPROMPT);
    if (!ok(rc)) {
        std::string state;
        error = diagnostics(SQL_HANDLE_DBC, h.dbc, state);
        close();
        return false;
    }
    h.connected = true;
    m_lost = false;
    return true;
}

void OdbcConnection::close() {
    Handles& h = *m_handles;
    if (h.dbc != SQL_NULL_HDBC) {
        if (h.connected)
            SQLDisconnect(h.dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, h.dbc);
    }
    if (h.env != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, h.env);
    h = Handles{};
}

bool OdbcConnection::run(const std::string& sql, const std::vector<std::optional<std::string>>& parameters,
                         int timeoutSeconds, OdbcResult* result, std::string& error) {
    m_lost = false;
    if (!m_handles->connected) {
        error = "the connection is not open";
        m_lost = true;
        return false;
    }
    StatementHandle statement;
    std::string state;
    const auto fail = [&](SQLSMALLINT type, SQLHANDLE handle) {
        error = diagnostics(type, handle, state);
        // Some drivers report a broken connection as a general error; the driver knows it is dead.
        SQLUINTEGER dead = SQL_CD_FALSE;
        m_lost = connectionState(state) ||
                 (ok(SQLGetConnectAttr(m_handles->dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
                  dead == SQL_CD_TRUE);
        return false;
    };
    if (!ok(SQLAllocHandle(SQL_HANDLE_STMT, m_handles->dbc, &statement.handle)))
        return fail(SQL_HANDLE_DBC, m_handles->dbc);
    SQLSetStmtAttr(
        statement.handle, SQL_ATTR_QUERY_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds > 0 ? timeoutSeconds : 0)), 0);
    std::u16string text = wide(sql);
    if (!ok(SQLPrepareW(statement.handle, reinterpret_cast<SQLWCHAR*>(text.data()),
                        static_cast<SQLINTEGER>(text.size()))))
        return fail(SQL_HANDLE_STMT, statement.handle);

    // The bound buffers must stay where they are until the statement ran.
    std::vector<std::u16string> values(parameters.size());
    std::vector<SQLLEN> indicators(parameters.size());
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (parameters[i])
            values[i] = wide(*parameters[i]);
        indicators[i] =
            parameters[i] ? static_cast<SQLLEN>(values[i].size() * sizeof(char16_t)) : SQL_NULL_DATA;
        const SQLULEN size = values[i].empty() ? 1 : values[i].size();
        if (!ok(SQLBindParameter(statement.handle, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                                 SQL_C_WCHAR, SQL_WVARCHAR, size, 0, values[i].data(),
                                 static_cast<SQLLEN>((values[i].size() + 1) * sizeof(char16_t)),
                                 &indicators[i])))
            return fail(SQL_HANDLE_STMT, statement.handle);
    }
    const SQLRETURN executed = SQLExecute(statement.handle);
    if (!ok(executed) && executed != SQL_NO_DATA) // SQL_NO_DATA: a searched UPDATE that matched no row
        return fail(SQL_HANDLE_STMT, statement.handle);

    OdbcResult local;
    OdbcResult& out = result ? *result : local;
    out = OdbcResult{};
    SQLLEN affected = -1;
    if (ok(SQLRowCount(statement.handle, &affected)))
        out.affected = affected;
    SQLSMALLINT columns = 0;
    if (!ok(SQLNumResultCols(statement.handle, &columns)))
        return fail(SQL_HANDLE_STMT, statement.handle);
    if (columns <= 0 || !result)
        return true;
    out.columns = columns;
    for (SQLUSMALLINT c = 1; c <= columns; ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!ok(SQLDescribeColW(statement.handle, c, name, 256, &nameLength, &type, &size, &digits,
                                &nullable)))
            return fail(SQL_HANDLE_STMT, statement.handle);
        out.names.push_back(utf8(reinterpret_cast<const char16_t*>(name),
                                 static_cast<std::size_t>(std::min<int>(nameLength, 255))));
        out.integerColumn.push_back(type == SQL_INTEGER || type == SQL_SMALLINT || type == SQL_TINYINT ||
                                    type == SQL_BIGINT);
    }
    for (;;) {
        const SQLRETURN fetched = SQLFetch(statement.handle);
        if (fetched == SQL_NO_DATA)
            break;
        if (!ok(fetched))
            return fail(SQL_HANDLE_STMT, statement.handle);
        for (SQLUSMALLINT c = 1; c <= columns; ++c) {
            // Long values arrive in pieces; each piece but the last fills the buffer (less its terminator).
            std::u16string value;
            bool null = false;
            for (;;) {
                char16_t piece[2048];
                SQLLEN length = 0;
                const SQLRETURN got =
                    SQLGetData(statement.handle, c, SQL_C_WCHAR, piece, sizeof piece, &length);
                if (got == SQL_NO_DATA)
                    break;
                if (!ok(got))
                    return fail(SQL_HANDLE_STMT, statement.handle);
                if (length == SQL_NULL_DATA) {
                    null = true;
                    break;
                }
                const std::size_t room = sizeof piece / sizeof(char16_t) - 1;
                const std::size_t chars =
                    length == SQL_NO_TOTAL || static_cast<std::size_t>(length) / 2 > room
                        ? room
                        : static_cast<std::size_t>(length) / 2;
                value.append(piece, chars);
                if (got == SQL_SUCCESS)
                    break;
            }
            out.cells.push_back(null ? std::nullopt
                                     : std::optional<std::string>(utf8(value.data(), value.size())));
        }
        ++out.rows;
    }
    return true;
}

} // namespace platform
