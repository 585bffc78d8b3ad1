#include "gui/DlgProgress.h"
#include "support/FindControl.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace
{

// A stand-in main window and the dialog configured for it.
struct TDialogFixture {
    QMainWindow Main;
    std::unique_ptr<TProgressForm> Dialog = std::make_unique<TProgressForm>();

    explicit TDialogFixture(bool stopButton)
    {
        Main.setGeometry(100, 80, 808, 712);
        Main.show();
        Dialog->SetSettingsDlg(&Main, stopButton);
    }

    // The dialog's controls, found by their object names: false, with a warning naming what is missing, when
    // the dialog lacks any of them; use under QVERIFY.
    QLabel* Wait = nullptr;
    QProgressBar* Bar = nullptr;
    QLabel* Details = nullptr;
    QPushButton* Cancel = nullptr;
    bool FindControls()
    {
        return FoundAll({ FindControl(*Dialog, u"WaitLabel"_qs, Wait), FindControl(*Dialog, u"ProgressBar"_qs, Bar),
            FindControl(*Dialog, u"DetailsLabel"_qs, Details), FindControl(*Dialog, u"CancelBtn"_qs, Cancel) });
    }

    // Whether the dialog shows the wait line, the bar and the details whole, and the stop button when it has one.
    bool ShowsAllWhole(bool StopButton) const
    {
        return ShownWhole(*Dialog, *Wait) && ShownWhole(*Dialog, *Bar) && ShownWhole(*Dialog, *Details)
            && (!StopButton || ShownWhole(*Dialog, *Cancel));
    }

    // A close request as the window manager sends it for Alt+F4; true when the dialog let itself be closed.
    bool RequestClose()
    {
        QCloseEvent event;
        QCoreApplication::sendEvent(Dialog.get(), &event);
        return event.isAccepted();
    }

    // Esc, Enter and a close request, one after another; true when the dialog let itself be closed.
    bool TryEveryWayToStop()
    {
        QTest::keyClick(Dialog.get(), Qt::Key_Escape);
        QTest::keyClick(Dialog.get(), Qt::Key_Return);
        return RequestClose();
    }
};

} // namespace

class TestProgressForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mainWindowConfigurationCannotStop();
    void cancelWorksOnce_data();
    void cancelWorksOnce();
    void hidingGivesParentBack_data();
    void hidingGivesParentBack();
    void nullParentKeepsOld();
    void showingClearsStopAndCentres();
    void barColours();
};

void TestProgressForm::mainWindowConfigurationCannotStop()
{
    TDialogFixture f(false);
    QVERIFY(f.FindControls());
    TProgressForm& d = *f.Dialog;
    QCOMPARE(d.windowTitle(), u"Обработка данных..."_qs);
    QCOMPARE(d.minimumSize(), d.maximumSize());
    const Qt::WindowFlags flags = d.windowFlags();
    QVERIFY(flags.testFlag(Qt::Tool));
    for (Qt::WindowType box : { Qt::WindowCloseButtonHint, Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
             Qt::WindowMaximizeButtonHint })
        QVERIFY(!flags.testFlag(box));

    d.show();
    QVERIFY(d.isVisible());
    QVERIFY(!f.Main.isEnabled());
    QVERIFY(f.ShowsAllWhole(false));
    // No empty room is left where the stop button would be.
    TProgressForm withButton;
    withButton.SetSettingsDlg(&f.Main, true);
    QVERIFY(d.height() < withButton.height());
    QVERIFY(!f.Cancel->isVisible());
    QVERIFY(!f.Cancel->isEnabled());
    QVERIFY(!f.TryEveryWayToStop());
    QVERIFY(!d.close());
    QVERIFY(d.isVisible());
    QVERIFY(!d.Stop);
    QVERIFY(!f.Main.isEnabled());
}

void TestProgressForm::cancelWorksOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("button clicked") << u"click"_qs;
    QTest::newRow("Esc") << u"esc"_qs;
    QTest::newRow("Enter") << u"enter"_qs;
    QTest::newRow("close request") << u"close"_qs;
}

