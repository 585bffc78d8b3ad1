// orvanta-cli: generation, checks and reports of the desktop program, for scripts and pipelines.
#include "cli/CliProgress.h"
#include "cli/CliStore.h"
#include "core/candidates/Generation.h"
#include "core/candidates/NameRules.h"
#include "core/candidates/ResultsView.h"
#include "core/checks/RdapBootstrap.h"
#include "core/checks/RunSession.h"
#include "core/common/AtomicFile.h"
#include "core/common/Errors.h"
#include "core/common/QtTranslations.h"
#include "core/common/QuorbelConsts.h"
#include "core/common/SignalWatcher.h"
#include "core/common/SystemErrors.h"
#include "core/reports/JsonLines.h"
#include "core/reports/ReportWriters.h"
#include "core/settings/DataFiles.h"
#include "core/settings/ListFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

enum ExitCode {
    ExitDone = 0,
    ExitUsage = 1,
    ExitInput = 2,
    ExitOutput = 3,
    ExitIncomplete = 4,
    ExitHangup = 129,
    ExitSignal = 130,
};

const char HelpText[] = R"(Использование: orvanta-cli [параметры] [ФАЙЛ_СЛОВ]

Составляет доменные имена из ключевых слов (по одному в строке) во всех или в выбранных зонах,
при желании проверяет их занятость (через RDAP, где его предлагает реестр, иначе через WHOIS)
и получает PR и ТИЦ, и сохраняет результаты.
Слова читаются из ФАЙЛА_СЛОВ, а если он не указан или равен "-", со стандартного ввода.

Параметры:
  -n, --words 2|3|4          сколько ключевых слов в одном имени (по умолчанию 2)
  -z, --zone ЗОНА            зона (можно повторять; порядок сохраняется); без него все зоны списка
      --zone-list ФАЙЛ       список зон вместо first.dat пользователя
      --whois-list ФАЙЛ      список серверов WHOIS вместо whois.dat пользователя
      --whois                проверить занятость имен: через RDAP в зонах из списка серверов RDAP,
                             в остальных через WHOIS
      --metrics              получить PR и ТИЦ каждого имени
      --whois-port ПОРТ      порт серверов WHOIS (по умолчанию 43)
      --whois-limits ФАЙЛ    ограничения скорости серверов вместо limits.dat пользователя
                             (строки СЕРВЕР:ЗАПРОСОВ:СЕКУНД, * — для остальных серверов)
      --rdap-bootstrap ФАЙЛ  список серверов RDAP (формат IANA, RFC 9224) вместо rdap.json пользователя
      --no-rdap              проверять все зоны только через WHOIS
      --resume ФАЙЛ          не спрашивать снова об именах, признанных свободными или занятыми
                             в прежнем выводе -f json (ФАЙЛ), а взять их ответы оттуда
      --reuse-taken СРОК     не спрашивать снова об именах, признанных занятыми не раньше чем СРОК
                             назад, а взять ответ из базы результатов (по умолчанию 7d; 0 — спрашивать
                             всегда; СРОК — число с единицей s, m, h или d)
      --reuse-free СРОК      то же для имен, признанных свободными (по умолчанию 1h)
      --store ФАЙЛ           база результатов проверок вместо verdicts.sqlite в папке данных
      --no-store             не читать и не записывать базу результатов проверок
  -f, --format ФОРМАТ        export-csv (по умолчанию), export-text, report-csv, report-text, report-html,
                             json (JSON Lines: по объекту на имя с полями name, zone, status, reason,
                             server, via, checked, pr, tic)
  -o, --output ФАЙЛ          куда записать результат (по умолчанию стандартный вывод)
      --dry-run              только вывести количество имен
      --yes                  не спрашивать подтверждения для более чем 2000000 имен
  -h, --help                 эта справка
      --version              версия программы

Коды завершения: 0 готово; 1 ошибка в параметрах; 2 не удалось прочитать входной файл;
3 не удалось записать результат; 4 готово, но часть имен не проверена или PR и ТИЦ получены не полностью;
130 остановлено сигналом SIGINT или SIGTERM, 129 — сигналом SIGHUP (полученные результаты записаны).
)";

