#include "gui/DlgSetting.h"

#include "core/common/Errors.h"
#include "core/common/QuorbelConsts.h"
#include "core/settings/AppSettings.h"
#include "core/settings/DataFiles.h"
#include "core/settings/LastFolders.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"
#include "gui/UserDialogs.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>
#include <exception>

namespace
{

const QSize ClientSize(595, 690);
const QSize IconSize(24, 24);

const char ListFilter[] = QT_TRANSLATE_NOOP("TFormSettings", "Текстовые документы (*.txt)");
const char16_t ListSuffix[] = u"txt";

// The server answering for names under ru and рф.
const char16_t RuWhois[] = u"whois.tcinet.ru";

QString FileName(const char16_t* Name)
{
    return QString::fromUtf16(Name);
}

// Buttons under a list box: open on the left, save on the right.
// The captions carry the mnemonics given: the two lists' buttons differ by them only.
QGroupBox* ListGroup(QWidget* Parent, const QString& Title, QPlainTextEdit*& Memo, QPushButton*& Open,
    QPushButton*& Save, const QString& OpenCaption, const QString& SaveCaption)
{
    auto* group = new QGroupBox(Title, Parent);
    Memo = new QPlainTextEdit(group);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Open = new QPushButton(Parent->style()->standardIcon(QStyle::SP_DialogOpenButton), OpenCaption, group);
    Save = new QPushButton(Parent->style()->standardIcon(QStyle::SP_DialogSaveButton), SaveCaption, group);
    for (QPushButton* button : { Open, Save }) {
        button->setIconSize(IconSize);
        // Enter in the dialog means the bottom "Сохранить", never one of these.
        button->setAutoDefault(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Open);
    buttons->addStretch();
    buttons->addWidget(Save);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(Memo);
    layout->addLayout(buttons);
    return group;
}

void SetFromValue(QCheckBox* Box, TBoolKey Key)
{
    if (const auto value = ReadSetting(Key))
        Box->setChecked(*value);
}

void SetFromValue(QSpinBox* Box, TIntKey Key)
{
    if (const auto value = ReadSetting(Key); value && *value >= 0)
        Box->setValue(*value);
}

// A label and its box: "Ответ «занят» действует, дней:" [7].
QSpinBox* AgeBox(QWidget* Parent, QHBoxLayout* Row, const QString& Caption, int Maximum, int Value)
{
    auto* label = new QLabel(Caption, Parent);
    auto* box = new QSpinBox(Parent);
    box->setRange(0, Maximum);
    box->setValue(Value);
    box->setToolTip(QCoreApplication::translate("TFormSettings",
        "Имя, проверенное не раньше этого срока, не проверяется заново: ответ берется из базы результатов. "
        "0 — проверять всегда"));
    label->setBuddy(box);
    Row->addWidget(label);
    Row->addWidget(box);
    return box;
}

// Loads the list file Name found by the data file lookup into Memo; without a file Memo keeps its text.
void LoadList(QPlainTextEdit* Memo, const char16_t* Name, const QString& AppFolder)
{
    const QString path = FindDataFile(FileName(Name), AppFolder);
    if (!path.isEmpty())
        Memo->setPlainText(ReadListText(path));
}

QString SettingsKeyError()
{
    return QCoreApplication::translate("TFormSettings", "Не удалось сохранить настройки: папка \"%1\" недоступна.")
        .arg(QDir::toNativeSeparators(QFileInfo(TSettingsStore::FilePath()).absolutePath()));
}

void WriteSwitch(TBoolKey Key, const QCheckBox* Box)
{
    if (!WriteSetting(Key, Box->isChecked()))
        throw EOrvantaError(SettingsKeyError());
}

void WriteAge(TIntKey Key, const QSpinBox* Box)
{
    if (!WriteSetting(Key, Box->value()))
        throw EOrvantaError(SettingsKeyError());
}

// A button's command cannot let an error out into the event loop, so it shows the application's general
// error report itself.
void ReportError(QWidget* Parent, const EOrvantaError& Error)
{
    UserDialogs().Message(
        Parent, QString::fromUtf16(QuorbelConsts::ProductName), Error.Message(), TUserDialogs::TIcon::Stop);
}

} // namespace

QString BuiltInWhoisList()
{
    const QString ru = QString::fromUtf16(RuWhois);
    const QString generic = u"whois.verisign-grs.com"_qs;
    return u"RU:"_qs + ru + u"\nРФ:"_qs + ru + u"\nCOM:"_qs + generic + u"\nBIZ:whois.nic.biz\nNET:"_qs + generic
        + u"\nORG:whois.pir.org\nEDU:whois.educause.edu\n"_qs;
}

QString BuiltInZoneList()
{
    return u"ru\ncom\norg\nnet\nbiz\ninfo\n"_qs;
}

QString DefaultWhoisLine()
{
    return u"*:"_qs + QString::fromUtf16(RuWhois);
}

TListFileDialog::TListFileDialog(TKind Kind)
    : FKind(Kind)
{
}

QString TListFileDialog::Execute(QWidget* Parent)
{
    const QString filter = QCoreApplication::translate("TFormSettings", ListFilter);
    // The dialog's first use starts where a list was last loaded or saved, in any session.
    const QString start = FFileName.isEmpty() ? LastFolder(TFileKind::DataList) : FFileName;
    QString chosen;
    if (FKind == TKind::Open) {
        chosen = UserDialogs().OpenFileName(Parent, QString(), filter, start);
    } else {
        const QString suffix = QString::fromUtf16(ListSuffix);
        chosen = AddDefaultExtension(UserDialogs().SaveFileName(Parent, QString(), filter, suffix, start), suffix);
    }
    if (!chosen.isEmpty()) {
        FFileName = chosen;
        RememberFolder(TFileKind::DataList, chosen);
    }
    return chosen;
}

TFormSettings::TFormSettings(QWidget* Owner, const QString& AppFolder)
    : QDialog(Owner)
    , OpenDialog(TListFileDialog::TKind::Open)
    , SaveDialog(TListFileDialog::TKind::Save)
    , FAppFolder(AppFolder)
{
    setObjectName(u"FormSettings"_qs);
    setWindowTitle(tr("Основные настройки"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientSize);

    GroupCheck = new QGroupBox(tr("Настройки программы:"), this);
    CheckBoxAutoCheck = new QCheckBox(tr("Проверять на &доступность домены после генерации"), GroupCheck);
    CheckBoxShowAnswer = new QCheckBox(tr("Показывать со&веты при старте программы"), GroupCheck);
    CheckBoxShowAnswer->setChecked(true);
    CheckBoxAutoRange = new QCheckBox(tr("Автоматически проверять &PR и ТИЦ после генерации"), GroupCheck);
    CheckBoxUseRdap = new QCheckBox(tr("Проверять через &RDAP, где возможно"), GroupCheck);
    CheckBoxUseRdap->setChecked(true);
    CheckBoxUseRdap->setToolTip(
        tr("Зоны, для которых в файле rdap.json указан сервер RDAP, проверяются через RDAP, остальные — через WHOIS"));
    CheckBoxDnsFirst = new QCheckBox(tr("Сначала проверять через &DNS"), GroupCheck);
    CheckBoxDnsFirst->setChecked(true);
    CheckBoxDnsFirst->setToolTip(tr("Имена, делегированные в DNS, считаются занятыми без запроса к реестру; "
                                 "остальные проверяются через RDAP или WHOIS"));
    CheckBoxCheckUpdates = new QCheckBox(tr("Проверять обновления при &запуске"), GroupCheck);
    CheckBoxCheckUpdates->setChecked(true);
    CheckBoxCheckUpdates->setToolTip(tr("Вскоре после запуска программа узнает на своем сайте, нет ли новой версии"));
    auto* checks = new QVBoxLayout(GroupCheck);
    for (QCheckBox* box : { CheckBoxAutoCheck, CheckBoxShowAnswer, CheckBoxAutoRange, CheckBoxUseRdap, CheckBoxDnsFirst,
             CheckBoxCheckUpdates })
        checks->addWidget(box);
    auto* ages = new QHBoxLayout;
    const TAppSettings defaults;
    SpinReuseTaken
        = AgeBox(GroupCheck, ages, tr("Ответ «занят» действует, дней:"), 3650, defaults.Setting_ReuseTakenDays);
    ages->addSpacing(12);
    SpinReuseFree = AgeBox(GroupCheck, ages, tr("ответ «свободен», минут:"), 525600, defaults.Setting_ReuseFreeMinutes);
    ages->addStretch();
    checks->addLayout(ages);
    auto* language = new QHBoxLayout;
    auto* languageLabel = new QLabel(tr("&Язык интерфейса:"), GroupCheck);
    ComboLanguage = new QComboBox(GroupCheck);
    // Each language names itself, so a user who cannot read the current one still finds their own.
    ComboLanguage->addItems({ tr("Как в системе"), u"Русский"_qs, u"English"_qs });
    ComboLanguage->setToolTip(tr("Язык меню, окон и сообщений; действует со следующего запуска программы"));
    languageLabel->setBuddy(ComboLanguage);
    language->addWidget(languageLabel);
    language->addWidget(ComboLanguage);
    language->addStretch();
    checks->addLayout(language);

    GroupWhois = ListGroup(
        this, tr("WHOIS сервера:"), MemoWhois, BtnOpenWhois, BtnSaveWhois, tr("&Открыть"), tr("Со&хранить"));
    MemoWhois->setPlainText(BuiltInWhoisList());
    GroupZones = ListGroup(
        this, tr("Доменные зоны:"), MemoZones, BtnOpenZones, BtnSaveZones, tr("Откр&ыть"), tr("Сохр&анить"));
    MemoZones->setPlainText(BuiltInZoneList());
    GroupPrefixes = ListGroup(
        this, tr("Префиксы имен:"), MemoPrefixes, BtnOpenPrefixes, BtnSavePrefixes, tr("Отк&рыть"), tr("Сохран&ить"));
    GroupSuffixes = ListGroup(
        this, tr("Суффиксы имен:"), MemoSuffixes, BtnOpenSuffixes, BtnSaveSuffixes, tr("От&крыть"), tr("Сохра&нить"));

    BtnOk = new QPushButton(tr("&Сохранить"), this);
    QFont bold = BtnOk->font();
    bold.setBold(true);
    BtnOk->setFont(bold);
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(tr("Отм&ена"), this);
    BtnCancel->setAutoDefault(false);

    auto* lists = new QHBoxLayout;
    lists->addWidget(GroupWhois);
    lists->addWidget(GroupZones);
    auto* affixes = new QHBoxLayout;
    affixes->addWidget(GroupPrefixes);
    affixes->addWidget(GroupSuffixes);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BtnOk);
    bottom->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupCheck);
    layout->addLayout(lists, 1);
    layout->addLayout(affixes, 1);
    layout->addLayout(bottom);

