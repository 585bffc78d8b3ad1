// orvanta-cli writing the export CSV for 1,000 distinct keywords × 6 zones (5,994,000 names), beside a
// Python one-liner building the same file, in the same run. Prints both times, the ratio and the tool's
// peak memory, and checks that the two files are identical.
#include <QByteArray>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../orvanta-cli");
    const QString outTool = dir.filePath(QStringLiteral("tool.csv"));
    const QString outPython = dir.filePath(QStringLiteral("python.csv"));

    const TRun cli = Spawn({ QFile::encodeName(tool), "--zone-list", QFile::encodeName(zones), "--yes", "-o",
        QFile::encodeName(outTool), QFile::encodeName(words) });
    const QByteArray oneLiner = "import sys;w=open(sys.argv[1],encoding='utf-8').read().split();"
                                "z=open(sys.argv[2],encoding='utf-8').read().split();"
                                "open(sys.argv[3],'w',encoding='utf-8',newline='').write('\\ufeff'+''.join("
                                "f'{a}{b}.{c};{c};-1;;;\\r\\n' for a in w for b in w if a!=b for c in z))";
    const TRun py = Spawn({ "python3", "-c", oneLiner, QFile::encodeName(words), QFile::encodeName(zones),
        QFile::encodeName(outPython) });

    const bool same = !Digest(outTool).isEmpty() && Digest(outTool) == Digest(outPython);
    std::printf("orvanta-cli: %.3f s, peak memory %.1f MiB, exit %d\n", cli.Seconds, double(cli.PeakKiB) / 1024.0,
        cli.Status);
    std::printf("python one-liner: %.3f s, peak memory %.1f MiB, exit %d\n", py.Seconds, double(py.PeakKiB) / 1024.0,
        py.Status);
    std::printf("ratio: orvanta-cli is %.1f× faster; files %s (%lld bytes)\n", py.Seconds / cli.Seconds,
        same ? "identical" : "DIFFER", qlonglong(QFile(outTool).size()));
    return same && cli.Status == 0 && py.Status == 0 ? 0 : 1;
}
