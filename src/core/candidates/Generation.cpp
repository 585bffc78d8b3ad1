#include "core/candidates/Generation.h"

#include "core/candidates/VariantCount.h"
#include "core/common/Errors.h"

#include <QCoreApplication>
#include <QHash>
#include <algorithm>
#include <climits>
#include <limits>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{

QString Decimal(TCandidateCount n)
{
    // QString::number stops at 64 bits.
    char digits[40];
    char* p = digits + sizeof digits;
    do {
        *--p = char('0' + int(n % 10));
        n /= 10;
    } while (n != 0);
    return QString::fromLatin1(p, digits + sizeof digits - p);
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
class TNameArena
{
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

// Ends a name at p with "." and Zone, and hands it to Out.
template <typename TSink> void EmitInZone(TSink& Out, QString&& Name, QChar* p, const QString& Zone)
{
    *p++ = u'.';
    std::copy(Zone.constData(), Zone.constData() + Zone.size(), p);
    TCandidate d;
    d.Name = std::move(Name);
    d.Zone = Zone;
    Out(std::move(d));
}

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
            EmitInZone(Out, std::move(name), p, zone);
        }
    }
};

// The same with variants: the combination's forms in each spelling its zones use, then each form in turn
// in every zone that has it.
template <typename TSink> struct TVariantNameBuilder {
    const QStringList& Zones;
    const TVariantPlan& Plan;
    TSink& Out;
    TNameArena Arena;

    struct TForm {
        int Key = 0; // the affix, twice, and one more when hyphenated: the order of ForEachForm
        qsizetype From = 0;
        qsizetype Length = 0;
    };
    // Per spelling: the texts of the forms one after another, and where each lies.
    QString Texts[TVariantPlan::SpellingCount];
    std::vector<TForm> Forms[TVariantPlan::SpellingCount];

    void Emit(const int* idx, int n)
    {
        for (int s = 0; s < TVariantPlan::SpellingCount; ++s)
            MakeForms(TVariantPlan::TSpelling(s), idx, n);
        size_t next[TVariantPlan::SpellingCount] = {};
        for (;;) {
            int key = INT_MAX;
            for (int s = 0; s < TVariantPlan::SpellingCount; ++s)
                if (next[s] < Forms[s].size())
                    key = std::min(key, Forms[s][next[s]].Key);
            if (key == INT_MAX)
                return;
            bool has[TVariantPlan::SpellingCount];
            for (int s = 0; s < TVariantPlan::SpellingCount; ++s)
                has[s] = next[s] < Forms[s].size() && Forms[s][next[s]].Key == key;
            for (qsizetype z = 0; z < Zones.size(); ++z) {
                const int s = Plan.SpellingOfZone(z);
                if (!has[s])
                    continue;
                const TForm& form = Forms[s][next[s]];
                const QString& zone = Zones.at(z);
                QChar* p = nullptr;
                QString name = Arena.Make(form.Length + 1 + zone.size(), p);
                const QChar* text = Texts[s].constData() + form.From;
                p = std::copy(text, text + form.Length, p);
                EmitInZone(Out, std::move(name), p, zone);
            }
            for (int s = 0; s < TVariantPlan::SpellingCount; ++s)
                next[s] += has[s];
        }
    }

    void MakeForms(TVariantPlan::TSpelling Spelling, const int* idx, int n)
    {
        QString& text = Texts[Spelling];
        std::vector<TForm>& forms = Forms[Spelling];
        text.resize(0);
        forms.clear();
        if (!Plan.SpellingUsed(Spelling))
            return;
        const TPartShape* parts[4];
        for (int i = 0; i < n; ++i)
            if (!(parts[i] = Plan.Part(Spelling, idx[i])))
                return;
        Plan.ForEachForm(TVariantPlan::ShapeOf(parts, n), Spelling, [&](int Affix, bool Hyphen) {
            const qsizetype from = text.size();
            Plan.AppendForm(text, parts, n, Affix, Hyphen);
            forms.push_back({ Affix * 2 + int(Hyphen), from, text.size() - from });
        });
    }
};

