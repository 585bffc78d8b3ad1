#include "reports/ReportFile.h"

#include "app/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

[[noreturn]] void ThrowCannotCreate(const QString& Path, const QString& Reason)
{
    throw EOrvantaError(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(QFileInfo(Path).absoluteFilePath()), Reason));
}

} // namespace

void WriteFileAtomically(const QString& Path, const std::function<void(QIODevice&)>& Writer)
{
    QSaveFile file(Path);
    // Unbuffered: a buffered save file takes the last bytes without complaint, and when they then fail to
    // go out, commit still puts the cut-short file in place (seen with Qt 6.4). Unbuffered, every short
    // write shows at once and the writer stops.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowCannotCreate(Path, file.errorString());
    try {
        Writer(file);
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit()) {
        if (file.error() == QFileDevice::WriteError)
            throw EOrvantaError(QStringLiteral("Stream write error"));
        ThrowCannotCreate(Path, file.errorString());
    }
}

void SaveReportFile(TReportKind Kind, const TResultsModel& Grid, const QString& Path, const TReportStamp& Stamp)
{
    WriteFileAtomically(Path, [&](QIODevice& Out) { WriteReport(Kind, Grid, Out, Stamp); });
}
