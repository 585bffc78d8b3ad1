#include "core/candidates/Generation.h"
#include "core/common/Errors.h"
#include "core/reports/ReportFile.h"
#include "core/reports/ReportWriters.h"
#include "support/FailingDevice.h"
#include "support/FileSizeLimit.h"
#include "support/ReportSamples.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

Q_DECLARE_METATYPE(TReportKind)

namespace
{

QByteArray Written(TReportKind Kind, const TResultsView& Grid, const TReportStamp& Stamp = SampleStamp())
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteReport(Kind, Grid, buffer, Stamp);
    return buffer.data();
}

const QByteArray Bom = QByteArrayLiteral("\xEF\xBB\xBF");

const QList<QPair<const char*, TReportKind>> AllKinds { { "csv export", TReportKind::ExportCSV },
    { "text export", TReportKind::ExportText }, { "text report", TReportKind::ReportText },
    { "html report", TReportKind::ReportHTML }, { "csv report", TReportKind::ReportCSV } };

// The candidates of these lists through a writer of Kind: assembled by CandidateRows, or one Row each.
void WriteCandidates(TReportKind Kind, const QStringList& Words, const QStringList& Zones, int Mode, QIODevice& Out,
    bool OneByOne = false)
{
    TReportWriter writer(Kind, Out, SampleStamp());
    writer.Begin();
    if (OneByOne)
        ForEachCandidate(
            Words, Zones, Mode, [&writer](const TCandidate& d) { writer.Row(d.Name, d.Zone, d.Status, d.PR, d.TIC); });
    else
        writer.CandidateRows(Words, Zones, Mode);
    writer.End();
}

QByteArray WrittenCandidates(
    TReportKind Kind, const QStringList& Words, const QStringList& Zones, int Mode, bool OneByOne = false)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteCandidates(Kind, Words, Zones, Mode, buffer, OneByOne);
    return buffer.data();
}

// Keywords "w0", "w1", ...
QStringList NumberedWords(int Count)
{
    QStringList words;
    for (int i = 0; i < Count; ++i)
        words << u"w%1"_qs.arg(i);
    return words;
}

// Lines of a written file: the BOM checked and cut, every line checked to end in CR LF.
QStringList Lines(const QByteArray& Bytes)
{
    if (!Bytes.startsWith(Bom))
        return { u"<no byte-order mark>"_qs };
    QString text = QString::fromUtf8(Bytes.mid(Bom.size()));
    if (text.isEmpty())
        return {};
    if (!text.endsWith(u"\r\n"))
        return { u"<last line without CR LF>"_qs };
    text.chop(2);
    return text.split(u"\r\n"_qs);
}

// The message of the EOrvantaError that Action raises, or empty when it raises none.
template <typename F> QString ErrorOf(F Action)
{
    try {
        Action();
    } catch (const EOrvantaError& e) {
        return e.Message();
    }
    return {};
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void goldenFiles_data();
    void goldenFiles();
    void lineCounts_data();
    void lineCounts();
    void dateAndTimeLines_data();
    void dateAndTimeLines();
    void csvCells_data();
    void csvCells();
    void candidateRows_data();
    void candidateRows();
    void shortWrites_data();
    void shortWrites();
    void replacesWholeFile();
    void cannotCreate_data();
    void cannotCreate();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
};

void TestReports::initTestCase()
{
    qputenv("ORVANTA_SITE_URL", "http://www.orvanta.example");
}

