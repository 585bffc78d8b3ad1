#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <functional>

// Starts the real program (or the batch tool) from the build folder with this process's environment
// (temporary settings, data and runtime folders included) on the offscreen platform, speaking Russian.
QString BuildFile(const QString& name);
QProcessEnvironment ProgramEnvironment();
// Waits until Condition holds or TimeoutMs passes, processing events meanwhile.
bool WaitFor(const std::function<bool()>& Condition, int TimeoutMs);

// What one run of the batch tool left: its exit code (-1 when it did not exit normally) and its output.
struct TToolResult {
    int Code = -1;
    QByteArray Out;
    QByteArray Err;
};

// Runs the batch tool with Args and Input on standard input, in a fixed locale, time zone and report date,
// processing events so loopback servers of the calling test can answer it. Prepare, when set, acts on the
// process before it starts; Program, when given, is run instead of the tool, with Args ignored.
TToolResult RunTool(const QStringList& Args, const QByteArray& Input = QByteArray(), int TimeoutMs = 60000,
    const std::function<void(QProcess&)>& Prepare = {}, const QStringList& Program = {});
