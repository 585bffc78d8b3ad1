#include "support/HeaderClick.h"

#include <QHeaderView>
#include <QTableView>
#include <QTest>

void ClickHeader(QTableView* View, int Column)
{
    QHeaderView* header = View->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(Column) + header->sectionSize(Column) / 2, header->height() / 2));
}
