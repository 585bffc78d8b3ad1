// Renders the main window to PNG files: empty with the keyword hint, after a run in which every zone was
// checked (names free, taken and one failed, with their figures), the same results sorted and cut down by
// the filter, and the failed name's reason as its tooltip shows it. The run talks to WHOIS and HTTP servers
// that this tool starts on the loopback interface. Usage: orvanta-screenshots OUTPUT_FOLDER
#include "core/checks/RunSession.h"
#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "gui/ResultsModel.h"
#include "support/HeaderClick.h"
#include "support/HttpTestServer.h"
#include "support/MainWindowControls.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/WhoisTestServer.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <cstdio>

namespace {

bool Save(QWidget& window, const QString& path)
{
    // Shot as shown: the window on screen, with the layouts and repaints its last changes posted done.
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the window was not shown\n");
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QPixmap shot = window.grab();
    // A tooltip is a window of its own: drawn over the shot where it stands.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible()) {
            QPainter painter(&shot);
            painter.drawPixmap(window.mapFromGlobal(w->pos()), w->grab());
        }
    const bool ok = shot.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: orvanta-screenshots OUTPUT_FOLDER\n");
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    // Settings and lists of a fresh user of our own, never the real user's; the check's message about the
    // unchecked names is answered without a person.
    TTestEnv env;
    TScriptedDialogs dialogs;
    TSettingsStore::WriteDWord(u"NotFirstRun"_qs, 1);
    TSettingsStore::WriteDWord(u"ShowHelpStart"_qs, 0);
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    TSettingsStore::WriteDWord(u"AutoRange"_qs, 1);
    // Only the loopback servers below are asked: no resolver of the machine's.
    TSettingsStore::WriteDWord(u"CheckViaDnsFirst"_qs, 0);
    TSettingsStore::WriteDWord(u"MainForm_WS"_qs, 0);

    TWhoisTestServer whois;
    whois.Default = { TWhoisTestServer::TMode::Answer, "NOT FOUND\r\n" };
    whois.Script("sunnycat.ru", { TWhoisTestServer::TMode::Answer, "domain: SUNNYCAT.RU\r\nstate: REGISTERED\r\n" });
    whois.Script("catsunny.com", { TWhoisTestServer::TMode::Answer, "Domain Name: CATSUNNY.COM\r\n" });
    whois.Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "domain: REDCAT.RU\r\n" });
    // One registry closes the connection without a word: that name fails, with its reason.
    whois.Script("catred.com", { TWhoisTestServer::TMode::Answer, QByteArray() });
    THttpTestServer site;
    int n = 0;
    site.Handler = [&](const THttpTestServer::TRequest&) {
        ++n;
        return THttpTestServer::Text(QStringLiteral("pr_ %1 _pr tyc_ %2 _tyc").arg(n % 4).arg(n * 10).toUtf8());
    };
    TSiteUrlOverride siteUrl(site.BaseUrl());

    QDir().mkpath(GetDataFolder());
    QFile zones(GetDataFolder() + u"first.dat"_qs);
    if (zones.open(QIODevice::WriteOnly))
        zones.write("ru\r\ncom\r\n");
    zones.close();
    QFile servers(GetDataFolder() + u"whois.dat"_qs);
    if (servers.open(QIODevice::WriteOnly))
        servers.write("RU:127.0.0.1\r\nCOM:127.0.0.1\r\n");
    servers.close();

    bool ok = true;
    {
        TMainForm form;
        form.resize(790, 600);
        form.show();
        ok &= Save(form, out + u"/main-empty.png"_qs);
    }
    {
        TMainForm form;
        TMainControls ui;
        if (!ui.Find(form))
            return 1;
        form.WhoisPort = whois.Port();
        form.resize(790, 600);
        form.show();
        ui.Words->setPlainText(u"sunny\ncat\nred\n"_qs);
        ui.Start->click();
        if (!QTest::qWaitFor([&form] { return !form.Session().Running(); }, 30000))
            std::fprintf(stderr, "the run did not end\n");
        QTableView* grid = ui.Grid;
        grid->selectRow(2);
        ok &= Save(form, out + u"/main-results.png"_qs);

        // The failed name's status cell says why.
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            if (!form.Results().ShownRow(row).Failed())
                continue;
            const QModelIndex status = grid->model()->index(row, 2);
            const QString tip = status.data(Qt::ToolTipRole).toString();
            grid->selectRow(row);
            const QRect cell = grid->visualRect(status);
            QToolTip::showText(grid->viewport()->mapToGlobal(cell.center()), tip, grid->viewport());
            ok &= Save(form, out + u"/main-reason.png"_qs);
            QToolTip::hideText();
            break;
        }

        // Only the free names, best ТИЦ first.
        ui.Show->setCurrentIndex(1);
        ClickHeader(grid, 4);
        ClickHeader(grid, 4);
        grid->selectRow(0);
        ok &= Save(form, out + u"/main-filter.png"_qs);
    }
    return ok ? 0 : 1;
}
