#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Names given whole instead of built from keywords: a shortlist the user already has, one name a line.
//
// Each line is trimmed and blank lines are dropped. A line with a dot is one name in the zone after its
// first label ("redcat.com", "кот.рф", "redcat.co.uk"); a line without one is a name in each of Zones. A
// line's zone that is one of Zones by its IDNA form (letter case ignored) takes the spelling of Zones, so
// the grid, its sort and the per-zone counts see one zone: with "рф" chosen, "кот.XN--P1AI" is "кот.рф"
// and "xn--j1aim.xn--p1ai" is "кот.рф" too (an ASCII label is shown in Unicode in a Unicode zone). A name
// that repeats an earlier one (by its IDNA ASCII form, letter case ignored) is dropped. Names are not
// judged here: a line that is no valid domain name is visited like any other.
void ForEachGivenName(const QStringList& Lines, const QStringList& Zones,
    const std::function<void(const QString& Name, const QString& Zone)>& Visit);

// How many names ForEachGivenName visits.
qsizetype GivenNameCount(const QStringList& Lines, const QStringList& Zones);

// Some line has no zone of its own, so the names need the chosen zones.
bool GivenNamesNeedZones(const QStringList& Lines);

// Some line is not blank.
bool HasGivenNames(const QStringList& Lines);
