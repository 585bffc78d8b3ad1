#include "core/reports/ReportCells.h"

namespace ReportCells {

bool CsvNeedsQuotes(QStringView Cell)
{
    for (QChar c : Cell) {
        if (c == u';' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

void AppendCsvQuotedText(QString& To, QStringView Text)
{
    for (QChar c : Text) {
        if (c == u'"')
            To += u'"';
        To += c;
    }
}

void AppendHtmlText(QString& To, QStringView Text)
{
    for (QChar c : Text) {
        switch (c.unicode()) {
        case u'&':
            To += u"&amp;";
            break;
        case u'<':
            To += u"&lt;";
            break;
        case u'>':
            To += u"&gt;";
            break;
        case u'"':
            To += u"&quot;";
            break;
        default:
            To += c;
        }
    }
}

} // namespace ReportCells
