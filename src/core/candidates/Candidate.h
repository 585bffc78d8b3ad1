#pragma once

#include <QString>

// What is known of a name's availability. Free and taken are verdicts with the registry's evidence;
// failed means it was asked and no verdict could be had (the candidate carries the reason).
enum class TStatus : quint8 {
    Unchecked,
    Free,
    Taken,
    Failed,
};

// How the verdict or the failure was obtained.
enum class TVia : quint8 {
    None,
    Whois,
    Rdap,
    Dns,
};

// A reason of a check: Label groups failures in the end-of-run counts ("превышен лимит запросов"), Text is
// what the user reads beside the name (it may add a detail such as a time limit). A verdict may carry one
// too ("зарезервировано реестром" on a taken name).
struct TCheckFailure {
    QString Label;
    QString Text;
};

// One candidate domain name. Name always ends with "." followed by Zone; Zone shares its text with the
// zone list, and empty PR/TIC allocate nothing. Reasons and servers are numbers into tables shared by all
// candidates (few texts, millions of names); the tables grow with every distinct text.
struct TCandidate {
    QString Name;
    QString Zone;
    QString PR;
    QString TIC;
    TStatus Status = TStatus::Unchecked;
    TVia Via = TVia::None;
    quint32 ReasonId = 0; // 0: no reason recorded
    quint32 ServerId = 0; // 0: no server asked
    quint32 MetricsReasonId = 0; // 0: the figures did not fail
    // When the status was obtained, in seconds since the epoch (UTC); 0 while unchecked or not known.
    qint64 CheckedAt = 0;

    bool Failed() const { return Status == TStatus::Failed; }
    // Free or taken: the registry's word (or the delegation's) is known.
    bool Judged() const { return Status == TStatus::Free || Status == TStatus::Taken; }
    // The figures were asked for and came (PR holds at least "-1" then).
    bool HasFigures() const { return !PR.isEmpty() || !TIC.isEmpty(); }
    bool MetricsFailed() const { return MetricsReasonId != 0; }

    // The reason of the verdict or the failure; empty when there is none.
    TCheckFailure Reason() const;
    // Why the figures could not be fetched.
    TCheckFailure MetricsReason() const;
    QString Server() const;
    void SetReason(const TCheckFailure& Reason);
    void SetMetricsReason(const TCheckFailure& Reason);
    void SetServer(const QString& Server);

    // Records a verdict or a failure with its protocol, server and reason.
    void SetOutcome(TStatus Status, TVia Via, const QString& Server, const TCheckFailure& Reason = {});
    // Back to "not checked": no verdict, reason, server or time.
    void ClearVerdict();
};

// How many candidates of a list stand at each status.
struct TStatusCounts {
    qint64 All = 0;
    qint64 Free = 0;
    qint64 Taken = 0;
    qint64 Failed = 0;
    qint64 Unchecked = 0;

    void Add(const TCandidate& Candidate);
};

// One zone-to-WHOIS-server pair parsed from a WHOIS list line.
struct TZoneServer {
    QString Zone;
    QString Server;
};

// The protocol's name as the user reads it: "WHOIS", "RDAP", "DNS"; empty for none.
QString ViaName(TVia Via);
// The protocol's word in machine-readable output: "whois", "rdap", "dns"; null for none.
const char* ViaCode(TVia Via);
// The protocol of a machine-readable word; None for anything else.
TVia ViaOfCode(QStringView Code);