    const std::pair<QObject*, const char16_t*> names[] = { { GroupCheck, u"GroupCheck" },
        { CheckBoxAutoCheck, u"CheckBoxAutoCheck" }, { CheckBoxShowAnswer, u"CheckBoxShowAnswer" },
        { CheckBoxAutoRange, u"CheckBoxAutoRange" }, { CheckBoxUseRdap, u"CheckBoxUseRdap" },
        { CheckBoxDnsFirst, u"CheckBoxDnsFirst" }, { CheckBoxCheckUpdates, u"CheckBoxCheckUpdates" },
        { SpinReuseTaken, u"SpinReuseTaken" }, { ComboLanguage, u"ComboLanguage" }, { SpinReuseFree, u"SpinReuseFree" }, { GroupWhois, u"GroupWhois" },
        { MemoWhois, u"MemoWhois" }, { BtnOpenWhois, u"BtnOpenWhois" }, { BtnSaveWhois, u"BtnSaveWhois" },
        { GroupZones, u"GroupZones" }, { MemoZones, u"MemoZones" }, { BtnOpenZones, u"BtnOpenZones" },
        { BtnSaveZones, u"BtnSaveZones" }, { BtnOk, u"BtnOk" }, { BtnCancel, u"BtnCancel" } };
    for (const auto& [object, name] : names)
        object->setObjectName(QString::fromUtf16(name));
    const std::pair<QObject*, const char16_t*> affixNames[] = { { GroupPrefixes, u"GroupPrefixes" },
        { MemoPrefixes, u"MemoPrefixes" }, { BtnOpenPrefixes, u"BtnOpenPrefixes" },
        { BtnSavePrefixes, u"BtnSavePrefixes" }, { GroupSuffixes, u"GroupSuffixes" }, { MemoSuffixes, u"MemoSuffixes" },
        { BtnOpenSuffixes, u"BtnOpenSuffixes" }, { BtnSaveSuffixes, u"BtnSaveSuffixes" } };
    for (const auto& [object, name] : affixNames)
        object->setObjectName(QString::fromUtf16(name));
    connect(BtnOpenPrefixes, &QPushButton::clicked, this, [this] { OpenList(MemoPrefixes); });
    connect(BtnSavePrefixes, &QPushButton::clicked, this, [this] { SaveList(MemoPrefixes); });
    connect(BtnOpenSuffixes, &QPushButton::clicked, this, [this] { OpenList(MemoSuffixes); });
    connect(BtnSaveSuffixes, &QPushButton::clicked, this, [this] { SaveList(MemoSuffixes); });