void Say(const QString& text)
{
    std::fputs((text + u'\n').toUtf8().constData(), stderr);
    std::fflush(stderr);
}

// What the tool printed on standard output did not all get there (a full device): the output failed.
int StandardOutputFailed(int error)
{
    Say(QStringLiteral("orvanta-cli: стандартный вывод: ") + WriteErrorMessage(error));
    return ExitOutput;
}

// Prints text on standard output and makes sure it arrived.
int PrintResult(const QByteArray& text)
{
    errno = 0;
    if (std::fputs(text.constData(), stdout) < 0 || std::fflush(stdout) != 0)
        return StandardOutputFailed(errno);
    return ExitDone;
}

int UsageError(const QString& text)
{
    Say(QStringLiteral("orvanta-cli: ") + text);
    Say(QStringLiteral("Подробнее: orvanta-cli --help"));
    return ExitUsage;
}

struct TOptions {
    int Mode = 0;
    QStringList Zones;
    QString ZoneList;
    QString WhoisList;
    QString WhoisLimits;
    QString RdapBootstrap;
    bool NoRdap = false;
    QString Resume;
    TStoreOptions Store;
    bool Whois = false;
    bool Metrics = false;
    quint16 WhoisPort = 43;
    TReportKind Format = TReportKind::ExportCSV;
    bool Json = false; // JSON Lines instead of one of the five writers
    QString Output;
    bool DryRun = false;
    bool Yes = false;
    bool Help = false;
    bool Version = false;
    std::optional<QString> WordsFile;
};

std::optional<TReportKind> ParseFormat(const QString& name)
{
    if (name == u"export-csv")
        return TReportKind::ExportCSV;
    if (name == u"export-text")
        return TReportKind::ExportText;
    if (name == u"report-csv")
        return TReportKind::ReportCSV;
    if (name == u"report-text")
        return TReportKind::ReportText;
    if (name == u"report-html")
        return TReportKind::ReportHTML;
    return std::nullopt;
}

// Parses the arguments; an error message on failure.
std::optional<QString> ParseArguments(const QStringList& args, TOptions& o)
{
    bool onlyFiles = false;
    for (int i = 1; i < args.size(); ++i) {
        QString arg = args.at(i);
        if (onlyFiles || arg == u"-" || !arg.startsWith(u'-')) {
            if (o.WordsFile)
                return QStringLiteral("лишний аргумент \"%1\"").arg(arg);
            o.WordsFile = arg;
            continue;
        }
        if (arg == u"--") {
            onlyFiles = true;
            continue;
        }
        QString inlineValue;
        bool hasInline = false;
        if (arg.startsWith(u"--")) {
            const qsizetype eq = arg.indexOf(u'=');
            if (eq > 0) {
                inlineValue = arg.mid(eq + 1);
                hasInline = true;
                arg = arg.left(eq);
            }
        } else if (arg.size() > 2) {
            // -n3, -zru
            inlineValue = arg.mid(2);
            hasInline = true;
            arg = arg.left(2);
        }
        auto value = [&](QString& out) -> std::optional<QString> {
            if (hasInline) {
                out = inlineValue;
                hasInline = false;
                return std::nullopt;
            }
            if (i + 1 >= args.size())
                return QStringLiteral("параметру %1 нужно значение").arg(arg);
            out = args.at(++i);
            return std::nullopt;
        };
        QString v;
        if (arg == u"-n" || arg == u"--words") {
            if (auto e = value(v))
                return e;
            if (v != u"2" && v != u"3" && v != u"4")
                return QStringLiteral("количество слов должно быть 2, 3 или 4, а не \"%1\"").arg(v);
            o.Mode = v.toInt() - 2;
        } else if (arg == u"-z" || arg == u"--zone") {
            if (auto e = value(v))
                return e;
            o.Zones << v;
        } else if (arg == u"--zone-list") {
            if (auto e = value(o.ZoneList))
                return e;
        } else if (arg == u"--whois-list") {
            if (auto e = value(o.WhoisList))
                return e;
        } else if (arg == u"--whois-limits") {
            if (auto e = value(o.WhoisLimits))
                return e;
        } else if (arg == u"--rdap-bootstrap") {
            if (auto e = value(o.RdapBootstrap))
                return e;
            if (o.RdapBootstrap.isEmpty())
                return QStringLiteral("пустое имя файла списка серверов RDAP");
        } else if (arg == u"--resume") {
            if (auto e = value(o.Resume))
                return e;
        } else if (arg == u"--whois-port") {
            if (auto e = value(v))
                return e;
            bool ok = false;
            const uint port = v.toUInt(&ok);
            if (!ok || port == 0 || port > 65535)
                return QStringLiteral("неверный порт \"%1\"").arg(v);
            o.WhoisPort = quint16(port);
        } else if (arg == u"-f" || arg == u"--format") {
            if (auto e = value(v))
                return e;
            o.Json = v == u"json";
            const auto kind = ParseFormat(v);
            if (!kind && !o.Json)
                return QStringLiteral("неизвестный формат \"%1\"").arg(v);
            if (kind)
                o.Format = *kind;
        } else if (arg == u"-o" || arg == u"--output") {
            if (auto e = value(o.Output))
                return e;
            if (o.Output.isEmpty())
                return QStringLiteral("пустое имя выходного файла");
        } else if (IsStoreOption(arg)) {
            if (StoreOptionTakesValue(arg))
                if (auto e = value(v))
                    return e;
            if (auto e = ApplyStoreOption(arg, v, o.Store))
                return e;
        } else if (arg == u"--whois") {
            o.Whois = true;
        } else if (arg == u"--no-rdap") {
            o.NoRdap = true;
        } else if (arg == u"--metrics") {
            o.Metrics = true;
        } else if (arg == u"--dry-run") {
            o.DryRun = true;
        } else if (arg == u"--yes") {
            o.Yes = true;
        } else if (arg == u"-h" || arg == u"--help") {
            o.Help = true;
        } else if (arg == u"--version") {
            o.Version = true;
        } else {
            return QStringLiteral("неизвестный параметр \"%1\"").arg(args.at(i));
        }
        if (hasInline)
            return QStringLiteral("параметр %1 не принимает значения").arg(arg);
    }
    if (o.NoRdap && !o.RdapBootstrap.isEmpty())
        return QStringLiteral("параметры --rdap-bootstrap и --no-rdap исключают друг друга");
    return CheckStoreOptions(o.Store);
}

