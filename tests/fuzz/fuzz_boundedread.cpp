// The capped stream reader: whole or line by line, in reads of any size, it hands out exactly the input,
// and fails exactly when the input passes its cap or holds a line past the longest allowed.
#include "FuzzInput.h"
#include "core/common/BoundedRead.h"

#include <QByteArrayList>
#include <algorithm>

namespace {

struct TLimits {
    qint64 Cap;
    qint64 ReadSize;
    qint64 MaxLine;
};

bool HasLineLongerThan(const QByteArray& Bytes, qint64 MaxLine)
{
    const QList<QByteArray> lines = Bytes.split('\n');
    return std::any_of(lines.cbegin(), lines.cend(), [&](const QByteArray& l) { return l.size() > MaxLine; });
}

void CheckWhole(const QByteArray& Bytes, const TLimits& Limits)
{
    const int fd = MemoryFile(Bytes);
    if (fd < 0)
        return;
    TBoundedInput input(fd, u"ввод"_qs, Limits.Cap, TInterruption::FromNow());
    input.SetReadSize(Limits.ReadSize);
    bool failed = false;
    try {
        if (input.ReadAll() != Bytes)
            RoundTripDrift("whole input");
    } catch (const EOrvantaError&) {
        failed = true;
    }
    ::close(fd);
    if (failed != (Bytes.size() > Limits.Cap))
        RoundTripDrift("cap of the whole input");
}

void CheckLines(const QByteArray& Bytes, const TLimits& Limits)
{
    const int fd = MemoryFile(Bytes);
    if (fd < 0)
        return;
    TBoundedInput input(fd, u"ввод"_qs, Limits.Cap, TInterruption::FromNow());
    input.SetReadSize(Limits.ReadSize);
    QByteArray rebuilt;
    bool failed = false;
    try {
        QByteArray line;
        bool ended = true;
        while (input.ReadLine(line, ended, Limits.MaxLine)) {
            if (line.contains('\n') || line.size() > Limits.MaxLine)
                RoundTripDrift("line handed out");
            rebuilt += line;
            if (ended)
                rebuilt += '\n';
            else if (input.ReadLine(line, ended, Limits.MaxLine))
                RoundTripDrift("a line after an unended one");
        }
    } catch (const EOrvantaError&) {
        failed = true;
    }
    ::close(fd);
    if (!Bytes.startsWith(rebuilt) || (!failed && rebuilt != Bytes))
        RoundTripDrift("lines");
    if (failed != (Bytes.size() > Limits.Cap || HasLineLongerThan(Bytes, Limits.MaxLine)))
        RoundTripDrift("failure of the line reader");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 3)
        return 0;
    const TLimits limits { qint64(Data[0]) * 32, 1 + Data[1] % 64, qint64(Data[2]) * 4 };
    const QByteArray bytes = FuzzBytes(Data + 3, Size - 3);
    CheckWhole(bytes, limits);
    CheckLines(bytes, limits);
    return 0;
}
