#pragma once

#include <QString>

// A reason as the user reads it. Reasons are kept in Russian wherever they are written (the candidates, the
// verdict store, reports, JSON Lines), so they are translated only where they are shown: Text is matched
// against the texts the checks make, with their details (%1, %2) translated in turn where they are such
// texts too; a detail in a server's own words stays as given, as does a text that is none of these.
QString ShownReason(const QString& Text);
