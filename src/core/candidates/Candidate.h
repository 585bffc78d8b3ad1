#pragma once

#include <QString>

// Availability status codes of a candidate.
enum : qint32 {
    StatusUnknown = -1, // not checked, or the check failed (then the candidate carries a reason)
    StatusFree = 0,
    StatusTaken = 1,
};

// Why the check of one name failed: Label groups failures in the end-of-run counts ("превышен лимит
// запросов"), Text is what the user reads beside the name (it may add a detail such as a time limit).
struct TCheckFailure {
    QString Label;
    QString Text;
};

// One candidate domain name. Name always ends with "." followed by Zone; Zone shares its text with the
// zone list, and empty PR/TIC allocate nothing. The failure reason and the server asked are kept as
// numbers into tables shared by all candidates (few texts, millions of names), in what would otherwise
// be padding after Status.
struct TCandidate {
    QString Name;
    QString Zone;
    qint32 Status = StatusUnknown;
    quint16 ReasonId = 0; // 0: no failure recorded
    quint16 ServerId = 0; // 0: no server asked
    QString PR;
    QString TIC;

    // Checked and failed: status unknown with a reason. Unknown without a reason is "not checked".
    bool Failed() const { return Status == StatusUnknown && ReasonId != 0; }
    TCheckFailure Failure() const;
    QString Server() const;
    // Asked over RDAP: its server is a base URL, where a WHOIS server is a host name.
    bool AskedOverRdap() const;
    void SetFailure(const TCheckFailure& Failure);
    void SetServer(const QString& Server);
};

// One zone-to-WHOIS-server pair parsed from a WHOIS list line.
struct TZoneServer {
    QString Zone;
    QString Server;
};

// A server as a candidate records it names an RDAP base URL ("https://…/"), not a WHOIS host.
bool IsRdapServer(const QString& Server);

// The status code as the grid's cell holds it: "-1", "0", "1".
QString StatusCodeText(qint32 Status);

// The words of a status code: on screen in the results grid, and in the reports.
QString StatusGridWord(const QString& code);
QString StatusReportWord(const QString& code);
