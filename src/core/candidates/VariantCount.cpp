#include "core/candidates/VariantCount.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

// Keywords are chosen as sets of different texts, so the count runs over sets: a set's names depend only on
// its letters, its scripts and how many of its keywords begin or end with a hyphen, never on which
// keywords they are. Sets are summed up by those figures, keyword kind by keyword kind, as the product of
// their keywords' line counts; the orders of a set's keywords are counted apart, by the hyphens they place.

namespace
{

// Whether a keyword begins (1) or ends (2) with a hyphen.
int EdgeOf(const TPartShape& Part)
{
    return (Part.HyphenFirst ? 1 : 0) | (Part.HyphenLast ? 2 : 0);
}

// A set's figures packed in one number: how many keywords (3 bits), how many of each edge kind but the
// plain one (3 bits each), the letters (7 bits, capped past the limit) and the scripts (2 bits).
struct TSetKey {
    int Chosen = 0;
    std::array<int, 4> Edges {};
    int Length = 0;
    int Scripts = 0;

    quint32 Pack() const
    {
        return quint32(Chosen) | quint32(Edges[1]) << 3 | quint32(Edges[2]) << 6 | quint32(Edges[3]) << 9
            | quint32(Length) << 12 | quint32(Scripts) << 19;
    }
    static TSetKey Unpack(quint32 Key)
    {
        TSetKey k;
        k.Chosen = int(Key & 7);
        k.Edges[1] = int(Key >> 3 & 7);
        k.Edges[2] = int(Key >> 6 & 7);
        k.Edges[3] = int(Key >> 9 & 7);
        k.Edges[0] = k.Chosen - k.Edges[1] - k.Edges[2] - k.Edges[3];
        k.Length = int(Key >> 12 & 127);
        k.Scripts = int(Key >> 19 & 3);
        return k;
    }
};

// Keywords alike for the count, with the elementary symmetric sums of their line counts: E[r] is the
// number of ways to pick r of them with different texts, one line each.
struct TKind {
    int Edge = 0;
    int Length = 0;
    int Scripts = 0;
    std::vector<TCandidateCount> E;
};

TCandidateCount Factorial(int n)
{
    TCandidateCount f = 1;
    for (int i = 2; i <= n; ++i)
        f *= TCandidateCount(i);
    return f;
}

} // namespace

TCandidateCount VariantCandidateCount(const TVariantPlan& Plan, int Mode, TVariantPlan::TSpelling Spelling)
{
    const int k = Mode == 1 ? 3 : Mode == 2 ? 4 : 2;
    if (!Plan.SpellingUsed(Spelling))
        return 0;
    // Only what some form looks at tells keywords apart.
    const bool edges = Plan.Hyphen();
    const bool scripts = Plan.HasAffixes();
    const int cap = Plan.MaxLength() > 0 ? Plan.MaxLength() + 1 : 0;

    std::vector<TKind> kinds;
    {
        std::unordered_map<quint32, size_t> kindOf;
        const std::vector<int>& sizes = Plan.ClassSizes();
        for (int c = 0; c < int(sizes.size()); ++c) {
            const TPartShape& part = Plan.ClassPart(Spelling, c);
            if (part.Text.isEmpty())
                continue;
            TKind kind;
            kind.Edge = edges ? EdgeOf(part) : 0;
            kind.Length = std::min(part.Length, cap);
            kind.Scripts = scripts ? part.Scripts : 0;
            const quint32 key = quint32(kind.Edge) | quint32(kind.Length) << 2 | quint32(kind.Scripts) << 9;
            auto it = kindOf.find(key);
            if (it == kindOf.end()) {
                kind.E.assign(size_t(k) + 1, 0);
                kind.E[0] = 1;
                it = kindOf.emplace(key, kinds.size()).first;
                kinds.push_back(kind);
            }
            std::vector<TCandidateCount>& e = kinds[it->second].E;
            for (int j = k; j >= 1; --j)
                e[size_t(j)]
                    = CountSum(e[size_t(j)], CountProduct(e[size_t(j) - 1], TCandidateCount(sizes[size_t(c)])));
        }
    }

    std::unordered_map<quint32, TCandidateCount> sets { { TSetKey().Pack(), 1 } };
    for (const TKind& kind : kinds) {
        std::unordered_map<quint32, TCandidateCount> next;
        for (const auto& [packed, ways] : sets) {
            const TSetKey from = TSetKey::Unpack(packed);
            for (int r = 0; from.Chosen + r <= k; ++r) {
                if (kind.E[size_t(r)] == 0)
                    break;
                TSetKey to = from;
                to.Chosen += r;
                if (kind.Edge != 0)
                    to.Edges[size_t(kind.Edge)] += r;
                to.Length = std::min(from.Length + r * kind.Length, cap);
                to.Scripts |= r > 0 ? kind.Scripts : 0;
                TCandidateCount& sum = next[to.Pack()];
                sum = CountSum(sum, CountProduct(ways, kind.E[size_t(r)]));
            }
        }
        sets = std::move(next);
    }

    std::unordered_map<quint32, int> formsOfShape;
    TCandidateCount total = 0;
    for (const auto& [packed, ways] : sets) {
        const TSetKey set = TSetKey::Unpack(packed);
        if (set.Chosen != k)
            continue;
        // Every order of the set's edge kinds; an order of kinds stands for that many orders of keywords.
        std::vector<int> order;
        TCandidateCount alike = 1;
        for (int edge = 0; edge < 4; ++edge) {
            order.insert(order.end(), size_t(set.Edges[size_t(edge)]), edge);
            alike *= Factorial(set.Edges[size_t(edge)]);
        }
        do {
            TTupleShape shape;
            shape.Length = set.Length;
            shape.Scripts = quint8(set.Scripts);
            for (int i = 1; i < k; ++i)
                shape.Joints += !(order[size_t(i) - 1] & 2) && !(order[size_t(i)] & 1);
            shape.HyphenFirst = order.front() & 1;
            shape.HyphenLast = order.back() & 2;
            const quint32 shapeKey = quint32(shape.Length) | quint32(shape.Scripts) << 7 | quint32(shape.Joints) << 9
                | quint32(shape.HyphenFirst) << 12 | quint32(shape.HyphenLast) << 13;
            auto it = formsOfShape.find(shapeKey);
            if (it == formsOfShape.end()) {
                int forms = 0;
                Plan.ForEachForm(shape, Spelling, [&forms](int, bool) { ++forms; });
                it = formsOfShape.emplace(shapeKey, forms).first;
            }
            total = CountSum(total, CountProduct(CountProduct(ways, alike), TCandidateCount(it->second)));
        } while (std::next_permutation(order.begin(), order.end()));
    }
    return total;
}
