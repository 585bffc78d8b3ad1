#include "domains/UDomains.h"

#include "app/Errors.h"
#include "app/OtherFunc.h"
#include "consts/QuorbelConsts.h"
#include "domains/DomainShell.h"
#include "domains/ResultsModel.h"

#include <QHash>
#include <limits>
#include <sys/mman.h>
#include <unistd.h>
#include <new>
#include <vector>

namespace {

constexpr quint64 MaxCount = std::numeric_limits<quint64>::max();

quint64 SatMul(quint64 a, quint64 b)
{
    quint64 r = 0;
    return __builtin_mul_overflow(a, b, &r) ? MaxCount : r;
}

quint64 SatAdd(quint64 a, quint64 b)
{
    quint64 r = 0;
    return __builtin_add_overflow(a, b, &r) ? MaxCount : r;
}

// Numbers each keyword line by its text, so equal lines share a number and comparisons are cheap.
std::vector<int> KeywordIds(const QStringList& words, int* classCount = nullptr)
{
    QHash<QString, int> ids;
    ids.reserve(words.size());
    std::vector<int> out;
    out.reserve(words.size());
    for (const QString& w : words) {
        auto it = ids.constFind(w);
        if (it == ids.cend())
            it = ids.insert(w, int(ids.size()));
        out.push_back(*it);
    }
    if (classCount)
        *classCount = int(ids.size());
    return out;
}

// Fresh memory is expensive to touch page by page; ask for huge pages where the kernel offers them on
// request. Only whole 2 MiB pages inside the range are affected.
void AdviseHugePages(void* start, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t huge = uintptr_t(2) << 20;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(start) + huge - 1) & ~(huge - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(start) + bytes) & ~(huge - 1);
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    Q_UNUSED(start);
    Q_UNUSED(bytes);
#endif
}

// Lays names out one after another in large shared blocks: each name is an ordinary QString holding a
// reference to its block, so it is copied, kept and freed like any other, but costs no allocation of its
// own. Every name is followed by a terminating zero, as QString's own data is.
class TNameArena {
public:
    QString Make(qsizetype length, QChar*& text)
    {
        if (length + 1 > FLeft)
            NewBlock(std::max<qsizetype>(length + 1, BlockChars));
        char16_t* start = FNext;
        start[length] = u'\0';
        FNext += length + 1;
        FLeft -= length + 1;
        FBlock.d_ptr()->ref();
        text = reinterpret_cast<QChar*>(start);
        return QString(QString::DataPointer(FBlock.d_ptr(), start, length));
    }

private:
    static constexpr qsizetype BlockChars = qsizetype(4) << 20; // 8 MiB

    void NewBlock(qsizetype chars)
    {
        auto [header, data] = QTypedArrayData<char16_t>::allocate(chars);
        if (!header)
            throw std::bad_alloc();
        FBlock = QString::DataPointer(header, data, 0);
        AdviseHugePages(data, size_t(chars) * sizeof(char16_t));
        FNext = data;
        FLeft = chars;
    }

    QString::DataPointer FBlock;
    char16_t* FNext = nullptr;
    qsizetype FLeft = 0;
};

template <typename TSink> struct TNameBuilder {
    const QStringList& Words;
    const QStringList& Zones;
    TSink& Out;
    TNameArena Arena;

    // Appends one record per zone for the keyword lines in idx[0..n).
    void Emit(const int* idx, int n)
    {
        qsizetype stem = 0;
        for (int i = 0; i < n; ++i)
            stem += Words.at(idx[i]).size();
        for (const QString& zone : Zones) {
            QChar* p = nullptr;
            QString name = Arena.Make(stem + 1 + zone.size(), p);
            for (int i = 0; i < n; ++i) {
                const QString& w = Words.at(idx[i]);
                std::copy(w.constData(), w.constData() + w.size(), p);
                p += w.size();
            }
            *p++ = u'.';
            std::copy(zone.constData(), zone.constData() + zone.size(), p);
            Out(TDomainList { std::move(name), zone, StatusUnknown, QString(), QString() });
        }
    }
};

// Every candidate of Mode in order (first keyword outermost, zone innermost), handed to Sink.
template <typename TSink> void BuildTuples(const QStringList& Words, const QStringList& Zones, int Mode, TSink& Sink)
{
    TNameBuilder<TSink> builder { Words, Zones, Sink, {} };
    const int n = int(Words.size());
    const std::vector<int> id = KeywordIds(Words);
    int idx[4];
    for (int i = 0; i < n; ++i) {
        idx[0] = i;
        for (int j = 0; j < n; ++j) {
            if (id[size_t(j)] == id[size_t(i)])
                continue;
            idx[1] = j;
            if (Mode != 1 && Mode != 2) {
                builder.Emit(idx, 2);
                continue;
            }
            for (int a = 0; a < n; ++a) {
                const int ia = id[size_t(a)];
                if (ia == id[size_t(i)] || ia == id[size_t(j)])
                    continue;
                idx[2] = a;
                if (Mode == 1) {
                    builder.Emit(idx, 3);
                    continue;
                }
                for (int b = 0; b < n; ++b) {
                    const int ib = id[size_t(b)];
                    if (ib == id[size_t(i)] || ib == id[size_t(j)] || ib == ia)
                        continue;
                    idx[3] = b;
                    builder.Emit(idx, 4);
                }
            }
        }
    }
}

} // namespace

