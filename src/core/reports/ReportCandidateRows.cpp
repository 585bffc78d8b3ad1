// The fast writer of unchecked candidates: rows laid out as bytes from their keywords' and zones'
// encoded pieces, without building a name or a row string per candidate.
#include "core/candidates/Generation.h"
#include "core/common/SystemErrors.h"
#include "core/reports/ReportCells.h"
#include "core/reports/ReportWriters.h"

#include <QBuffer>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <vector>

using namespace ReportCells;

namespace
{

// Assembled rows go out once this many bytes are gathered: a few hundred writes for millions of rows,
// little memory.
constexpr qsizetype RowBlockBytes = qsizetype(1) << 20;

// How a writer puts a name into its row.
enum class TNameForm { Plain, Csv, Html };

std::optional<TNameForm> NameFormOf(TReportKind Kind)
{
    switch (Kind) {
    case TReportKind::ExportText:
    case TReportKind::ReportText:
        return TNameForm::Plain;
    case TReportKind::ExportCSV:
    case TReportKind::ReportCSV:
        return TNameForm::Csv;
    case TReportKind::ReportHTML:
        return TNameForm::Html;
    }
    return std::nullopt;
}

// A keyword or a zone as it stands inside a name in Form, UTF-8. Every form escapes character by
// character, so a name's text is its pieces' texts one after another; only CSV quoting looks at the
// whole name, and a name is quoted when any of its pieces asks for it.
struct TNamePiece {
    QByteArray Bytes;
    bool Quote = false;
};

TNamePiece EncodeNamePiece(TNameForm Form, QStringView Text)
{
    TNamePiece piece;
    QString text;
    switch (Form) {
    case TNameForm::Plain:
        text = Text.toString();
        break;
    case TNameForm::Csv:
        piece.Quote = CsvNeedsQuotes(Text);
        AppendCsvQuotedText(text, Text);
        break;
    case TNameForm::Html:
        AppendHtmlText(text, Text);
        break;
    }
    piece.Bytes = text.toUtf8();
    return piece;
}

// Encoding pieces apart gives the bytes of encoding them joined only when none holds half a surrogate
// pair: two halves in neighbouring pieces make one character.
bool AllValidUtf16(const QStringList& Texts)
{
    return std::all_of(Texts.cbegin(), Texts.cend(), [](const QString& t) { return QStringView(t).isValidUtf16(); });
}

// Bytes laid out for Put: CopySlack more bytes after them may be read.
struct TBytes {
    const char* Data = nullptr;
    size_t Size = 0;
};

// Most pieces of a row are short: they are copied as a fixed 32 bytes, which the compiler turns into two
// moves instead of a call. Sources are padded and the buffers copied into have room for the overrun.
constexpr size_t CopySlack = 32;

char* Put(char* To, TBytes From)
{
    if (From.Size <= CopySlack)
        std::memcpy(To, From.Data, CopySlack);
    else
        std::memcpy(To, From.Data, From.Size);
    return To + From.Size;
}

// Keeps byte strings for Put, each padded with CopySlack zero bytes; a deque never moves what it holds.
class TPaddedBytes
{
public:
    TBytes Add(const QByteArray& Bytes)
    {
        QByteArray& kept = FKept.emplace_back(Bytes.size() + qsizetype(CopySlack), '\0');
        std::memcpy(kept.data(), Bytes.constData(), size_t(Bytes.size()));
        return { kept.constData(), size_t(Bytes.size()) };
    }

private:
    std::deque<QByteArray> FKept;
};

// Stands for the name while a zone's row is laid out: a private-use character no form escapes.
constexpr char16_t NameMark[] = u"\uE000";

} // namespace

QByteArray TReportWriter::UncheckedRowBytes(QStringView Name, QStringView Zone) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TReportWriter row(FKind, buffer, FStamp);
    row.Row(Name, Zone, TStatus::Unchecked, {}, {});
    row.FSink->Finish();
    return buffer.data();
}

