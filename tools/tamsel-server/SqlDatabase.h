#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::server {

struct SqlError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One connection to the database that holds the reports index. Statements mark parameters with
// "?"; every value goes in and comes out as text, and a NULL reads as "". Not thread-safe: the
// caller serialises its use.
class SqlDatabase {
  public:
    using Row = std::vector<std::string>;
    using RowSink = std::function<void(const Row&)>;

    virtual ~SqlDatabase() = default;
    // Runs one statement, handing each row of its result to `onRow`; the number of rows it
    // changed. Throws SqlError.
    virtual long run(std::string_view sql, const std::vector<std::string>& params = {},
                     const RowSink& onRow = {}) = 0;
    // Whether the raw logs live in the database rather than in the reports folder.
    virtual bool holdsRawLogs() const = 0;
    // The type name of a column of raw bytes.
    virtual std::string_view bytesType() const = 0;

    std::vector<Row> rows(std::string_view sql, const std::vector<std::string>& params = {}) {
        std::vector<Row> result;
        run(sql, params, [&result](const Row& row) { result.push_back(row); });
        return result;
    }
};

// An SQLite file, created when missing.
std::unique_ptr<SqlDatabase> OpenSqlite(const std::string& file);
// A PostgreSQL server named by a "postgresql://" address.
std::unique_ptr<SqlDatabase> OpenPostgres(const std::string& address);

}  // namespace tamsel::server
