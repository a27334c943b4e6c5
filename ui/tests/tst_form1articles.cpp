// Downloading ticked articles through the main window against a local portal: how Timer2 hands
// the queue to the three instances, the rewritten files in News_save, failed downloads, pages
// and templates without their markers, and a second command while the queue is handed out.

#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/searchcommands.h"
#include "ui/transferbars.h"
#include "ui/windowstatus.h"
#include "fetch/articles.h"
#include "fetch/downloadcomponent.h"
#include "lists/headlinemodel.h"
#include "platform/messages.h"
#include "platform/textfile.h"
#include "portal/httpserver.h"
#include "portal/pagegenerator.h"
#include "portal/portalsite.h"
#include "testsupport/modalmessages.h"
#include "testsupport/portalfixture.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

#include <sys/stat.h>

namespace {

const QDate kDay(2007, 3, 2);
const mz::RecordedMessage kDone{QStringLiteral("下载完成"), QStringLiteral("提示"),
                                mz::MessageIcon::None};
const std::array<int, 4> kOthers{1, 3, 4, 5}; // the articles that arrive beside article 2
const mz::RecordedMessage kOneFailed{QStringLiteral("下载完成，1篇失败"), QStringLiteral("提示"),
                                     mz::MessageIcon::Warning};

// The program folder with the delivered templates, and the demo portal on 127.0.0.1 whose
// answers a test may alter. Messages are recorded; with `modalBoxes` they also hold the window's
// event loop as the desktop's boxes do, until `modal.closeWhen` holds.
struct Fixture : mz::test::PortalFormFixture
{
    explicit Fixture(bool modalBoxes = false) : PortalFormFixture(kDay)
    {
        modal.forward = &messages;
        for (const char *name : {"fenli.ini", "template.ini"}) {
            const QString from = QStringLiteral(MOZHOU_SOURCE_DIR "/data/") + QLatin1String(name);
            if (!QFile::copy(from, dir.filePath(QLatin1String(name))))
                qFatal("cannot copy %s", name);
        }
        if (modalBoxes)
            env.messages = &modal;
        form = load();
    }

    // Appends the day's articles `numbers` to ListView1, ticked or not.
    void addRows(const QList<int> &numbers, bool checked = true)
    {
        for (int n : numbers) {
            const mz::PortalHeadline h = generator->headline(kDay, n);
            mz::HeadlineRow row;
            row.title = h.title;
            row.sub1 = h.category;
            row.tag = generator->url(mz::PortalGenerator::articlePath(kDay, n));
            row.checked = checked;
            form->lists().model1()->append(row);
        }
    }
    QString savedPath(int number) const
    {
        return mz::articleFilePath(dir.path(), generator->headline(kDay, number).title);
    }
    QString saved(int number) const
    {
        return mz::readTextFile(savedPath(number)).value_or(QStringLiteral("<missing>"));
    }
    // Waits for the end of the batch (its last message `last`).
    bool waitDone(int expectedMessages, const mz::RecordedMessage &last = kDone)
    {
        return QTest::qWaitFor(
            [&] {
                return messages.messages.size() >= expectedMessages &&
                       messages.messages.constLast() == last;
            },
            20000);
    }
    int requests(int number) const
    {
        return int(server->requestedPaths().count(
            mz::PortalGenerator::articlePath(kDay, number).toLatin1()));
    }
    bool busy(int i) const { return form->jfDownEX2[size_t(i)]->isBusy(); }
    QString tag(int i) const { return form->jfDownEX2[size_t(i)]->tag(); }

    mz::test::ModalMessages modal;
    std::unique_ptr<Form1> form;
};

// A saved article rebuilt from template.ini: the article's title and paragraphs, no ad.
void verifyRewrittenText(const Fixture &f, int number, const QString &text)
{
    const mz::PortalHeadline h = f.generator->headline(kDay, number);
    QVERIFY2(text.contains(QStringLiteral("<h1>") + h.title + QStringLiteral("</h1>")),
             qPrintable(text.left(300)));
    QVERIFY(text.contains(QStringLiteral("本文由墨舟新闻阅读器 V1.3 下载保存")));
    for (const QString &paragraph : f.generator->articleParagraphs(kDay, number))
        QVERIFY(text.contains(paragraph));
    QVERIFY(!text.contains(mz::PortalGenerator::advertisementText()));
    QVERIFY(!text.contains(QStringLiteral("网友评论"))); // the page around the body is gone
}

void verifyRewritten(const Fixture &f, int number)
{
    verifyRewrittenText(f, number, f.saved(number));
}

} // namespace

