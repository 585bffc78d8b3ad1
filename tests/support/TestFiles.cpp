#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTest>
#include <sys/stat.h>

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

QStringList FilesIn(const QString& Folder)
{
    return QDir(Folder).entryList(QDir::Files | QDir::Hidden);
}

QString FolderState(const QString& Folder)
{
    QStringList lines;
    QDirIterator it(
        Folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {
        };
        QString kind = u"missing"_qs;
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0) {
            if (S_ISLNK(st.st_mode))
                kind = u"link to "_qs + QFile::symLinkTarget(path);
            else if (S_ISDIR(st.st_mode))
                kind = u"folder"_qs;
            else if (S_ISREG(st.st_mode))
                kind = u"file "_qs + QString::fromLatin1(ReadAll(path).toHex());
            else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
                kind = QStringLiteral("device %1").arg(quint64(st.st_rdev));
            else if (S_ISFIFO(st.st_mode))
                kind = u"pipe"_qs;
            else
                kind = u"other"_qs;
        }
        lines << QDir(Folder).relativeFilePath(path) + u": "_qs + kind;
    }
    lines.sort();
    return lines.join(u'\n');
}

QString GoldenCliFile(const QString& Name)
{
    return QFINDTESTDATA(QStringLiteral("../data/cli/") + Name);
}

void AddGoldenFormatRows()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("golden");
    QTest::newRow("export-csv") << QStringLiteral("export-csv") << QStringLiteral("export.csv");
    QTest::newRow("export-text") << QStringLiteral("export-text") << QStringLiteral("export.txt");
    QTest::newRow("report-csv") << QStringLiteral("report-csv") << QStringLiteral("report.csv");
    QTest::newRow("report-text") << QStringLiteral("report-text") << QStringLiteral("report.txt");
    QTest::newRow("report-html") << QStringLiteral("report-html") << QStringLiteral("report.htm");
}
