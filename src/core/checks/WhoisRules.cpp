#include "core/checks/WhoisRules.h"

#include "core/candidates/NameRules.h"

#include <QStringList>
#include <initializer_list>

namespace
{

// One registry's not-found lines ("%N" stands for the name asked about). Lines are compared with letter
// case ignored and a final full stop dropped, since registries vary both between their current and older
// forms.
struct TWhoisServerRule {
    const char16_t* Host;
    std::initializer_list<const char16_t*> FreeLines;
};

const TWhoisServerRule ServerRules[] = {
    { u"whois.tcinet.ru", { u"No entries found for the selected source(s)" } },
    { u"whois.verisign-grs.com", { u"No match for \"%N\"" } },
    { u"whois.pir.org", { u"NOT FOUND", u"Domain not found" } },
    { u"whois.nic.biz", { u"No Data Found", u"Not found: %N" } },
    { u"whois.educause.edu", { u"No Match", u"NO MATCH: %N" } },
};

// Servers the user adds: the registries' forms together, each still a whole line.
const char16_t* const GenericFreeLines[] = {
    u"No entries found",
    u"No entries found for the selected source(s)",
    u"No match for %N",
    u"No match for \"%N\"",
    u"Nothing found for this query",
    u"NOT FOUND",
    u"Not found: %N",
    u"No Data Found",
    u"No Match",
    u"NO MATCH: %N",
    u"Domain not found",
};
// The keys of the line that names the domain in a record, whoever sent it: the registries' own ("domain:"
// at tcinet, "Domain Name:" at the others) are looked for in every answer, so that no record of another
// name passes unseen.
const char16_t* const RecordKeys[] = { u"Domain Name:", u"domain:" };

// A registry that says the client asked too much, or that it cannot answer now.
const char16_t* const RateLimitPhrases[] = {
    u"excessive querying",
    u"limit exceeded",
    u"exceeded allowed connection rate",
    u"try to connect later",
};
const char16_t* const UnavailablePhrases[] = {
    u"database is currently down",
    u"try again",
};

const TWhoisServerRule* RuleFor(const QString& Host)
{
    for (const TWhoisServerRule& rule : ServerRules)
        if (Host.compare(QString::fromUtf16(rule.Host), Qt::CaseInsensitive) == 0)
            return &rule;
    return nullptr;
}

QString WithoutFullStop(const QString& Line)
{
    return Line.endsWith(u'.') ? Line.left(Line.size() - 1) : Line;
}

// A name as a registry prints it: a domain name of two labels or more, a final dot allowed. Empty when
// Text is none.
QString NameIn(const QString& Text)
{
    const QString word = WithoutFullStop(Text.trimmed());
    return word.contains(u'.') && IsValidDomainName(word) ? word : QString();
}

// What a line says of a name, when anything.
enum class TNamed { None, Asked, Other };

TNamed Named(const QString& Text, const QString& Name)
{
    if (IsSameDomainName(Text, Name))
        return TNamed::Asked;
    return NameIn(Text).isEmpty() ? TNamed::None : TNamed::Other;
}

// Line, trimmed and without a final full stop, is Form whole (letter case ignored), where "%N" stands for
// a name (put in Said): Asked when it is the one asked, Other when another.
TNamed MatchesLine(const QString& Line, const QString& Form, const QString& Name, QString& Said)
{
    const QString line = WithoutFullStop(Line);
    const QString form = WithoutFullStop(Form);
    const qsizetype at = form.indexOf(u"%N");
    if (at < 0)
        return line.compare(form, Qt::CaseInsensitive) == 0 ? TNamed::Asked : TNamed::None;
    const QString head = form.left(at);
    const QString tail = form.mid(at + 2);
    if (line.size() <= head.size() + tail.size() || !line.startsWith(head, Qt::CaseInsensitive)
        || !line.endsWith(tail, Qt::CaseInsensitive))
        return TNamed::None;
    Said = line.mid(head.size(), line.size() - head.size() - tail.size());
    return Named(Said, Name);
}

// The names the answer holds records of, by their key lines: "Domain Name: EXAMPLE.COM", or the key alone
// with the name on the next line that is not blank.
QStringList RecordNames(const QStringList& Lines)
{
    QStringList names;
    for (qsizetype i = 0; i < Lines.size(); ++i)
        for (const char16_t* k : RecordKeys) {
            const QString key = QString::fromUtf16(k);
            if (!Lines.at(i).startsWith(key, Qt::CaseInsensitive))
                continue;
            QString value = Lines.at(i).mid(key.size()).trimmed();
            for (qsizetype next = i + 1; value.isEmpty() && next < Lines.size(); ++next)
                value = Lines.at(next);
            const QString name = NameIn(value);
            if (!name.isEmpty())
                names << name;
        }
    return names;
}

template <typename TPhrases> bool ContainsAny(const QString& Text, const TPhrases& Phrases)
{
    for (const char16_t* p : Phrases)
        if (Text.contains(QString::fromUtf16(p), Qt::CaseInsensitive))
            return true;
    return false;
}

bool IsText(const QByteArray& Answer)
{
    for (char c : Answer) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') || u == 0x7f)
            return false;
    }
    return true;
}

