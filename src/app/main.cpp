#include "app/SingleInstance.h"
#include "core/common/Paths.h"
#include "core/common/QtTranslations.h"
#include "core/common/QuorbelConsts.h"
#include "core/common/SignalWatcher.h"
#include "core/settings/SettingsKeys.h"
#include "gui/ErrorReport.h"
#include "gui/MainForm.h"

#include <QCoreApplication>
#include <cstring>
#include <new>

int main(int argc, char* argv[])
{
    TSingleInstance instance;
    if (!instance.TryLock()) {
        // A second start: hand the first argument to the running instance and end, showing nothing.
        QCoreApplication app(argc, argv);
        const QStringList args = QCoreApplication::arguments();
        TSingleInstance::Forward(args.size() > 1 ? args.at(1) : QString());
        return 0;
    }

    TApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(QuorbelConsts::ProductName));
    // No display name: the platform would append it to every window title.
    QApplication::setOrganizationName(QString::fromUtf16(QuorbelConsts::CompanyName));
    QApplication::setQuitOnLastWindowClosed(true);

    // The language chosen in the settings, else the user's own when the program speaks it.
    const qint32 language = ReadSetting(SettingsKeys::UiLanguage).value_or(0);
    InstallTranslations(InterfaceLanguage(
        language >= 0 && language <= int(TUiLanguage::English) ? TUiLanguage(language) : TUiLanguage::System));

    instance.Listen();

    // SIGTERM and SIGINT end the program like "Выход", so the placement is saved; one that arrives while a
    // start-up dialog is open closes that dialog first.
    TSignalWatcher watcher;
    bool quitRequested = false;
    TMainForm* mainForm = nullptr;
    QObject::connect(&watcher, &TSignalWatcher::Requested, &app, [&] {
        quitRequested = true;
        if (mainForm)
            mainForm->CloseWithoutAsking();
        else if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });

    // Memory that runs out in a command is reported by TApplication and the window goes on; before the
    // window stands there is nothing to go on with.
    try {
        TMainForm form;
        mainForm = &form;
        QObject::connect(&instance, &TSingleInstance::Received, &form,
            [&form](const QByteArray& Bytes) { form.OpenForwarded(TSingleInstance::Decode(Bytes)); });
        if (quitRequested)
            return 0;
        form.show();
        form.OpenStartupFile(QCoreApplication::arguments());
        return app.exec();
    } catch (const std::bad_alloc&) {
        mainForm = nullptr;
        ShowErrorReport(nullptr, std::current_exception());
        return 1;
    }
}
