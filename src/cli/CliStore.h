#pragma once

#include "core/checks/VerdictStore.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

// The batch tool's options of the verdict store: --store FILE, --no-store, --reuse-taken and --reuse-free
// DURATION (0 asks again; units s, m, h, d).
struct TStoreOptions {
    QString File; // empty: the data folder's
    bool Off = false;
    TReuseAges Reuse;
};

// Whether Name (without an inline value) is one of them, and whether it takes a value.
bool IsStoreOption(const QString& Name);
bool StoreOptionTakesValue(const QString& Name);
// Takes the option Name with its Value; a message for the user when the value is wrong.
std::optional<QString> ApplyStoreOption(const QString& Name, const QString& Value, TStoreOptions& Options);
// The options taken together; a message when they contradict each other.
std::optional<QString> CheckStoreOptions(const TStoreOptions& Options);

// The store the options name, or null with --no-store. What happened to a broken file is told through Say.
// The data folder's store that cannot be opened is told through Say too, and the run goes on without it;
// a file named by --store that cannot be used throws EOrvantaError.
std::unique_ptr<TVerdictStore> OpenStore(const TStoreOptions& Options, const std::function<void(const QString&)>& Say);
