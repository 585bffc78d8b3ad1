#pragma once

#include "core/settings/AppSettings.h"

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TFormSettings;

// The lists the settings dialog shows when no file holds them, as a user reads them in its boxes.
extern const QStringList BuiltInWhois;
extern const QStringList BuiltInZones;
// The first entry of the window's zone choice.
extern const QString AllZones;

// A file of the data folder.
QString DataFile(QStringView Name);

// The settings dialog's controls, found by their object names.
struct TSettingsControls {
    QCheckBox* AutoCheck = nullptr;
    QCheckBox* ShowAnswer = nullptr;
    QCheckBox* AutoRange = nullptr;
    QCheckBox* UseRdap = nullptr;
    QCheckBox* DnsFirst = nullptr;
    QSpinBox* ReuseTaken = nullptr;
    QSpinBox* ReuseFree = nullptr;
    QCheckBox* CheckUpdates = nullptr;
    QPlainTextEdit* Whois = nullptr;
    QPlainTextEdit* Zones = nullptr;
    QPushButton* OpenWhois = nullptr;
    QPushButton* SaveWhois = nullptr;
    QPushButton* OpenZones = nullptr;
    QPushButton* SaveZones = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;

    // False, with a warning naming what is missing, when the dialog lacks any of them: use under QVERIFY.
    bool Find(const QWidget& Dialog);
    QList<QCheckBox*> Switches() const { return { AutoCheck, ShowAnswer, AutoRange, UseRdap, DnsFirst, CheckUpdates }; }
};

// The main window's side of the settings command: its settings, its zone choice and how it fills it.
struct TWindowFixture {
    QWidget Window;
    TAppSettings Settings;
    QComboBox* Zones = new QComboBox(&Window);
    int Fills = 0;
    bool Shown = false; // whether the dialog appeared at all

    void FillComboZones();
    QStringList Offered() const;
    TFormSettings* Dialog() const;

    // Acts on the dialog and its controls once it is shown modally; a dialog the action leaves open is
    // cancelled, so a failed check cannot hang the test.
    void WhenShown(std::function<void(TFormSettings*, const TSettingsControls&)> Act);

    int Run(const QString& AppFolder);
    // Runs the command expecting its error; AtReport looks at the window when the error reaches it.
    QString RunFailing(const QString& AppFolder, const std::function<void()>& AtReport);
};