class TestForm1Articles : public QObject
{
    Q_OBJECT

private slots:
    void fiveTickedRows();
    void oneTickedRowUsesInstanceZero();
    void failedDownloadLeavesOthers_data();
    void failedDownloadLeavesOthers();
    void keptAsArrived_data();
    void keptAsArrived();
    void lastTransferDecidesNothing_data();
    void lastTransferDecidesNothing();
    void pageWithoutMarkers_data();
    void pageWithoutMarkers();
    void utf8Page_data();
    void utf8Page();
    void keptPageCannotBePut();
    void sameTitleTwiceKeepsBoth_data();
    void sameTitleTwiceKeepsBoth();
    void progressBarsShowTransfers_data();
    void progressBarsShowTransfers();
    void strangeTitleStaysInNewsSave();
    void secondCommandRestartsQueue();
    void nothingTicked();
    void newsFolderIsAFile();
    void newsFolderChangedDuringBatch_data();
    void newsFolderChangedDuringBatch();
};

void TestForm1Articles::fiveTickedRows()
{
    Fixture f;
    f.addRows({1, 2});
    f.addRows({3}, false);
    f.addRows({4, 5, 6});
    // An older file of the same name is replaced.
    QVERIFY(QDir(f.dir.path()).mkpath(QStringLiteral("News_save")));
    QVERIFY(mz::writeTextFile(f.savedPath(4), QStringLiteral("older copy")));

    f.form->s5_Click();
    QVERIFY(f.form->Timer2->isActive());
    QCOMPARE(f.form->Timer2->interval(), 100);
    f.form->Timer2_Timer(); // the first tick: one article for each instance
    for (int i = 0; i < 3; ++i)
        QVERIFY(f.busy(i));
    QCOMPARE(f.tag(0), f.savedPath(1));
    QCOMPARE(f.tag(1), f.savedPath(2));
    QCOMPARE(f.tag(2), f.savedPath(4));
    QVERIFY(f.form->Timer2->isActive()); // two are still queued

    QVERIFY(f.waitDone(1));
    QCOMPARE(f.messages.messages, QList<mz::RecordedMessage>{kDone});
    QVERIFY(!f.form->Timer2->isActive());
    for (int n : {1, 2, 4, 5, 6}) {
        verifyRewritten(f, n);
        QCOMPARE(f.requests(n), 1);
    }
    QVERIFY(!QFile::exists(f.savedPath(3)));
    QCOMPARE(f.requests(3), 0);
    QCOMPARE(QDir(f.dir.filePath(QStringLiteral("News_save"))).entryList(QDir::Files).size(), 5);
    QVERIFY(f.form->status().panel(WindowStatus::Panel::S1).isEmpty());
    // Ticks are not cleared.
    QVERIFY(f.form->lists().model1()->row(0).checked);
}

void TestForm1Articles::oneTickedRowUsesInstanceZero()
{
    Fixture f;
    f.addRows({1}, false);
    f.addRows({2});
    f.addRows({3}, false);
    f.form->s5_Click();
    f.form->Timer2_Timer();
    QVERIFY(f.busy(0));
    QVERIFY(!f.busy(1));
    QVERIFY(!f.busy(2));
    QCOMPARE(f.tag(0), f.savedPath(2));
    QVERIFY(!f.form->Timer2->isActive()); // handed out: the timer stops at once
    QVERIFY(f.waitDone(1));
    verifyRewritten(f, 2);
    QVERIFY(f.tag(1).isEmpty() && f.tag(2).isEmpty());
    QCOMPARE(f.messages.messages.size(), 1);
}

