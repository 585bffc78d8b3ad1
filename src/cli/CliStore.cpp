#include "cli/CliStore.h"

#include "core/common/Durations.h"
#include "core/common/Errors.h"

#include <QCoreApplication>

bool IsStoreOption(const QString& Name)
{
    return Name == u"--store" || Name == u"--no-store" || StoreOptionTakesValue(Name);
}

bool StoreOptionTakesValue(const QString& Name)
{
    return Name == u"--store" || Name == u"--reuse-taken" || Name == u"--reuse-free";
}

std::optional<QString> ApplyStoreOption(const QString& Name, const QString& Value, TStoreOptions& Options)
{
    if (Name == u"--no-store") {
        Options.Off = true;
        return std::nullopt;
    }
    if (Name == u"--store") {
        if (Value.isEmpty())
            return QCoreApplication::translate("CliStore", "пустое имя файла базы результатов");
        Options.File = Value;
        return std::nullopt;
    }
    const auto seconds = ParseDurationSeconds(Value);
    if (!seconds)
        return QCoreApplication::translate("CliStore", "неверный срок \"%1\" у параметра %2 (число с единицей s, m, h или d: 30m, 7d)")
            .arg(Value, Name);
    (Name == u"--reuse-taken" ? Options.Reuse.TakenSeconds : Options.Reuse.FreeSeconds) = *seconds;
    return std::nullopt;
}

std::optional<QString> CheckStoreOptions(const TStoreOptions& Options)
{
    if (Options.Off && !Options.File.isEmpty())
        return QCoreApplication::translate("CliStore", "параметры --store и --no-store исключают друг друга");
    return std::nullopt;
}

std::unique_ptr<TVerdictStore> OpenStore(const TStoreOptions& Options, const std::function<void(const QString&)>& Say)
{
    if (Options.Off)
        return nullptr;
    std::unique_ptr<TVerdictStore> store;
    try {
        store = std::make_unique<TVerdictStore>(Options.File.isEmpty() ? TVerdictStore::DefaultPath() : Options.File);
    } catch (const EOrvantaError& e) {
        if (!Options.File.isEmpty())
            throw;
        Say(QCoreApplication::translate("CliStore", "%1 Проверка идет без нее.").arg(e.Message()));
        return nullptr;
    }
    if (!store->Notice().isEmpty())
        Say(store->Notice());
    return store;
}
