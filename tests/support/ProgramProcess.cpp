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
