#pragma once

#include <QString>

class QPlainTextEdit;

// The text of a multi-line box exactly as it holds it, lines separated by "\n". toPlainText() would turn
// no-break spaces into spaces, changing keywords and list lines.
QString MemoText(const QPlainTextEdit* Memo);
