#include "core/settings/ListFiles.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The build installed into a temporary prefix, checked the way a packager and a user meet it.
namespace {

struct TRun {
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

TRun Run(const QString& Program, const QStringList& Args,
    const QProcessEnvironment& Env = QProcessEnvironment::systemEnvironment(), const QByteArray& Input = {})
{
    QProcess process;
    process.setProcessEnvironment(Env);
    process.start(Program, Args);
    TRun run;
    if (!process.waitForStarted()) {
        run.Err = process.errorString().toUtf8();
        return run;
    }
    process.write(Input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

QString SourceFile(const QString& Relative)
{
    return qEnvironmentVariable("ORVANTA_SOURCE_DIR") + u'/' + Relative;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void shippedFilesInstalled();
    void translationsInstalled_data();
    void translationsInstalled();
    void cliFindsShippedLists_data();
    void cliFindsShippedLists();
    void iconSizesMatchFolders();
    void validators_data();
    void validators();
    void everyOptionDocumented();
    void completion_data();
    void completion();

private:
    QString Installed(const QString& Relative) const { return FPrefix.path() + u'/' + Relative; }
    QTemporaryDir FPrefix;
};

void TestInstall::initTestCase()
{
    QVERIFY(FPrefix.isValid());
    const TRun run = Run(qEnvironmentVariable("ORVANTA_CMAKE"),
        { u"--install"_qs, qEnvironmentVariable("ORVANTA_BUILD_DIR"), u"--prefix"_qs, FPrefix.path() });
    QVERIFY2(run.ExitCode == 0, run.Err.constData());
}

// Whatever data/ holds lands in share/orvanta/ unchanged, sub-folders included.
void TestInstall::shippedFilesInstalled()
{
    const QDir data(SourceFile(u"data"_qs));
    QDirIterator it(data.path(), QDir::Files, QDirIterator::Subdirectories);
    int seen = 0;
    while (it.hasNext()) {
        const QString relative = data.relativeFilePath(it.next());
        QCOMPARE(ReadAll(Installed(u"share/orvanta/"_qs + relative)), ReadAll(it.filePath()));
        ++seen;
    }
    QVERIFY(seen > 0);
    QVERIFY(QFileInfo(Installed(u"share/orvanta/Resourse/Help/grid.png"_qs)).isFile());
}

void TestInstall::translationsInstalled_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QByteArray>("usage");
    QTest::newRow("English") << u"en_US.UTF-8"_qs << QByteArray("Usage: orvanta-cli");
    QTest::newRow("Russian") << u"ru_RU.UTF-8"_qs << QByteArray("Использование: orvanta-cli");
    // A language the program does not speak falls back to Russian.
    QTest::newRow("German") << u"de_DE.UTF-8"_qs << QByteArray("Использование: orvanta-cli");
}

// The package carries the English translation where the installed tool finds it, and the tool speaks the
// language of the user's locale.
void TestInstall::translationsInstalled()
{
    QFETCH(QString, language);
    QFETCH(QByteArray, usage);
    const QString qm = u"share/orvanta/translations/orvanta_en.qm"_qs;
    QCOMPARE(ReadAll(Installed(qm)), ReadAll(qEnvironmentVariable("ORVANTA_BUILD_DIR") + u"/translations/orvanta_en.qm"_qs));
    QVERIFY(!ReadAll(Installed(qm)).isEmpty());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"LANGUAGE"_qs);
    env.remove(u"LC_MESSAGES"_qs);
    env.insert(u"LC_ALL"_qs, language);
    const TRun run = Run(Installed(u"bin/orvanta-cli"_qs), { u"--help"_qs }, env);
    QCOMPARE(run.ExitCode, 0);
    QVERIFY2(run.Out.startsWith(usage), run.Out.left(200).constData());
}

void TestInstall::cliFindsShippedLists_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("seeded");
    QTest::newRow("zones") << QStringList { u"--dry-run"_qs } << u"first.dat"_qs;
    QTest::newRow("whois servers") << QStringList { u"--dry-run"_qs, u"--whois"_qs } << u"whois.dat"_qs;
    QTest::newRow("RDAP servers") << QStringList { u"--dry-run"_qs, u"--whois"_qs } << u"rdap.json"_qs;
    QTest::newRow("zone rules") << QStringList { u"--dry-run"_qs, u"--whois"_qs } << u"zone-scripts.dat"_qs;
    QTest::newRow("Latin spelling") << QStringList { u"--dry-run"_qs, u"--translit"_qs } << u"translit.dat"_qs;
    QTest::newRow("zone rules of the Latin spelling")
        << QStringList { u"--dry-run"_qs, u"--translit"_qs } << u"zone-scripts.dat"_qs;
}

// A user who never ran the program: nothing beside the installed tool, nothing in the home folder.
void TestInstall::cliFindsShippedLists()
{
    QFETCH(QStringList, args);
    QFETCH(QString, seeded);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_qs, home.path());
    env.remove(u"XDG_DATA_HOME"_qs);
    env.remove(u"XDG_CONFIG_HOME"_qs);

