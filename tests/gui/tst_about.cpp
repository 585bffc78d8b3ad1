#include "core/common/OpenDocument.h"
#include "core/common/Paths.h"
#include "gui/DlgAbout.h"
#include "support/FindControl.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// The about dialog's controls, found by their object names.
struct TAboutControls {
    QLabel* Background = nullptr;
    QLabel* Product = nullptr;
    QLabel* Version = nullptr;
    QLabel* Author = nullptr;
    QLabel* Info = nullptr;
    TLinkLabel* Site = nullptr;
    TLinkLabel* Support = nullptr;
    QPushButton* Close = nullptr;

    // False, with a warning naming what is missing, when the dialog lacks any of them: use under QVERIFY.
    bool Find(const QWidget& Dialog)
    {
        return FoundAll({ FindControl(Dialog, u"Background"_qs, Background),
            FindControl(Dialog, u"ProductLabel"_qs, Product), FindControl(Dialog, u"VersionLabel"_qs, Version),
            FindControl(Dialog, u"AuthorLabel"_qs, Author), FindControl(Dialog, u"InfoLabel"_qs, Info),
            FindControl(Dialog, u"SiteLabel"_qs, Site), FindControl(Dialog, u"SupportLabel"_qs, Support),
            FindControl(Dialog, u"CloseButton"_qs, Close) });
    }
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void layout();
    void links_data();
    void links();
    void closing_data();
    void closing();
    void showAboutDialog();

private:
    QStringList FOpened;
    QByteArray FOldSiteUrl;
};

void TestAbout::init()
{
    FOpened.clear();
    SetOpenDocumentHandler([this](const QString& Target) {
        FOpened << Target;
        return true;
    });
    // Links follow the site address; nothing is fetched, the handler only records.
    FOldSiteUrl = qgetenv("ORVANTA_SITE_URL");
    qputenv("ORVANTA_SITE_URL", "http://127.0.0.1:9/");
}

void TestAbout::cleanup()
{
    SetOpenDocumentHandler({});
    qputenv("ORVANTA_SITE_URL", FOldSiteUrl);
}

void TestAbout::layout()
{
    TFormAbout dialog;
    TAboutControls ui;
    QVERIFY(ui.Find(dialog));
    QCOMPARE(dialog.windowTitle(), u"О программе..."_qs);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    // The background picture fills the dialog at its own size.
    QCOMPARE(ui.Background->geometry(), dialog.rect());
    QCOMPARE(ui.Background->pixmap().deviceIndependentSize().toSize(), dialog.size());

    QCOMPARE(ui.Product->text(), u"Orvanta"_qs);
    QVERIFY(ui.Product->font().bold());
    QCOMPARE(ui.Version->text(), u"Версия программы: 2.1"_qs);
    QCOMPARE(ui.Author->text(), u"Авторские права: © Quorbel Software"_qs);
    QCOMPARE(ui.Info->text(),
        u"ORVANTA - многофункциональная программа для подбора и проверки доменных имен. С ее помощью подобрать имя "
        u"для сайта не только просто, но дополнительно можно сразу проверить его занятость, проверить параметры PR и "
        u"ТИЦ, совершив всего пару кликов мышкой."_qs);
    QVERIFY(ui.Info->wordWrap());
    QCOMPARE(ui.Close->text().remove(u'&'), u"Закрыть"_qs);
    QVERIFY(ui.Close->isDefault());

    // Every control shows whole: a long text would be cut off at the edge. The three lines stand one under
    // another on one left edge, above the description, and the two links side by side below it.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const QWidget* control : std::initializer_list<const QWidget*> { ui.Product, ui.Version, ui.Author, ui.Info,
             ui.Site, ui.Support, ui.Close })
        QVERIFY2(ShownWhole(dialog, *control), qPrintable(control->objectName()));
    QCOMPARE(ui.Version->x(), ui.Product->x());
    QCOMPARE(ui.Author->x(), ui.Product->x());
    QVERIFY(ui.Product->geometry().bottom() < ui.Version->y());
    QVERIFY(ui.Version->geometry().bottom() < ui.Author->y());
    QVERIFY(ui.Author->geometry().bottom() < ui.Info->y());
    // The description fits its box once wrapped.
    QVERIFY(ui.Info->heightForWidth(ui.Info->width()) <= ui.Info->height());
    QVERIFY(ui.Info->geometry().bottom() < ui.Site->y());
    QCOMPARE(ui.Support->y(), ui.Site->y());
    QVERIFY(ui.Site->geometry().right() < ui.Support->x());
}

void TestAbout::links_data()
{
    QTest::addColumn<bool>("support");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("target");
    QTest::newRow("site") << false << u"Сайт программы"_qs << u"http://127.0.0.1:9"_qs;
    QTest::newRow("support") << true << u"Техническая поддержка"_qs << u"http://127.0.0.1:9/contact.php"_qs;
}

void TestAbout::links()
{
    QFETCH(bool, support);
    QFETCH(QString, caption);
    QFETCH(QString, target);
    TFormAbout dialog;
    TAboutControls ui;
    QVERIFY(ui.Find(dialog));
    TLinkLabel* link = support ? ui.Support : ui.Site;
    QCOMPARE(link->text(), caption);
    QCOMPARE(link->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QVERIFY(link->font().bold());
    QVERIFY(link->font().underline());
    // The whole caption fits on its line.
    QVERIFY(QFontMetrics(link->font()).horizontalAdvance(caption) <= link->contentsRect().width());
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(link, Qt::RightButton);
    QVERIFY(FOpened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(FOpened, QStringList { target });
    QVERIFY(dialog.isVisible());
}

void TestAbout::closing_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("close button") << false;
    QTest::newRow("escape") << true;
}

void TestAbout::closing()
{
    QFETCH(bool, byKey);
    TFormAbout dialog;
    TAboutControls ui;
    QVERIFY(ui.Find(dialog));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (byKey)
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        QTest::mouseClick(ui.Close, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void TestAbout::showAboutDialog()
{
    QWidget owner;
    bool seen = false;
    QObject watcher;
    QTimer::singleShot(0, &watcher, [&] {
        auto* about = qobject_cast<TFormAbout*>(QApplication::activeModalWidget());
        QVERIFY(about);
        seen = true;
        QCOMPARE(about->parentWidget(), &owner);
        QTest::keyClick(about, Qt::Key_Enter);
    });
    ShowAboutDialog(&owner);
    QVERIFY(seen);
    QVERIFY(owner.findChildren<TFormAbout*>().isEmpty());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
