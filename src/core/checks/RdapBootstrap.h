#pragma once

#include "core/common/Paths.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// Which zones are checked over RDAP and where: the registries' bootstrap list, in the format the
// registries' registry publishes ({"version", "publication", "services": [[[zones...], [base URLs...]],
// ...]}). A zone the list does not name is checked over WHOIS.
class TRdapBootstrap
{
public:
    // Reads the list. Throws EOrvantaError, saying what is wrong in the user's words, when Json is not one
    // or an entry holds an address that is no plain http or https base URL.
    static TRdapBootstrap Parse(const QByteArray& Json);
    // Reads the list from the file Path, at most 16 MiB, as TBoundedInput reads (a device, a pipe or a FIFO
    // too); throws EOrvantaError naming the file when it cannot, EInterrupted when a signal comes first.
    static TRdapBootstrap Load(const QString& Path);
    // Reads the user's rdap.json, found (and seeded from AppFolder) like the other data files; an empty
    // list when neither folder holds one. Throws EOrvantaError when it cannot be read or is no list.
    static TRdapBootstrap LoadDataFile(const QString& AppFolder = GetShippedFolder());

    bool IsEmpty() const { return FBaseUrls.isEmpty(); }
    // The base URL for a name in Zone, ending with "/": the entry of the longest trailing run of Zone's
    // labels (letter case ignored, Unicode zones by their IDNA form); empty when none names it.
    QString BaseUrlFor(const QString& Zone) const;
    // Every base URL of that entry, the one BaseUrlFor gives first: a redirect may lead to any of them.
    QStringList BaseUrlsFor(const QString& Zone) const;

private:
    QHash<QString, QStringList> FBaseUrls; // zone in lower-case ASCII form -> base URLs
};