// The failed article is reported, the others arrive, and the batch ends by naming the failure,
// also when the others arrive while the error box is still open.
void TestForm1Articles::failedDownloadLeavesOthers_data()
{
    QTest::addColumn<bool>("boxHeld");
    QTest::addColumn<QString>("fault"); // what becomes of article 2's page
    QTest::addColumn<QString>("code");  // in the error box
    QTest::newRow("box-returns-at-once") << false << "missing"
                                         << "404";
    QTest::newRow("others-arrive-while-box-open") << true << "missing"
                                                  << "404";
    // An article page is cut and parsed whole in the window: a page of many megabytes is not
    // taken, and does not stop the others.
    QTest::newRow("page-too-large") << false << "too-large"
                                    << "-6";
    // A server that answers 200 without a body sent no article.
    QTest::newRow("empty-page") << false << "empty"
                                << "-5";
}

void TestForm1Articles::failedDownloadLeavesOthers()
{
    QFETCH(bool, boxHeld);
    QFETCH(QString, fault);
    QFETCH(QString, code);
    Fixture f(boxHeld);
    const QByteArray path2 = mz::PortalGenerator::articlePath(kDay, 2).toLatin1();
    if (fault != QLatin1String("missing")) {
        const QByteArray tail(fault == QLatin1String("too-large") ? 17 * 1024 * 1024 : 0, ' ');
        f.transform = [path2, tail](const QByteArray &path, const QByteArray &body) {
            return path != path2 ? body : tail.isEmpty() ? QByteArray() : body + tail;
        };
    } else {
        f.server->setFaultForPath(path2, mz::HttpServer::Fault::NotFound);
    }
    f.modal.closeWhen = [&f] {
        return f.messages.messages.size() > 1 || // announced under the box: the fault
               std::all_of(kOthers.begin(), kOthers.end(),
                           [&f](int n) { return QFile::exists(f.savedPath(n)); });
    };
    f.addRows({1, 2, 3, 4, 5});
    f.form->s5_Click();
    QVERIFY(f.waitDone(2, kOneFailed));
    QCOMPARE(f.messages.messages.size(), 2);
    // The box names the article, then gives the system's text.
    const mz::RecordedMessage error = f.messages.messages.first();
    QCOMPARE(error.icon, mz::MessageIcon::Critical);
    QCOMPARE(error.title, QString());
    const QString named = QStringLiteral("新闻“%1”下载失败。\n错误：%2:")
                              .arg(f.generator->headline(kDay, 2).title, code);
    QVERIFY2(error.text.startsWith(named), qPrintable(error.text));
    QVERIFY(error.text.size() > named.size());
    QVERIFY(!QFile::exists(f.savedPath(2)));
    QVERIFY(!f.modal.heldToLimit);
    QCOMPARE(f.requests(2), 1); // never fetched again
    for (int n : kOthers)
        verifyRewritten(f, n);
    // No temporary file is left beside the articles.
    QCOMPARE(QDir(f.dir.filePath(QStringLiteral("News_save"))).entryList(QDir::Files).size(), 4);
}

void TestForm1Articles::keptAsArrived_data()
{
    QTest::addColumn<QString>("removeFile");       // from the program folder
    QTest::addColumn<QString>("standIn");          // put in its place: "fifo" or "huge"
    QTest::addColumn<QByteArray>("fenli");         // replaces fenli.ini when not empty
    QTest::addColumn<QByteArray>("dropFromPage2"); // taken out of article 2's page
    QTest::addColumn<QList<int>>("kept");
    QTest::addColumn<QString>("reason");

    QTest::newRow("fenli-missing")
        << QStringLiteral("fenli.ini") << QString() << QByteArray() << QByteArray()
        << QList<int>{1, 2, 3} << QStringLiteral("找不到fenli.ini");
    QTest::newRow("template-missing")
        << QStringLiteral("template.ini") << QString() << QByteArray() << QByteArray()
        << QList<int>{1, 2, 3} << QStringLiteral("找不到template.ini");
    // A FIFO would hold the window until some program wrote into it.
    QTest::newRow("fenli-a-fifo") << QStringLiteral("fenli.ini") << QStringLiteral("fifo")
                                  << QByteArray() << QByteArray() << QList<int>{1, 2, 3}
                                  << QStringLiteral("fenli.ini不是普通文件");
    QTest::newRow("template-far-too-large")
        << QStringLiteral("template.ini") << QStringLiteral("huge") << QByteArray() << QByteArray()
        << QList<int>{1, 2, 3} << QStringLiteral("template.ini过大");
    QTest::newRow("fenli-key-missing")
        << QString() << QString()
        << mz::encodeAnsi(
               u"[新闻名字start]=<h1 id=\"artibodytitle\">\r\n[新闻名字end]=</h1>\r\n"
               u"[新闻内容start]=<!-- 正文开始 -->\r\n[新闻内容end]=<!-- 正文结束 -->\r\n"
               u"[中间广告start]=<!-- 广告开始 -->\r\n")
        << QByteArray() << QList<int>{1, 2, 3} << QStringLiteral("[中间广告end]=");
}

