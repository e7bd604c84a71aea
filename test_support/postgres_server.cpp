#include "postgres_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "run_program.h"

namespace kit::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The newest PostgreSQL of the Debian packages: /usr/lib/postgresql/<version>/bin.
std::string FindPostgresPrograms()
{
    int best = -1;
    std::string bin;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", error)) {
        const std::string version = entry.path().filename().string();
        const fs::path candidate = entry.path() / "bin";
        if (version.find_first_not_of("0123456789") == std::string::npos && !version.empty() &&
            fs::exists(candidate / "postgres") && std::stoi(version) > best) {
            best = std::stoi(version);
            bin = candidate.string();
        }
    }
    if (bin.empty()) {
        throw std::runtime_error("PostgreSQL is not installed (no /usr/lib/postgresql/<version>/bin/postgres)");
    }
    return bin;
}

int FreeLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        close(fd);
    }
    if (port <= 0) {
        throw std::runtime_error("no free loopback port for PostgreSQL");
    }
    return port;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Tail(const std::string& text, size_t size = 3000)
{
    return text.size() <= size ? text : text.substr(text.size() - size);
}

// PostgreSQL marks its lock file "ready" once it accepts connections (what pg_ctl -w
// waits for).
bool PostmasterReady(const std::string& data)
{
    std::istringstream lines(ReadFile(data + "/postmaster.pid"));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (number == 8) {
            return line.rfind("ready", 0) == 0;
        }
    }
    return false;
}