TCheckFailure Reason(const QString& Text)
{
    return { Text, Text };
}

TWhoisVerdict Failed(const TCheckFailure& Failure, bool Refused = false)
{
    return { TStatus::Failed, Refused, Failure };
}

} // namespace

namespace CheckReasons
{
TCheckFailure InvalidName()
{
    return Reason(QStringLiteral("недопустимое доменное имя"));
}
TCheckFailure NoServer()
{
    return Reason(QStringLiteral("нет сервера WHOIS для зоны"));
}
TCheckFailure RateLimited()
{
    return Reason(QStringLiteral("превышен лимит запросов"));
}
TCheckFailure Unavailable()
{
    return Reason(QStringLiteral("сервер временно не отвечает на запросы"));
}
TCheckFailure Blank()
{
    return Reason(QStringLiteral("пустой ответ сервера"));
}
TCheckFailure NotText()
{
    return Reason(QStringLiteral("ответ сервера — не текст"));
}
TCheckFailure Unrecognised()
{
    return Reason(QStringLiteral("ответ сервера не распознан"));
}
TCheckFailure NoConnection(const QString& Detail)
{
    return { QStringLiteral("нет соединения с сервером"), Detail };
}
TCheckFailure NoAnswer(const QString& Detail)
{
    return { QStringLiteral("сервер не ответил"), Detail };
}
TCheckFailure Reset()
{
    return Reason(QStringLiteral("соединение оборвано"));
}
TCheckFailure ClosedSilently()
{
    return Reason(QStringLiteral("сервер закрыл соединение, ничего не ответив"));
}
TCheckFailure OtherName(const QString& Name)
{
    const QString label = QStringLiteral("сервер ответил о другом имени");
    return { label, QStringLiteral("%1: %2").arg(label, Name.left(300)) };
}
TCheckFailure NotInZone()
{
    return Reason(QStringLiteral("имя недопустимо в зоне"));
}
TCheckFailure TooLong(qint64 MaxBytes)
{
    return { QStringLiteral("ответ сервера слишком длинный"),
        QStringLiteral("ответ сервера длиннее %1 байт").arg(MaxBytes) };
}
} // namespace CheckReasons

QStringList WhoisFreeForms(const QString& Host)
{
    QStringList out;
    if (const TWhoisServerRule* rule = RuleFor(Host)) {
        for (const char16_t* form : rule->FreeLines)
            out << QString::fromUtf16(form);
    } else {
        for (const char16_t* form : GenericFreeLines)
            out << QString::fromUtf16(form);
    }
    return out;
}

TWhoisVerdict JudgeWhoisAnswer(const QByteArray& Answer, const QString& Name, const QString& Host)
{
    if (!IsText(Answer))
        return Failed(CheckReasons::NotText());
    const QString text = QString::fromUtf8(Answer);
    if (text.trimmed().isEmpty())
        return Failed(CheckReasons::Blank());

    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        line = line.trimmed();

    // The record of the very name asked about is the only evidence of "taken"; it wins over a stray
    // not-found remark elsewhere in the answer. A record of another name makes the answer one about that
    // name, whatever else it says.
    const QStringList records = RecordNames(lines);
    QString other;
    for (const QString& record : records) {
        if (IsSameDomainName(record, Name))
            return { TStatus::Taken, false, {} };
        other = record;
    }
    if (!other.isEmpty())
        return Failed(CheckReasons::OtherName(other));
    if (ContainsAny(text, RateLimitPhrases))
        return Failed(CheckReasons::RateLimited(), true);
    if (ContainsAny(text, UnavailablePhrases))
        return Failed(CheckReasons::Unavailable(), true);

    // Free only on a whole not-found line of the server's forms, and only when no such line names another
    // name.
    bool free = false;
    const QStringList forms = WhoisFreeForms(Host);
    for (const QString& line : lines)
        for (const QString& form : forms) {
            QString said;
            const TNamed named = MatchesLine(line, form, Name, said);
            if (named == TNamed::Other)
                return Failed(CheckReasons::OtherName(said));
            free = free || named == TNamed::Asked;
        }
    if (free)
        return { TStatus::Free, false, {} };
    return Failed(CheckReasons::Unrecognised());
}