void TestReports::goldenFiles_data()
{
    QTest::addColumn<TReportKind>("kind");
    QTest::addColumn<bool>("sample");
    QTest::addColumn<QString>("golden");
    QTest::newRow("csv export") << TReportKind::ExportCSV << true << u"export.csv"_qs;
    QTest::newRow("text export") << TReportKind::ExportText << true << u"export.txt"_qs;
    QTest::newRow("text report") << TReportKind::ReportText << true << u"report.txt"_qs;
    QTest::newRow("html report") << TReportKind::ReportHTML << true << u"report.htm"_qs;
    QTest::newRow("csv report") << TReportKind::ReportCSV << true << u"report.csv"_qs;
    QTest::newRow("csv export, no rows") << TReportKind::ExportCSV << false << u"empty-export.csv"_qs;
    QTest::newRow("text export, no rows") << TReportKind::ExportText << false << u"empty-export.txt"_qs;
    QTest::newRow("text report, no rows") << TReportKind::ReportText << false << u"empty-report.txt"_qs;
    QTest::newRow("html report, no rows") << TReportKind::ReportHTML << false << u"empty-report.htm"_qs;
    QTest::newRow("csv report, no rows") << TReportKind::ReportCSV << false << u"empty-report.csv"_qs;
}

void TestReports::goldenFiles()
{
    QFETCH(TReportKind, kind);
    QFETCH(bool, sample);
    QFETCH(QString, golden);
    TSampleGrid grid;
    FillSampleGrid(grid);
    if (!sample)
        grid.SetRows({}); // what clearing the results leaves: no rows
    const QByteArray expected = GoldenReport(golden);
    const QByteArray actual = Written(kind, grid);
    QCOMPARE(Lines(actual), Lines(expected)); // names the first differing line
    QCOMPARE(actual, expected);
}

void TestReports::lineCounts_data()
{
    QTest::addColumn<TReportKind>("kind");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("lines");
    for (int n : { 0, 3, 10 }) {
        QTest::addRow("csv export, %d rows", n) << TReportKind::ExportCSV << n << n;
        QTest::addRow("text export, %d rows", n) << TReportKind::ExportText << n << n;
        QTest::addRow("text report, %d rows", n) << TReportKind::ReportText << n << 4 + 4 * n + 1;
        QTest::addRow("html report, %d rows", n) << TReportKind::ReportHTML << n << 16 + 6 * n + 3;
        QTest::addRow("csv report, %d rows", n) << TReportKind::ReportCSV << n << 1 + n + 3;
    }
}

void TestReports::lineCounts()
{
    QFETCH(TReportKind, kind);
    QFETCH(int, rows);
    QFETCH(int, lines);
    TSampleGrid grid;
    FillPlainGrid(grid, rows);
    const QStringList written = Lines(Written(kind, grid));
    QCOMPARE(written.size(), lines);
    for (const QString& line : written)
        QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
    if (rows > 0 && kind == TReportKind::ExportText)
        QCOMPARE(written.last(), u"name%1.ru"_qs.arg(rows - 1));
}

void TestReports::dateAndTimeLines_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    const QDate day(2024, 3, 5);
    const QDateTime morning(day, QTime(9, 7, 2));
    const QDateTime evening(day, QTime(21, 7, 2));
    const QDateTime afterMidnight(day, QTime(0, 0, 5));
    QTest::newRow("ru morning") << u"ru_RU"_qs << morning << u"05.03.2024"_qs << u"09:07:02"_qs;
    QTest::newRow("ru evening") << u"ru_RU"_qs << evening << u"05.03.2024"_qs << u"21:07:02"_qs;
    QTest::newRow("ru after midnight") << u"ru_RU"_qs << afterMidnight << u"05.03.2024"_qs << u"00:00:05"_qs;
    QTest::newRow("us morning") << u"en_US"_qs << morning << u"3/5/24"_qs << u"9:07:02 AM"_qs;
    QTest::newRow("us evening") << u"en_US"_qs << evening << u"3/5/24"_qs << u"9:07:02 PM"_qs;
    QTest::newRow("us after midnight") << u"en_US"_qs << afterMidnight << u"3/5/24"_qs << u"12:00:05 AM"_qs;
    // Marker before the time, and an hour without a leading zero on a 24-hour clock.
    QTest::newRow("ko morning") << u"ko_KR"_qs << morning << u"24. 3. 5."_qs << u"오전 9:07:02"_qs;
    QTest::newRow("ja evening") << u"ja_JP"_qs << evening << u"2024/03/05"_qs << u"21:07:02"_qs;
    QTest::newRow("ja morning") << u"ja_JP"_qs << morning << u"2024/03/05"_qs << u"9:07:02"_qs;
}

