#pragma once

#include <QString>

class QPlainTextEdit;

// The text of a multi-line box exactly as it holds it, lines separated by "\n". toPlainText() would turn
// no-break spaces into spaces, changing keywords and list lines.
QString MemoText(const QPlainTextEdit* Memo);
// Replaces the box's text as one edit that Undo takes back, where setPlainText() would forget the history.
void ReplaceMemoText(QPlainTextEdit* Memo, const QString& Text);
