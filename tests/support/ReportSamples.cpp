#include "support/ReportSamples.h"

#include <QFile>
#include <QTest>
#include <array>

QList<TCandidate> SampleRows()
{
    return {
        { u"redcat.ru"_qs, u"ru"_qs, u"3"_qs, u"120"_qs, TStatus::Taken },
        { u"catred.ru"_qs, u"ru"_qs, QString(), QString(), TStatus::Free },
        { u"котик.рф"_qs, u"рф"_qs, u"-1"_qs, u"0"_qs, TStatus::Unchecked },
        { u"red;cat.com"_qs, u"com"_qs, QString(), QString(), TStatus::Free },
        { u"tom&<jerry>.net"_qs, u"net"_qs, u"1"_qs, u"10"_qs, TStatus::Taken },
        { u"say\"hi\".org"_qs, u"org"_qs, QString(), QString(), TStatus::Unchecked },
    };
}

void FillSampleGrid(TSampleGrid& Grid)
{
    Grid.SetRows(SampleRows());
}

void FillPlainGrid(TSampleGrid& Grid, int Rows)
{
    QList<TCandidate> rows;
    rows.reserve(Rows);
    for (int i = 0; i < Rows; ++i)
        rows.append({ u"name%1.ru"_qs.arg(i), u"ru"_qs, QString::number(i), QString(),
            std::array { TStatus::Unchecked, TStatus::Free, TStatus::Taken }[size_t(i % 3)] });
    Grid.SetRows(rows);
}

TReportStamp SampleStamp()
{
    return { QLocale(QLocale::Russian, QLocale::Russia), QDateTime(QDate(2024, 3, 5), QTime(9, 7, 2)) };
}

QByteArray GoldenReport(const QString& FileName)
{
    QFile file(QFINDTESTDATA(u"../data/reports/"_qs + FileName));
    if (!file.open(QIODevice::ReadOnly)) {
        QTest::qFail(qPrintable(u"golden file missing: "_qs + FileName), __FILE__, __LINE__);
        return {};
    }
    return file.readAll();
}