    connect(BtnOk, &QPushButton::clicked, this, &TFormSettings::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &TFormSettings::BtnCancelClick);
    connect(BtnOpenWhois, &QPushButton::clicked, this, &TFormSettings::BtnOpenWhoisClick);
    connect(BtnSaveWhois, &QPushButton::clicked, this, &TFormSettings::BtnSaveWhoisClick);
    connect(BtnOpenZones, &QPushButton::clicked, this, &TFormSettings::BtnOpenZonesClick);
    connect(BtnSaveZones, &QPushButton::clicked, this, &TFormSettings::BtnSaveZonesClick);
}

void TFormSettings::LoadSettings()
{
    if (!TSettingsStore::OpenKey())
        return;
    SetFromValue(CheckBoxShowAnswer, SettingsKeys::ShowHelpStart);
    SetFromValue(CheckBoxAutoCheck, SettingsKeys::AutoCheckGenerate);
    SetFromValue(CheckBoxAutoRange, SettingsKeys::AutoRange);
    SetFromValue(CheckBoxUseRdap, SettingsKeys::CheckViaRdap);
    SetFromValue(CheckBoxDnsFirst, SettingsKeys::CheckViaDnsFirst);
    SetFromValue(SpinReuseTaken, SettingsKeys::ReuseTakenDays);
    SetFromValue(SpinReuseFree, SettingsKeys::ReuseFreeMinutes);
    SetFromValue(CheckBoxCheckUpdates, SettingsKeys::CheckUpdates);
    if (const auto language = ReadSetting(SettingsKeys::UiLanguage); language && *language >= 0 && *language < ComboLanguage->count())
        ComboLanguage->setCurrentIndex(*language);
    LoadList(MemoWhois, WhoisListFileName, FAppFolder);
    LoadList(MemoZones, ZoneListFileName, FAppFolder);
    LoadList(MemoPrefixes, PrefixListFileName, FAppFolder);
    LoadList(MemoSuffixes, SuffixListFileName, FAppFolder);
}