void TestForm1Articles::keptAsArrived()
{
    QFETCH(QString, removeFile);
    QFETCH(QString, standIn);
    QFETCH(QByteArray, fenli);
    QFETCH(QByteArray, dropFromPage2);
    QFETCH(QList<int>, kept);
    QFETCH(QString, reason);

    Fixture f;
    if (!removeFile.isEmpty())
        QVERIFY(QFile::remove(f.dir.filePath(removeFile)));
    if (standIn == u"fifo")
        QCOMPARE(mkfifo(QFile::encodeName(f.dir.filePath(removeFile)).constData(), 0600), 0);
    else if (standIn == u"huge")
        QVERIFY(mz::writeFileBytes(f.dir.filePath(removeFile), QByteArray(2 << 20, ' ')));
    if (!fenli.isEmpty())
        QVERIFY(mz::writeFileBytes(f.dir.filePath(QStringLiteral("fenli.ini")), fenli));
    const QByteArray page2 = mz::PortalGenerator::articlePath(kDay, 2).toLatin1();
    if (!dropFromPage2.isEmpty()) {
        f.transform = [&](const QByteArray &path, const QByteArray &body) {
            return path == page2 ? QByteArray(body).replace(dropFromPage2, "") : body;
        };
    }
    f.addRows({1, 2, 3});
    f.form->s5_Click();
    QVERIFY(f.waitDone(1));
    QCOMPARE(f.messages.messages, QList<mz::RecordedMessage>{kDone}); // told once, without a box
    for (int n : {1, 2, 3}) {
        if (kept.contains(n)) {
            QByteArray expected = f.generator->articlePage(kDay, n);
            if (n == 2 && !dropFromPage2.isEmpty())
                expected.replace(dropFromPage2, "");
            QCOMPARE(mz::readFileBytes(f.savedPath(n)).value_or(QByteArray()), expected);
        } else {
            verifyRewritten(f, n);
        }
    }
    const QString status = f.form->status().panel(WindowStatus::Panel::S1);
    QVERIFY2(status.startsWith(QString::number(kept.size()) + QStringLiteral("篇")),
             qPrintable(status));
    QVERIFY2(status.contains(reason), qPrintable(status));
}

void TestForm1Articles::lastTransferDecidesNothing_data()
{
    QTest::addColumn<bool>("fails");
    QTest::newRow("last-transfer-fails") << true;
    QTest::newRow("last-transfer-succeeds") << false;
}

// The batch's last transfer ends it; a failure there must not end in a claim of success.
void TestForm1Articles::lastTransferDecidesNothing()
{
    QFETCH(bool, fails);
    Fixture f;
    if (fails)
        f.server->setFaultForPath(mz::PortalGenerator::articlePath(kDay, 1).toLatin1(),
                                  mz::HttpServer::Fault::ServerError);
    f.addRows({1});
    f.form->s5_Click();
    QVERIFY(f.waitDone(fails ? 2 : 1, fails ? kOneFailed : kDone));
    QTest::qWait(200); // nothing follows the final message
    QCOMPARE(f.messages.messages.size(), fails ? 2 : 1);
    QCOMPARE(f.messages.messages.first().icon,
             fails ? mz::MessageIcon::Critical : mz::MessageIcon::None);
    QCOMPARE(QFile::exists(f.savedPath(1)), !fails);
}

