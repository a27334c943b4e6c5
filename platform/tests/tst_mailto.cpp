// The mail that sends a headline: every address decoded back by QUrlQuery must give exactly the
// headline's subject and body, whatever the title holds, and never an extra field.

#include "platform/mailto.h"

#include <QTest>
#include <QUrlQuery>

using namespace mz;

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kSite = QStringLiteral("http://127.0.0.1:8086/mozhou/");

// The body a mail client must show, written out line by line.
QString expectedBody(const QString &titleInBody, const QString &address)
{
    return titleInBody + u' ' + kCrLf + kCrLf + address + kCrLf + QString(132, u' ') + kCrLf +
           kCrLf + QStringLiteral(" 墨舟 V1.1下载地址") + kCrLf + kSite;
}

} // namespace

class TestMailto : public QObject
{
    Q_OBJECT

private slots:
    void subjectAndBody_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("titleInBody");
        QTest::addColumn<QString>("addressInBody"); // empty: the address as given

        const QString a = QStringLiteral("http://127.0.0.1:8086/news/1.shtml");
        QTest::newRow("plain") << QStringLiteral("国足晋级") << a << QStringLiteral("国足晋级")
                               << QStringLiteral("国足晋级") << QString();
        QTest::newRow("ampersand-adds-no-field")
            << QStringLiteral("A&cc=evil@example.org&attach=/etc/passwd") << a
            << QStringLiteral("A&cc=evil@example.org&attach=/etc/passwd")
            << QStringLiteral("A&cc=evil@example.org&attach=/etc/passwd") << QString();
        QTest::newRow("hash-percent-question")
            << QStringLiteral("第1#条 涨100%? 是") << a << QStringLiteral("第1#条 涨100%? 是")
            << QStringLiteral("第1#条 涨100%? 是") << QString();
        QTest::newRow("plus-equals-encoded-percent")
            << QStringLiteral("a+b=c %41") << a << QStringLiteral("a+b=c %41")
            << QStringLiteral("a+b=c %41") << QString();
        QTest::newRow("line-breaks-in-title")
            << QStringLiteral("上\r\n中\n下\r末") << a << QStringLiteral("上 中 下 末")
            << QStringLiteral("上\r\n中\r\n下\r\n末") << QString();
        QTest::newRow("non-gbk") << QStringLiteral("𠀀€😀 新闻") << a << QStringLiteral("𠀀€😀 新闻")
                                 << QStringLiteral("𠀀€😀 新闻") << QString();
        QTest::newRow("address-with-query-and-fragment")
            << QStringLiteral("t") << QStringLiteral("http://h/a?x=1&y=2#frag")
            << QStringLiteral("t") << QStringLiteral("t") << QString();
        // A page broke the address inside its href: the friend gets the address a browser reads,
        // not one cut over two lines.
        QTest::newRow("line-breaks-and-tab-in-address")
            << QStringLiteral("t") << QStringLiteral("http://h/news/\r\n2007/a\tb\n.shtml\r")
            << QStringLiteral("t") << QStringLiteral("t")
            << QStringLiteral("http://h/news/2007/ab.shtml");
    }

    void subjectAndBody()
    {
        QFETCH(QString, title);
        QFETCH(QString, address);
        QFETCH(QString, subject);
        QFETCH(QString, titleInBody);
        QFETCH(QString, addressInBody);

        const QUrl url =
            mailAddress(QStringLiteral("a@example.org"), mailQuery(title, address), kSite);
        QVERIFY2(url.isValid(), qPrintable(url.errorString()));
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(), QStringLiteral("a@example.org"));
        const QUrlQuery query(url);
        QCOMPARE(query.queryItems().size(), 2);
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), subject);
        QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
                 expectedBody(titleInBody, addressInBody.isEmpty() ? address : addressInBody));

        // On the wire: nothing a mail client could split or cut at, and every line break as
        // %0D%0A.
        const QByteArray wire = url.toEncoded();
        for (char c : {' ', '\r', '\n', '#'})
            QVERIFY2(!wire.contains(c), wire.constData());
        QCOMPARE(wire.count("%0A"), wire.count("%0D%0A"));
        QCOMPARE(wire.count("%0D"), wire.count("%0D%0A"));
    }

    void recipients_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("wirePrefix");
        QTest::addColumn<QString>("decodedPath");

        QTest::newRow("empty-gives-no-recipient")
            << QString() << QByteArray("mailto:?subject=") << QString();
        QTest::newRow("one") << QStringLiteral("a@example.org")
                             << QByteArray("mailto:a@example.org?subject=")
                             << QStringLiteral("a@example.org");
        QTest::newRow("semicolons-become-commas")
            << QStringLiteral("a@example.org;b@example.org")
            << QByteArray("mailto:a@example.org,b@example.org?subject=")
            << QStringLiteral("a@example.org,b@example.org");
        QTest::newRow("blanks-and-empty-pieces")
            << QStringLiteral(" a@example.org ; ;b@example.org;")
            << QByteArray("mailto:a@example.org,b@example.org?subject=")
            << QStringLiteral("a@example.org,b@example.org");
        QTest::newRow("pasted-one-a-line")
            << QStringLiteral("a@example.org\nb@example.org\r\n\r\nc@example.org\r")
            << QByteArray("mailto:a@example.org,b@example.org,c@example.org?subject=")
            << QStringLiteral("a@example.org,b@example.org,c@example.org");
        QTest::newRow("full-width-semicolon")
            << QStringLiteral("a@example.org；b@example.org")
            << QByteArray("mailto:a@example.org,b@example.org?subject=")
            << QStringLiteral("a@example.org,b@example.org");
        QTest::newRow("delimiters-in-address")
            << QStringLiteral("x?cc=y@example.org&z#w%q r@example.org")
            << QByteArray("mailto:x%3Fcc=y@example.org%26z%23w%25q%20r@example.org?subject=")
            << QStringLiteral("x?cc=y@example.org&z#w%q r@example.org");
    }

    void recipients()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, wirePrefix);
        QFETCH(QString, decodedPath);

        const QUrl url = mailAddress(
            typed, mailQuery(QStringLiteral("标题"), QStringLiteral("http://h/1")), kSite);
        QVERIFY2(url.isValid(), qPrintable(url.errorString()));
        QVERIFY2(url.toEncoded().startsWith(wirePrefix), url.toEncoded().constData());
        QCOMPARE(url.path(QUrl::FullyDecoded), decodedPath);
        const QUrlQuery query(url);
        QCOMPARE(query.queryItems().size(), 2);
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("标题"));
    }
};

QTEST_GUILESS_MAIN(TestMailto)
#include "tst_mailto.moc"