    const TRun run = Run(Installed(u"bin/orvanta-cli"_qs), args, env, "red\ncat\n");
    QVERIFY2(run.ExitCode == 0, run.Err.constData());
    const qsizetype zones = ReadListFile(SourceFile(u"data/first.dat"_qs)).size();
    QVERIFY(zones > 0);
    QCOMPARE(run.Out.trimmed(), QByteArray::number(2 * zones));
    const QString dataFolder = home.path() + u"/.local/share/Quorbel Software/Orvanta/"_qs;
    QCOMPARE(ReadAll(dataFolder + seeded), ReadAll(SourceFile(u"data/"_qs + seeded)));
}

void TestInstall::iconSizesMatchFolders()
{
    const QDir hicolor(Installed(u"share/icons/hicolor"_qs));
    const QStringList sizes = hicolor.entryList({ u"*x*"_qs }, QDir::Dirs);
    QVERIFY(sizes.contains(u"16x16"_qs) && sizes.contains(u"256x256"_qs));
    for (const QString& size : sizes) {
        const QImage icon(hicolor.filePath(size + u"/apps/orvanta.png"_qs));
        QVERIFY2(!icon.isNull(), qPrintable(size));
        QCOMPARE(u"%1x%2"_qs.arg(icon.width()).arg(icon.height()), size);
    }
    QVERIFY(ReadAll(hicolor.filePath(u"scalable/apps/orvanta.svg"_qs)).contains("<svg"));
}

void TestInstall::validators_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("file");
    const QStringList man { u"--warnings"_qs, u"-E"_qs, u"UTF-8"_qs, u"-Tutf8"_qs, u"-Z"_qs, u"-l"_qs };
    QTest::newRow("desktop entry") << u"desktop-file-validate"_qs << QStringList()
                                   << u"share/applications/orvanta.desktop"_qs;
    // --no-net: the validator would otherwise try to reach the screenshot and home page addresses.
    QTest::newRow("metainfo") << u"appstreamcli"_qs << QStringList { u"validate"_qs, u"--no-net"_qs }
                              << u"share/metainfo/example.orvanta.Orvanta.metainfo.xml"_qs;
    QTest::newRow("orvanta-cli manual") << u"man"_qs << man << u"share/man/man1/orvanta-cli.1.gz"_qs;
    QTest::newRow("orvanta manual") << u"man"_qs << man << u"share/man/man1/orvanta.1.gz"_qs;
}

// Each validator ends with 0 on success; the manual pages must also render without a single warning.
void TestInstall::validators()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs);
    env.insert(u"MANROFFSEQ"_qs, QString());
    env.insert(u"MANWIDTH"_qs, u"80"_qs);
    const TRun run = Run(program, args << Installed(file), env);
    const QByteArray said = run.Out + run.Err;
    QVERIFY2(run.ExitCode == 0, said.constData());
    if (program == u"man")
        QVERIFY2(run.Err.isEmpty(), run.Err.constData());
    else
        QVERIFY2(!said.contains("error"), said.constData());
}

// The options of a text: every "-x" and "--name" not inside a word, in order, each once.
static QStringList OptionsIn(const QString& Text)
{
    QStringList options;
    static const QRegularExpression option(u"(?<![\\w-])(--?[a-z][a-z-]*)"_qs);
    for (auto it = option.globalMatch(Text); it.hasNext();)
        options << it.next().captured(1);
    options.removeDuplicates();
    return options;
}