void TestForm1Articles::pageWithoutMarkers_data()
{
    QTest::addColumn<QByteArray>("page2"); // replaces article 2's page; empty: markers dropped
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("older"); // article 2 was saved before
    const QByteArray noText("<html><head></head><body><a href=x>x</a></body></html>");
    const QString fallback =
        QStringLiteral("1篇新闻网页中没有fenli.ini的标记，已按文字密度找出正文");
    const QString kept =
        QStringLiteral("1篇新闻未能整理，保留原网页（网页中没有fenli.ini的标记，也找不到正文）");
    QTest::newRow("markers-dropped") << QByteArray() << fallback << false;
    QTest::newRow("no-text-at-all") << noText << kept << false;
    QTest::newRow("markers-dropped-replaces-older") << QByteArray() << fallback << true;
    // The older article stays; the page is kept beside it.
    QTest::newRow("no-text-beside-older") << noText << kept << true;
    // An image where the page should be would otherwise pass for text and replace the older one.
    const QByteArray image = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452") +
                             QByteArray::fromHex("c4e3bac3cac0bde7d0c2cec5").repeated(300);
    QTest::newRow("image-beside-older")
        << image
        << QStringLiteral("1篇新闻未能整理，保留原网页（下载的不是网页，而是图片或别的文件）")
        << true;
}

// A page the markers no longer fit is rebuilt from its main text; one without text is kept.
void TestForm1Articles::pageWithoutMarkers()
{
    QFETCH(QByteArray, page2);
    QFETCH(QString, status);
    QFETCH(bool, older);
    Fixture f;
    const QString olderText = QStringLiteral("<html><body>older article</body></html>");
    if (older) {
        QVERIFY(QDir(f.dir.path()).mkpath(QStringLiteral("News_save")));
        QVERIFY(mz::writeTextFile(f.savedPath(2), olderText));
    }
    const QByteArray path2 = mz::PortalGenerator::articlePath(kDay, 2).toLatin1();
    f.transform = [&](const QByteArray &path, const QByteArray &body) {
        if (path != path2)
            return body;
        if (!page2.isEmpty())
            return page2;
        QByteArray changed = body;
        for (const char16_t *marker :
             {u"<h1 id=\"artibodytitle\">", u"<!-- 正文开始 -->", u"<!-- 正文结束 -->"})
            changed.replace(mz::encodeAnsi(QString::fromUtf16(marker)), "<div>");
        return changed;
    };
    f.addRows({1, 2});
    f.form->s5_Click();
    QVERIFY(f.waitDone(1));
    verifyRewritten(f, 1);
    if (page2.isEmpty()) {
        const QString text = f.saved(2);
        QVERIFY(text.contains(QStringLiteral("本文由墨舟新闻阅读器 V1.3 下载保存")));
        for (const QString &paragraph : f.generator->articleParagraphs(kDay, 2))
            QVERIFY(text.contains(paragraph));
        QVERIFY(!text.contains(mz::PortalGenerator::advertisementText()));
    } else if (older) {
        QCOMPARE(f.saved(2), olderText);
        const QString beside = f.savedPath(2).chopped(4) + QStringLiteral(" (2).htm");
        QCOMPARE(mz::readFileBytes(beside).value_or(QByteArray()), page2);
    } else {
        QCOMPARE(mz::readFileBytes(f.savedPath(2)).value_or(QByteArray()), page2);
    }
    QCOMPARE(QDir(f.dir.filePath(QStringLiteral("News_save"))).entryList(QDir::Files).size(),
             older && !page2.isEmpty() ? 3 : 2);
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S1), status);
}

void TestForm1Articles::utf8Page_data()
{
    QTest::addColumn<QString>("declaration"); // replaces the page's charset meta tag
    QTest::addColumn<bool>("utf8Template");   // template.ini made in UTF-8, declaring it
    QTest::addColumn<bool>("utf8Fenli");      // fenli.ini saved in UTF-8
    const QString meta = QStringLiteral("<meta charset=\"UTF-8\">");
    QTest::newRow("meta-charset") << meta << false << false;
    QTest::newRow("no-charset") << QString() << false << false;
    QTest::newRow("utf8-template") << meta << true << false;
    QTest::newRow("utf8-fenli") << QString() << false << true;
}

