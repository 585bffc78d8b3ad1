#pragma once

#include <QFont>

// The program's typeface at a pixel size; where Tahoma is missing, the platform's fallback for it.
QFont TahomaFont(int PixelSize, bool Bold = false);