void TestReports::dateAndTimeLines()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, moment);
    QFETCH(QString, date);
    QFETCH(QString, time);
    const TReportStamp stamp { QLocale(locale), moment };
    QCOMPARE(ReportDateLine(stamp), u"Дата формирования отчета: "_qs + date);
    QCOMPARE(ReportTimeLine(stamp), u"Время формирования отчета: "_qs + time);
}

void TestReports::csvCells_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << u"a.ru"_qs << u"a.ru"_qs;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("separator") << u"a;b.ru"_qs << u"\"a;b.ru\""_qs;
    QTest::newRow("quote doubled") << u"a\"b.ru"_qs << u"\"a\"\"b.ru\""_qs;
    QTest::newRow("only a quote") << u"\""_qs << u"\"\"\"\""_qs;
    QTest::newRow("line feed") << u"a\nb"_qs << u"\"a\nb\""_qs;
    QTest::newRow("carriage return") << u"a\rb"_qs << u"\"a\rb\""_qs;
    QTest::newRow("comma stays bare") << u"a,b"_qs << u"a,b"_qs;
}

// Every cell of both CSV files, not only the name, goes through the same quoting.
void TestReports::csvCells()
{
    QFETCH(QString, cell);
    QFETCH(QString, written);
    TSampleGrid grid;
    grid.SetRows({ { cell, cell, cell, u"7"_qs, TStatus::Free } });
    const QString exported = QString::fromUtf8(Written(TReportKind::ExportCSV, grid).mid(Bom.size()));
    QCOMPARE(exported, written + u';' + written + u";0;" + written + u";7;\r\n");
    const QString report = QString::fromUtf8(Written(TReportKind::ReportCSV, grid).mid(Bom.size()));
    const QString row = written + u";свободен;" + written + u";7;\r\n";
    QVERIFY2(report.startsWith(u"Домен;Статус;PR;ТИЦ\r\n" + row), qPrintable(report));
}

void TestReports::candidateRows_data()
{
    QTest::addColumn<TReportKind>("kind");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("zones");
    QTest::addColumn<int>("mode");
    const QStringList rcs { u"red"_qs, u"cat"_qs, u"sun"_qs };
    const QStringList zones { u"ru"_qs, u"com"_qs };
    // A keyword ending in the first half of a surrogate pair before one starting with the second: joined, the
    // two make one character, apart neither is one.
    const QString high = QString(QChar(0xD83D));
    const QString low = QString(QChar(0xDE00));
    const struct {
        const char* Name;
        QStringList Words;
        QStringList Zones;
        int Mode;
    } cases[] = {
        { "two words", rcs, zones, 0 },
        { "three words", rcs, zones, 1 },
        { "four words", rcs + QStringList { u"sky"_qs, u"owl"_qs }, { u"ru"_qs }, 2 },
        { "repeated keywords skipped", { u"red"_qs, u"cat"_qs, u"red"_qs, u"sun"_qs, u"cat"_qs }, zones, 1 },
        { "cyrillic and astral keywords and zones", { u"кот"_qs, u"пёс"_qs, u"\U0001F600"_qs, u"ёж"_qs },
            { u"рф"_qs, u"испытание"_qs, u"com"_qs }, 0 },
        { "csv and html characters", { u"a;b"_qs, u"q\"t"_qs, u"<b>"_qs, u"x&y"_qs, u"plain"_qs },
            { u"ru"_qs, u"z;z"_qs, u"\"q\""_qs, u"<i>"_qs }, 0 },
        { "line breaks inside", { u"a\nb"_qs, u"c\rd"_qs, u"e"_qs }, { u"ru"_qs, u"x\ny"_qs }, 0 },
        { "private-use characters", { u"\uE000"_qs, u"a\uE000"_qs, u"b"_qs }, { u"\uE000"_qs, u"ru"_qs }, 0 },
        { "blank keyword and zone", { QString(), u"a"_qs, u"b"_qs }, { QString(), u"ru"_qs }, 0 },
        { "surrogate halves in neighbouring keywords", { u"a"_qs + high, low + u"b"_qs, u"c"_qs }, zones, 0 },
        { "surrogate halves around the dot", { u"a"_qs + high, u"b"_qs }, { low + u"z"_qs }, 0 },
        { "many blocks", NumberedWords(300), { u"ru"_qs, u"рф"_qs, u"com"_qs }, 0 },
        { "no rows: one keyword", { u"red"_qs }, zones, 0 },
        { "no rows: repeats only", { u"red"_qs, u"red"_qs }, zones, 0 },
        { "no rows: four words from three", rcs, zones, 2 },
        { "no rows: no zones", rcs, {}, 0 },
    };
    for (const auto& c : cases)
        for (const auto& k : AllKinds)
            QTest::addRow("%s, %s", c.Name, k.first) << k.second << c.Words << c.Zones << c.Mode;
}

