// orvanta-cli: generation, checks and reports of the desktop program, for scripts and pipelines.
#include "cli/CliInputs.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/CliProgress.h"
#include "cli/CliStore.h"
#include "cli/CliStore.h"
#include "core/candidates/Generation.h"
#include "core/candidates/GivenNames.h"
#include "core/candidates/NameRules.h"
#include "core/candidates/ResultsView.h"
#include "core/checks/DnsLookup.h"
#include "core/checks/RdapBootstrap.h"
#include "core/checks/RunSession.h"
#include "core/common/Errors.h"
#include "core/common/Interruption.h"
#include "core/common/QtTranslations.h"
#include "core/common/QuorbelConsts.h"
#include "core/common/SignalWatcher.h"
#include "core/common/SystemErrors.h"
#include "core/reports/JsonLines.h"
#include "core/reports/ReportWriters.h"
#include "core/reports/ResumeFile.h"
#include "core/settings/DataFiles.h"
#include "core/settings/ListFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <new>
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

void Say(const QString& text)
{
    std::fputs((text + u'\n').toUtf8().constData(), stderr);
    std::fflush(stderr);
}

// What the tool printed on standard output did not all get there (a full device): the output failed.
int StandardOutputFailed(int error)
{
    Say(QCoreApplication::translate("Cli", "orvanta-cli: стандартный вывод: %1").arg(WriteErrorMessage(error)));
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
    Say(QCoreApplication::translate("Cli", "Подробнее: orvanta-cli --help"));
    return ExitUsage;
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

// The exit code of a stop by the last signal.
int StopCode()
{
    return TSignalWatcher::LastSignal() == SIGHUP ? ExitHangup : ExitSignal;
}

// Ends the tool stopped by a signal before anything was written.
[[noreturn]] void StoppedBeforeOutput()
{
    Say(QCoreApplication::translate("Cli", "Остановлено; ничего не записано."));
    ExitAtOnce(StopCode());
}

bool AskToContinue(TCandidateCount count)
{
    std::fputs(QCoreApplication::translate("Cli", "%1 [д/н] ").arg(LargeRunQuestion(count)).toUtf8().constData(), stderr);
    std::fflush(stderr);
    std::optional<QString> answer;
    try {
        answer = ReadAnswerLine();
    } catch (const EInterrupted&) {
        StoppedBeforeOutput();
    } catch (const EOrvantaError&) {
        return false;
    }
    const QString a = answer.value_or(QString()).toLower();
    return a == u"д" || a == u"да" || a == u"y" || a == u"yes";
}

} // namespace