QString LargeRunQuestion(quint64 Count)
{
    return QStringLiteral("Будет создано %1 доменных имен. Это может занять много времени и памяти. Продолжить?")
        .arg(Count);
}

TDomain::TDomain(TDomainShell* Shell)
    : FShell(Shell)
{
}

TDomain::~TDomain() = default;

void TDomain::FillWordList(const QStringList& List)
{
    Words.clear();
    Words = List;
}

void TDomain::FillWhoisList(const QStringList& List)
{
    WhoisSRV.clear();
    WhoisSRV = List;
}

void TDomain::FillFirstDomainList(const QStringList& List)
{
    // Joining with CR LF and splitting again gives the same lines; copy them directly.
    FirstDomains = List;
}

quint64 TDomain::CandidateCount(const QStringList& Words, qsizetype ZoneCount, int Mode)
{
    const int k = Mode == 1 ? 3 : Mode == 2 ? 4 : 2;
    if (ZoneCount <= 0)
        return 0;
    int classes = 0;
    const std::vector<int> ids = KeywordIds(Words, &classes);
    std::vector<quint64> sizes(size_t(classes), 0);
    for (int id : ids)
        ++sizes[size_t(id)];
    // Ordered k-tuples of lines with pairwise different texts: k! times the k-th elementary symmetric
    // polynomial of the class sizes.
    std::vector<quint64> e(size_t(k) + 1, 0);
    e[0] = 1;
    for (quint64 c : sizes)
        for (int j = k; j >= 1; --j)
            e[size_t(j)] = SatAdd(e[size_t(j)], SatMul(e[size_t(j) - 1], c));
    quint64 count = e[size_t(k)];
    for (int f = 2; f <= k; ++f)
        count = SatMul(count, quint64(f));
    return SatMul(count, quint64(ZoneCount));
}

void TDomain::BuildCandidates(int Mode)
{
    Domens = QList<TDomainList>();
    const quint64 count = CandidateCount(Mode);
    if (count == 0)
        return;
    if (count > quint64(std::numeric_limits<int>::max()) / 2)
        throw EOrvantaError(QStringLiteral("Слишком много доменных имен: %1. Уменьшите число ключевых слов или зон.")
                                .arg(count == MaxCount ? QStringLiteral("более 18446744073709551615")
                                                       : QString::number(count)));
    // A run that cannot fit in this machine's memory is refused instead of being killed half-way.
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0 && !Words.isEmpty()) {
        const int k = Mode == 1 ? 3 : Mode == 2 ? 4 : 2;
        qsizetype letters = 0;
        for (const QString& w : Words)
            letters += w.size();
        qsizetype zoneLetters = 0;
        for (const QString& z : FirstDomains)
            zoneLetters += z.size();
        const double nameChars = double(letters) / double(Words.size()) * k
            + double(zoneLetters) / double(FirstDomains.size()) + 2;
        const double perName = double(sizeof(TDomainList)) + 16.0 + 2.0 * nameChars;
        if (double(count) * perName > double(pages) * double(pageSize))
            throw EOrvantaError(QStringLiteral("Недостаточно памяти для %1 доменных имен.").arg(count));
    }
    try {
        Domens.reserve(qsizetype(count));
        AdviseHugePages(Domens.data(), size_t(count) * sizeof(TDomainList));
        auto append = [this](TDomainList&& d) { Domens.append(std::move(d)); };
        BuildTuples(Words, FirstDomains, Mode, append);
    } catch (const std::bad_alloc&) {
        Domens = QList<TDomainList>();
        throw EOrvantaError(QStringLiteral("Недостаточно памяти для %1 доменных имен.").arg(count));
    }
}

void TDomain::ForEachCandidate(const QStringList& Words, const QStringList& Zones, int Mode,
    const std::function<void(const TDomainList&)>& Visit)
{
    auto visit = [&Visit](TDomainList&& d) { Visit(d); };
    BuildTuples(Words, Zones, Mode, visit);
}

void TDomain::Generate(int Mode)
{
    if (FRunning)
        return;
    FRunning = true;
    struct TRunningReset {
        bool& Flag;
        ~TRunningReset() { Flag = false; }
    } reset { FRunning };
    BuildCandidates(Mode);
    RunStages();
}

