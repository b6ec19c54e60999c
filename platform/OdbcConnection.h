// A connection to a database server through the ODBC driver manager (unixODBC here), opened with a
// DSN-less connection text ("Driver={...};Server=...;..."). Statements run with '?' parameters bound as
// UTF-16 text, so the driver hands every value to the server in the server's own encoding and no value is
// ever part of the SQL text. Results come back as UTF-8 text cells.
//
// Thread: an object is used by one thread at a time (whichever opened it); different objects may be used
// on different threads at once.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct OdbcResult {
    std::vector<std::string> names;                // column names (UTF-8)
    std::vector<bool> integerColumn;               // per column: an exact integer type
    std::vector<std::optional<std::string>> cells; // row-major; nullopt is SQL NULL
    int columns = 0;
    int rows = 0;
    long long affected = -1; // rows an UPDATE/INSERT/DELETE changed; -1 when the driver does not say
};

class OdbcConnection {
public:
    OdbcConnection();
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    // Connects with the text as given (no prompt), waiting at most loginTimeoutSeconds for the server.
    // False with error set when the driver or the server refuses; the object stays closed.
    bool open(const std::string& connectionText, int loginTimeoutSeconds, std::string& error);
    void close();
    bool isOpen() const;

    // Prepares and runs one statement with its parameters (nullopt binds NULL), cancelled by the driver
    // after timeoutSeconds (0: no limit). The rows of a result set go to result when given. False with
    // error set on any failure; lost() then says whether the connection itself went away.
    bool run(const std::string& sql, const std::vector<std::optional<std::string>>& parameters,
             int timeoutSeconds, OdbcResult* result, std::string& error);
    // The last failure was the connection's (server gone, link broken, closed by the server) or the server
    // did not answer within the time-out.
    bool lost() const { return m_lost; }

private:
    struct Handles;
    std::unique_ptr<Handles> m_handles;
    bool m_lost = false;
};

} // namespace platform
