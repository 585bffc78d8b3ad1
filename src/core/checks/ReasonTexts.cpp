#include "core/checks/ReasonTexts.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <algorithm>

namespace
{

constexpr char Context[] = "CheckReasons";

// Every text the checks make a reason of, label or detail, word for word as they write it.
const char* const Texts[] = {
    QT_TRANSLATE_NOOP("CheckReasons", "недопустимое доменное имя"),
    QT_TRANSLATE_NOOP("CheckReasons", "нет сервера WHOIS для зоны"),
    QT_TRANSLATE_NOOP("CheckReasons", "превышен лимит запросов"),
    QT_TRANSLATE_NOOP("CheckReasons", "лимит запросов"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер временно не отвечает на запросы"),
    QT_TRANSLATE_NOOP("CheckReasons", "пустой ответ сервера"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ сервера — не текст"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ сервера не распознан"),
    QT_TRANSLATE_NOOP("CheckReasons", "нет соединения с сервером"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер не ответил"),
    QT_TRANSLATE_NOOP("CheckReasons", "соединение оборвано"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер закрыл соединение, ничего не ответив"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер ответил о другом имени"),
    QT_TRANSLATE_NOOP("CheckReasons", "имя недопустимо в зоне"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ сервера слишком длинный"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ сервера длиннее %1 байт"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер не найден"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер отклонил соединение"),
    QT_TRANSLATE_NOOP("CheckReasons", "сеть недоступна"),
    QT_TRANSLATE_NOOP("CheckReasons", "время ожидания сервера истекло"),
    QT_TRANSLATE_NOOP("CheckReasons", "ошибка связи с сервером (код %1)"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер не принял соединение за %1 с"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер не ответил за %1 с"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер не закончил ответ за %1 с"),
    QT_TRANSLATE_NOOP("CheckReasons", "ошибка обмена с RDAP-сервером"),
    QT_TRANSLATE_NOOP("CheckReasons", "RDAP-сервер ответил ошибкой"),
    QT_TRANSLATE_NOOP("CheckReasons", "RDAP-сервер ответил кодом %1"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ RDAP-сервера — не JSON"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ RDAP-сервера — не RDAP"),
    QT_TRANSLATE_NOOP("CheckReasons", "тип «%1»"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ RDAP-сервера — не сведения о домене"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ RDAP-сервера — не сообщение RDAP об ошибке"),
    QT_TRANSLATE_NOOP("CheckReasons", "пустой ответ RDAP-сервера без указанной длины"),
    QT_TRANSLATE_NOOP("CheckReasons", "RDAP-сервер ответил о другом имени"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ не от сервера реестра"),
    QT_TRANSLATE_NOOP("CheckReasons", "зарезервировано реестром"),
    QT_TRANSLATE_NOOP("CheckReasons", "неверный адрес RDAP-сервера"),
    QT_TRANSLATE_NOOP("CheckReasons", "недопустимое перенаправление"),
    QT_TRANSLATE_NOOP("CheckReasons", "%1: сервер просит подождать %2 с"),
    QT_TRANSLATE_NOOP("CheckReasons", "делегирован в DNS"),
    QT_TRANSLATE_NOOP("CheckReasons", "не удалось получить PR и ТИЦ"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ сервера указывает и длину, и блочную передачу"),
    QT_TRANSLATE_NOOP("CheckReasons", "длина ответа сервера противоречива"),
    QT_TRANSLATE_NOOP("CheckReasons", "перенаправление на недопустимый адрес %1"),
    QT_TRANSLATE_NOOP("CheckReasons", "перенаправление с защищенного соединения на незащищенное: %1"),
    QT_TRANSLATE_NOOP("CheckReasons", "перенаправление на локальный адрес %1"),
    QT_TRANSLATE_NOOP("CheckReasons", "перенаправление на другой сервер: %1"),
    QT_TRANSLATE_NOOP("CheckReasons", "неверный адрес %1"),
    QT_TRANSLATE_NOOP("CheckReasons", "защищенное соединение (TLS) недоступно"),
    QT_TRANSLATE_NOOP("CheckReasons", "не удалось записать ответ сервера: %1"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер %1 отклонил соединение"),
    QT_TRANSLATE_NOOP("CheckReasons", "сервер %1 не найден"),
    QT_TRANSLATE_NOOP("CheckReasons", "ответ сервера оборван"),
    QT_TRANSLATE_NOOP("CheckReasons", "не удалось установить защищенное соединение с %1"),
    QT_TRANSLATE_NOOP("CheckReasons", "ошибка сертификата сервера: %1"),
    QT_TRANSLATE_NOOP("CheckReasons", "ошибка связи с сервером %1: %2"),
    QT_TRANSLATE_NOOP("CheckReasons", "слишком много перенаправлений"),
    QT_TRANSLATE_NOOP("CheckReasons", "Слишком много перенаправлений при запросе PR и ТИЦ для %1."),
    QT_TRANSLATE_NOOP("CheckReasons", "Не удалось получить PR и ТИЦ для %1: %2"),
    QT_TRANSLATE_NOOP("CheckReasons", "Сервер PR и ТИЦ ответил кодом %1 на запрос для %2."),
    // A label and its detail.
    QT_TRANSLATE_NOOP("CheckReasons", "%1: %2"),
};

// A text with details: the pattern that finds them, and which argument each captured piece is.
struct TPattern {
    QRegularExpression Match;
    QList<int> Arguments;
    const char* Source;
};

struct TTables {
    QHash<QString, const char*> Whole;
    QList<TPattern> Patterns;
};

const TTables& Tables()
{
    static const TTables tables = [] {
        TTables t;
        static const QRegularExpression placeholder(u"%(\\d)"_qs);
        for (const char* source : Texts) {
            const QString text = QString::fromUtf8(source);
            QString pattern = u"^"_qs;
            QList<int> arguments;
            qsizetype from = 0;
            for (auto it = placeholder.globalMatch(text); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                pattern += QRegularExpression::escape(text.mid(from, m.capturedStart() - from)) + u"(.+?)"_qs;
                arguments << m.captured(1).toInt();
                from = m.capturedEnd();
            }
            if (arguments.isEmpty()) {
                t.Whole.insert(text, source);
                continue;
            }
            pattern += QRegularExpression::escape(text.mid(from)) + u'$';
            t.Patterns.append({ QRegularExpression(pattern), arguments, source });
        }
        // The text with the most words of its own is the most specific: "%1: %2" comes last.
        std::stable_sort(t.Patterns.begin(), t.Patterns.end(), [](const TPattern& a, const TPattern& b) {
            return qstrlen(a.Source) - 2 * a.Arguments.size() > qstrlen(b.Source) - 2 * b.Arguments.size();
        });
        return t;
    }();
    return tables;
}

} // namespace

QString ShownReason(const QString& Text)
{
    const TTables& tables = Tables();
    if (const auto it = tables.Whole.constFind(Text); it != tables.Whole.cend())
        return QCoreApplication::translate(Context, *it);
    for (const TPattern& p : tables.Patterns) {
        const QRegularExpressionMatch m = p.Match.match(Text);
        if (!m.hasMatch())
            continue;
        QStringList arguments(p.Arguments.size());
        for (qsizetype i = 0; i < p.Arguments.size(); ++i)
            arguments[p.Arguments.at(i) - 1] = ShownReason(m.captured(int(i + 1)));
        const QString shown = QCoreApplication::translate(Context, p.Source);
        return arguments.size() == 1 ? shown.arg(arguments.at(0)) : shown.arg(arguments.at(0), arguments.at(1));
    }
    return Text;
}