// An article page sent in UTF-8 is saved with its own text, cut with the markers, and in the
// encoding its template declares.
void TestForm1Articles::utf8Page()
{
    QFETCH(QString, declaration);
    QFETCH(bool, utf8Template);
    QFETCH(bool, utf8Fenli);
    Fixture f;
    const QString fenliPath = f.dir.filePath(QStringLiteral("fenli.ini"));
    if (utf8Fenli) {
        const QString text = mz::readTextFile(fenliPath).value_or(QString());
        QVERIFY(mz::parseMarkers(text).markers);
        QVERIFY(mz::writeFileBytes(fenliPath, text.toUtf8()));
    }
    const QString templatePath = f.dir.filePath(QStringLiteral("template.ini"));
    if (utf8Template) {
        QString text = mz::readTextFile(templatePath).value_or(QString());
        QVERIFY(text.contains(QStringLiteral("charset=gbk")));
        text.replace(QStringLiteral("charset=gbk"), QStringLiteral("charset=utf-8"));
        QVERIFY(mz::writeFileBytes(templatePath, text.toUtf8()));
    }
    const QByteArray path2 = mz::PortalGenerator::articlePath(kDay, 2).toLatin1();
    f.transform = [&](const QByteArray &path, const QByteArray &body) {
        if (path != path2)
            return body;
        QString text = mz::decodeAnsi(body);
        const QString gbk =
            QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">");
        if (!text.contains(gbk))
            qFatal("the article page declares no charset");
        return text.replace(gbk, declaration).toUtf8();
    };
    f.addRows({1, 2});
    f.form->s5_Click();
    QVERIFY(f.waitDone(1));
    QCOMPARE(f.messages.messages, QList<mz::RecordedMessage>{kDone});
    for (int n : {1, 2}) {
        // The saved page's bytes are in the charset its template declares.
        const QByteArray bytes = mz::readFileBytes(f.savedPath(n)).value_or(QByteArray());
        QStringDecoder declared(utf8Template ? "UTF-8" : "GB18030");
        verifyRewrittenText(f, n, declared.decode(bytes));
        QVERIFY(!declared.hasError());
    }
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S1), QString());
}

// A page to keep as it arrived that cannot take its name is not announced as kept: it stays under
// its arrival name and counts as failed. (The name is a link into a folder that is not there.)
void TestForm1Articles::keptPageCannotBePut()
{
    Fixture f;
    const QByteArray noText("<html><head></head><body><a href=x>x</a></body></html>");
    const QByteArray path2 = mz::PortalGenerator::articlePath(kDay, 2).toLatin1();
    f.transform = [&](const QByteArray &path, const QByteArray &body) {
        return path == path2 ? noText : body;
    };
    QVERIFY(QDir(f.dir.path()).mkpath(QStringLiteral("News_save")));
    QVERIFY(QFile::link(f.dir.filePath(QStringLiteral("missing/article.htm")), f.savedPath(2)));
    f.addRows({1, 2});
    f.form->s5_Click();
    QVERIFY(f.waitDone(2, kOneFailed));
    QCOMPARE(f.messages.messages.size(), 2);
    const mz::RecordedMessage &box = f.messages.messages.first();
    QCOMPARE(box.icon, mz::MessageIcon::Critical);
    const QString title = f.generator->headline(kDay, 2).title;
    QVERIFY2(box.text.startsWith(QStringLiteral("新闻“%1”未能保存为").arg(title)),
             qPrintable(box.text));
    QCOMPARE(mz::readFileBytes(f.savedPath(2) + QStringLiteral(".download")).value_or(QByteArray()),
             noText);
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S1), QString());
    verifyRewritten(f, 1);
}

// Two ticked headlines with one title are saved side by side; an older file is still replaced.
void TestForm1Articles::sameTitleTwiceKeepsBoth_data()
{
    QTest::addColumn<int>("batches");
    QTest::newRow("one download") << 1;
    // Downloading the same ticked rows again replaces both files instead of adding a copy.
    QTest::newRow("the same rows downloaded again") << 2;
}

void TestForm1Articles::sameTitleTwiceKeepsBoth()
{
    QFETCH(int, batches);
    Fixture f;
    for (int n : {1, 2}) {
        mz::HeadlineRow row;
        row.title = QStringLiteral("同名新闻");
        row.tag = f.generator->url(mz::PortalGenerator::articlePath(kDay, n));
        row.checked = true;
        f.form->lists().model1()->append(row);
    }
    QVERIFY(QDir(f.dir.path()).mkpath(QStringLiteral("News_save")));
    const QString older = f.dir.filePath(QStringLiteral("News_save/同名新闻.htm"));
    QVERIFY(mz::writeTextFile(older, QStringLiteral("older copy")));
    for (int batch = 1; batch <= batches; ++batch) {
        f.form->s5_Click();
        QVERIFY(f.waitDone(batch));
    }
    QCOMPARE(QDir(f.dir.filePath(QStringLiteral("News_save"))).entryList(QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("同名新闻 (2).htm"), QStringLiteral("同名新闻.htm")}));
    const QString second = f.dir.filePath(QStringLiteral("News_save/同名新闻 (2).htm"));
    for (const auto &[file, n] : {std::pair{older, 1}, std::pair{second, 2}}) {
        const QString text = mz::readTextFile(file).value_or(QString());
        QVERIFY2(text.contains(f.generator->articleParagraphs(kDay, n).first()), qPrintable(file));
    }
}

