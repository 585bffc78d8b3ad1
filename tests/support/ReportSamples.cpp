#include "support/ReportSamples.h"

#include "core/candidates/ResultsModel.h"

#include <QFile>
#include <QTest>

void FillSampleGrid(TResultsModel& Grid)
{
    Grid.SetHeader({ u"Доменное имя"_qs, u"Зона"_qs, u"Занятость"_qs, u"PR"_qs, u"ТИЦ"_qs });
    Grid.SetRows({
        { u"redcat.ru"_qs, u"ru"_qs, StatusTaken, 0, 0, u"3"_qs, u"120"_qs },
        { u"catred.ru"_qs, u"ru"_qs, StatusFree, 0, 0, QString(), QString() },
        { u"котик.рф"_qs, u"рф"_qs, StatusUnknown, 0, 0, u"-1"_qs, u"0"_qs },
        { u"red;cat.com"_qs, u"com"_qs, StatusFree, 0, 0, QString(), QString() },
        { u"tom&<jerry>.net"_qs, u"net"_qs, StatusTaken, 0, 0, u"1"_qs, u"10"_qs },
        { u"say\"hi\".org"_qs, u"org"_qs, StatusUnknown, 0, 0, QString(), QString() },
    });
}

void FillPlainGrid(TResultsModel& Grid, int Rows)
{
    QList<TCandidate> rows;
    rows.reserve(Rows);
    for (int i = 0; i < Rows; ++i)
        rows.append({ u"name%1.ru"_qs.arg(i), u"ru"_qs, qint32(i % 3) - 1, 0, 0, QString::number(i), QString() });
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
