#include "core/common/OpenDocument.h"
#include "core/common/Paths.h"
#include "gui/DlgAbout.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
    QCOMPARE(dialog.windowTitle(), u"О программе..."_qs);
    QCOMPARE(dialog.size(), QSize(550, 381));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(dialog.Image32->geometry(), QRect(0, 0, 550, 381));
    QCOMPARE(dialog.Image32->pixmap().size(), QSize(550, 381));

    QCOMPARE(dialog.ProgrammLabel->text(), u"Orvanta"_qs);
    QVERIFY(dialog.ProgrammLabel->font().bold());
    QCOMPARE(dialog.ProgrammLabel->pos(), QPoint(58, 117));
    QCOMPARE(dialog.VersionLabel->text(), u"Версия программы: 2.1"_qs);
    QCOMPARE(dialog.VersionLabel->pos(), QPoint(58, 139));
    QCOMPARE(dialog.AuthorLabel->text(), u"Авторские права: © Quorbel Software"_qs);
    QCOMPARE(dialog.AuthorLabel->pos(), QPoint(58, 161));
    QCOMPARE(dialog.InfoLabel->text(),
        u"ORVANTA - многофункциональная программа для подбора и проверки доменных имен. С ее помощью подобрать имя "
        u"для сайта не только просто, но дополнительно можно сразу проверить его занятость, проверить параметры PR и "
        u"ТИЦ, совершив всего пару кликов мышкой."_qs);
    QCOMPARE(dialog.InfoLabel->geometry(), QRect(58, 191, 483, 106));
    QVERIFY(dialog.InfoLabel->wordWrap());
    QCOMPARE(dialog.CloseButton->text(), u"Закрыть"_qs);
    QCOMPARE(dialog.CloseButton->geometry(), QRect(419, 334, 122, 37));
    QVERIFY(dialog.CloseButton->isDefault());

    // Every label fits inside the dialog: a long text would be cut off at the edge.
    for (QLabel* label : { dialog.ProgrammLabel, dialog.VersionLabel, dialog.AuthorLabel })
        QVERIFY(dialog.rect().contains(label->geometry()));
}

void TestAbout::links_data()
{
    QTest::addColumn<bool>("support");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("target");
    QTest::newRow("site") << false << u"Сайт программы"_qs << QRect(22, 302, 257, 20) << u"http://127.0.0.1:9"_qs;
    QTest::newRow("support") << true << u"Техническая поддержка"_qs << QRect(288, 302, 259, 20)
                             << u"http://127.0.0.1:9/contact.php"_qs;
}

void TestAbout::links()
{
    QFETCH(bool, support);
    QFETCH(QString, caption);
    QFETCH(QRect, place);
    QFETCH(QString, target);
    TFormAbout dialog;
    TLinkLabel* link = support ? dialog.SupportLabel : dialog.SiteLabel;
    QCOMPARE(link->text(), caption);
    QCOMPARE(link->geometry().topLeft(), place.topLeft());
    QCOMPARE(link->width(), place.width());
    QCOMPARE(link->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QVERIFY(link->font().bold());
    QVERIFY(link->font().underline());
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
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (byKey)
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        QTest::mouseClick(dialog.CloseButton, Qt::LeftButton);
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