void TestProgressForm::cancelWorksOnce()
{
    QFETCH(QString, how);
    TDialogFixture f(true);
    QVERIFY(f.FindControls());
    TProgressForm& d = *f.Dialog;
    QCOMPARE(d.minimumSize(), d.maximumSize());
    d.show();
    QVERIFY(f.ShowsAllWhole(true));
    QVERIFY(!f.Main.isEnabled());
    // The dialog stays usable while its parent is disabled.
    QVERIFY(d.isEnabled());
    QVERIFY(f.Cancel->isEnabled());
    QCOMPARE(f.Cancel->text(), u"Отмена"_qs);
    QVERIFY(f.Cancel->font().bold());
    QSignalSpy clicks(f.Cancel, &QPushButton::clicked);
    QSignalSpy stops(&d, &TProgressForm::StopRequested);

    if (how == u"click")
        QTest::mouseClick(f.Cancel, Qt::LeftButton);
    else if (how == u"esc")
        QTest::keyClick(&d, Qt::Key_Escape);
    else if (how == u"enter")
        QTest::keyClick(&d, Qt::Key_Return);
    else
        QVERIFY(!f.RequestClose());
    QVERIFY(d.Stop);
    QVERIFY(!f.Cancel->isEnabled());
    QCOMPARE(clicks.count(), 1);
    QVERIFY(d.isVisible()); // the run hides it, not the cancel

    QVERIFY(!f.TryEveryWayToStop());
    QCOMPARE(clicks.count(), 1);
    // The run is told once, whichever way the user asked.
    QCOMPARE(stops.count(), 1);
    QVERIFY(d.Stop);
    QVERIFY(d.isVisible());
    QVERIFY(!f.Main.isEnabled());
}

void TestProgressForm::hidingGivesParentBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("hidden at the end of a run") << u"hide"_qs;
    QTest::newRow("hidden after a stop request") << u"stop"_qs;
    QTest::newRow("deleted while shown") << u"delete"_qs;
}

void TestProgressForm::hidingGivesParentBack()
{
    QFETCH(QString, how);
    TDialogFixture f(true);
    QVERIFY(f.FindControls());
    TProgressForm& d = *f.Dialog;
    d.show();
    QVERIFY(!f.Main.isEnabled());
    if (how == u"hide") {
        d.hide();
    } else if (how == u"stop") {
        f.Cancel->click();
        d.hide();
    } else {
        f.Dialog.reset();
    }
    QVERIFY(f.Main.isEnabled());

    // A second run disables and gives back the parent again.
    if (f.Dialog) {
        d.SetSettingsDlg(nullptr, false);
        d.show();
        QVERIFY(!f.Main.isEnabled());
        d.hide();
        QVERIFY(f.Main.isEnabled());
    }
}

void TestProgressForm::nullParentKeepsOld()
{
    TDialogFixture f(false);
    QVERIFY(f.FindControls());
    QWidget other;
    TProgressForm& d = *f.Dialog;
    f.Bar->setMaximum(10);
    f.Bar->setValue(7);
    d.Stop = true;
    d.SetSettingsDlg(nullptr, true);
    QCOMPARE(d.ParentForm.data(), &f.Main);
    QVERIFY(!d.Stop);
    QCOMPARE(f.Bar->value(), 0);
    QVERIFY(f.Cancel->isEnabled());
    d.show();
    // Made room for the stop button again.
    QVERIFY(f.ShowsAllWhole(true));
    QVERIFY(!f.Main.isEnabled());
    QVERIFY(other.isEnabled());
    d.hide();
    QVERIFY(f.Main.isEnabled());

    // The parent deleted while the dialog is shown: nothing to give back, nothing to crash on.
    auto parent = std::make_unique<QWidget>();
    d.SetSettingsDlg(parent.get(), false);
    d.show();
    QVERIFY(!parent->isEnabled());
    parent.reset();
    d.hide();
    QVERIFY(d.ParentForm.isNull());
}

void TestProgressForm::showingClearsStopAndCentres()
{
    TDialogFixture f(true);
    QVERIFY(f.FindControls());
    TProgressForm& d = *f.Dialog;
    d.show();
    f.Cancel->click();
    d.hide();
    QVERIFY(d.Stop);
    d.show();
    QVERIFY(!d.Stop);
    const QPoint offset = d.frameGeometry().center() - f.Main.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(u"%1,%2"_qs.arg(offset.x()).arg(offset.y())));
    d.hide();
}

void TestProgressForm::barColours()
{
    TDialogFixture f(false);
    QVERIFY(f.FindControls());
    QProgressBar* bar = f.Bar;
    QCOMPARE(bar->minimum(), 0);
    bar->setMaximum(100);
    bar->setValue(50);
    // Across the dialog, with equal margins on either side.
    const int left = bar->mapTo(f.Dialog.get(), QPoint(0, 0)).x();
    QCOMPARE(f.Dialog->width() - (left + bar->width()), left);
    const QImage image = bar->grab().toImage();
    QCOMPARE(image.pixelColor(bar->width() / 4, bar->height() / 2), QColor(0, 128, 64));
    QCOMPARE(image.pixelColor(bar->width() * 3 / 4, bar->height() / 2), QColor(0, 64, 64));
}

QTEST_MAIN(TestProgressForm)
#include "tst_progressform.moc"