// Rows assembled from encoded pieces are byte for byte the rows the writer makes one at a time.
void TestReports::candidateRows()
{
    QFETCH(TReportKind, kind);
    QFETCH(QStringList, words);
    QFETCH(QStringList, zones);
    QFETCH(int, mode);
    const QByteArray expected = WrittenCandidates(kind, words, zones, mode, true);
    const QByteArray actual = WrittenCandidates(kind, words, zones, mode);
    // Both empty would prove nothing where there are names to write.
    const bool hasRows = CandidateCount(words, zones.size(), mode) > 0;
    QCOMPARE(expected != WrittenCandidates(kind, {}, zones, mode, true), hasRows);
    if (actual != expected)
        QCOMPARE(Lines(actual), Lines(expected)); // names the first differing line
    QCOMPARE(actual, expected);
}

void TestReports::shortWrites_data()
{
    QTest::addColumn<TReportKind>("kind");
    QTest::addColumn<bool>("streamed");
    QTest::addColumn<double>("share"); // of the whole output the device takes, less `refused` bytes
    QTest::addColumn<int>("refused");
    for (const auto& k : AllKinds) {
        for (const bool streamed : { false, true }) {
            const char* from = streamed ? "candidate rows" : "grid";
            QTest::addRow("%s from %s, nothing taken", k.first, from) << k.second << streamed << 0.0 << 0;
            QTest::addRow("%s from %s, half taken", k.first, from) << k.second << streamed << 0.5 << 0;
            QTest::addRow("%s from %s, last byte refused", k.first, from) << k.second << streamed << 1.0 << 1;
        }
    }
}

void TestReports::shortWrites()
{
    QFETCH(TReportKind, kind);
    QFETCH(bool, streamed);
    QFETCH(double, share);
    QFETCH(int, refused);
    // Large enough to be written in several chunks, and the candidate rows in several blocks.
    TSampleGrid grid;
    FillPlainGrid(grid, 5000);
    const QStringList words = NumberedWords(300);
    const QStringList zones { u"ru"_qs, u"com"_qs };
    const auto write = [&](QIODevice& Out) {
        if (streamed)
            WriteCandidates(kind, words, zones, 0, Out);
        else
            WriteReport(kind, grid, Out, SampleStamp());
    };
    QBuffer whole;
    whole.open(QIODevice::WriteOnly);
    write(whole);
    TFailingDevice device(qint64(double(whole.size()) * share) - refused);
    QCOMPARE(ErrorOf([&] { write(device); }), u"Не удалось записать данные."_qs);
}