void TestForm1Articles::progressBarsShowTransfers_data()
{
    QTest::addColumn<mz::HttpServer::Fault>("fault");
    QTest::addColumn<bool>("percent");
    QTest::newRow("slow-with-length") << mz::HttpServer::Fault::Slow << true;
    QTest::newRow("endless-without-length") << mz::HttpServer::Fault::Endless << false;
}

// The bar of each instance shows what it receives; the others stay empty.
void TestForm1Articles::progressBarsShowTransfers()
{
    QFETCH(mz::HttpServer::Fault, fault);
    QFETCH(bool, percent);
    Fixture f;
    f.server->setSlowChunk(256, 60); // slow enough that progress shows before the end
    f.server->setFault(fault, 1);
    TransferBars &bars = f.form->transferBars();
    QCOMPARE(bars.count(), 5);
    QCOMPARE(bars.bar(4)->objectName(), QStringLiteral("jfDownEX3"));
    // Idle bars show nothing and a screen reader reads them as empty, not as "-1%".
    const auto idle = [&bars](int i) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(bars.bar(i));
        return bars.bar(i)->text().isEmpty() && iface && iface->valueInterface() &&
               iface->valueInterface()->currentValue().toInt() == 0;
    };
    for (int i = 0; i < bars.count(); ++i)
        QVERIFY(idle(i));
    f.addRows({1});
    f.form->s5_Click();
    QProgressBar *bar = bars.bar(1); // jfDownEX2(0)
    const QRegularExpression shape(percent ? QStringLiteral("^[1-9]\\d*K（\\d+%）$")
                                           : QStringLiteral("^[1-9]\\d*K$"));
    QTRY_VERIFY2_WITH_TIMEOUT(shape.match(bar->text()).hasMatch(), qPrintable(bar->text()), 10000);
    if (percent)
        QVERIFY(bar->value() >= 0 && bar->value() < 100);
    for (int i : {0, 2, 3, 4})
        QVERIFY(idle(i));
    if (percent) {
        QVERIFY(f.waitDone(1));
        QVERIFY(idle(1));
    }
}

void TestForm1Articles::strangeTitleStaysInNewsSave()
{
    Fixture f;
    mz::HeadlineRow row;
    row.title = QStringLiteral("../沪深/两市:涨?");
    row.tag = f.generator->url(mz::PortalGenerator::articlePath(kDay, 1));
    row.checked = true;
    f.form->lists().model1()->append(row);
    f.form->s5_Click();
    QVERIFY(f.waitDone(1));
    const QStringList files =
        QDir(f.dir.filePath(QStringLiteral("News_save"))).entryList(QDir::Files);
    QCOMPARE(files, QStringList{QStringLiteral("／沪深／两市：涨？.htm")});
    QVERIFY(mz::readTextFile(f.dir.filePath(QStringLiteral("News_save/") + files.first()))
                ->contains(f.generator->headline(kDay, 1).title));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(),
             4);
}

// A second command while the first queue is still handed out starts at its own first article.
void TestForm1Articles::secondCommandRestartsQueue()
{
    Fixture f;
    f.server->setSlowChunk(256, 30); // keep the first three transfers running for a while
    f.server->setFault(mz::HttpServer::Fault::Slow, 3);
    f.addRows({1, 2, 3, 4, 5});
    f.form->s5_Click();
    f.form->Timer2_Timer(); // articles 1-3 handed out; 4 and 5 wait
    QVERIFY(f.form->Timer2->isActive());
    for (int r : {0, 1, 2, 3})
        f.form->lists().model1()->setData(f.form->lists().model1()->index(r, 0), Qt::Unchecked,
                                          Qt::CheckStateRole);
    f.form->s5_Click(); // now only article 5, the new queue's first column
    QVERIFY(f.waitDone(1));
    QCOMPARE(f.messages.messages, QList<mz::RecordedMessage>{kDone});
    for (int n : {1, 2, 3, 5})
        verifyRewritten(f, n);
    QCOMPARE(f.requests(4), 0);
    QCOMPARE(f.requests(5), 1);
}