// Every ordered tuple of keyword lines with pairwise different texts that Mode takes (0: two keywords,
// 1: three, 2: four), first keyword outermost: Visit(idx, n) with the n line numbers in idx.
template <typename TVisit> void ForEachTuple(const std::vector<int>& id, int Mode, TVisit& Visit)
{
    const int n = int(id.size());
    int idx[4];
    for (int i = 0; i < n; ++i) {
        idx[0] = i;
        for (int j = 0; j < n; ++j) {
            if (id[size_t(j)] == id[size_t(i)])
                continue;
            idx[1] = j;
            if (Mode != 1 && Mode != 2) {
                Visit(idx, 2);
                continue;
            }
            for (int a = 0; a < n; ++a) {
                const int ia = id[size_t(a)];
                if (ia == id[size_t(i)] || ia == id[size_t(j)])
                    continue;
                idx[2] = a;
                if (Mode == 1) {
                    Visit(idx, 3);
                    continue;
                }
                for (int b = 0; b < n; ++b) {
                    const int ib = id[size_t(b)];
                    if (ib == id[size_t(i)] || ib == id[size_t(j)] || ib == ia)
                        continue;
                    idx[3] = b;
                    Visit(idx, 4);
                }
            }
        }
    }
}

// Every candidate of Mode in order (first keyword outermost, zone innermost), handed to Sink.
template <typename TSink>
void BuildTuples(
    const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& Variants, TSink& Sink)
{
    const std::vector<int> ids = KeywordIds(Words);
    if (!Variants.Any()) {
        TNameBuilder<TSink> builder { Words, Zones, Sink, {} };
        auto emit = [&builder](const int* idx, int n) { builder.Emit(idx, n); };
        ForEachTuple(ids, Mode, emit);
        return;
    }
    const TVariantPlan plan(Words, ids, Zones, Variants);
    TVariantNameBuilder<TSink> builder { Zones, plan, Sink, {}, {}, {} };
    auto emit = [&builder](const int* idx, int n) { builder.Emit(idx, n); };
    ForEachTuple(ids, Mode, emit);
}

} // namespace

QString CandidateCountText(TCandidateCount Count)
{
    return Count == CandidateCountMax ? QStringLiteral("более ") + Decimal(Count) : Decimal(Count);
}

QString LargeRunQuestion(TCandidateCount Count)
{
    return QCoreApplication::translate("Generation", "Будет создано %1 доменных имен. Это может занять много времени и памяти. Продолжить?")
        .arg(CandidateCountText(Count));
}

TCandidateCount CandidateCount(const QStringList& Words, qsizetype ZoneCount, int Mode)
{
    const int k = Mode == 1 ? 3 : Mode == 2 ? 4 : 2;
    if (ZoneCount <= 0)
        return 0;
    int classes = 0;
    const std::vector<int> ids = KeywordIds(Words, &classes);
    std::vector<TCandidateCount> sizes(size_t(classes), 0);
    for (int id : ids)
        ++sizes[size_t(id)];
    // Ordered k-tuples of lines with pairwise different texts: k! times the k-th elementary symmetric
    // polynomial of the class sizes.
    std::vector<TCandidateCount> e(size_t(k) + 1, 0);
    e[0] = 1;
    for (TCandidateCount c : sizes)
        for (int j = k; j >= 1; --j)
            e[size_t(j)] = CountSum(e[size_t(j)], CountProduct(e[size_t(j) - 1], c));
    TCandidateCount count = e[size_t(k)];
    for (int f = 2; f <= k; ++f)
        count = CountProduct(count, TCandidateCount(f));
    return CountProduct(count, TCandidateCount(ZoneCount));
}

