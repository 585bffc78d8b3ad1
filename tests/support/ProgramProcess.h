#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <functional>

// Starts the real program (or the batch tool) from the build folder with this process's environment
// (temporary settings, data and runtime folders included) on the offscreen platform.
QString BuildFile(const QString& name);
QProcessEnvironment ProgramEnvironment();
// Waits until Condition holds or TimeoutMs passes, processing events meanwhile.
bool WaitFor(const std::function<bool()>& Condition, int TimeoutMs);