void TestForm1Articles::nothingTicked()
{
    Fixture f;
    f.addRows({1, 2}, false);
    f.form->s5_Click();
    QVERIFY(!f.form->Timer2->isActive());
    QTest::qWait(300);
    QCOMPARE(f.server->requestCount(), 0);
    QVERIFY(f.messages.messages.isEmpty());
}

// A file named News_save: nothing is fetched, and the one box names the folder and the reason.
void TestForm1Articles::newsFolderIsAFile()
{
    Fixture f;
    const QString folder = f.dir.filePath(QStringLiteral("News_save"));
    QVERIFY(mz::writeFileBytes(folder, "not a folder"));
    f.addRows({1, 2});
    f.form->s5_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!f.messages.messages.isEmpty(), 10000);
    QTest::qWait(300); // let any transfer that was started fail
    const QString text = QStringLiteral("新闻无法保存到“%1”：那里有一个同名的文件，不是文件夹。")
                             .arg(QDir::toNativeSeparators(folder));
    const mz::RecordedMessage box{text, QString(), mz::MessageIcon::Critical};
    QCOMPARE(f.messages.messages, QList<mz::RecordedMessage>{box});
    QCOMPARE(f.server->requestCount(), 0);
    QVERIFY(!f.form->Timer2->isActive());
    QCOMPARE(mz::readFileBytes(folder).value_or(QByteArray()), QByteArray("not a folder"));
}

// News_save deleted, replaced by a file, or the program folder moved after the command: every
// transfer failed on its own with a box of its own. A deleted News_save is made again; else one
// box says why, nothing is fetched, the end names the failures, and nothing is made at the old
// place of a moved program folder.
void TestForm1Articles::newsFolderChangedDuringBatch_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("why"); // empty: every article arrives
    QTest::newRow("deleted") << "deleted" << QString();
    QTest::newRow("made-a-file") << "file"
                                 << "那里有一个同名的文件，不是文件夹";
    QTest::newRow("program-folder-moved") << "moved"
                                          << "无法建立这个文件夹";
}

void TestForm1Articles::newsFolderChangedDuringBatch()
{
    QFETCH(QString, change);
    QFETCH(QString, why);
    Fixture f;
    const QString folder = f.dir.filePath(QStringLiteral("News_save"));
    const QString moved = f.dir.path() + QStringLiteral("-moved");
    f.addRows({1, 2, 3, 4, 5});
    f.form->s5_Click();
    QVERIFY(QDir(folder).removeRecursively());
    if (change == QLatin1String("file"))
        QVERIFY(mz::writeFileBytes(folder, "not a folder"));
    if (change == QLatin1String("moved"))
        QVERIFY(QDir().rename(f.dir.path(), moved));
    const auto restore = qScopeGuard([&] { QDir().rename(moved, f.dir.path()); });
    if (why.isEmpty()) {
        QVERIFY(f.waitDone(1));
        QCOMPARE(f.messages.messages, QList<mz::RecordedMessage>{kDone});
        for (int n = 1; n <= 5; ++n)
            verifyRewritten(f, n);
        return;
    }
    const mz::RecordedMessage box{
        QStringLiteral("新闻无法保存到“%1”：%2。").arg(QDir::toNativeSeparators(folder), why),
        QString(), mz::MessageIcon::Critical};
    const mz::RecordedMessage failed{QStringLiteral("下载完成，5篇失败"), QStringLiteral("提示"),
                                     mz::MessageIcon::Warning};
    QVERIFY(f.waitDone(2, failed));
    QCOMPARE(f.messages.messages, (QList<mz::RecordedMessage>{box, failed}));
    QCOMPARE(f.server->requestCount(), 0);
    QCOMPARE(QFileInfo::exists(f.dir.path()), change != QLatin1String("moved"));
}

QTEST_MAIN(TestForm1Articles)
#include "tst_form1articles.moc"
