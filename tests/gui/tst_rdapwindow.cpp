// The window checks over RDAP the zones its data folder's bootstrap list names, unless the setting says
// WHOIS only; a failed name's tooltip says which protocol asked where.
#include "core/checks/RunSession.h"
#include "core/common/Paths.h"
#include "core/settings/DataFiles.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "support/FindControl.h"
#include "support/HttpTestServer.h"
#include "support/MainWindowControls.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QPushButton>
#include <QTableView>
#include <QTest>

class TestRdapWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void protocolPerZone_data();
    void protocolPerZone();
    void brokenListReported();
};

namespace {

QString DataPath(const char16_t* Name)
{
    return GetDataFolder() + QString::fromUtf16(Name);
}

} // namespace

void TestRdapWindow::protocolPerZone_data()
{
    QTest::addColumn<QVariant>("setting"); // invalid: never stored
    QTest::addColumn<bool>("rdap");
    QTest::newRow("setting absent: RDAP") << QVariant() << true;
    QTest::newRow("switched on") << QVariant(1u) << true;
    QTest::newRow("switched off: WHOIS only") << QVariant(0u) << false;
}

void TestRdapWindow::protocolPerZone()
{
    QFETCH(QVariant, setting);
    QFETCH(bool, rdap);
    TTestEnv env;
    TScriptedDialogs dialogs;
    PrepareQuietStart();
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    if (setting.isValid())
        TSettingsStore::WriteDWord(u"CheckViaRdap"_qs, setting.toUInt());

    THttpTestServer registry;
    registry.Handler = [](const THttpTestServer::TRequest& r) {
        THttpTestServer::TReply reply;
        reply.Status = r.Target.endsWith("catred.com") ? 500 : 404;
        reply.Headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/rdap+json")));
        return reply;
    };
    TWhoisTestServer whois;
    WriteAll(DataPath(WhoisListFileName), "*:127.0.0.1\r\n");
    const QString base = registry.BaseUrl() + u"/rdap/"_qs;
    WriteAll(DataPath(RdapBootstrapFileName),
        R"({"version":"1.0","services":[[["com"],[")" + base.toUtf8() + R"("]]]})");

    TMainForm form;
    form.WhoisPort = whois.Port();
    form.show();
    Generate(form, u"red\ncat"_qs);

    QStringList whoisAsked;
    for (const QByteArray& line : whois.Received)
        whoisAsked << QString::fromLatin1(line.trimmed());
    whoisAsked.sort();
    QStringList rdapAsked;
    for (const auto& r : registry.Requests)
        rdapAsked << QString::fromLatin1(r.Target);
    rdapAsked.sort();
    if (rdap) {
        QCOMPARE(whoisAsked, QStringList({ u"catred.ru"_qs, u"redcat.ru"_qs }));
        QCOMPARE(rdapAsked, QStringList({ u"/rdap/domain/catred.com"_qs, u"/rdap/domain/redcat.com"_qs }));
    } else {
        QCOMPARE(whoisAsked, QStringList({ u"catred.com"_qs, u"catred.ru"_qs, u"redcat.com"_qs, u"redcat.ru"_qs }));
        QVERIFY(rdapAsked.isEmpty());
    }

    // The failed name's tooltip names the protocol and the server.
    QTableView* grid = nullptr;
    QVERIFY(FindControl(form, u"ResultsView"_qs, grid));
    const QAbstractItemModel* model = grid->model();
    int found = 0;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toString() != u"catred.com"_qs)
            continue;
        ++found;
        const QString tip = model->index(row, 2).data(Qt::ToolTipRole).toString();
        if (rdap)
            QCOMPARE(tip, u"RDAP-сервер ответил кодом 500 (RDAP, %1)\nпроверено только что"_qs.arg(base));
        else
            QCOMPARE(tip, u"проверено только что"_qs); // the WHOIS test registry holds every name
    }
    QCOMPARE(found, 1);
}

void TestRdapWindow::brokenListReported()
{
    TTestEnv env;
    TScriptedDialogs dialogs;
    PrepareQuietStart();
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    TWhoisTestServer whois;
    WriteAll(DataPath(WhoisListFileName), "*:127.0.0.1\r\n");
    WriteAll(DataPath(RdapBootstrapFileName), "{\"services\": [");

    TMainForm form;
    form.WhoisPort = whois.Port();
    form.show();
    Generate(form, u"red\ncat"_qs);
    // Nothing is asked with a list the user cannot have meant; the error names the file.
    QVERIFY(whois.Received.isEmpty());
    QCOMPARE(dialogs.FShown.size(), 1);
    QVERIFY2(dialogs.FShown.at(0).Text.contains(DataPath(RdapBootstrapFileName)), qPrintable(dialogs.FShown.at(0).Text));
    QPushButton* start = nullptr;
    QVERIFY(FindControl(form, u"BtnStart"_qs, start));
    QVERIFY(start->isEnabled());
}

QTEST_MAIN(TestRdapWindow)
#include "tst_rdapwindow.moc"
