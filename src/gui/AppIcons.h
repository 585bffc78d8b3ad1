#pragma once

#include <QIcon>

// The pictures of the window's commands. They come from one icon theme, the same for every command and
// the same on every desktop (Tango, installed with the program's packages, at 32 pixels); a command whose
// picture the theme lacks gets the widget style's own.
enum class TAppIcon { Clear, Open, Save, Settings, Web, Help, Start, Copy, Exit };

QIcon AppIcon(TAppIcon Icon);
// The theme the pictures come from, empty when it is not installed.
QString AppIconTheme();