void TReportWriter::CandidateRowsOneByOne(
    const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& Variants)
{
    ForEachCandidate(
        Words, Zones, Mode, [this](const TCandidate& d) { Row(d.Name, d.Zone, d.Status, d.PR, d.TIC); }, Variants);
}

void TReportWriter::CandidateRows(
    const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& Variants)
{
    const std::optional<TNameForm> form = NameFormOf(FKind);
    if (!form || !AllValidUtf16(Words) || !AllValidUtf16(Zones) || Variants.Any()) {
        CandidateRowsOneByOne(Words, Zones, Mode, Variants);
        return;
    }

    // Each zone's row around the name, laid out by Row itself: what comes before the name, and the name's
    // end (".zone") with everything after it; both bare and with the name's CSV quotes.
    struct TZoneRow {
        TBytes Head[2];
        TBytes Tail[2];
        bool Quote = false;
    };
    TPaddedBytes kept;
    const QByteArray mark = QStringView(NameMark).toUtf8();
    std::vector<TZoneRow> zones;
    zones.reserve(size_t(Zones.size()));
    size_t longestZoneRow = 0;
    for (const QString& zone : Zones) {
        const QByteArray row = UncheckedRowBytes(NameMark, zone);
        const qsizetype at = row.indexOf(mark);
        if (at < 0) {
            CandidateRowsOneByOne(Words, Zones, Mode, Variants);
            return;
        }
        const QByteArray head = row.left(at);
        const QByteArray after = row.mid(at + mark.size());
        const TNamePiece piece = EncodeNamePiece(*form, zone);
        TZoneRow z;
        z.Head[0] = kept.Add(head);
        z.Head[1] = kept.Add(head + '"');
        z.Tail[0] = kept.Add('.' + piece.Bytes + after);
        z.Tail[1] = kept.Add('.' + piece.Bytes + '"' + after);
        z.Quote = piece.Quote;
        longestZoneRow = std::max(longestZoneRow, z.Head[1].Size + z.Tail[1].Size);
        zones.push_back(z);
    }
    if (zones.empty())
        return;

    struct TWord {
        TBytes Bytes;
        bool Quote = false;
    };
    std::vector<TWord> words;
    words.reserve(size_t(Words.size()));
    size_t longestWord = 0;
    for (const QString& w : Words) {
        const TNamePiece piece = EncodeNamePiece(*form, w);
        words.push_back({ kept.Add(piece.Bytes), piece.Quote });
        longestWord = std::max(longestWord, words.back().Bytes.Size);
    }

    // A block always has room for one more row past its threshold, so rows go in unchecked.
    const size_t longestStem = 4 * longestWord;
    std::vector<char> stem(longestStem + CopySlack);
    std::vector<char> block(size_t(RowBlockBytes) + longestStem + longestZoneRow + CopySlack);
    char* const start = block.data();
    char* const full = start + RowBlockBytes;
    char* p = start;
    ForEachKeywordTuple(Words, Mode, [&](const int* lines, int count) {
        char* s = stem.data();
        bool quote = false;
        for (int i = 0; i < count; ++i) {
            const TWord& w = words[size_t(lines[i])];
            s = Put(s, w.Bytes);
            quote = quote || w.Quote;
        }
        const TBytes stemBytes { stem.data(), size_t(s - stem.data()) };
        // A local cursor stays in a register; the copies cannot be thought to change it.
        char* out = p;
        for (const TZoneRow& z : zones) {
            const int q = quote || z.Quote ? 1 : 0;
            out = Put(out, z.Head[q]);
            out = Put(out, stemBytes);
            out = Put(out, z.Tail[q]);
            if (out >= full) {
                FSink->WriteEncoded(start, out - start);
                out = start;
            }
        }
        p = out;
    });
    if (p > start)
        FSink->WriteEncoded(start, p - start);
}
