// orvanta-cli writing the export CSV for 1,000 distinct keywords × 6 zones (5,994,000 names), beside a
// Python one-liner building the same file, in the same run: alternating pairs, so both see the same state
// of the machine. Prints every pair, the median times and their ratio, the largest peak memory of each, and
// checks that the two files are identical.
#include "core/candidates/Generation.h"
#include "core/reports/ReportWriters.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

namespace {

struct TRun {
    double Seconds = 0;
    long PeakKiB = 0;
    int Status = -1;
};

TRun Spawn(const QList<QByteArray>& args)
{
    std::vector<char*> argv;
    for (const QByteArray& a : args)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    TRun run;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.Seconds = double(clock.nsecsElapsed()) / 1e9;
    run.PeakKiB = usage.ru_maxrss;
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

QByteArray Digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result().toHex();
}

template <typename T> T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

constexpr int Pairs = 5;

// CPU time of this thread: other work on the machine does not count.
qint64 ThreadNanos()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Best of three runs of the writer of Kind into /dev/null, in nanoseconds per row.
double WriterNanosPerRow(TReportKind Kind, const QStringList& Words, const QStringList& Zones)
{
    const double rows = double(CandidateCount(Words, Zones.size(), 0));
    double best = 0;
    for (int i = 0; i < 3; ++i) {
        QFile sink(QStringLiteral("/dev/null"));
        if (!sink.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 0;
        const qint64 from = ThreadNanos();
        TReportWriter writer(Kind, sink);
        writer.Begin();
        writer.CandidateRows(Words, Zones, 0);
        writer.End();
        const double ns = double(ThreadNanos() - from) / rows;
        best = i == 0 ? ns : std::min(best, ns);
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // Each figure shows as soon as it is known, even through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir dir;
    const QString words = dir.filePath(QStringLiteral("words.txt"));
    const QString zones = dir.filePath(QStringLiteral("zones.dat"));
    {
        QFile w(words);
        w.open(QIODevice::WriteOnly);
        for (int i = 0; i < 1000; ++i)
            w.write("word" + QByteArray::number(i) + "\n");
        QFile z(zones);
        z.open(QIODevice::WriteOnly);
        z.write("ru\nрф\nsu\ncom\nnet\norg\n");
    }
    QStringList wordList;
    for (int i = 0; i < 1000; ++i)
        wordList << QStringLiteral("word%1").arg(i);
    const QStringList zoneList { QStringLiteral("ru"), QStringLiteral("рф"), QStringLiteral("su"), QStringLiteral("com"),
        QStringLiteral("net"), QStringLiteral("org") };
    const struct {
        TReportKind Kind;
        const char* Name;
    } kinds[] = { { TReportKind::ExportCSV, "export-csv" }, { TReportKind::ExportText, "export-text" },
        { TReportKind::ReportText, "report-text" }, { TReportKind::ReportHTML, "report-html" },
        { TReportKind::ReportCSV, "report-csv" } };
    for (const auto& k : kinds)
        std::printf("writer alone, %s: %.1f ns of CPU time per row\n", k.Name, WriterNanosPerRow(k.Kind, wordList, zoneList));

    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../orvanta-cli");
    const QString outTool = dir.filePath(QStringLiteral("tool.csv"));
    const QString outPython = dir.filePath(QStringLiteral("python.csv"));

    const QList<QByteArray> cliArgs { QFile::encodeName(tool), "--zone-list", QFile::encodeName(zones), "--yes", "-o",
        QFile::encodeName(outTool), QFile::encodeName(words) };
    const QByteArray oneLiner = "import sys;w=open(sys.argv[1],encoding='utf-8').read().split();"
                                "z=open(sys.argv[2],encoding='utf-8').read().split();"
                                "open(sys.argv[3],'w',encoding='utf-8',newline='').write('\\ufeff'+''.join("
                                "f'{a}{b}.{c};{c};-1;;;\\r\\n' for a in w for b in w if a!=b for c in z))";
    const QList<QByteArray> pyArgs { "python3", "-c", oneLiner, QFile::encodeName(words), QFile::encodeName(zones),
        QFile::encodeName(outPython) };

    std::vector<double> cliSeconds, pySeconds;
    std::vector<long> cliPeak, pyPeak;
    bool allExited = true;
    for (int i = 0; i < Pairs; ++i) {
        const TRun cli = Spawn(cliArgs);
        const TRun py = Spawn(pyArgs);
        std::printf("pair %d: orvanta-cli %.3f s, %.1f MiB, exit %d; python %.3f s, %.1f MiB, exit %d\n", i + 1,
            cli.Seconds, double(cli.PeakKiB) / 1024.0, cli.Status, py.Seconds, double(py.PeakKiB) / 1024.0, py.Status);
        allExited = allExited && cli.Status == 0 && py.Status == 0;
        cliSeconds.push_back(cli.Seconds);
        pySeconds.push_back(py.Seconds);
        cliPeak.push_back(cli.PeakKiB);
        pyPeak.push_back(py.PeakKiB);
    }

    const bool same = !Digest(outTool).isEmpty() && Digest(outTool) == Digest(outPython);
    const double cliTime = Median(cliSeconds);
    const double pyTime = Median(pySeconds);
    const auto largest = [](const std::vector<long>& v) { return double(*std::max_element(v.begin(), v.end())); };
    std::printf("median time of %d pairs, largest peak memory:\n", Pairs);
    std::printf("orvanta-cli: %.3f s, peak memory %.1f MiB\n", cliTime, largest(cliPeak) / 1024.0);
    std::printf("python one-liner: %.3f s, peak memory %.1f MiB\n", pyTime, largest(pyPeak) / 1024.0);
    std::printf("ratio: orvanta-cli is %.1f× faster; files %s (%lld bytes)\n", pyTime / cliTime,
        same ? "identical" : "DIFFER", qlonglong(QFile(outTool).size()));
    return same && allExited ? 0 : 1;
}
