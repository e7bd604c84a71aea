// A PostgreSQL server of the test's own: a fresh cluster in a temporary folder, listening
// on a free port of 127.0.0.1 only, with its Unix socket in that folder.
//
//   kit::testing::PostgresServer server;          // initdb + start; throws on failure
//   server.CreateRole("torvik", "s3cret");
//   server.CreateDatabase("vendas", "torvik");
//   server.Execute("CREATE TABLE t (a int)", "vendas");
//   ... connect to 127.0.0.1:server.Port() as torvik / s3cret ...
//
// Roles log in over TCP with their password (scram-sha-256); the superuser "postgres"
// is trusted over the socket, which is how Execute runs SQL (through psql). The server
// is the test process's own child: it is stopped by the destructor, and when the test
// process dies without running it, the server gets SIGQUIT from the kernel (parent-death
// signal) and shuts down at once. When the tests run as root, every PostgreSQL program
// runs as the "postgres" system user, which owns the folder.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kit::testing {

class PostgresServer {
public:
    PostgresServer();  // throws std::runtime_error with the server's log when it cannot start
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    int Port() const { return port_; }
    std::string Host() const { return "127.0.0.1"; }
    std::string SocketFolder() const { return folder_; }

    // Runs SQL as the superuser in the database; throws std::runtime_error with psql's
    // messages when it fails.
    void Execute(const std::string& sql, const std::string& database = "postgres") const;
    // A role that logs in with this password.
    void CreateRole(const std::string& name, const std::string& password) const;
    void CreateDatabase(const std::string& name, const std::string& owner) const;

    // Fast shutdown, waiting at most half a minute (then the server is killed).
    void Stop();
    // Starts again on the same port with the same data; throws when it cannot.
    void Start();
    bool Running() const { return pid_ > 0; }

private:
    std::string Program(const std::string& name) const;
    std::string RunTool(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& failure) const;
    void WriteConfiguration() const;

    std::string bin_;     // the PostgreSQL programs
    std::string folder_;  // socket, log and data
    std::string data_;
    int port_ = 0;
    pid_t pid_ = -1;
    bool asServerUser_ = false;  // root: run as "postgres"
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

}  // namespace kit::testing
