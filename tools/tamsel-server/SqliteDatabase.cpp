#include "SqlDatabase.h"

#include <sqlite3.h>

namespace tamsel::server {

namespace {

class SqliteDatabase final : public SqlDatabase {
  public:
    explicit SqliteDatabase(const std::string& file) {
        if (sqlite3_open_v2(file.c_str(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw SqlError("cannot open " + file + ": " + why);
        }
        sqlite3_busy_timeout(db_, 5000);
        // The raw logs stay the record, so a crash may cost the last moments of the index, never
        // its consistency.
        run("PRAGMA journal_mode=WAL", {}, {});
        run("PRAGMA synchronous=NORMAL", {}, {});
    }
    ~SqliteDatabase() override { sqlite3_close(db_); }
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    long run(std::string_view sql, const std::vector<std::string>& params,
             const RowSink& onRow) override {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement,
                               nullptr) != SQLITE_OK) {
            throw SqlError(sqlite3_errmsg(db_));
        }
        for (std::size_t i = 0; i < params.size(); ++i) {
            sqlite3_bind_text(statement, static_cast<int>(i + 1), params[i].data(),
                              static_cast<int>(params[i].size()), SQLITE_STATIC);
        }
        int step = SQLITE_ROW;
        Row row;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            if (!onRow) {
                continue;
            }
            row.resize(static_cast<std::size_t>(sqlite3_column_count(statement)));
            for (std::size_t i = 0; i < row.size(); ++i) {
                const auto* text = sqlite3_column_text(statement, static_cast<int>(i));
                const int length = sqlite3_column_bytes(statement, static_cast<int>(i));
                row[i].assign(text ? reinterpret_cast<const char*>(text) : "",
                              static_cast<std::size_t>(length));
            }
            onRow(row);
        }
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE) {
            throw SqlError(sqlite3_errmsg(db_));
        }
        return sqlite3_changes(db_);
    }

    bool holdsRawLogs() const override { return false; }
    std::string_view bytesType() const override { return "BLOB"; }

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace

std::unique_ptr<SqlDatabase> OpenSqlite(const std::string& file) {
    return std::make_unique<SqliteDatabase>(file);
}

}  // namespace tamsel::server