void TFormSettings::SaveSettings()
{
    // Closing with "Сохранить" and keeping nothing would tell the user the edits were saved.
    if (!TSettingsStore::OpenKey())
        throw EOrvantaError(SettingsKeyError());
    WriteSwitch(SettingsKeys::ShowHelpStart, CheckBoxShowAnswer);
    WriteSwitch(SettingsKeys::AutoCheckGenerate, CheckBoxAutoCheck);
    WriteSwitch(SettingsKeys::AutoRange, CheckBoxAutoRange);
    WriteSwitch(SettingsKeys::CheckViaRdap, CheckBoxUseRdap);
    WriteSwitch(SettingsKeys::CheckViaDnsFirst, CheckBoxDnsFirst);
    WriteAge(SettingsKeys::ReuseTakenDays, SpinReuseTaken);
    WriteAge(SettingsKeys::ReuseFreeMinutes, SpinReuseFree);
    WriteSwitch(SettingsKeys::CheckUpdates, CheckBoxCheckUpdates);
    if (!WriteSetting(SettingsKeys::UiLanguage, ComboLanguage->currentIndex()))
        throw EOrvantaError(SettingsKeyError());
    const QString dataFolder = MakeDataFolder();
    WriteListFile(dataFolder + FileName(WhoisListFileName), MemoText(MemoWhois));
    WriteListFile(dataFolder + FileName(ZoneListFileName), MemoText(MemoZones));
    WriteListFile(dataFolder + FileName(PrefixListFileName), MemoText(MemoPrefixes));
    WriteListFile(dataFolder + FileName(SuffixListFileName), MemoText(MemoSuffixes));
}

