#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

QByteArray ReadAll(const QString& Path)
{
    QFile f(Path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& Path, const QByteArray& Bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(Path).absolutePath()));
    QFile f(Path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(Bytes), Bytes.size());
}
