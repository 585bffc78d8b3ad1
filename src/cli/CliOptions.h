#pragma once

#include "cli/CliStore.h"
#include "core/checks/DnsLookup.h"
#include "core/reports/ReportWriters.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// What the command line asks the batch tool for.
struct TOptions {
    int Mode = 0;
    QStringList Zones;
    QString ZoneList;
    // The name variants: hyphenated forms, prefix and suffix files, Latin spelling, the length limit (0: none).
    bool Hyphen = false;
    QString Prefixes;
    QString Suffixes;
    bool Translit = false;
    int MaxLength = 0;
    QString WhoisList;
    QString WhoisLimits;
    QString ZoneScripts;
    QString RdapBootstrap;
    bool NoRdap = false;
    bool NoDns = false;
    std::optional<TDnsServer> DnsServer;
    QString Resume;
    TStoreOptions Store;
    bool Whois = false;
    bool Metrics = false;
    quint16 WhoisPort = 43;
    TReportKind Format = TReportKind::ExportCSV;
    bool Json = false; // JSON Lines instead of one of the five writers
    QString Output;
    bool DryRun = false;
    bool Yes = false;
    bool Help = false;
    bool Version = false;
    std::optional<QString> WordsFile;
    // Names to check as they are, one a line ("-": standard input), instead of names built from keywords.
    std::optional<QString> NamesFile;
};

// One option of the tool, the one place its names, its value and its help are written: the parser, --help,
// and through the install test the manual page and the bash completion all follow this table.
struct TOptionRow {
    // A one-letter name first, when it has one.
    QStringList Names;
    // What the value is called in the help; empty for a switch.
    QString ValueName;
    // The help text; further lines after "\n".
    QString Help;
    // Takes one occurrence of the option, in the order given: its value (empty for a switch). The usage
    // error's message when the value is not allowed.
    std::function<std::optional<QString>(TOptions& Options, const QString& Value)> Take;
};

// Every option, in the order of --help.
const QList<TOptionRow>& OptionTable();

// What --help prints: the usage, every option of the table, the exit codes.
QString HelpText();

// Parses Arguments (the program's own name first) into Options. The usage error's message, without the
// program's name, when they are not a valid command line.
std::optional<QString> ParseOptions(const QStringList& Arguments, TOptions& Options);