int RunTool(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-cli"));
    // Messages follow the user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), Qt's file errors included;
    // Russian unless another shipped language comes first.
    InstallTranslations(InterfaceLanguage(TUiLanguage::System));
    // Past the file size limit a write is to fail and be reported, not to kill the tool halfway through a
    // file: the old file then stays as it was.
    std::signal(SIGXFSZ, SIG_IGN);

    TOptions o;
    if (const auto error = ParseOptions(QCoreApplication::arguments(), o))
        return UsageError(*error);
    if (o.Help)
        return PrintResult(HelpText().toUtf8());
    if (o.Version)
        return PrintResult((QuorbelConsts::ProductTitle() + u'\n').toUtf8());

    // Signals stop the checks; the results obtained so far are still written.
    TSignalWatcher signals;

    // Keywords, or with --names the names to check.
    QStringList words;
    const std::optional<QString>& source = o.NamesFile ? o.NamesFile : o.WordsFile;
    QStringList zones;
    QStringList whois;
    QStringList limits;
    QStringList zoneScripts;
    TNameVariants variants;
    TRdapBootstrap rdap;
    QHash<QString, TJudged> judged;
    const bool wordsFromInput = !source || *source == u"-";
    if (const auto clash = OutputClash(o.Output,
            { wordsFromInput ? QString() : *source, o.ZoneList, o.WhoisList, o.WhoisLimits, o.RdapBootstrap,
                o.ZoneScripts, o.Resume, o.Store.File, o.Prefixes, o.Suffixes },
            wordsFromInput))
        return UsageError(*clash);
    std::unique_ptr<TVerdictStore> store;
    try {
        if (wordsFromInput) {
            if (!source && ::isatty(STDIN_FILENO))
                return UsageError(QCoreApplication::translate("Cli", "не указан файл слов, а стандартный ввод — терминал"));
            words = ReadStandardInputWords();
        } else {
            words = ReadListFile(*source);
        }
        zones = o.Zones.isEmpty() ? LoadList(o.ZoneList, QString::fromUtf16(ZoneListFileName)) : o.Zones;
        if (o.Whois || o.Translit)
            zoneScripts = LoadList(o.ZoneScripts, QString::fromUtf16(ZoneScriptsFileName));
        variants.Hyphen = o.Hyphen;
        if (!o.Prefixes.isEmpty())
            variants.Prefixes = ReadListFile(o.Prefixes);
        if (!o.Suffixes.isEmpty())
            variants.Suffixes = ReadListFile(o.Suffixes);
        if (o.Translit) {
            variants.Translit = true;
            variants.Table = TTransliteration(LoadList(QString(), QString::fromUtf16(TranslitFileName)));
            variants.ZoneScripts = TZoneScripts(zoneScripts);
        }
        variants.MaxLength = o.MaxLength;
        if (o.Whois) {
            whois = LoadList(o.WhoisList, QString::fromUtf16(WhoisListFileName));
            limits = LoadList(o.WhoisLimits, QString::fromUtf16(ServerLimitsFileName));
            if (!o.NoRdap)
                rdap = o.RdapBootstrap.isEmpty() ? TRdapBootstrap::LoadDataFile() : TRdapBootstrap::Load(o.RdapBootstrap);
        }
        if (!o.Resume.isEmpty()) {
            TResumeVerdicts resumed = ReadResumeFile(o.Resume);
            for (const QString& warning : resumed.Warnings)
                Say(QStringLiteral("orvanta-cli: ") + warning);
            judged = std::move(resumed.Judged);
        }
        // Only a run that asks something reads or writes verdicts.
        if (!o.DryRun && (o.Whois || o.Metrics))
            store = OpenStore(o.Store, [](const QString& Text) { Say(QStringLiteral("orvanta-cli: ") + Text); });
    } catch (const EInterrupted&) {
        StoppedBeforeOutput();
    } catch (const EOrvantaError& e) {
        Say(QStringLiteral("orvanta-cli: ") + e.Message());
        return ExitInput;
    }
    const bool names = o.NamesFile.has_value();
    if (!names)
        words = CleanKeywords(words);
    if (names ? !HasGivenNames(words) : words.size() < 2)
        return UsageError(names ? QCoreApplication::translate("Cli", "Для продолжения, нужно ввести доменные имена для проверки")
                                : QCoreApplication::translate("Cli", "Для продолжения, нужно ввести слова для генерации"));

    const TCandidateCount count
        = names ? TCandidateCount(GivenNameCount(words, zones)) : CandidateCount(words, zones, o.Mode, variants);
    if (o.DryRun)
        return PrintResult((CandidateCountText(count) + u'\n').toUtf8());
    if (count > LargeRunThreshold && !o.Yes) {
        const bool interactive = ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
        if (!interactive)
            return UsageError(QCoreApplication::translate("Cli", "будет создано %1 доменных имен; чтобы продолжить, укажите --yes")
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
    if (!names && !o.Whois && !o.Metrics) {
        // Nothing to ask about the names: they go to the file as they are built, never all held at once.
        writeResults = [&](QIODevice& out) {
            if (o.Json) {
                TJsonLinesWriter writer(out);
                ForEachCandidate(
                    words, zones, o.Mode, [&writer](const TCandidate& d) { writer.Row(d); }, variants);
                writer.End();
                return;
            }
            TReportWriter writer(o.Format, out, stamp);
            writer.Begin();
            writer.CandidateRows(words, zones, o.Mode, variants);
            writer.End();
        };
    } else {
        TRunRequest request;
        request.NamesGiven = names;
        (names ? request.Names : request.Keywords) = words;
        request.Mode = o.Mode;
        if (!names)
            request.Variants = variants;
        request.Zones = zones;
        request.CheckAvailability = o.Whois;
        request.FetchMetrics = o.Metrics;
        request.Setup.Servers = TCheckSetup::ParseZoneServers(whois);
        request.Setup.WhoisPort = o.WhoisPort;
        request.Setup.Limits = TServerLimits(limits);
        request.Setup.Rdap = rdap;
        request.Setup.ZoneScripts = TZoneScripts(zoneScripts);
        request.Setup.DnsFirst = !o.NoDns;
        request.Setup.DnsServer = o.DnsServer;
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
                    d.SetOutcome(it->Status, it->Via, it->Server, { it->Reason, it->Reason });
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
        // The last second's verdicts go to the store before anything else can end the tool.
        if (store && !store->Flush())
            Say(QCoreApplication::translate("Cli", "orvanta-cli: не удалось записать результаты в базу %1: %2.")
                    .arg(store->Path(), store->LastError()));
        writeResults = [&](QIODevice& out) {
            if (o.Json)
                WriteJsonLines(session.Candidates(), out);
            else
                WriteReport(o.Format, TResultsView(&session.Candidates()), out, stamp);
        };
    }

    // Without checks the write is the run, and any signal stops it; after checks a run stopped by a signal
    // still writes what it has, and only a further signal gives that up.
    const TWriteOutcome written
        = WriteResults(o.Output, o.Whois || o.Metrics ? TInterruption::FromNow() : TInterruption(), writeResults);
    if (written.End == TWriteOutcome::TEnd::Failed) {
        Say(QStringLiteral("orvanta-cli: ") + written.Message);
        ExitAtOnce(ExitOutput);
    }
    if (written.End == TWriteOutcome::TEnd::Stopped) {
        Say(written.Message);
        ExitAtOnce(StopCode());
    }

    int code = summary.CheckFailures > 0 || summary.MetricsFailures > 0 ? ExitIncomplete : ExitDone;
    if (TSignalWatcher::LastSignal() != 0) {
        Say(QCoreApplication::translate("Cli", "Остановлено; записаны результаты, полученные до остановки."));
        code = StopCode();
    }
    // Standard error ends with the failures counted by reason.
    if (summary.CheckFailures > 0) {
        Say(QCoreApplication::translate("Cli", "Не удалось проверить на занятость доменных имен: %1.").arg(summary.CheckFailures));
        Say(TRunSession::FailureCounts(session.Candidates()));
    }
    if (summary.MetricsFailures > 0) {
        Say(QCoreApplication::translate("Cli", "Не удалось получить PR и ТИЦ для доменных имен: %1.").arg(summary.MetricsFailures));
        Say(TRunSession::FailureCounts(session.Candidates(), true));
    }
    // Everything is written and closed: millions of names need not be freed one by one on the way out.
    ExitAtOnce(code);
}

int main(int argc, char* argv[])
{
    GuardStandardStreams();
    try {
        return RunTool(argc, argv);
    } catch (const std::bad_alloc&) {
        // A literal: there may be no memory left to build a message in.
        // Nothing more may be allocated here, the translation's lookup included.
        std::fputs("orvanta-cli: Недостаточно памяти: работа прервана.\n", stderr);
        return ExitUsage;
    }
}