// The manual page, its completion and --help name the same options: those of --help's option lines. The
// manual page has one entry each, in the order of --help.
void TestInstall::everyOptionDocumented()
{
    const TRun help = Run(Installed(u"bin/orvanta-cli"_qs), { u"--help"_qs });
    QCOMPARE(help.ExitCode, 0);
    QString lines;
    static const QRegularExpression optionLine(u"^  (?:-[a-z], |    )--[a-z][a-z-]*"_qs);
    for (const QString& line : QString::fromUtf8(help.Out).split(u'\n'))
        if (const QRegularExpressionMatch m = optionLine.match(line); m.hasMatch())
            lines += m.captured() + u'\n';
    const QStringList options = OptionsIn(lines);
    QVERIFY(options.contains(u"--zone-list"_qs) && options.contains(u"-n"_qs) && options.contains(u"--names"_qs));
    // Nothing the help text says elsewhere is an option it lacks.
    for (const QString& named : OptionsIn(QString::fromUtf8(help.Out)))
        QVERIFY2(options.contains(named), qPrintable(u"help mentions an unknown option "_qs + named));

    QString manual = QString::fromUtf8(ReadAll(SourceFile(u"packaging/orvanta-cli.1"_qs)));
    manual.remove(u"\\"_qs);
    const QString section = manual.section(u"\n.SH OPTIONS\n"_qs, 1).section(u"\n.SH "_qs, 0, 0);
    QString entries;
    const QStringList manualLines = section.split(u'\n');
    for (qsizetype i = 0; i + 1 < manualLines.size(); ++i)
        if (manualLines.at(i) == u".TP")
            entries += manualLines.at(i + 1) + u'\n';
    QCOMPARE(OptionsIn(entries), options);

    const QString completion = QString::fromUtf8(ReadAll(SourceFile(u"packaging/orvanta-cli.bash-completion"_qs)));
    static const QRegularExpression offered(u"compgen -W '(-[^']*)'"_qs);
    const QRegularExpressionMatch list = offered.match(completion);
    QVERIFY(list.hasMatch());
    QStringList completed = list.captured(1).split(QRegularExpression(u"\\s+"_qs), Qt::SkipEmptyParts);
    QStringList sortedOptions = options;
    completed.sort();
    sortedOptions.sort();
    QCOMPARE(completed, sortedOptions);
    // The options whose values it completes are options too.
    static const QRegularExpression label(u"^\\s+(-[-a-z |]*)\\)$"_qs, QRegularExpression::MultilineOption);
    for (auto it = label.globalMatch(completion); it.hasNext();)
        for (const QString& name : it.next().captured(1).split(u" | "_qs))
            QVERIFY2(options.contains(name), qPrintable(u"completion offers values of an unknown option "_qs + name));
}

void TestInstall::completion_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("expected");
    QTest::newRow("long option") << QStringList { u"--fo"_qs } << u"--format"_qs;
    QTest::newRow("options sharing a start") << QStringList { u"--whois"_qs }
                                             << u"--whois --whois-limits --whois-list --whois-port"_qs;
    QTest::newRow("word count") << QStringList { u"-n"_qs, QString() } << u"2 3 4"_qs;
    QTest::newRow("format after short option") << QStringList { u"-f"_qs, u"rep"_qs }
                                                << u"report-csv report-html report-text"_qs;
    QTest::newRow("value of an earlier option skipped") << QStringList { u"-f"_qs, u"report-csv"_qs, u"--dr"_qs }
                                                        << u"--dry-run"_qs;
    QTest::newRow("zone is free text") << QStringList { u"--zone"_qs, u"r"_qs } << QString();
    QTest::newRow("DNS server is free text") << QStringList { u"--dns-server"_qs, u"1"_qs } << QString();
}

// The installed completion, run by bash as it runs it at a prompt, in a folder without files.
void TestInstall::completion()
{
    QFETCH(QStringList, words);
    QFETCH(QString, expected);
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    const QString script = u"source \"$1\"; compopt() { :; }; shift; COMP_WORDS=(orvanta-cli \"$@\");"
                           " COMP_CWORD=$#; _orvanta_cli; printf '%s\\n' \"${COMPREPLY[@]}\" | sort"_qs;
    QProcess process;
    process.setWorkingDirectory(empty.path());
    process.start(u"bash"_qs,
        QStringList { u"-c"_qs, script, u"bash"_qs, Installed(u"share/bash-completion/completions/orvanta-cli"_qs) }
            + words);
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).join(u' '), expected);
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
