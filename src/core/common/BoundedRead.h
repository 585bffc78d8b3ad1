#pragma once

#include "core/common/Interruption.h"

#include <QByteArray>
#include <QString>

// One input read as a stream with a cap: a regular file, a device, a pipe or a FIFO alike. Nothing is taken
// from the file's size (0 for devices and pipes): the bytes are counted as they come, and the read fails
// past the cap. A FIFO is opened without waiting for its writer, and every wait for bytes also wakes on a
// signal (TInterruption), so an input that never comes or never ends holds the program up only until one.
//
// Errors are EOrvantaError naming the input ("Не удалось прочитать файл "путь". Причина"), memory running out
// included; a signal raises EInterrupted.
class TBoundedInput {
public:
    // Opens the file Path.
    TBoundedInput(const QString& Path, qint64 Cap, TInterruption Stop = {});
    // Reads the open descriptor Fd, which stays open; Name is what messages call it ("стандартный ввод").
    TBoundedInput(int Fd, const QString& Name, qint64 Cap, TInterruption Stop = {});
    ~TBoundedInput();
    TBoundedInput(const TBoundedInput&) = delete;
    TBoundedInput& operator=(const TBoundedInput&) = delete;

    // All the bytes left.
    QByteArray ReadAll();
    // The next line without its "\n", false at the end of the input. Ended tells whether the line had its
    // "\n" (only the last one may lack it). A line longer than MaxLine bytes fails the read.
    bool ReadLine(QByteArray& Line, bool& Ended, qint64 MaxLine);

    // How many bytes one read asks for (256 KiB unless set). Smaller reads split the input where a slow
    // pipe would.
    void SetReadSize(qint64 Bytes) { FReadSize = Bytes; }

    // How many lines ReadLine has handed out.
    qint64 LineNumber() const { return FLines; }

    // What messages call the input: "файл "путь"" or the name given.
    const QString& Name() const { return FName; }
    // "Не удалось прочитать <Name>. <Why>."
    EOrvantaError Failure(const QString& Why) const;
    // The same for memory that ran out: "Недостаточно памяти: не удалось прочитать <Name>."
    EOrvantaError OutOfMemory() const;

    // "64 МиБ", "1 ГиБ", "100 Б": a cap in the user's words.
    static QString SizeText(qint64 Bytes);

private:
    // Appends the next bytes, at most Wanted, to FPending; false at the end of the input.
    bool Fill(qint64 Wanted);

    int FFd = -1;
    bool FOwnFd = false;
    bool FEnd = false;
    QString FName;
    qint64 FCap;
    qint64 FReadSize;
    qint64 FTaken = 0; // bytes read so far
    QByteArray FPending; // read but not yet handed out
    qsizetype FPendingFrom = 0;
    qsizetype FScanFrom = 0; // where the search for the next "\n" goes on
    qint64 FLines = 0;
    TInterruption FStop;
};

// The whole of the file Path, at most Cap bytes (see TBoundedInput).
QByteArray ReadFileBounded(const QString& Path, qint64 Cap);
