// The HTTP response reader on every framing, fed at once and byte by byte.
#include "core/checks/HttpExchange.h"

#include <QTest>

class TestHttpReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void framings_data();
    void framings();
};

void TestHttpReader::framings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    // Why it failed, for the cases that must.
    QTest::addColumn<QString>("error");

    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    const QString cut = u"ответ сервера оборван"_qs;
    const QString broken = u"ответ сервера испорчен"_qs;
    QTest::newRow("length") << ok + "Content-Length: 5\r\n\r\nhello" << true << 200 << QByteArray("hello") << QString();
    QTest::newRow("length, bytes past it ignored") << ok + "Content-Length: 2\r\n\r\nhello" << true << 200
                                                   << QByteArray("he") << QString();
    QTest::newRow("length, cut short") << ok + "Content-Length: 9\r\n\r\nhello" << false << 0 << QByteArray() << cut;
    QTest::newRow("chunked with extension and trailer")
        << ok + "Transfer-Encoding: chunked\r\n\r\n3;x=y\r\nhel\r\n2\r\nlo\r\n0\r\nX-T: 1\r\n\r\n" << true << 200
        << QByteArray("hello") << QString();
    QTest::newRow("chunked, closed after the last chunk") << ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n"
                                                          << true << 200 << QByteArray("hello") << QString();
    QTest::newRow("chunked, cut inside a chunk") << ok + "Transfer-Encoding: chunked\r\n\r\n9\r\nhello" << false << 0
                                                 << QByteArray() << cut;
    QTest::newRow("chunked, size not hexadecimal") << ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n"
                                                   << false << 0 << QByteArray() << broken;
    QTest::newRow("until the close") << ok + "\r\nhello" << true << 200 << QByteArray("hello") << QString();
    QTest::newRow("bare line feeds") << QByteArray("HTTP/1.0 404 Not Found\nContent-Length: 1\n\nx") << true << 404
                                     << QByteArray("x") << QString();
    QTest::newRow("no content") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << true << 204 << QByteArray()
                                << QString();
    QTest::newRow("body over the limit") << ok + "Content-Length: 20\r\n\r\n" + QByteArray(20, 'x') << false << 0
                                         << QByteArray() << u"ответ сервера длиннее 16 байт"_qs;
    QTest::newRow("body over the limit, until the close") << ok + "\r\n" + QByteArray(20, 'x') << false << 0
                                                          << QByteArray() << u"ответ сервера длиннее 16 байт"_qs;
    QTest::newRow("not HTTP") << QByteArray("SSH-2.0-server\r\n\r\n") << false << 0 << QByteArray()
                              << u"ответ сервера не по протоколу HTTP"_qs;
    QTest::newRow("status not a number") << QByteArray("HTTP/1.1 OK\r\n\r\n") << false << 0 << QByteArray()
                                         << u"ответ сервера не по протоколу HTTP"_qs;
    QTest::newRow("negative length") << ok + "Content-Length: -1\r\n\r\n" << false << 0 << QByteArray()
                                     << u"ответ сервера не по протоколу HTTP"_qs;
    QTest::newRow("head cut short") << QByteArray("HTTP/1.1 200 OK\r\nContent-") << false << 0 << QByteArray() << cut;
    QTest::newRow("nothing") << QByteArray() << false << 0 << QByteArray()
                             << u"сервер закрыл соединение, ничего не ответив"_qs;
}

void TestHttpReader::framings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, whole);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, error);
    for (const bool byteByByte : { false, true }) {
        THttpResponseReader reader(16);
        THttpResponseReader::TState state = THttpResponseReader::TState::More;
        const qsizetype step = byteByByte ? 1 : std::max<qsizetype>(bytes.size(), 1);
        for (qsizetype at = 0; at < bytes.size() && state == THttpResponseReader::TState::More; at += step)
            state = reader.Feed(bytes.mid(at, step));
        if (state == THttpResponseReader::TState::More)
            state = reader.Close();
        QCOMPARE(state, whole ? THttpResponseReader::TState::Done : THttpResponseReader::TState::Failed);
        QCOMPARE(reader.Answer().Status, status);
        QCOMPARE(reader.Answer().Body, body);
        QCOMPARE(reader.Error(), error);
    }
}

QTEST_GUILESS_MAIN(TestHttpReader)
#include "tst_httpreader.moc"
