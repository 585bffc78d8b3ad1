#include "gui/AppIcons.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStyle>

namespace
{

struct TIconSource {
    const char* Name;
    QStyle::StandardPixmap Fallback;
};

TIconSource Source(TAppIcon Icon)
{
    switch (Icon) {
    case TAppIcon::Clear:
        return { "edit-clear", QStyle::SP_DialogResetButton };
    case TAppIcon::Open:
        return { "document-open", QStyle::SP_DialogOpenButton };
    case TAppIcon::Save:
        return { "document-save", QStyle::SP_DialogSaveButton };
    case TAppIcon::Settings:
        return { "preferences-system", QStyle::SP_FileDialogDetailedView };
    case TAppIcon::Web:
        return { "internet-web-browser", QStyle::SP_DriveNetIcon };
    case TAppIcon::Help:
        return { "help-browser", QStyle::SP_DialogHelpButton };
    case TAppIcon::Start:
        return { "media-playback-start", QStyle::SP_MediaPlay };
    case TAppIcon::Copy:
        return { "edit-copy", QStyle::SP_FileIcon };
    case TAppIcon::Exit:
        return { "system-log-out", QStyle::SP_DialogCloseButton };
    }
    return { "", QStyle::SP_FileIcon };
}

const QString ThemeName = QStringLiteral("Tango");

bool ThemeInstalled()
{
    // Not every platform plugin looks in the system's icon folders (the headless one does not): add them.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString icons = QDir(data).filePath(QStringLiteral("icons"));
        if (!paths.contains(icons) && QFileInfo(icons).isDir())
            paths << icons;
    }
    QIcon::setThemeSearchPaths(paths);
    for (const QString& folder : std::as_const(paths))
        if (QFileInfo::exists(folder + u'/' + ThemeName + u"/index.theme"))
            return true;
    return false;
}

} // namespace

QString AppIconTheme()
{
    static const bool installed = ThemeInstalled();
    return installed ? ThemeName : QString();
}

QIcon AppIcon(TAppIcon Icon)
{
    // The desktop's own theme would mix its pictures with the fallbacks; one theme keeps them alike.
    if (!AppIconTheme().isEmpty() && QIcon::themeName() != AppIconTheme())
        QIcon::setThemeName(AppIconTheme());
    const TIconSource source = Source(Icon);
    const QString name = QLatin1String(source.Name);
    if (!AppIconTheme().isEmpty() && QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    return QApplication::style()->standardIcon(source.Fallback);
}