std::vector<TCandidateCount> ZoneCandidateCounts(
    const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& Variants)
{
    if (!Variants.Any())
        return std::vector<TCandidateCount>(size_t(Zones.size()), CandidateCount(Words, 1, Mode));
    const TVariantPlan plan(Words, KeywordIds(Words), Zones, Variants);
    TCandidateCount inSpelling[TVariantPlan::SpellingCount];
    for (int s = 0; s < TVariantPlan::SpellingCount; ++s)
        inSpelling[s] = VariantCandidateCount(plan, Mode, TVariantPlan::TSpelling(s));
    std::vector<TCandidateCount> counts;
    counts.reserve(size_t(Zones.size()));
    for (qsizetype z = 0; z < Zones.size(); ++z)
        counts.push_back(inSpelling[plan.SpellingOfZone(z)]);
    return counts;
}

TCandidateCount CandidateCount(
    const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& Variants)
{
    if (!Variants.Any())
        return CandidateCount(Words, Zones.size(), Mode);
    TCandidateCount sum = 0;
    for (TCandidateCount count : ZoneCandidateCounts(Words, Zones, Mode, Variants))
        sum = CountSum(sum, count);
    return sum;
}

void BuildCandidates(
    const QStringList& Words, const QStringList& Zones, int Mode, QList<TCandidate>& Out, const TNameVariants& Variants)
{
    Out = QList<TCandidate>();
    const TCandidateCount count = CandidateCount(Words, Zones, Mode, Variants);
    if (count == 0)
        return;
    if (count > TCandidateCount(std::numeric_limits<int>::max() / 2))
        throw EOrvantaError(QCoreApplication::translate("Generation", "Слишком много доменных имен: %1. Уменьшите число ключевых слов или зон.")
                                .arg(CandidateCountText(count)));
    // A run that cannot fit in this machine's memory is refused instead of being killed half-way.
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0 && !Words.isEmpty()) {
        const int k = Mode == 1 ? 3 : Mode == 2 ? 4 : 2;
        qsizetype letters = 0;
        for (const QString& w : Words)
            letters += w.size();
        qsizetype zoneLetters = 0;
        for (const QString& z : Zones)
            zoneLetters += z.size();
        qsizetype affixLetters = 0;
        for (const QStringList* list : { &Variants.Prefixes, &Variants.Suffixes })
            for (const QString& a : *list)
                affixLetters = std::max(affixLetters, a.size());
        const double nameChars = double(letters) / double(Words.size()) * k + double(zoneLetters) / double(Zones.size())
            + 2 + (Variants.Any() ? double(affixLetters + k) : 0.0);
        const double perName = double(sizeof(TCandidate)) + 16.0 + 2.0 * nameChars;
        if (double(count) * perName > double(pages) * double(pageSize))
            throw EOrvantaError(
                QCoreApplication::translate("Generation", "Недостаточно памяти для %1 доменных имен.").arg(CandidateCountText(count)));
    }
    try {
        Out.reserve(qsizetype(count));
        AdviseHugePages(Out.data(), size_t(count) * sizeof(TCandidate));
        auto append = [&Out](TCandidate&& d) { Out.append(std::move(d)); };
        BuildTuples(Words, Zones, Mode, Variants, append);
    } catch (const std::bad_alloc&) {
        Out = QList<TCandidate>();
        throw EOrvantaError(QCoreApplication::translate("Generation", "Недостаточно памяти для %1 доменных имен.").arg(CandidateCountText(count)));
    }
}

void ForEachCandidate(const QStringList& Words, const QStringList& Zones, int Mode,
    const std::function<void(const TCandidate&)>& Visit, const TNameVariants& Variants)
{
    auto visit = [&Visit](TCandidate&& d) { Visit(d); };
    BuildTuples(Words, Zones, Mode, Variants, visit);
}

void ForEachKeywordTuple(
    const QStringList& Words, int Mode, const std::function<void(const int* Lines, int Count)>& Visit)
{
    ForEachTuple(KeywordIds(Words), Mode, Visit);
}
