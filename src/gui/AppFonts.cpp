#include "gui/AppFonts.h"

#include <QStringList>

QFont TahomaFont(int PixelSize, bool Bold)
{
    // Tahoma is narrow; the usual stand-in for it on Linux is wider, and "Не проверен" would no longer fit
    // its 90-pixel column. The condensed face keeps the design's fixed widths readable.
    QFont font;
    font.setFamilies({ QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed") });
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(PixelSize);
    font.setBold(Bold);
    return font;
}
