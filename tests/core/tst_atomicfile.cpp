#include "core/common/AtomicFile.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

using TStep = TFileReplaceFailure::TStep;

enum class TTarget { Nothing, File, LinkToFile, Folder, Pipe, LinkLoop, MissingFolder };

// Puts Target at Dir/"out" (a link's file is "real") and returns the path to write.
QString MakeTarget(const QTemporaryDir& Dir, TTarget Target)
{
    const QString path = Dir.filePath(u"out"_qs);
    switch (Target) {
    case TTarget::Nothing:
        break;
    case TTarget::File:
        WriteAll(path, "old");
        break;
    case TTarget::LinkToFile:
        WriteAll(Dir.filePath(u"real"_qs), "old");
        QFile::link(u"real"_qs, path);
        break;
    case TTarget::Folder:
        QDir().mkpath(path);
        break;
    case TTarget::Pipe:
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
        break;
    case TTarget::LinkLoop:
        QFile::link(u"out"_qs, path);
        break;
    case TTarget::MissingFolder:
        return Dir.filePath(u"missing/out"_qs);
    }
    return path;
}

} // namespace

Q_DECLARE_METATYPE(TTarget)
Q_DECLARE_METATYPE(TStep)

class TestAtomicFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void targets_data();
    void targets();
    void failedWritesKeepTheOldFile_data();
    void failedWritesKeepTheOldFile();
};

void TestAtomicFile::targets_data()
{
    QTest::addColumn<TTarget>("target");
    QTest::addColumn<bool>("written");
    QTest::addColumn<TStep>("step"); // when refused
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing there yet") << TTarget::Nothing << true << TStep::Create << QString();
    QTest::newRow("a regular file") << TTarget::File << true << TStep::Create << QString();
    QTest::newRow("a link to a regular file") << TTarget::LinkToFile << true << TStep::Create << QString();
    QTest::newRow("a folder") << TTarget::Folder << false << TStep::Target << u"Это папка, а не файл"_qs;
    // A new file in place of a pipe or a device node would destroy it.
    QTest::newRow("a pipe") << TTarget::Pipe << false << TStep::Target
                            << u"Это не обычный файл, а устройство, канал или сокет"_qs;
    QTest::newRow("a link loop") << TTarget::LinkLoop << false << TStep::Target
                                 << u"Символические ссылки образуют петлю"_qs;
    QTest::newRow("a missing folder") << TTarget::MissingFolder << false << TStep::Create
                                      << u"Нет такого файла или папки"_qs;
}

void TestAtomicFile::targets()
{
    QFETCH(TTarget, target);
    QFETCH(bool, written);
    QFETCH(TStep, step);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = MakeTarget(dir, target);
    const QString before = FolderState(dir.path());
    try {
        WriteFileAtomically(path, QByteArray("new"));
        QVERIFY(written);
    } catch (const EFileReplaceError& e) {
        QVERIFY2(!written, qPrintable(e.Message()));
        QCOMPARE(e.Failure().Step, step);
        QCOMPARE(e.Failure().Reason(), reason);
        QCOMPARE(e.Message(), u"Не удалось создать файл \""_qs + path + u"\". "_qs + reason);
        QCOMPARE(FolderState(dir.path()), before);
        return;
    }
    // Written through a link: the link stays and leads to the new content.
    const QString file = target == TTarget::LinkToFile ? dir.filePath(u"real"_qs) : path;
    QCOMPARE(ReadAll(file), QByteArray("new"));
    QCOMPARE(QFileInfo(path).isSymLink(), target == TTarget::LinkToFile);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
        target == TTarget::LinkToFile ? 2 : 1);
}

void TestAtomicFile::failedWritesKeepTheOldFile_data()
{
    QTest::addColumn<bool>("checkedByWriter");
    QTest::addColumn<QString>("message");
    QTest::newRow("the bytes") << true << u"Не удалось записать данные. Превышен допустимый размер файла."_qs;
    // The routine itself sees the failed write and refuses to put the file in place; the reason is lost by
    // then.
    QTest::newRow("a writer that lets a failed write pass") << false << u"Не удалось записать данные."_qs;
}

void TestAtomicFile::failedWritesKeepTheOldFile()
{
    QFETCH(bool, checkedByWriter);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"out"_qs);
    WriteAll(path, "old");
    const QByteArray big(100000, 'x');
    TFileReplaceFailure failure;
    try {
        TFileSizeLimit limit(4096);
        if (checkedByWriter)
            WriteFileAtomically(path, big);
        else
            WriteFileAtomically(path, [&](QIODevice& Out) {
                // Up to the limit exactly, then a write that takes nothing.
                Out.write(big.left(4096));
                Out.write(big);
            });
        QFAIL("a write past the size limit went through");
    } catch (const EFileReplaceError& e) {
        failure = e.Failure();
        QCOMPARE(e.Message(), message);
    }
    QCOMPARE(failure.Step, TStep::Write);
    QVERIFY(!failure.DeviceReason().isEmpty());
    QCOMPARE(ReadAll(path), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"out"_qs });
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
