// The program's database connection: opens a database named by an OLE DB style connection string (the local
// database) or a DSN-less ODBC connection text (a database server), runs printf-style statements or
// statements with bound values, and keeps the rows of the last SELECT in memory as DbVariant cells.
// One object is used by one thread at a time: theApp's two by the user-interface thread, a worker's own
// object by that worker (every member, including the destructor).
#pragma once

#include "app/DbVariant.h"
#include "platform/WinTypes.h"

#include <cstdarg>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
namespace platform {
class OdbcConnection;
}

class CAdoObject {
public:
    // Longest statements after formatting; a longer one is refused, never cut.
    static constexpr std::size_t kMaxSelectLength = 4096;
    static constexpr std::size_t kMaxExecuteLength = 10000;

    CAdoObject();
    virtual ~CAdoObject();
    CAdoObject(const CAdoObject&) = delete;
    CAdoObject& operator=(const CAdoObject&) = delete;

    // "Provider=...;Data Source=..." (keys in any case, values trimmed). The Jet 4.0 and ACE 12.0
    // providers open an existing database file read-write; it is never created. A text that starts with
    // "Driver=" goes whole to the ODBC driver manager, which connects to a server within the connect
    // time-out. FALSE when already open (the open connection stays) or on any failure (the object stays
    // closed, so another try may follow).
    BOOL Open(const char* connectionString);
    // Select and Execute run exactly one statement: a second one after it is refused, not run.
    // Runs the statement and keeps its rows. Returns the column names, filled from the first row: a query
    // without rows gives no names (nColumns is still set). On any failure, a closed connection included,
    // returns exactly one empty name and keeps no rows.
    std::vector<std::u16string> Select(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Runs one statement without keeping rows. TRUE on success.
    BOOL Execute(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The same with '?' placeholders for the values, bound in order (a null DbVariant binds NULL): no value
    // is ever part of the statement text. On a server every value travels as text.
    std::vector<std::u16string> SelectBound(std::string_view sql, const std::vector<DbVariant>& values);
    BOOL ExecuteBound(std::string_view sql, const std::vector<DbVariant>& values);
    // Always TRUE. The rows of the last SELECT stay.
    BOOL Close();

    // Seconds a server gets to accept the connection and to answer one statement (0: no limit).
    void SetTimeouts(int connectSeconds, int statementSeconds);
    // Milliseconds a database file's statement waits for another connection's lock before it fails (10 s
    // unless set); for this connection and later opens.
    void SetBusyTimeout(int ms);
    // The text Open took for the connection that is open now ("" while closed), and the database file's
    // path when it is a file.
    const std::string& connectionString() const { return m_connection; }
    const std::string& filePath() const { return m_filePath; }
    // Rows the last Execute changed (-1 when unknown).
    long long rowsAffected() const { return m_rowsAffected; }
    // The last failure was the server connection's own (gone, broken, not open): reopening may help.
    bool connectionLost() const { return m_connectionLost; }

    // Row-major cells of the last SELECT: cell(r, c) is cells()[r * nColumns + c].
    const DbVariant& cell(int row, int column) const;
    const std::vector<DbVariant>& cells() const { return m_cells; }
    // "source, description" of the most recent failure, also written to the debug output; later
    // successes leave it.
    const std::string& lastError() const { return m_lastError; }

    int nColumns = 0; // columns of the last SELECT
    int nRows = 0;    // rows of the last SELECT
    int bOpen = 0;    // 1 while the connection is open

private:
    BOOL OpenFile(std::string_view connectionString);
    BOOL OpenSqliteFile(const std::string& path);
    BOOL OpenOdbc(const std::string& connectionText);
    std::vector<std::u16string> SelectSql(const std::string& sql, const std::vector<DbVariant>& values);
    BOOL ExecuteSql(const std::string& sql, const std::vector<DbVariant>& values);
    // Rows are kept when names is given (the column names go there).
    bool RunOdbc(const std::string& sql, const std::vector<DbVariant>& values,
                 std::vector<std::u16string>* names);
    // Formats into a statement no longer than limit; false (error noted) otherwise.
    bool FormatStatement(std::string& statement, std::size_t limit, const char* format, va_list args);
    void ClearRows();
    void DumpError(std::string_view source, std::string_view description);
    void DumpSqliteError(std::string_view statement);
    // One prepared statement, owned by the caller; null (and the error kept) when it cannot run.
    sqlite3_stmt* Prepare(const std::string& sql);

    sqlite3* m_db = nullptr;                            // null while closed (or open on a server)
    std::unique_ptr<platform::OdbcConnection> m_server; // null while closed (or open on a file)
    std::string m_connection;
    std::string m_filePath;
    int m_busyTimeoutMs = 10'000;
    int m_connectSeconds = 10;
    int m_statementSeconds = 30;
    long long m_rowsAffected = -1;
    bool m_connectionLost = false;
    std::vector<DbVariant> m_cells;
    std::string m_lastError;
};