void TestReports::replacesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"results.txt"_qs);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(10000, 'x'));
    old.close();

    TSampleGrid grid;
    FillSampleGrid(grid);
    SaveReportFile(TReportKind::ExportText, grid, path, SampleStamp());
    QCOMPARE(ReadAll(path), GoldenReport(u"export.txt"_qs));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"results.txt"_qs });
}

void TestReports::cannotCreate_data()
{
    QTest::addColumn<QString>("relative"); // below the temporary folder, which holds a file "plain"
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << u"no-such-folder/out.csv"_qs << u"Нет такого файла или папки"_qs;
    // Root may write into any folder; nobody can create a file below a regular file.
    QTest::newRow("folder is a file") << u"plain/out.csv"_qs << u"Часть пути не является папкой"_qs;
    QTest::newRow("name of a folder") << u"folder"_qs << u"Это папка, а не файл"_qs;
}

void TestReports::cannotCreate()
{
    QFETCH(QString, relative);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_qs));
    QFile plain(dir.filePath(u"plain"_qs));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("keep");
    plain.close();

    TSampleGrid grid;
    FillSampleGrid(grid);
    const QString path = dir.filePath(relative);
    const QString message = ErrorOf([&] { SaveReportFile(TReportKind::ReportCSV, grid, path, SampleStamp()); });
    QCOMPARE(message, u"Не удалось создать файл \""_qs + path + u"\". "_qs + reason);
    QCOMPARE(ReadAll(plain.fileName()), QByteArray("keep"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList { u"folder"_qs, u"plain"_qs }));
    QVERIFY(QDir(dir.filePath(u"folder"_qs)).isEmpty());
}

enum class TFailure { DiskFull, DiskFullInLastWrite, WriterError };
Q_DECLARE_METATYPE(TFailure)

void TestReports::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<TFailure>("failure");
    QTest::addColumn<bool>("oldFile");
    for (bool old : { true, false }) {
        const char* where = old ? "over an old file" : "new file";
        QTest::addRow("disk full, %s", where) << TFailure::DiskFull << old;
        // A small file goes out in one write at the very end, the moment a buffered file would only
        // fail when being put in place.
        QTest::addRow("disk full in the last write, %s", where) << TFailure::DiskFullInLastWrite << old;
        QTest::addRow("writer error, %s", where) << TFailure::WriterError << old;
    }
}

void TestReports::failedWriteKeepsOldFile()
{
    QFETCH(TFailure, failure);
    QFETCH(bool, oldFile);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"report.csv"_qs);
    const QByteArray oldBytes = QByteArrayLiteral("\xEF\xBB\xBFold;report;\r\n");
    if (oldFile) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(oldBytes);
    }

    TSampleGrid grid;
    if (failure == TFailure::DiskFull) {
        FillPlainGrid(grid, 20000);
        TFileSizeLimit limit(64 * 1024);
        QVERIFY(limit.Active());
        QCOMPARE(ErrorOf([&] { SaveReportFile(TReportKind::ReportCSV, grid, path, SampleStamp()); }),
            u"Не удалось записать данные. Превышен допустимый размер файла."_qs);
    } else if (failure == TFailure::DiskFullInLastWrite) {
        FillSampleGrid(grid);
        TFileSizeLimit limit(40);
        QVERIFY(limit.Active());
        QCOMPARE(ErrorOf([&] { SaveReportFile(TReportKind::ExportText, grid, path, SampleStamp()); }),
            u"Не удалось записать данные. Превышен допустимый размер файла."_qs);
    } else {
        const auto writer = [](QIODevice& Out) {
            Out.write(QByteArray(100000, 'n'));
            throw EOrvantaError(u"Недостаточно памяти"_qs);
        };
        QCOMPARE(ErrorOf([&] { WriteFileAtomically(path, writer); }), u"Недостаточно памяти"_qs);
    }

    QCOMPARE(QFile::exists(path), oldFile);
    if (oldFile)
        QCOMPARE(ReadAll(path), oldBytes);
    // The half-written temporary file is gone too.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), oldFile ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
