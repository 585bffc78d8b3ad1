#include "cli/CliOptions.h"

#include "core/candidates/NameVariants.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>

namespace
{

const char Usage[] = QT_TRANSLATE_NOOP("CliOptions",
    "Использование: orvanta-cli [параметры] [ФАЙЛ_СЛОВ]\n"
    "               orvanta-cli [параметры] --names ФАЙЛ_ИМЕН\n"
    "\n"
    "Составляет доменные имена из ключевых слов (по одному в строке) во всех или в выбранных зонах,\n"
    "при желании проверяет их занятость (сначала через DNS, затем через RDAP, где его предлагает реестр,\n"
    "иначе через WHOIS)\n"
    "и получает PR и ТИЦ, и сохраняет результаты.\n"
    "Слова читаются из ФАЙЛА_СЛОВ, а если он не указан или равен \"-\", со стандартного ввода.\n"
    "С --names вместо этого проверяются готовые имена из ФАЙЛА_ИМЕН: строка с зоной (redcat.com) —\n"
    "в своей зоне, строка без зоны (redcat) — в каждой зоне; строка, которая не является доменным именем,\n"
    "никуда не отправляется и попадает в результат с ошибкой \"недопустимое доменное имя\" (код завершения 4).\n"
    "\n"
    "Параметры:\n");

const char ExitCodes[] = QT_TRANSLATE_NOOP("CliOptions",
    "\n"
    "Коды завершения: 0 готово; 1 ошибка в параметрах; 2 не удалось прочитать входной файл;\n"
    "3 не удалось записать результат; 4 готово, но часть имен не проверена или PR и ТИЦ получены не полностью;\n"
    "130 остановлено сигналом SIGINT или SIGTERM, 129 — сигналом SIGHUP (остановка во время проверки:\n"
    "полученные результаты записаны; во время чтения или записи: файл вывода не изменен).\n");

// Where the help texts begin, after the names and the value.
constexpr qsizetype HelpColumn = 29;

using TTake = std::function<std::optional<QString>(TOptions&, const QString&)>;

// An option whose value is kept as it is.
TTake Keep(QString TOptions::*Field)
{
    return [Field](TOptions& o, const QString& v) -> std::optional<QString> {
        o.*Field = v;
        return std::nullopt;
    };
}

// An option whose value is a file that must be named.
TTake KeepNamed(QString TOptions::*Field, const QString& Missing)
{
    return [Field, Missing](TOptions& o, const QString& v) -> std::optional<QString> {
        if (v.isEmpty())
            return Missing;
        o.*Field = v;
        return std::nullopt;
    };
}

TTake Switch(bool TOptions::*Field)
{
    return [Field](TOptions& o, const QString&) -> std::optional<QString> {
        o.*Field = true;
        return std::nullopt;
    };
}

std::optional<TReportKind> ParseFormat(const QString& name)
{
    if (name == u"export-csv")
        return TReportKind::ExportCSV;
    if (name == u"export-text")
        return TReportKind::ExportText;
    if (name == u"report-csv")
        return TReportKind::ReportCSV;
    if (name == u"report-text")
        return TReportKind::ReportText;
    if (name == u"report-html")
        return TReportKind::ReportHTML;
    return std::nullopt;
}

// An option of the verdict store, taken as the store's own options take it.
TOptionRow StoreRow(const QString& Name, const QString& ValueName, const QString& Help)
{
    return { { Name }, ValueName, Help, [Name](TOptions& o, const QString& v) {
                return ApplyStoreOption(u"--"_qs + Name, v, o.Store);
            } };
}

QList<TOptionRow> MakeTable()
{
    return {
        { { u"n"_qs, u"words"_qs }, u"2|3|4"_qs, QCoreApplication::translate("CliOptions", "сколько ключевых слов в одном имени (по умолчанию 2)"),
            [](TOptions& o, const QString& v) -> std::optional<QString> {
                if (v != u"2" && v != u"3" && v != u"4")
                    return QCoreApplication::translate("CliOptions", "количество слов должно быть 2, 3 или 4, а не \"%1\"").arg(v);
                o.Mode = v.toInt() - 2;
                return std::nullopt;
            } },
        { { u"names"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"),
            QCoreApplication::translate("CliOptions", "проверить готовые имена из ФАЙЛА (по одному в строке; \"-\" — стандартный ввод)\n"
            "вместо имен из ключевых слов"),
            [](TOptions& o, const QString& v) -> std::optional<QString> {
                if (v.isEmpty())
                    return QCoreApplication::translate("CliOptions", "пустое имя файла имен");
                o.NamesFile = v;
                return std::nullopt;
            } },
        { { u"z"_qs, u"zone"_qs }, QCoreApplication::translate("CliOptions", "ЗОНА"),
            QCoreApplication::translate("CliOptions", "зона (можно повторять; порядок сохраняется); без него все зоны списка"),
            [](TOptions& o, const QString& v) -> std::optional<QString> {
                o.Zones << v;
                return std::nullopt;
            } },
        { { u"zone-list"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"), QCoreApplication::translate("CliOptions", "список зон вместо first.dat пользователя"), Keep(&TOptions::ZoneList) },
        { { u"hyphen"_qs }, QString(), QCoreApplication::translate("CliOptions", "также имена через дефис (red-cat рядом с redcat)"),
            Switch(&TOptions::Hyphen) },
        { { u"prefixes"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"), QCoreApplication::translate("CliOptions", "также имена с каждым префиксом из ФАЙЛА (по одному в строке): myredcat"),
            KeepNamed(&TOptions::Prefixes, QCoreApplication::translate("CliOptions", "пустое имя файла префиксов")) },
        { { u"suffixes"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"),
            QCoreApplication::translate("CliOptions", "также имена с каждым суффиксом из ФАЙЛА (по одному в строке): redcatshop"),
            KeepNamed(&TOptions::Suffixes, QCoreApplication::translate("CliOptions", "пустое имя файла суффиксов")) },
        { { u"translit"_qs }, QString(),
            QCoreApplication::translate("CliOptions", "в зонах, принимающих только латиницу (по правилам зон), писать русские\n"
            "слова латиницей по таблице translit.dat пользователя"),
            Switch(&TOptions::Translit) },
        { { u"max-length"_qs }, u"N"_qs, QCoreApplication::translate("CliOptions", "только имена не длиннее N символов (от 1 до 63)"),
            [](TOptions& o, const QString& v) -> std::optional<QString> {
                bool ok = false;
                const int n = v.toInt(&ok);
                if (!ok || n < 1 || n > MaxLabelLetters)
                    return QCoreApplication::translate("CliOptions", "длина имени должна быть от 1 до %1, а не \"%2\"")
                        .arg(MaxLabelLetters)
                        .arg(v);
                o.MaxLength = n;
                return std::nullopt;
            } },
        { { u"whois-list"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"), QCoreApplication::translate("CliOptions", "список серверов WHOIS вместо whois.dat пользователя"),
            Keep(&TOptions::WhoisList) },
        { { u"whois"_qs }, QString(),
            QCoreApplication::translate("CliOptions", "проверить занятость имен: имя, делегированное в DNS, занято; об остальных\n"
            "спросить реестр — через RDAP в зонах из списка серверов RDAP, иначе через WHOIS"),
            Switch(&TOptions::Whois) },
        { { u"metrics"_qs }, QString(), QCoreApplication::translate("CliOptions", "получить PR и ТИЦ каждого имени"), Switch(&TOptions::Metrics) },
        { { u"whois-port"_qs }, QCoreApplication::translate("CliOptions", "ПОРТ"), QCoreApplication::translate("CliOptions", "порт серверов WHOIS (по умолчанию 43)"),
            [](TOptions& o, const QString& v) -> std::optional<QString> {
                bool ok = false;
                const uint port = v.toUInt(&ok);
                if (!ok || port == 0 || port > 65535)
                    return QCoreApplication::translate("CliOptions", "неверный порт \"%1\"").arg(v);
                o.WhoisPort = quint16(port);
                return std::nullopt;
            } },
        { { u"whois-limits"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"),
            QCoreApplication::translate("CliOptions", "ограничения скорости серверов вместо limits.dat пользователя\n"
            "(строки СЕРВЕР:ЗАПРОСОВ:СЕКУНД, * — для остальных серверов)"),
            Keep(&TOptions::WhoisLimits) },
        { { u"zone-scripts"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"),
            QCoreApplication::translate("CliOptions", "какие буквы допустимы в каждой зоне, вместо zone-scripts.dat пользователя\n"
            "(строки ЗОНА:ПИСЬМЕННОСТИ, например ru:latin)"),
            Keep(&TOptions::ZoneScripts) },
        { { u"rdap-bootstrap"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"),
            QCoreApplication::translate("CliOptions", "список серверов RDAP (формат IANA, RFC 9224) вместо rdap.json пользователя"),
            KeepNamed(&TOptions::RdapBootstrap, QCoreApplication::translate("CliOptions", "пустое имя файла списка серверов RDAP")) },
        { { u"no-rdap"_qs }, QString(), QCoreApplication::translate("CliOptions", "проверять все зоны только через WHOIS"), Switch(&TOptions::NoRdap) },
        { { u"dns-server"_qs }, QCoreApplication::translate("CliOptions", "АДРЕС"),
            QCoreApplication::translate("CliOptions", "сервер DNS, которого спрашивать первым: IP-АДРЕС, IP-АДРЕС:ПОРТ или [IPV6]:ПОРТ\n"
            "(по умолчанию системные серверы из /etc/resolv.conf)"),
            [](TOptions& o, const QString& v) -> std::optional<QString> {
                o.DnsServer = TDnsServer::Parse(v);
                if (!o.DnsServer)
                    return QCoreApplication::translate("CliOptions", "неверный адрес сервера DNS \"%1\"").arg(v);
                return std::nullopt;
            } },
        { { u"no-dns"_qs }, QString(), QCoreApplication::translate("CliOptions", "не спрашивать DNS: о каждом имени спрашивать реестр"),
            Switch(&TOptions::NoDns) },
        { { u"resume"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"),
            QCoreApplication::translate("CliOptions", "не спрашивать снова об именах, признанных свободными или занятыми\n"
            "в прежнем выводе -f json (ФАЙЛ), а взять их ответы оттуда"),
            Keep(&TOptions::Resume) },
        StoreRow(u"reuse-taken"_qs, QCoreApplication::translate("CliOptions", "СРОК"),
            QCoreApplication::translate("CliOptions", "не спрашивать снова об именах, признанных занятыми не раньше чем СРОК\n"
            "назад, а взять ответ из базы результатов (по умолчанию 7d; 0 — спрашивать\n"
            "всегда; СРОК — число с единицей s, m, h или d)")),
        StoreRow(u"reuse-free"_qs, QCoreApplication::translate("CliOptions", "СРОК"), QCoreApplication::translate("CliOptions", "то же для имен, признанных свободными (по умолчанию 1h)")),
        StoreRow(u"store"_qs, QCoreApplication::translate("CliOptions", "ФАЙЛ"), QCoreApplication::translate("CliOptions", "база результатов проверок вместо verdicts.sqlite в папке данных")),
        StoreRow(u"no-store"_qs, QString(), QCoreApplication::translate("CliOptions", "не читать и не записывать базу результатов проверок")),
        { { u"f"_qs, u"format"_qs }, QCoreApplication::translate("CliOptions", "ФОРМАТ"),
            QCoreApplication::translate("CliOptions", "export-csv (по умолчанию), export-text, report-csv, report-text, report-html,\n"
            "json (JSON Lines: по объекту на имя с полями name, zone, status, reason,\n"
            "server, via, checked, pr, tic)"),
            [](TOptions& o, const QString& v) -> std::optional<QString> {
                o.Json = v == u"json";
                const auto kind = ParseFormat(v);
                if (!kind && !o.Json)
                    return QCoreApplication::translate("CliOptions", "неизвестный формат \"%1\"").arg(v);
                if (kind)
                    o.Format = *kind;
                return std::nullopt;
            } },
        { { u"o"_qs, u"output"_qs }, QCoreApplication::translate("CliOptions", "ФАЙЛ"), QCoreApplication::translate("CliOptions", "куда записать результат (по умолчанию стандартный вывод)"),
            KeepNamed(&TOptions::Output, QCoreApplication::translate("CliOptions", "пустое имя выходного файла")) },
        { { u"dry-run"_qs }, QString(), QCoreApplication::translate("CliOptions", "только вывести количество имен"), Switch(&TOptions::DryRun) },
        { { u"yes"_qs }, QString(), QCoreApplication::translate("CliOptions", "не спрашивать подтверждения для более чем 2000000 имен"),
            Switch(&TOptions::Yes) },
        { { u"h"_qs, u"help"_qs }, QString(), QCoreApplication::translate("CliOptions", "эта справка"), Switch(&TOptions::Help) },
        { { u"version"_qs }, QString(), QCoreApplication::translate("CliOptions", "версия программы"), Switch(&TOptions::Version) },
    };
}

// An option's name as typed: "-n", "--words".
QString Dashed(const QString& Name)
{
    return (Name.size() == 1 ? u"-"_qs : u"--"_qs) + Name;
}

const TOptionRow* RowNamed(const QString& Name)
{
    for (const TOptionRow& row : OptionTable())
        if (row.Names.contains(Name))
            return &row;
    return nullptr;
}

// The parser tells a failure in its own words; the tool's messages name the option as typed. A value can
// be missing only after the last argument, and an unwanted one only comes after "=".
QString FailureMessage(const QCommandLineParser& Parser, const QStringList& Arguments)
{
    QStringList options = Arguments.mid(1);
    const qsizetype end = options.indexOf(u"--"_qs);
    if (end >= 0)
        options.resize(end);
    if (!options.isEmpty() && end < 0) {
        const QString& last = options.last();
        const bool named = last.startsWith(u"--") ? !last.contains(u'=') : last.size() == 2 && last.at(0) == u'-';
        const TOptionRow* row = named ? RowNamed(last.mid(last.startsWith(u"--") ? 2 : 1)) : nullptr;
        if (row && !row->ValueName.isEmpty())
            return QCoreApplication::translate("CliOptions", "параметру %1 нужно значение").arg(last);
    }
    for (const QString& argument : std::as_const(options)) {
        if (!argument.startsWith(u"--") || !argument.contains(u'='))
            continue;
        const QString name = argument.mid(2).section(u'=', 0, 0);
        const TOptionRow* row = RowNamed(name);
        if (row && row->ValueName.isEmpty())
            return QCoreApplication::translate("CliOptions", "параметр %1 не принимает значения").arg(Dashed(name));
    }
    if (!Parser.unknownOptionNames().isEmpty())
        return QCoreApplication::translate("CliOptions", "неизвестный параметр \"%1\"").arg(Dashed(Parser.unknownOptionNames().constFirst()));
    return Parser.errorText();
}

} // namespace

const QList<TOptionRow>& OptionTable()
{
    static const QList<TOptionRow> table = MakeTable();
    return table;
}

QString HelpText()
{
    QString out = QCoreApplication::translate("CliOptions", Usage);
    for (const TOptionRow& row : OptionTable()) {
        QString names = u"  "_qs;
        for (const QString& name : row.Names) {
            if (name.size() > 1 && names.size() == 2)
                names += u"    "_qs;
            names += Dashed(name) + (name.size() == 1 ? u", "_qs : QString());
        }
        if (!row.ValueName.isEmpty())
            names += u' ' + row.ValueName;
        const QString indent(HelpColumn, u' ');
        out += names + QString(std::max<qsizetype>(2, HelpColumn - names.size()), u' ')
            + QString(row.Help).replace(u"\n"_qs, u'\n' + indent) + u'\n';
    }
    return out + QCoreApplication::translate("CliOptions", ExitCodes);
}

std::optional<QString> ParseOptions(const QStringList& Arguments, TOptions& Options)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QList<TOptionRow>& table = OptionTable();
    QList<QCommandLineOption> options;
    for (const TOptionRow& row : table) {
        QCommandLineOption option(row.Names);
        option.setValueName(row.ValueName);
        parser.addOption(option);
        options << option;
    }
    if (!parser.parse(Arguments))
        return FailureMessage(parser, Arguments);
    for (qsizetype i = 0; i < table.size(); ++i) {
        const TOptionRow& row = table.at(i);
        const QStringList values = row.ValueName.isEmpty()
            ? (parser.isSet(options.at(i)) ? QStringList { QString() } : QStringList())
            : parser.values(options.at(i));
        for (const QString& value : values)
            if (auto error = row.Take(Options, value))
                return error;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return QCoreApplication::translate("CliOptions", "лишний аргумент \"%1\"").arg(files.at(1));
    if (!files.isEmpty())
        Options.WordsFile = files.constFirst();
    if (Options.NoRdap && !Options.RdapBootstrap.isEmpty())
        return QCoreApplication::translate("CliOptions", "параметры --rdap-bootstrap и --no-rdap исключают друг друга");
    if (Options.NoDns && Options.DnsServer)
        return QCoreApplication::translate("CliOptions", "параметры --dns-server и --no-dns исключают друг друга");
    if (auto error = CheckStoreOptions(Options.Store))
        return error;
    if (Options.NamesFile && Options.WordsFile)
        return QCoreApplication::translate("CliOptions", "файл слов и параметр --names исключают друг друга");
    // Names given whole are checked as they are: a variant would be silently ignored.
    const std::pair<bool, const char16_t*> variants[] = { { Options.Hyphen, u"--hyphen" },
        { !Options.Prefixes.isEmpty(), u"--prefixes" }, { !Options.Suffixes.isEmpty(), u"--suffixes" },
        { Options.Translit, u"--translit" }, { Options.MaxLength > 0, u"--max-length" } };
    for (const auto& [given, name] : variants)
        if (Options.NamesFile && given)
            return QCoreApplication::translate("CliOptions", "параметры %1 и --names исключают друг друга").arg(QString::fromUtf16(name));
    return std::nullopt;
}