// A list given on the command line, or the user's own found as the program finds it.
QStringList LoadList(const QString& given, const QString& dataName)
{
    if (!given.isEmpty())
        return ReadListFile(given);
    QStringList list;
    LoadDataList(dataName, list);
    return list;
}

// A verdict of an earlier run, read back from its JSON Lines output.
struct TJudged {
    TStatus Status = TStatus::Unchecked;
    TVia Via = TVia::None;
    QString Server;
    qint64 CheckedAt = 0;
};

// The names judged free or taken in an earlier "-f json" output. Throws EOrvantaError when the file cannot
// be read or a line is not one of its objects.
QHash<QString, TJudged> ReadJudged(const QString& Path)
{
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly))
        throw EOrvantaError(QStringLiteral("Не удалось прочитать файл %1.").arg(Path));
    QHash<QString, TJudged> out;
    int number = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        ++number;
        if (line.isEmpty())
            continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        const QJsonObject o = doc.object();
        if (!doc.isObject() || !o.value(u"name").isString() || !o.value(u"status").isString())
            throw EOrvantaError(QStringLiteral("Файл %1, строка %2: это не строка вывода -f json.").arg(Path).arg(number));
        const QString status = o.value(u"status").toString();
        if (status == u"free" || status == u"taken")
            out.insert(o.value(u"name").toString(),
                { status == u"free" ? TStatus::Free : TStatus::Taken, ViaOfCode(o.value(u"via").toString()),
                    o.value(u"server").toString(), CheckedOfText(o.value(u"checked").toString()) });
    }
    if (file.error() != QFileDevice::NoError)
        throw EOrvantaError(QStringLiteral("Не удалось прочитать файл %1.").arg(Path));
    return out;
}