bool WaitForExit(pid_t pid, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (true) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string QuotedIdentifier(const std::string& name)
{
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string QuotedLiteral(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

PostgresServer::PostgresServer() : bin_(FindPostgresPrograms())
{
    if (geteuid() == 0) {
        const passwd* user = getpwnam("postgres");
        if (user == nullptr) {
            throw std::runtime_error("PostgreSQL refuses to run as root and there is no \"postgres\" user");
        }
        asServerUser_ = true;
        uid_ = user->pw_uid;
        gid_ = user->pw_gid;
    }
    std::string pattern = (fs::temp_directory_path() / "kit-postgres-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a folder for PostgreSQL");
    }
    folder_ = pattern;
    data_ = folder_ + "/data";
    if (asServerUser_ && chown(folder_.c_str(), uid_, gid_) != 0) {
        fs::remove_all(folder_);
        throw std::runtime_error("cannot give " + folder_ + " to the postgres user");
    }
    try {
        RunTool(Program("initdb"),
                {"-D", data_, "-U", "postgres", "--auth-local=trust", "--auth-host=scram-sha-256", "-E", "UTF8",
                 "--locale=C", "-N"},
                "initdb failed");
        // A port found free can be taken before the server binds it: try a few.
        for (int attempt = 1;; ++attempt) {
            port_ = FreeLoopbackPort();
            WriteConfiguration();
            try {
                Start();
                break;
            } catch (const std::runtime_error&) {
                if (attempt == 5) {
                    throw;
                }
            }
        }
    } catch (...) {
        Stop();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        throw;
    }
}

PostgresServer::~PostgresServer()
{
    Stop();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::string PostgresServer::Program(const std::string& name) const
{
    return bin_ + "/" + name;
}

std::string PostgresServer::RunTool(const std::string& program, const std::vector<std::string>& arguments,
                                    const std::string& failure) const
{
    std::string runner = program;
    std::vector<std::string> runnerArguments = arguments;
    if (asServerUser_) {
        runner = fs::exists("/usr/sbin/runuser") ? "/usr/sbin/runuser" : "/sbin/runuser";
        runnerArguments = {"-u", "postgres", "--", program};
        runnerArguments.insert(runnerArguments.end(), arguments.begin(), arguments.end());
    }
    const ProgramRun run = RunProgram(runner, runnerArguments, {{"LC_ALL", "C"}, {"PATH", "/usr/bin:/bin"}}, 120);
    if (run.exitCode != 0) {
        throw std::runtime_error(failure + " (exit " + std::to_string(run.exitCode) + "):\n" + run.errors + run.output);
    }
    return run.output;
}

void PostgresServer::WriteConfiguration() const
{
    // The test's own settings come last in postgresql.conf, so they win; durability is
    // not needed for a cluster that lives as long as the test.
    std::ofstream conf(data_ + "/postgresql.conf", std::ios::app);
    conf << "\n# kit test server\n"
         << "listen_addresses = '127.0.0.1'\n"
         << "port = " << port_ << "\n"
         << "unix_socket_directories = '" << folder_ << "'\n"
         << "max_connections = 20\n"
         << "shared_buffers = 16MB\n"
         << "fsync = off\n"
         << "synchronous_commit = off\n"
         << "full_page_writes = off\n"
         << "password_encryption = 'scram-sha-256'\n";
    conf.close();
    std::ofstream hba(data_ + "/pg_hba.conf", std::ios::trunc);
    hba << "local all all trust\n"
        << "host all all 127.0.0.1/32 scram-sha-256\n";
    if (!conf || !hba) {
        throw std::runtime_error("cannot write the PostgreSQL configuration in " + data_);
    }
}

void PostgresServer::Start()
{
    if (Running()) {
        return;
    }
    const std::string log = folder_ + "/server.log";
    const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (logFd < 0 || (asServerUser_ && fchown(logFd, uid_, gid_) != 0)) {
        throw std::runtime_error("cannot open the PostgreSQL log " + log);
    }
    // Everything the child needs is made before fork: after it only system calls follow.
    const std::string postgres = Program("postgres");
    std::vector<std::string> argumentStrings{postgres, "-D", data_};
    std::vector<char*> argv;
    for (std::string& argument : argumentStrings) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::string locale = "LC_ALL=C";
    std::string path = "PATH=/usr/bin:/bin";
    char* envp[] = {locale.data(), path.data(), nullptr};
    const pid_t parent = getpid();

    const pid_t child = fork();
    if (child < 0) {
        close(logFd);
        throw std::runtime_error("cannot start PostgreSQL: fork failed");
    }
    if (child == 0) {
        if (asServerUser_ && (setgroups(0, nullptr) != 0 || setgid(gid_) != 0 || setuid(uid_) != 0)) {
            _exit(126);
        }
        // Set after the change of user, which clears it: the server goes with the test.
        prctl(PR_SET_PDEATHSIG, SIGQUIT);
        if (getppid() != parent) {
            _exit(126);
        }
        const int nullFd = open("/dev/null", O_RDONLY);
        dup2(nullFd, STDIN_FILENO);
        dup2(logFd, STDOUT_FILENO);
        dup2(logFd, STDERR_FILENO);
        execve(postgres.c_str(), argv.data(), envp);
        _exit(127);
    }
    close(logFd);
    pid_ = child;

    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (!PostmasterReady(data_)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("PostgreSQL stopped while starting:\n" + Tail(ReadFile(log)));
        }
        if (Clock::now() >= deadline) {
            Stop();
            throw std::runtime_error("PostgreSQL did not start within 60 seconds:\n" + Tail(ReadFile(log)));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void PostgresServer::Stop()
{
    if (!Running()) {
        return;
    }
    // Fast shutdown; then immediate; then the end.
    kill(pid_, SIGINT);
    if (!WaitForExit(pid_, std::chrono::seconds(30))) {
        kill(pid_, SIGQUIT);
        if (!WaitForExit(pid_, std::chrono::seconds(5))) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    pid_ = -1;
}

void PostgresServer::Execute(const std::string& sql, const std::string& database) const
{
    RunTool(Program("psql"),
            {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", folder_, "-p", std::to_string(port_), "-U", "postgres", "-d",
             database, "-c", sql},
            "psql failed on: " + sql);
}

void PostgresServer::CreateRole(const std::string& name, const std::string& password) const
{
    Execute("CREATE ROLE " + QuotedIdentifier(name) + " LOGIN PASSWORD " + QuotedLiteral(password));
}

void PostgresServer::CreateDatabase(const std::string& name, const std::string& owner) const
{
    Execute("CREATE DATABASE " + QuotedIdentifier(name) + " OWNER " + QuotedIdentifier(owner));
}

}  // namespace kit::testing
