#include "core/candidates/Candidate.h"
#include "core/checks/RdapClient.h"
#include "core/common/QuorbelConsts.h"
#include "gui/DlgSetting.h"
#include "gui/MainForm.h"
#include "gui/ResultsModel.h"
#include "support/MainWindowControls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

// The window and a dialog in English under an English translation, and unchanged in Russian without one.
class TestLanguageWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void windowTexts_data();
    void windowTexts();

private:
    QTranslator FEnglish;
};

void TestLanguageWindow::initTestCase()
{
    QVERIFY(FEnglish.load(qEnvironmentVariable("ORVANTA_BUILD_DIR") + u"/translations/orvanta_en.qm"_qs));
}

void TestLanguageWindow::cleanup()
{
    QCoreApplication::removeTranslator(&FEnglish);
}

void TestLanguageWindow::windowTexts_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("menus");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("settingsTitle");
    QTest::addColumn<QString>("languageTip");
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QString>("reasonTip");
    QTest::newRow("English")
        << true << QStringList { u"&File"_qs, u"&Settings"_qs, u"&Report"_qs, u"Hi&story"_qs, u"&Help"_qs }
        << u"Start &generation"_qs << u"Settings"_qs
        << u"The language of menus, windows and messages; takes effect at the next start of the program"_qs
        << QStringList { u"As in the system"_qs, u"Русский"_qs, u"English"_qs }
        << u"the RDAP server answered with status 503 (RDAP, rdap.example)"_qs;
    QTest::newRow("Russian") << false
                             << QStringList { u"&Файл"_qs, u"&Настройки"_qs, u"&Отчет"_qs, u"&История"_qs,
                                    u"&Справка"_qs }
                             << u"Начать &генерацию"_qs << u"Основные настройки"_qs
                             << u"Язык меню, окон и сообщений; действует со следующего запуска программы"_qs
                             << QStringList { u"Как в системе"_qs, u"Русский"_qs, u"English"_qs }
                             << u"RDAP-сервер ответил кодом 503 (RDAP, rdap.example)"_qs;
}

void TestLanguageWindow::windowTexts()
{
    QFETCH(bool, english);
    QFETCH(QStringList, menus);
    QFETCH(QString, start);
    QFETCH(QString, settingsTitle);
    QFETCH(QString, languageTip);
    QFETCH(QStringList, languages);
    QFETCH(QString, reasonTip);
    if (english)
        QVERIFY(QCoreApplication::installTranslator(&FEnglish));
    TMainWindowFixture fixture;
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    // The title is the product's name in every language.
    QCOMPARE(form.windowTitle(), QuorbelConsts::ProductTitle());
    QStringList shown;
    for (const QAction* menu : form.menuBar()->actions())
        shown << menu->text();
    QCOMPARE(shown, menus);
    QCOMPARE(ui.Start->text(), start);

    TFormSettings dialog(&form);
    QCOMPARE(dialog.windowTitle(), settingsTitle);
    auto* language = dialog.findChild<QComboBox*>(u"ComboLanguage"_qs);
    QVERIFY(language);
    QCOMPARE(language->toolTip(), languageTip);
    QStringList choices;
    for (int i = 0; i < language->count(); ++i)
        choices << language->itemText(i);
    QCOMPARE(choices, languages);

    // The reason is kept in Russian and shown in the interface's language.
    TCandidate row;
    row.Name = u"redcat.ru"_qs;
    row.Zone = u"ru"_qs;
    row.SetOutcome(TStatus::Failed, TVia::Rdap, u"rdap.example"_qs, RdapReasons::Status(503));
    QCOMPARE(row.Reason().Text, u"RDAP-сервер ответил кодом 503"_qs);
    QCOMPARE(TResultsModel::StatusTip(row).section(u'\n', 0, 0), reasonTip);
}

QTEST_MAIN(TestLanguageWindow)
#include "tst_languagewindow.moc"
