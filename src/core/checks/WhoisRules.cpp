#include "core/checks/WhoisRules.h"

#include <QStringList>
#include <QUrl>
#include <initializer_list>

namespace
{

// One registry's answers: its not-found lines ("%N" stands for the name asked about) and the keys of the
// line that names the domain in its record. Lines are compared with letter case ignored and a final
// full stop dropped, since registries vary both between their current and older forms.
struct TWhoisServerRule {
    const char16_t* Host;
    std::initializer_list<const char16_t*> FreeLines;
    std::initializer_list<const char16_t*> RecordKeys;
};

const TWhoisServerRule ServerRules[] = {
    { u"whois.tcinet.ru", { u"No entries found for the selected source(s)" }, { u"domain:" } },
    { u"whois.verisign-grs.com", { u"No match for \"%N\"" }, { u"Domain Name:" } },
    { u"whois.pir.org", { u"NOT FOUND", u"Domain not found" }, { u"Domain Name:" } },
    { u"whois.nic.biz", { u"No Data Found", u"Not found: %N" }, { u"Domain Name:" } },
    { u"whois.educause.edu", { u"No Match", u"NO MATCH: %N" }, { u"Domain Name:" } },
};

// Servers the user adds: the not-found phrases anywhere in the answer, letter case ignored.
const char16_t* const GenericFreePhrases[] = {
    u"No entries found",
    u"No match for",
    u"Nothing found for this query",
    u"NOT FOUND",
    u"No Data Found",
    u"No Match",
};
const char16_t* const GenericRecordKeys[] = { u"Domain Name:", u"domain:" };

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

// Forms of the queried name a registry may print: as asked, its IDNA ASCII form and its Unicode form.
QStringList NameForms(const QString& Name)
{
    QStringList forms { Name.toCaseFolded() };
    const QByteArray ace = QUrl::toAce(Name);
    if (!ace.isEmpty()) {
        forms << QString::fromLatin1(ace).toCaseFolded();
        forms << QUrl::fromAce(ace).toCaseFolded();
    }
    forms.removeDuplicates();
    return forms;
}

bool IsName(QString Text, const QStringList& Forms)
{
    Text = Text.trimmed();
    if (Text.endsWith(u'.'))
        Text.chop(1);
    return Forms.contains(Text.toCaseFolded());
}

QString WithoutFullStop(const QString& Line)
{
    return Line.endsWith(u'.') ? Line.left(Line.size() - 1) : Line;
}

// Line matches Form, where "%N" in Form stands for one of the name's forms.
bool MatchesLine(const QString& Line, const QString& Form, const QStringList& Names)
{
    const QString line = WithoutFullStop(Line);
    const QString form = WithoutFullStop(Form);
    const qsizetype at = form.indexOf(u"%N");
    if (at < 0)
        return line.compare(form, Qt::CaseInsensitive) == 0;
    const QString head = form.left(at);
    const QString tail = form.mid(at + 2);
    if (line.size() < head.size() + tail.size() || !line.startsWith(head, Qt::CaseInsensitive)
        || !line.endsWith(tail, Qt::CaseInsensitive))
        return false;
    return IsName(line.mid(head.size(), line.size() - head.size() - tail.size()), Names);
}

// A record line naming the domain: "Domain Name: EXAMPLE.COM".
template <typename TKeys> bool HoldsRecord(const QStringList& Lines, const TKeys& Keys, const QStringList& Names)
{
    for (const QString& line : Lines)
        for (const char16_t* k : Keys) {
            const QString key = QString::fromUtf16(k);
            if (line.startsWith(key, Qt::CaseInsensitive) && IsName(line.mid(key.size()), Names))
                return true;
        }
    return false;
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
TCheckFailure TooLong(qint64 MaxBytes)
{
    return { QStringLiteral("ответ сервера слишком длинный"),
        QStringLiteral("ответ сервера длиннее %1 байт").arg(MaxBytes) };
}
} // namespace CheckReasons

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
    const QStringList names = NameForms(Name);
    const TWhoisServerRule* rule = RuleFor(Host);

    // The record of the very name asked about is the only evidence of "taken"; it wins over a stray
    // not-found remark elsewhere in the answer.
    const bool record
        = rule ? HoldsRecord(lines, rule->RecordKeys, names) : HoldsRecord(lines, GenericRecordKeys, names);
    if (record)
        return { TStatus::Taken, false, {} };
    if (ContainsAny(text, RateLimitPhrases))
        return Failed(CheckReasons::RateLimited(), true);
    if (ContainsAny(text, UnavailablePhrases))
        return Failed(CheckReasons::Unavailable(), true);

    bool free = false;
    if (rule) {
        for (const QString& line : lines)
            for (const char16_t* form : rule->FreeLines)
                free = free || MatchesLine(line, QString::fromUtf16(form), names);
    } else {
        free = ContainsAny(text, GenericFreePhrases);
    }
    if (free)
        return { TStatus::Free, false, {} };
    return Failed(CheckReasons::Unrecognised());
}
