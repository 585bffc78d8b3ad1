#include "core/common/QtTranslations.h"

#include "core/common/Paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace
{

const QString RussianCode = u"ru"_qs;

// The translators InstallTranslations put in place, removed by its next call.
QList<QTranslator*>& Installed()
{
    static QList<QTranslator*> translators;
    return translators;
}

bool Install(const QString& Name, const QString& Folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(Name, Folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    Installed() << translator;
    return true;
}

} // namespace

QString ShippedTranslationsFolder()
{
    return GetShippedFolder() + u"translations/"_qs;
}

QString InterfaceLanguage(TUiLanguage Choice, const QStringList& UiLanguages, const QString& TranslationsFolder)
{
    switch (Choice) {
    case TUiLanguage::Russian:
        return RussianCode;
    case TUiLanguage::English:
        return u"en"_qs;
    case TUiLanguage::System:
        break;
    }
    for (const QString& name : UiLanguages) {
        const QLocale locale(name);
        if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
            continue;
        // "en-US" and "en_GB" both name English; the translation files go by the language alone.
        const QString code = locale.name().section(u'_', 0, 0);
        if (code == RussianCode || QFileInfo::exists(TranslationsFolder + u"orvanta_"_qs + code + u".qm"_qs))
            return code;
    }
    return RussianCode;
}

bool InstallTranslations(const QString& Language)
{
    for (QTranslator* translator : std::as_const(Installed())) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    Installed().clear();
    // Qt's texts are written in English: there is no file of Qt's own for it.
    bool ok
        = Install(u"qtbase_"_qs + Language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) || Language == u"en"_qs;
    if (Language != RussianCode)
        ok = Install(u"orvanta_"_qs + Language, ShippedTranslationsFolder()) && ok;
    return ok;
}

bool InstallQtTranslations()
{
    return InstallTranslations(RussianCode);
}
