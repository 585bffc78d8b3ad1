// The resume reader: any bytes give verdicts or an error, never a crash. The verdicts it gives, written back
// as output lines, read back unchanged; cut short inside its last line, that text still reads, the cut line
// skipped with one warning.
#include "FuzzInput.h"
#include "core/reports/ResumeFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <iterator>

namespace {

// Reads Bytes as a resume file; false when the reader refuses them.
bool Read(const QByteArray& Bytes, TResumeVerdicts& Out)
{
    const int fd = MemoryFile(Bytes);
    if (fd < 0)
        return false;
    TBoundedInput input(fd, u"файл \"x\""_qs, ResumeMaxBytes, TInterruption::FromNow());
    // Small reads cut lines where a slow pipe would, and keep each run quick.
    input.SetReadSize(1 + Bytes.size() % 97);
    bool ok = true;
    try {
        Out = ReadResume(input);
    } catch (const EOrvantaError&) {
        ok = false;
    }
    ::close(fd);
    return ok;
}

QByteArray Line(const QString& Name, const TJudged& Verdict)
{
    QJsonObject o { { u"name"_qs, Name }, { u"status"_qs, Verdict.Status == TStatus::Free ? u"free"_qs : u"taken"_qs } };
    if (!Verdict.Server.isEmpty())
        o.insert(u"server"_qs, Verdict.Server);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

bool Same(const QHash<QString, TJudged>& A, const QHash<QString, TJudged>& B)
{
    if (A.size() != B.size())
        return false;
    for (auto it = A.cbegin(); it != A.cend(); ++it) {
        const auto other = B.constFind(it.key());
        if (other == B.cend() || other->Status != it->Status || other->Server != it->Server)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    TResumeVerdicts first;
    if (!Read(FuzzBytes(Data + 1, Size - 1), first))
        return 0;
    for (const TJudged& v : first.Judged)
        if (v.Status != TStatus::Free && v.Status != TStatus::Taken)
            RoundTripDrift("status other than free or taken");
    if (first.Judged.isEmpty())
        return 0;
    // A lone surrogate (from the JSON escape of half a surrogate pair) has no UTF-8 form: no writer gives it back.
    const auto writable = [](const QString& Text) { return QString::fromUtf8(Text.toUtf8()) == Text; };
    for (auto it = first.Judged.cbegin(); it != first.Judged.cend(); ++it)
        if (!writable(it.key()) || !writable(it->Server))
            return 0;

    QByteArray written;
    QByteArray last;
    QHash<QString, TJudged> allButLast;
    for (auto it = first.Judged.cbegin(); it != first.Judged.cend(); ++it) {
        if (!last.isEmpty())
            written += last + '\n';
        last = Line(it.key(), *it);
        if (std::next(it) != first.Judged.cend())
            allButLast.insert(it.key(), *it);
    }
    TResumeVerdicts again;
    if (!Read(written + last + '\n', again) || !again.Warnings.isEmpty() || !Same(again.Judged, first.Judged))
        RoundTripDrift("verdicts written back");

    // Cut inside the last line, before its closing brace: what a writer killed halfway leaves.
    const qsizetype keep = qsizetype(Data[0]) % last.size();
    TResumeVerdicts cut;
    if (!Read(written + last.left(keep), cut) || !Same(cut.Judged, allButLast)
        || cut.Warnings.size() != (QByteArray(last.left(keep)).trimmed().isEmpty() ? 0 : 1))
        RoundTripDrift("last line cut short");
    return 0;
}
