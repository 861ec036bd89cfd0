#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "SqlDatabase.h"
#include "support/TempDir.h"

namespace tamsel::test {

// A PostgreSQL server of the test's own in a temporary folder, reached through a unix socket
// there. PostgreSQL refuses to run as root, so as root it runs as the "postgres" system user.
class PostgresServer {
  public:
    PostgresServer() {
        const std::string bin = "/usr/lib/postgresql/15/bin/";
        if (!std::filesystem::exists(bin + "pg_ctl")) {
            return;
        }
        port_ = FreePort();
        const std::string as =
            ::getuid() == 0 ? "chown -R postgres " + folder_.path() + " && runuser -u postgres -- "
                            : "";
        const std::string data = folder_ / "data";
        started_ = std::system((as + bin + "initdb -D " + data +
                                " -U tamsel --auth=trust --no-sync >" + folder_ / "initdb.log" +
                                " 2>&1 && " + (as.empty() ? "" : "runuser -u postgres -- ") + bin +
                                "pg_ctl -D " + data + " -w -l " + folder_ / "server.log" +
                                " -o \"-k " + folder_.path() + " -p " + std::to_string(port_) +
                                " -c listen_addresses='' -c fsync=off\" start >/dev/null")
                                   .c_str()) == 0;
    }
    ~PostgresServer() {
        if (started_) {
            std::system(((::getuid() == 0 ? "runuser -u postgres -- " : "") +
                         std::string("/usr/lib/postgresql/15/bin/pg_ctl -D ") + folder_ / "data" +
                         " -m immediate stop >/dev/null")
                            .c_str());
        }
    }
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Whether PostgreSQL is installed at all; false skips.
    static bool Installed() { return std::filesystem::exists("/usr/lib/postgresql/15/bin/pg_ctl"); }
    bool started() const { return started_; }

    // The address of a new, empty database.
    std::string freshDatabase() {
        const std::string name = "reports" + std::to_string(++databases_);
        server::OpenPostgres(address("postgres"))->run("CREATE DATABASE " + name);
        return address(name);
    }

  private:
    static int FreePort() {
        const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        socklen_t length = sizeof address;
        ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(sock);
        return ntohs(address.sin_port);
    }
    std::string address(const std::string& database) const {
        return "postgresql:///" + database + "?host=" + folder_.path() +
               "&port=" + std::to_string(port_) + "&user=tamsel";
    }

    TempDir folder_;
    int port_ = 0;
    int databases_ = 0;
    bool started_ = false;
};

}  // namespace tamsel::test
