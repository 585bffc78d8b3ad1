#pragma once

#include "core/common/Paths.h"
#include "gui/MemoText.h"

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
struct TAppSettings;

// The lists the dialog shows when neither the data folder nor the program folder holds the file.
QString BuiltInWhoisList();
QString BuiltInZoneList();
// What an empty WHOIS box receives on "Сохранить": the default server for every zone.
QString DefaultWhoisLine();

// One file dialog that both lists share: like a dialog component, it starts where the last choice was made,
// so within one opening of the settings dialog the folder and name carry over from one list to the other.
// Asks through the dialog seam; the filter is "Текстовые документы (*.txt)".
class TListFileDialog
{
public:
    enum class TKind { Open, Save };
    explicit TListFileDialog(TKind Kind);
    // The chosen file, or empty when the user cancelled. A name saved without an extension gets ".txt".
    QString Execute(QWidget* Parent);

private:
    TKind FKind;
    QString FFileName;
};

// "Основные настройки": the switches, how long stored verdicts are reused, the WHOIS and zone lists, and the
// names' prefixes and suffixes. Create it, LoadSettings, exec() and, when that gives QDialog::Accepted
// ("Сохранить" passed the checks), SaveSettings; ExecSettingsDialog does exactly that. The lists are read from
// and written to the data folder; AppFolder is the program folder holding the shipped copies.
class TFormSettings : public QDialog
{
    Q_OBJECT
public:
    explicit TFormSettings(QWidget* Owner = nullptr, const QString& AppFolder = GetShippedFolder());

    // Fills the controls from the settings key and the list files. A value that is absent (or not a number)
    // leaves its box at the default, a list file that neither folder holds leaves the built-in list. Throws
    // EOrvantaError when a list file cannot be copied into the data folder or read; the dialog is then not
    // to be shown.
    void LoadSettings();
    // Writes "ShowHelpStart", "AutoCheckGenerate", "AutoRange", "CheckViaRdap", "CheckViaDnsFirst",
    // "CheckUpdates", "ReuseTakenDays", "ReuseFreeMinutes" and "UiLanguage", then whois.dat, first.dat, prefixes.dat and
    // suffixes.dat into the data folder (made when missing), each file replaced atomically. Throws EOrvantaError at
    // the first failure, also when the settings key cannot be opened; what was written before it stays written.
    void SaveSettings();

    QGroupBox* GroupCheck;
    QCheckBox* CheckBoxAutoCheck;
    QCheckBox* CheckBoxShowAnswer;
    QCheckBox* CheckBoxAutoRange;
    QCheckBox* CheckBoxUseRdap;
    QCheckBox* CheckBoxDnsFirst;
    // How long a stored "taken" (days) and "free" (minutes) stand in for asking again; 0 asks again.
    QSpinBox* SpinReuseTaken;
    QSpinBox* SpinReuseFree;
    QCheckBox* CheckBoxCheckUpdates;
    // "Язык интерфейса": as the system's, Russian, English, in the order of TUiLanguage.
    QComboBox* ComboLanguage;
    QGroupBox* GroupWhois;
    QPlainTextEdit* MemoWhois;
    QPushButton* BtnOpenWhois;
    QPushButton* BtnSaveWhois;
    QGroupBox* GroupZones;
    QPlainTextEdit* MemoZones;
    QPushButton* BtnOpenZones; // opens a zone list
    QPushButton* BtnSaveZones; // saves the zone list
    // The name variants' prefixes and suffixes, one a line.
    QGroupBox* GroupPrefixes;
    QPlainTextEdit* MemoPrefixes;
    QPushButton* BtnOpenPrefixes;
    QPushButton* BtnSavePrefixes;
    QGroupBox* GroupSuffixes;
    QPlainTextEdit* MemoSuffixes;
    QPushButton* BtnOpenSuffixes;
    QPushButton* BtnSaveSuffixes;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;
    TListFileDialog OpenDialog;
    TListFileDialog SaveDialog;

public Q_SLOTS:
    void BtnOkClick();
    void BtnCancelClick();
    void BtnOpenWhoisClick();
    void BtnSaveWhoisClick();
    void BtnOpenZonesClick();
    void BtnSaveZonesClick();

private:
    void OpenList(QPlainTextEdit* Memo);
    void SaveList(QPlainTextEdit* Memo);

    QString FAppFolder;
};

// Creates the settings dialog owned by Owner, fills it, shows it modally and saves it when it closes with
// "Сохранить". Returns the dialog's result (QDialog::Accepted when saved). The dialog is freed in every
// case before this returns or throws; an EOrvantaError from filling (the dialog is then not shown) or
// from saving reaches the caller after that.
int ExecSettingsDialog(QWidget* Owner, const QString& AppFolder = GetShippedFolder());

// The main window's settings command: ExecSettingsDialog, then, whatever happened there, first.dat
// reloaded into Settings.Setting_FirstList, FillComboZones (which refills the zone choice from that list
// and selects its first entry) and the main window's LoadSettings (switches and both lists). Only then does
// the first failure of those steps reach the caller, for its general error report.
int RunSettingsDialog(QWidget* Owner, TAppSettings& Settings, const std::function<void()>& FillComboZones,
    const QString& AppFolder = GetShippedFolder());
