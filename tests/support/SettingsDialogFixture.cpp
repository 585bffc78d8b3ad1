#include "support/SettingsDialogFixture.h"

#include "core/common/Errors.h"
#include "core/common/Paths.h"
#include "gui/DlgSetting.h"
#include "support/FindControl.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

const QStringList BuiltInWhois { u"RU:whois.tcinet.ru"_qs, u"РФ:whois.tcinet.ru"_qs, u"COM:whois.verisign-grs.com"_qs,
    u"BIZ:whois.nic.biz"_qs, u"NET:whois.verisign-grs.com"_qs, u"ORG:whois.pir.org"_qs, u"EDU:whois.educause.edu"_qs };
const QStringList BuiltInZones { u"ru"_qs, u"com"_qs, u"org"_qs, u"net"_qs, u"biz"_qs, u"info"_qs };
const QString AllZones = u"Все доменные зоны"_qs;

QString DataFile(QStringView Name)
{
    return GetDataFolder() + Name.toString();
}

bool TSettingsControls::Find(const QWidget& Dialog)
{
    return FoundAll({ FindControl(Dialog, u"CheckBoxAutoCheck"_qs, AutoCheck),
        FindControl(Dialog, u"CheckBoxShowAnswer"_qs, ShowAnswer),
        FindControl(Dialog, u"CheckBoxAutoRange"_qs, AutoRange), FindControl(Dialog, u"CheckBoxUseRdap"_qs, UseRdap),
        FindControl(Dialog, u"CheckBoxDnsFirst"_qs, DnsFirst),
        FindControl(Dialog, u"CheckBoxCheckUpdates"_qs, CheckUpdates),
        FindControl(Dialog, u"SpinReuseTaken"_qs, ReuseTaken), FindControl(Dialog, u"SpinReuseFree"_qs, ReuseFree),
        FindControl(Dialog, u"MemoWhois"_qs, Whois), FindControl(Dialog, u"MemoZones"_qs, Zones),
        FindControl(Dialog, u"BtnOpenWhois"_qs, OpenWhois), FindControl(Dialog, u"BtnSaveWhois"_qs, SaveWhois),
        FindControl(Dialog, u"BtnOpenZones"_qs, OpenZones), FindControl(Dialog, u"BtnSaveZones"_qs, SaveZones),
        FindControl(Dialog, u"BtnOk"_qs, Ok), FindControl(Dialog, u"BtnCancel"_qs, Cancel) });
}

void TWindowFixture::FillComboZones()
{
    ++Fills;
    Zones->clear();
    Zones->addItem(AllZones);
    Zones->addItems(Settings.Setting_FirstList);
    Zones->setCurrentIndex(0);
}

QStringList TWindowFixture::Offered() const
{
    QStringList items;
    for (int i = 0; i < Zones->count(); ++i)
        items << Zones->itemText(i);
    return items;
}

TFormSettings* TWindowFixture::Dialog() const
{
    return Window.findChild<TFormSettings*>();
}

void TWindowFixture::WhenShown(std::function<void(TFormSettings*, const TSettingsControls&)> Act)
{
    QTimer::singleShot(0, &Window, [this, Act] {
        TFormSettings* dialog = Dialog();
        if (!dialog || !dialog->isVisible())
            return;
        Shown = true;
        TSettingsControls ui;
        if (ui.Find(*dialog))
            Act(dialog, ui);
        else
            QTest::qFail("the settings dialog lacks a control", __FILE__, __LINE__);
        if (dialog->isVisible())
            dialog->reject();
    });
}

int TWindowFixture::Run(const QString& AppFolder)
{
    return RunSettingsDialog(
        &Window, Settings, [this] { FillComboZones(); }, AppFolder);
}

QString TWindowFixture::RunFailing(const QString& AppFolder, const std::function<void()>& AtReport)
{
    try {
        Run(AppFolder);
    } catch (const EOrvantaError& e) {
        AtReport();
        return e.Message();
    }
    return QString();
}