bool AskToContinue(TCandidateCount count)
{
    std::fputs((LargeRunQuestion(count) + u" [д/н] ").toUtf8().constData(), stderr);
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer))
        return false;
    const QString a = QString::fromUtf8(answer.c_str()).trimmed().toLower();
    return a == u"д" || a == u"да" || a == u"y" || a == u"yes";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-cli"));
    // Qt's file errors reach the user; they are to be in Russian like the rest.
    InstallQtTranslations();
    // Past the file size limit a write is to fail and be reported, not to kill the tool halfway through a
    // file: the old file then stays as it was.
    std::signal(SIGXFSZ, SIG_IGN);

    TOptions o;
    if (const auto error = ParseArguments(QCoreApplication::arguments(), o))
        return UsageError(*error);
    if (o.Help)
        return PrintResult(HelpText);
    if (o.Version)
        return PrintResult((QuorbelConsts::ProductTitle() + u'\n').toUtf8());

    // Signals stop the checks; the results obtained so far are still written.
    TSignalWatcher signals;

    QStringList words;
    QStringList zones;
    QStringList whois;
    QStringList limits;
    TRdapBootstrap rdap;
    QHash<QString, TJudged> judged;
    std::unique_ptr<TVerdictStore> store;
    try {
        if (!o.WordsFile || *o.WordsFile == u"-") {
            if (!o.WordsFile && ::isatty(STDIN_FILENO))
                return UsageError(QStringLiteral("не указан файл слов, а стандартный ввод — терминал"));
            QFile in;
            if (!in.open(stdin, QIODevice::ReadOnly))
                throw EOrvantaError(QStringLiteral("Не удалось прочитать стандартный ввод. ") + in.errorString());
            words = SplitListLines(DecodeListText(in.readAll()));
        } else {
            words = SplitListLines(ReadListText(*o.WordsFile));
        }
        zones = o.Zones.isEmpty() ? LoadList(o.ZoneList, QString::fromUtf16(ZoneListFileName)) : o.Zones;
        if (o.Whois) {
            whois = LoadList(o.WhoisList, QString::fromUtf16(WhoisListFileName));
            limits = LoadList(o.WhoisLimits, QString::fromUtf16(ServerLimitsFileName));
            if (!o.NoRdap)
                rdap = o.RdapBootstrap.isEmpty() ? TRdapBootstrap::LoadDataFile() : TRdapBootstrap::Load(o.RdapBootstrap);
        }
        if (!o.Resume.isEmpty())
            judged = ReadJudged(o.Resume);
        // Only a run that asks something reads or writes verdicts.
        if (!o.DryRun && (o.Whois || o.Metrics))
            store = OpenStore(o.Store, [](const QString& Text) { Say(QStringLiteral("orvanta-cli: ") + Text); });
    } catch (const EOrvantaError& e) {
        Say(QStringLiteral("orvanta-cli: ") + e.Message());
        return ExitInput;
    }
    words = CleanKeywords(words);
    if (words.size() < 2)
        return UsageError(QStringLiteral("Для продолжения, нужно ввести слова для генерации"));

    const TCandidateCount count = CandidateCount(words, zones.size(), o.Mode);
    if (o.DryRun)
        return PrintResult((CandidateCountText(count) + u'\n').toUtf8());
    if (count > LargeRunThreshold && !o.Yes) {
        const bool interactive = ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
        if (!interactive)
            return UsageError(QStringLiteral("будет создано %1 доменных имен; чтобы продолжить, укажите --yes")
                                  .arg(CandidateCountText(count)));
        if (!AskToContinue(count))
            return ExitUsage;
    }

    // SOURCE_DATE_EPOCH fixes the report's date and time, for reproducible files.
    TReportStamp stamp;
    bool epochOk = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&epochOk);
    if (epochOk)
        stamp.Moment = QDateTime::fromSecsSinceEpoch(epoch);

    TRunSession session;
    TCliProgress progress(session, ::isatty(STDERR_FILENO) != 0);
    TRunSummary summary;
    std::function<void(QIODevice&)> writeResults;
    if (!o.Whois && !o.Metrics) {
        // Nothing to ask about the names: they go to the file as they are built, never all held at once.
        writeResults = [&](QIODevice& out) {
            if (o.Json) {
                TJsonLinesWriter writer(out);
                ForEachCandidate(words, zones, o.Mode, [&writer](const TCandidate& d) { writer.Row(d); });
                writer.End();
                return;
            }
            TReportWriter writer(o.Format, out, stamp);
            writer.Begin();
            writer.CandidateRows(words, zones, o.Mode);
            writer.End();
        };
    } else {
        TRunRequest request;
        request.Keywords = words;
        request.Mode = o.Mode;
        request.Zones = zones;
        request.CheckAvailability = o.Whois;
        request.FetchMetrics = o.Metrics;
        request.Setup.Servers = TCheckSetup::ParseZoneServers(whois);
        request.Setup.WhoisPort = o.WhoisPort;
        request.Setup.Limits = TServerLimits(limits);
        request.Setup.Rdap = rdap;
        request.Reuse = o.Store.Reuse;
        if (store)
            session.SetStore(store.get(), TRunOrigin::Batch);
        QObject::connect(&session, &TRunSession::StoreFailed, &app,
            [](const QString& Text) { Say(QStringLiteral("orvanta-cli: ") + Text); });
        // Names judged in an earlier run keep their verdicts and are not asked about again.
        request.FillKnown = [&judged](QList<TCandidate>& Candidates) {
            if (judged.isEmpty())
                return;
            for (TCandidate& d : Candidates) {
                const auto it = judged.constFind(d.Name);
                if (it != judged.cend()) {
                    d.SetOutcome(it->Status, it->Via, it->Server);
                    d.CheckedAt = it->CheckedAt;
                }
            }
        };
        // A signal stops the run at once; the verdicts obtained so far are written.
        QObject::connect(&signals, &TSignalWatcher::Requested, &session, &TRunSession::Stop);
        QObject::connect(&session, &TRunSession::Finished, &app, [&](const TRunSummary& Summary) {
            summary = Summary;
            progress.End();
            QCoreApplication::quit();
        });
        try {
            session.Start(request);
        } catch (const EOrvantaError& e) {
            // Refused before anything was built (too many names for this machine's memory).
            Say(QStringLiteral("orvanta-cli: ") + e.Message());
            return ExitUsage;
        }
        QCoreApplication::exec();
        writeResults = [&](QIODevice& out) {
            if (o.Json)
                WriteJsonLines(session.Candidates(), out);
            else
                WriteReport(o.Format, TResultsView(&session.Candidates()), out, stamp);
        };
    }

    try {
        if (o.Output.isEmpty()) {
            // On the descriptor, not on stdio's stream: stdio would keep the last bytes in its buffer and
            // lose a failure to write them at exit.
            QFile out;
            if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered))
                return StandardOutputFailed(errno);
            try {
                writeResults(out);
            } catch (const EOrvantaError& e) {
                Say(QStringLiteral("orvanta-cli: стандартный вывод: ") + e.Message());
                return ExitOutput;
            }
        } else {
            WriteFileAtomically(o.Output, writeResults);
        }
    } catch (const EOrvantaError& e) {
        Say(QStringLiteral("orvanta-cli: ") + e.Message());
        return ExitOutput;
    }
    // Lets a SIGINT/SIGTERM that came while writing reach the watcher.
    QCoreApplication::processEvents();
    // The last second's verdicts go to the store before the tool ends.
    if (store && !store->Flush())
        Say(QStringLiteral("orvanta-cli: не удалось записать результаты в базу %1: %2.")
                .arg(store->Path(), store->LastError()));
    store.reset();

    int code = summary.CheckFailures > 0 || summary.MetricsFailures > 0 ? ExitIncomplete : ExitDone;
    if (signals.LastSignal() != 0) {
        Say(QStringLiteral("Остановлено; записаны результаты, полученные до остановки."));
        code = signals.LastSignal() == SIGHUP ? ExitHangup : ExitSignal;
    }
    // Standard error ends with the failures counted by reason.
    if (summary.CheckFailures > 0) {
        Say(QStringLiteral("Не удалось проверить на занятость доменных имен: %1.").arg(summary.CheckFailures));
        Say(TRunSession::FailureCounts(session.Candidates()));
    }
    if (summary.MetricsFailures > 0) {
        Say(QStringLiteral("Не удалось получить PR и ТИЦ для доменных имен: %1.").arg(summary.MetricsFailures));
        Say(TRunSession::FailureCounts(session.Candidates(), true));
    }
    // Everything is written and closed: millions of names need not be freed one by one on the way out.
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(code);
}