void TDomain::RunStages()
{
    if (!FShell)
        return;
    const bool whois = FShell->AutoWhois();
    const bool range = FShell->AutoRange();
    const int stages = int(whois) + int(range);
    try {
        if (stages > 0)
            FShell->ProgressSetMax(int(Domens.size()) * stages);
        FShell->ProgressSetPosition(0);
        if (stages > 0 && Domens.size() > 5)
            FShell->ProgressShow();
        if (whois)
            CheckRegister();
        if (range) {
            try {
                GetPuzomer();
            } catch (...) {
                // The WHOIS answers and the figures obtained so far are shown before the error is.
                FillGridData();
                throw;
            }
        }
        FillGridData();
    } catch (...) {
        FShell->ProgressHide();
        throw;
    }
    FShell->ProgressHide();
}

bool TDomain::NextCandidate()
{
    FShell->ProgressSetPosition(FShell->ProgressPosition() + 1);
    FShell->ProcessEvents();
    return !FShell->StopRequested();
}

void TDomain::FillSRVAssoc()
{
    DomainWhoisAssoc.clear();
    DomainWhoisAssoc.reserve(WhoisSRV.size());
    for (const QString& line : WhoisSRV) {
        // Zone and server; a third piece ("zone:host:port") is dropped.
        QStringList pieces { QString(), QString() };
        SplitText(pieces, QStringLiteral(":"), line);
        DomainWhoisAssoc.append(TDomeinAssociateSRV { pieces.at(0), pieces.at(1) });
    }
}

QString TDomain::GetAssocWhoisSRV(const QString& FDN) const
{
    const QString zone = FDN.toLower();
    QString fallback;
    for (const TDomeinAssociateSRV& a : DomainWhoisAssoc) {
        if (a.DOMAIN.toLower() == zone)
            return a.WHOIS_SRV;
        if (a.DOMAIN == u"*")
            fallback = a.WHOIS_SRV;
    }
    return fallback;
}

void TDomain::CheckRegister()
{
    FillSRVAssoc();
    if (!FShell || !FShell->AutoWhois())
        return;
    FWhoisFailures = 0;
    TWhoisClient client(WhoisPort, WhoisLimits);
    for (qsizetype i = 0; i < Domens.size(); ++i) {
        if (!NextCandidate())
            break;
        qint32 status = StatusUnknown;
        try {
            const TDomainList& d = Domens.at(i);
            status = JudgeWhoisAnswer(client.Query(GetAssocWhoisSRV(d.Zone), d.Name));
        } catch (const std::exception&) {
            // A failed query is confined to its candidate; the summary below tells the user.
        }
        Domens[i].Status = status;
        if (status == StatusUnknown)
            ++FWhoisFailures;
    }
    if (FWhoisFailures > 0)
        FShell->ShowInformation(QString::fromUtf16(QuorbelConsts::ProductName),
            QStringLiteral("Одно или несколько доменных имен не удалось проверить на занятость, возможно сервера "
                           "whois указанные в настройках не отвечают."));
}

void TDomain::GetPuzomer()
{
    if (!FShell)
        return;
    for (qsizetype i = 0; i < Domens.size(); ++i) {
        if (!NextCandidate())
            break;
        Puzomer.Site = Domens.at(i).Name;
        Puzomer.FillPuzomer();
        TDomainList& d = Domens[i];
        d.PR = Puzomer.GetPR();
        d.TIC = Puzomer.GetTIC();
    }
}

void TDomain::CleanGrid(bool Fast)
{
    if (!FShell)
        return;
    FShell->SetGridVisible(false);
    FShell->Grid().Clear(!Fast);
}

void TDomain::FillHeader()
{
    if (!FShell)
        return;
    CleanGrid(true);
    FShell->Grid().SetHeader({ QStringLiteral("Доменное имя"), QStringLiteral("Зона"), QStringLiteral("Занятость"),
        QStringLiteral("PR"), QStringLiteral("ТИЦ") });
}

void TDomain::FillGridData()
{
    if (!FShell)
        return;
    CleanGrid(false);
    FillHeader();
    FShell->Grid().SetRows(Domens);
    if (!Domens.isEmpty())
        FShell->SetGridVisible(true);
}

void TDomain::GridResize()
{
    if (!FShell)
        return;
    const TGridGeometry g = FShell->GridGeometry();
    const qint64 rowsHeight = qint64(g.RowHeight) * FShell->Grid().RowCount();
    const int first = g.PanelWidth - (rowsHeight > g.GridHeight ? 360 : 340);
    FShell->SetColumnWidths({ first, 50, 90, 100, 100 });
}
