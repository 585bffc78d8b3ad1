#pragma once

#include <QString>

// Product constants shared by every subsystem.
namespace QuorbelConsts
{

inline constexpr char16_t ProductName[] = u"Orvanta";
inline constexpr char16_t ProductVersion[] = u"2.1";
inline constexpr char16_t CompanyName[] = u"Quorbel Software";

inline constexpr char16_t PathHelp[] = u"/faq.php";
inline constexpr char16_t PathContact[] = u"/contact.php";
inline constexpr char16_t PathUpdates[] = u"/updates.txt";
inline constexpr char16_t PathMetrics[] = u"/other/page.php?site=";
inline constexpr char16_t PathProgram[] = u"/upd/orvanta.exe";

// Texts of the About dialog, translated there.
inline constexpr char AboutVersionText[] = QT_TRANSLATE_NOOP("TFormAbout", "Версия программы");
inline constexpr char AboutCloseText[] = QT_TRANSLATE_NOOP("TFormAbout", "Закрыть");
// The About dialog's notice line: label, ": ", text.
inline constexpr char AboutNoticeLabel[] = QT_TRANSLATE_NOOP("TFormAbout", "Авторские права");
inline constexpr char16_t AboutNoticeText[] = u"© Quorbel Software";

// The built-in site lives under the reserved .example zone, so no third party ever sees a user's names. It is
// reached over https, so that nobody on the way can change the update list or the program file.
inline constexpr char16_t DefaultSiteUrl[] = u"https://www.orvanta.example";
inline constexpr char SiteUrlVariable[] = "ORVANTA_SITE_URL";

// The site's address: ORVANTA_SITE_URL (scheme, host, optional port) when set, else the built-in one.
// No trailing slash.
QString SiteUrl();
QString HelpUrl();
QString ContactUrl();
QString UpdatesUrl();
QString MetricsUrl();
QString ProgramUrl();

// "Orvanta 2.1"
QString ProductTitle();

} // namespace QuorbelConsts
