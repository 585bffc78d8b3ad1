#include "gui/MemoText.h"

#include <QPlainTextEdit>
#include <QTextCursor>
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

void ReplaceMemoText(QPlainTextEdit* Memo, const QString& Text)
{
    QTextCursor cursor(Memo->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(Text);
    cursor.endEditBlock();
    Memo->moveCursor(QTextCursor::Start);
}
