// WHOIS benchmark: 10,000 queries one after another against a loopback server that answers at once.
// Compares the engine's check (CheckRegister) with a minimal blocking socket client doing the same
// exchange, and with the Debian `whois` client started once per name (500 names).
#include "core/checks/RunSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{

constexpr int Queries = 10000;
constexpr int ProcessQueries = 500;
const char Answer[] = "% Test registry\r\nNo entries found for the selected source(s).\r\n";

// Reads one query line and answers it, one connection after another, until Stop is set.
class TLoopbackServer
{
public:
    TLoopbackServer()
    {
        FListener = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(FListener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (bind(FListener, reinterpret_cast<sockaddr*>(&a), len) != 0 || listen(FListener, 1024) != 0) {
            std::perror("listen");
            std::exit(2);
        }
        getsockname(FListener, reinterpret_cast<sockaddr*>(&a), &len);
        FPort = ntohs(a.sin_port);
        FThread = std::thread([this] { Serve(); });
    }
    ~TLoopbackServer()
    {
        FStop = true;
        shutdown(FListener, SHUT_RDWR);
        FThread.join();
        close(FListener);
    }
    quint16 Port() const { return FPort; }

private:
    void Serve()
    {
        char buffer[512];
        while (!FStop) {
            const int c = accept(FListener, nullptr, nullptr);
            if (c < 0)
                continue;
            std::string line;
            while (line.find('\n') == std::string::npos) {
                const ssize_t n = read(c, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                line.append(buffer, size_t(n));
            }
            if (write(c, Answer, sizeof Answer - 1) < 0)
                std::perror("write");
            close(c);
        }
    }

    int FListener = -1;
    quint16 FPort = 0;
    std::atomic<bool> FStop { false };
    std::thread FThread;
};

// The least a blocking client can do: connect, send the line, read until the server closes.
bool MinimalQuery(quint16 Port, const std::string& Line)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(Port);
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0
        && write(s, Line.data(), Line.size()) == ssize_t(Line.size());
    std::string answer;
    char buffer[4096];
    ssize_t n = 0;
    while (ok && (n = read(s, buffer, sizeof buffer)) > 0)
        answer.append(buffer, size_t(n));
    close(s);
    return ok && n == 0 && answer.find("No entries found") != std::string::npos;
}

bool ProcessQuery(const std::string& Whois, quint16 Port, const std::string& Name)
{
    const std::string port = std::to_string(Port);
    const char* argv[] = { Whois.c_str(), "-h", "127.0.0.1", "-p", port.c_str(), Name.c_str(), nullptr };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, Whois.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double MicrosPer(qint64 Nanos, int Count)
{
    return double(Nanos) / 1000.0 / Count;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    TLoopbackServer server;
    std::vector<std::string> names;
    for (int i = 0; i < Queries; ++i)
        names.push_back("benchname" + std::to_string(i) + ".ru");

    // The engine's check and the minimal client take turns over blocks of 1,000 names, so that both see
    // the same load on a shared machine; each gets all 10,000 names.
    TRunSession session;
    QObject::connect(&session, &TRunSession::Finished, &app, &QCoreApplication::quit);
    TCheckSetup setup;
    setup.WhoisPort = server.Port();
    setup.Servers = TCheckSetup::ParseZoneServers({ QStringLiteral("ru:127.0.0.1") });
    // The loopback server sets no limit: the client's own cost is measured, not a registry's pace.
    setup.Limits = TServerLimits({ QStringLiteral("*:1000000:1") });
    int failed = 0;
    constexpr int Block = 1000;
    qint64 engineNs = 0;
    qint64 minimalNs = 0;
    int free = 0;
    int minimalOk = 0;
    QElapsedTimer timer;
    for (int from = 0; from < Queries; from += Block) {
        QList<TCandidate> block;
        for (int i = from; i < from + Block; ++i)
            block.append({ QString::fromStdString(names[size_t(i)]), QStringLiteral("ru"), {}, {} });
        session.Restore(block);
        const bool engineFirst = (from / Block) % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            timer.start();
            if ((turn == 0) == engineFirst) {
                session.Recheck(setup, false);
                QCoreApplication::exec();
                engineNs += timer.nsecsElapsed();
            } else {
                for (int i = from; i < from + Block; ++i)
                    minimalOk += MinimalQuery(server.Port(), names[size_t(i)] + "\r\n");
                minimalNs += timer.nsecsElapsed();
            }
        }
        for (const TCandidate& d : session.Candidates()) {
            free += d.Status == TStatus::Free;
            failed += d.Failed();
        }
    }

    const double engineUs = MicrosPer(engineNs, Queries);
    const double minimalUs = MicrosPer(minimalNs, Queries);
    std::printf("whois: check run       %d queries in %.3f s, %.1f us/query (%d free)\n", Queries,
        double(engineNs) / 1e9, engineUs, free);
    std::printf("whois: minimal client  %d queries in %.3f s, %.1f us/query (%d answered)\n", Queries,
        double(minimalNs) / 1e9, minimalUs, minimalOk);
    std::printf("whois: check run / minimal client = %.2f (target at most 2.00): %s\n", engineUs / minimalUs,
        engineUs <= 2 * minimalUs ? "met" : "MISSED");

    const std::string whois = QStandardPaths::findExecutable(QStringLiteral("whois")).toStdString();
    int processOk = 0;
    if (whois.empty()) {
        std::printf("whois: the Debian whois client is not installed (make deps installs it); skipped\n");
    } else {
        timer.start();
        for (int i = 0; i < ProcessQueries; ++i)
            processOk += ProcessQuery(whois, server.Port(), names[size_t(i)]);
        const double processUs = MicrosPer(timer.nsecsElapsed(), ProcessQueries);
        std::printf(
            "whois: whois process   %d queries, %.1f us/query (%d succeeded)\n", ProcessQueries, processUs, processOk);
        std::printf("whois: whois process / check run = %.1f (target at least 10.0): %s\n", processUs / engineUs,
            processUs >= 10 * engineUs ? "met" : "MISSED");
    }

    const bool correct
        = free == Queries && minimalOk == Queries && failed == 0 && (whois.empty() || processOk == ProcessQueries);
    if (!correct)
        std::printf("whois: some queries failed\n");
    return correct ? 0 : 1;
}