void TFormSettings::BtnOkClick()
{
    // Only a box without a single character counts as empty; blank lines pass.
    if (MemoText(MemoZones).isEmpty()) {
        UserDialogs().Message(
            this, tr("Нет доменных зон"), tr("Список доменных зон не может быть пустым"), TUserDialogs::TIcon::Warning);
        return;
    }
    if (MemoText(MemoWhois).isEmpty()) {
        UserDialogs().Message(
            this, tr("Нет WHOIS"), tr("Список сервисов WHOIS не может быть пустым"), TUserDialogs::TIcon::Warning);
        MemoWhois->appendPlainText(DefaultWhoisLine());
        return;
    }
    accept();
}

void TFormSettings::BtnCancelClick()
{
    reject();
}

void TFormSettings::BtnOpenWhoisClick()
{
    OpenList(MemoWhois);
}

void TFormSettings::BtnSaveWhoisClick()
{
    SaveList(MemoWhois);
}

void TFormSettings::BtnOpenZonesClick()
{
    OpenList(MemoZones);
}

void TFormSettings::BtnSaveZonesClick()
{
    SaveList(MemoZones);
}

void TFormSettings::OpenList(QPlainTextEdit* Memo)
{
    const QString path = OpenDialog.Execute(this);
    if (path.isEmpty())
        return;
    try {
        Memo->setPlainText(ReadListText(path));
    } catch (const EOrvantaError& error) {
        ReportError(this, error);
    }
}

void TFormSettings::SaveList(QPlainTextEdit* Memo)
{
    const QString path = SaveDialog.Execute(this);
    if (path.isEmpty())
        return;
    try {
        WriteListFile(path, MemoText(Memo));
    } catch (const EOrvantaError& error) {
        ReportError(this, error);
    }
}

int ExecSettingsDialog(QWidget* Owner, const QString& AppFolder)
{
    // A guard rather than a plain owner pointer: should the owner go first, it frees the dialog itself.
    QPointer<TFormSettings> dialog = new TFormSettings(Owner, AppFolder);
    struct TFreeDialog {
        QPointer<TFormSettings>& Dialog;
        ~TFreeDialog() { delete Dialog.data(); }
    } freeDialog { dialog };

    dialog->LoadSettings();
    const int result = dialog->exec();
    if (dialog && result == QDialog::Accepted)
        dialog->SaveSettings();
    return result;
}

int RunSettingsDialog(
    QWidget* Owner, TAppSettings& Settings, const std::function<void()>& FillComboZones, const QString& AppFolder)
{
    std::exception_ptr failure;
    const auto step = [&failure](const std::function<void()>& Step) {
        try {
            Step();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    };
    int result = QDialog::Rejected;
    step([&] { result = ExecSettingsDialog(Owner, AppFolder); });
    step([&] { LoadDataList(FileName(ZoneListFileName), Settings.Setting_FirstList, AppFolder); });
    if (FillComboZones)
        step(FillComboZones);
    LoadSettings(Settings, AppFolder);
    if (failure)
        std::rethrow_exception(failure);
    return result;
}
