#include "core/checks/RunSession.h"
#include "core/common/Errors.h"
#include "gui/ReportCommands.h"
#include "gui/ResultsModel.h"
#include "support/ReportSamples.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cerrno>

Q_DECLARE_METATYPE(TReportKind)

class TestReportCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void savesThroughDialog_data();
    void savesThroughDialog();
    void cancelWritesNothing_data();
    void cancelWritesNothing();
    void errorReachesCaller();

private:
    QWidget FWindow;
};

void TestReportCommands::initTestCase()
{
    qputenv("ORVANTA_SITE_URL", "http://www.orvanta.example");
}

void TestReportCommands::savesThroughDialog_data()
{
    QTest::addColumn<TReportKind>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("golden");
    QTest::newRow("csv export") << TReportKind::ExportCSV << u"results"_qs << u"results.csv"_qs
                                << u"Файлы CSV (*.csv)"_qs << u"csv"_qs << u"export.csv"_qs;
    QTest::newRow("text export") << TReportKind::ExportText << u"results"_qs << u"results.txt"_qs
                                 << u"Текстовые документы (*.txt)"_qs << u"txt"_qs << u"export.txt"_qs;
    QTest::newRow("text report") << TReportKind::ReportText << u"results"_qs << u"results.txt"_qs
                                 << u"Текстовые документы (*.txt)"_qs << u"txt"_qs << u"report.txt"_qs;
    QTest::newRow("html report") << TReportKind::ReportHTML << u"results"_qs << u"results.htm"_qs
                                 << u"Интернет страницы (*.htm)"_qs << u"htm"_qs << u"report.htm"_qs;
    QTest::newRow("csv report") << TReportKind::ReportCSV << u"results"_qs << u"results.csv"_qs
                                << u"CSV таблица (*.csv)"_qs << u"csv"_qs << u"report.csv"_qs;
    QTest::newRow("typed extension kept") << TReportKind::ExportCSV << u"results.dat"_qs << u"results.dat"_qs
                                          << u"Файлы CSV (*.csv)"_qs << u"csv"_qs << u"export.csv"_qs;
    QTest::newRow("typed with the default") << TReportKind::ReportHTML << u"page.htm"_qs << u"page.htm"_qs
                                            << u"Интернет страницы (*.htm)"_qs << u"htm"_qs << u"report.htm"_qs;
}

void TestReportCommands::savesThroughDialog()
{
    QFETCH(TReportKind, kind);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QFETCH(QString, filter);
    QFETCH(QString, suffix);
    QFETCH(QString, golden);
    QTemporaryDir dir;
    TRunSession session;
    session.Restore(SampleRows());
    const TResultsModel grid(session);
    TScriptedDialogs dialogs;
    dialogs.FFileNames << dir.filePath(typed);

    QVERIFY(SaveReport(kind, grid, &FWindow, SampleStamp()));
    QCOMPARE(dialogs.FFileRequests.size(), 1);
    QCOMPARE(dialogs.FFileRequests.at(0).Filter, filter);
    QCOMPARE(dialogs.FFileRequests.at(0).DefaultSuffix, suffix);
    QVERIFY(dialogs.FShown.isEmpty()); // no message confirms the save
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { saved });
    QFile file(dir.filePath(saved));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), GoldenReport(golden));
}

void TestReportCommands::cancelWritesNothing_data()
{
    QTest::addColumn<TReportKind>("kind");
    QTest::newRow("csv export") << TReportKind::ExportCSV;
    QTest::newRow("text export") << TReportKind::ExportText;
    QTest::newRow("text report") << TReportKind::ReportText;
    QTest::newRow("html report") << TReportKind::ReportHTML;
    QTest::newRow("csv report") << TReportKind::ReportCSV;
}

void TestReportCommands::cancelWritesNothing()
{
    QFETCH(TReportKind, kind);
    TRunSession session;
    session.Restore(SampleRows());
    const TResultsModel grid(session);
    TScriptedDialogs dialogs; // no file name queued: the user cancels

    QVERIFY(!SaveReport(kind, grid, &FWindow, SampleStamp()));
    QCOMPARE(dialogs.FFileRequests.size(), 1);
    QVERIFY(dialogs.FShown.isEmpty());
}

// The command shows nothing itself: the error travels to the main window's general error report.
void TestReportCommands::errorReachesCaller()
{
    QTemporaryDir dir;
    TRunSession session;
    session.Restore(SampleRows());
    const TResultsModel grid(session);
    TScriptedDialogs dialogs;
    const QString path = dir.filePath(u"gone/results"_qs);
    dialogs.FFileNames << path;

    QString message;
    try {
        SaveReport(TReportKind::ReportText, grid, &FWindow, SampleStamp());
    } catch (const EOrvantaError& e) {
        message = e.Message();
    }
    QCOMPARE(message, u"Не удалось создать файл \""_qs + path + u".txt\". Нет такого файла или папки"_qs);
    QVERIFY(dialogs.FShown.isEmpty());
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_MAIN(TestReportCommands)
#include "tst_reportcommands.moc"
