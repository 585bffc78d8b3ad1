#include "support/ProgramProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

QString BuildFile(const QString& name)
{
    QString dir = qEnvironmentVariable("ORVANTA_BUILD_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
    return dir + u'/' + name;
}

QProcessEnvironment ProgramEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The programs speak the user's language; the tests expect Russian unless they choose another.
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("ru"));
    return env;
}

bool WaitFor(const std::function<bool()>& Condition, int TimeoutMs)
{
    QDeadlineTimer deadline(TimeoutMs);
    while (!Condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

TToolResult RunTool(const QStringList& Args, const QByteArray& Input, int TimeoutMs,
    const std::function<void(QProcess&)>& Prepare, const QStringList& Program)
{
    QProcess p;
    QProcessEnvironment env = ProgramEnvironment();
    env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("1709629622"));
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("ru_RU.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    p.setProcessEnvironment(env);
    if (Prepare)
        Prepare(p);
    if (Program.isEmpty())
        p.start(BuildFile(QStringLiteral("orvanta-cli")), Args);
    else
        p.start(Program.first(), Program.mid(1));
    if (!p.waitForStarted(5000))
        return {};
    p.write(Input);
    p.closeWriteChannel();
    TToolResult r;
    WaitFor([&] {
        r.Out += p.readAllStandardOutput();
        r.Err += p.readAllStandardError();
        return p.state() == QProcess::NotRunning;
    }, TimeoutMs);
    r.Out += p.readAllStandardOutput();
    r.Err += p.readAllStandardError();
    r.Code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}
