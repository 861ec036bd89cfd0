#include "SqlDatabase.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>

namespace tamsel::server {

namespace {

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// "?" marks become "$1", "$2"...: the statements hold no "?" of their own.
std::string Numbered(std::string_view sql) {
    std::string out;
    int number = 0;
    for (const char c : sql) {
        out += c == '?' ? "$" + std::to_string(++number) : std::string(1, c);
    }
    return out;
}

class PostgresDatabase final : public SqlDatabase {
  public:
    explicit PostgresDatabase(const std::string& address) : db_(PQconnectdb(address.c_str())) {
        if (PQstatus(db_) != CONNECTION_OK) {
            const std::string why = PQerrorMessage(db_);
            PQfinish(db_);
            throw SqlError("cannot reach the reports database: " + why);
        }
        run("SET client_min_messages TO warning", {}, {});
    }
    ~PostgresDatabase() override { PQfinish(db_); }
    PostgresDatabase(const PostgresDatabase&) = delete;
    PostgresDatabase& operator=(const PostgresDatabase&) = delete;

    long run(std::string_view sql, const std::vector<std::string>& params,
             const RowSink& onRow) override {
        // A connection lost (the server restarted) is opened again once.
        if (PQstatus(db_) != CONNECTION_OK) {
            PQreset(db_);
        }
        std::vector<const char*> values;
        std::vector<int> lengths;
        for (const auto& param : params) {
            values.push_back(param.c_str());
            lengths.push_back(static_cast<int>(param.size()));
        }
        const std::string text = Numbered(sql);
        Result result(PQexecParams(db_, text.c_str(), static_cast<int>(params.size()), nullptr,
                                   values.data(), lengths.data(), nullptr, 0),
                      &PQclear);
        const auto status = PQresultStatus(result.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            throw SqlError(PQerrorMessage(db_));
        }
        const int rows = PQntuples(result.get());
        const int columns = PQnfields(result.get());
        Row row(static_cast<std::size_t>(columns));
        for (int r = 0; onRow && r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                row[static_cast<std::size_t>(c)].assign(
                    PQgetvalue(result.get(), r, c),
                    static_cast<std::size_t>(PQgetlength(result.get(), r, c)));
            }
            onRow(row);
        }
        return std::atol(PQcmdTuples(result.get()));
    }

    bool holdsRawLogs() const override { return true; }
    std::string_view bytesType() const override { return "BYTEA"; }

  private:
    PGconn* db_;
};

}  // namespace

std::unique_ptr<SqlDatabase> OpenPostgres(const std::string& address) {
    return std::make_unique<PostgresDatabase>(address);
}

}  // namespace tamsel::server
