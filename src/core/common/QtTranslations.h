#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The language the interface speaks. Russian is the source language of every text; another one comes from
// translations/orvanta_LANG.qm among the shipped files, with Qt's own texts from Qt's translations.
enum class TUiLanguage {
    System, // the first of the user's languages the program ships, else Russian
    Russian,
    English,
};

// translations/ among the shipped files, ending in a separator.
QString ShippedTranslationsFolder();

// The language code ("ru", "en") for Choice. For System, UiLanguages are read in order ("de-DE", "en-US",
// "ru"): the first whose language is Russian or has a translation in TranslationsFolder wins; none, or an
// unknown one such as "C", gives Russian.
QString InterfaceLanguage(TUiLanguage Choice, const QStringList& UiLanguages = QLocale::system().uiLanguages(),
    const QString& TranslationsFolder = ShippedTranslationsFolder());

// Installs Qt's own texts and the program's texts in Language, replacing those an earlier call installed, so
// the language can be switched back. False when a translation that Language needs cannot be loaded; the
// source texts (Russian) stand in then.
bool InstallTranslations(const QString& Language);

// Qt's own texts (message box buttons, file dialogs, file errors) in Russian, like the rest of the
// interface. False when the translations are not installed.
bool InstallQtTranslations();
