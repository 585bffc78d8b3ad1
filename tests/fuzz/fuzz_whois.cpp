// The WHOIS answer judge: any answer, from a registry of the built-in list or a server of the user's own,
// gets a verdict, and a failure always says why. "Free" only on a whole not-found line of the server's
// forms for the very name asked, in an answer with no record of any name; "taken" only on a record of
// that very name.
#include "FuzzInput.h"
#include "core/candidates/NameRules.h"
#include "core/checks/WhoisRules.h"

#include <QString>
#include <QStringList>

namespace
{

const char16_t* const RecordKeys[] = { u"domain name:", u"domain:" };

QString WithoutFullStop(QString Text)
{
    Text = Text.trimmed();
    if (Text.endsWith(u'.'))
        Text.chop(1);
    return Text;
}

// Text names the domain Name, by its ASCII form.
bool IsAsked(const QString& Text, const QString& Name)
{
    const QByteArray ascii = AsciiDomainName(WithoutFullStop(Text));
    return !ascii.isEmpty() && ascii.toLower() == AsciiDomainName(Name).toLower();
}

bool IsSomeName(const QString& Text)
{
    const QString word = WithoutFullStop(Text);
    return word.contains(u'.') && IsValidDomainName(word);
}

// The values of the answer's record key lines (the next line that is not blank when the key stands alone).
QStringList RecordValues(const QStringList& Lines)
{
    QStringList out;
    for (qsizetype i = 0; i < Lines.size(); ++i)
        for (const char16_t* key : RecordKeys) {
            const QString k = QString::fromUtf16(key);
            if (!Lines.at(i).startsWith(k, Qt::CaseInsensitive))
                continue;
            QString value = Lines.at(i).mid(k.size()).trimmed();
            for (qsizetype next = i + 1; value.isEmpty() && next < Lines.size(); ++next)
                value = Lines.at(next);
            out << value;
        }
    return out;
}

// Some line is a not-found form of Host, whole, naming Name where the form names one.
bool HasFreeLine(const QStringList& Lines, const QString& Host, const QString& Name)
{
    for (const QString& line : Lines) {
        const QString l = WithoutFullStop(line);
        for (const QString& form : WhoisFreeForms(Host)) {
            const QString f = WithoutFullStop(form);
            const qsizetype at = f.indexOf(u"%N");
            if (at < 0 && l.compare(f, Qt::CaseInsensitive) == 0)
                return true;
            if (at < 0 || !l.startsWith(f.left(at), Qt::CaseInsensitive)
                || !l.endsWith(f.mid(at + 2), Qt::CaseInsensitive))
                continue;
            if (IsAsked(l.mid(at, l.size() - at - (f.size() - at - 2)), Name))
                return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    static const QString Hosts[] = { u"whois.tcinet.ru"_qs, u"whois.verisign-grs.com"_qs, u"whois.pir.org"_qs,
        u"whois.nic.biz"_qs, u"whois.educause.edu"_qs, u"whois.example.net"_qs };
    static const QString Names[] = { u"redcat.ru"_qs, u"кот.рф"_qs };
    const QString& host = Hosts[Data[0] % 6];
    const QString& name = Names[(Data[0] / 6) % 2];
    const QByteArray answer = FuzzBytes(Data + 1, Size - 1);
    const TWhoisVerdict v = JudgeWhoisAnswer(answer, name, host);
    if (v.Status != TStatus::Free && v.Status != TStatus::Taken && v.Status != TStatus::Failed)
        std::abort();
    // A verdict comes without a reason, a failure never without one, and only a failure is a refusal.
    if ((v.Status == TStatus::Failed && v.Failure.Text.isEmpty()) || (v.Refused && v.Status != TStatus::Failed))
        std::abort();
    if (v.Status == TStatus::Failed)
        return 0;
    QStringList lines = QString::fromUtf8(answer).split(u'\n');
    for (QString& line : lines)
        line = line.trimmed();
    const QStringList records = RecordValues(lines);
    if (v.Status == TStatus::Taken) {
        if (std::none_of(records.cbegin(), records.cend(), [&name](const QString& r) { return IsAsked(r, name); }))
            std::abort();
        return 0;
    }
    if (std::any_of(records.cbegin(), records.cend(), IsSomeName) || !HasFreeLine(lines, host, name))
        std::abort();
    return 0;
}
