#pragma once

#include <QString>

// Availability status codes of a candidate.
enum : qint32 {
    StatusUnknown = -1, // not checked, or the WHOIS query failed
    StatusFree = 0,
    StatusTaken = 1,
};

// One candidate domain name. Name always ends with "." followed by Zone; Zone shares its text with the
// zone list, and empty PR/TIC allocate nothing.
struct TDomainList {
    QString Name;
    QString Zone;
    qint32 Status = StatusUnknown;
    QString PR;
    QString TIC;
};

// One zone-to-WHOIS-server pair parsed from a WHOIS list line.
struct TDomeinAssociateSRV {
    QString DOMAIN;
    QString WHOIS_SRV;
};

// The status code as the grid's cell holds it: "-1", "0", "1".
QString StatusCodeText(qint32 Status);

// The words of a status code: on screen in the results grid, and in the reports.
QString StatusGridWord(const QString& code);
QString StatusReportWord(const QString& code);
