#include "gui/MemoText.h"

#include <QPlainTextEdit>
#include <QTextDocument>

QString MemoText(const QPlainTextEdit* Memo)
{
    // The raw text keeps every character and only marks the line breaks with the paragraph and line
    // separators.
    QString text = Memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}
