// The window's side of the dialogs: "将此新闻发给好友" mails the selected row of ListView1 through
// form4, the toolbar's "关于" and "填写喜好选项" reach their dialogs, and the personal front page
// of a day is shown and saved, or the user is told why not.

#include "lists/headline.h"
#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"
#include "platform/textfile.h"
#include "portal/httpserver.h"
#include "portal/pagegenerator.h"
#include "portal/portalsite.h"
#include "store/flashini.h"
#include "testsupport/formfixture.h"
#include "testsupport/modalmessages.h"
#include "testsupport/rawhttpserver.h"
#include "ui/daydownloads.h"
#include "ui/dialogs/form3.h"
#include "ui/dialogs/form4.h"
#include "ui/dialogs/form5.h"
#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/windowstatus.h"
#include "rules/day.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrlQuery>

namespace {

class RefusingOpener final : public mz::UrlOpener
{
public:
    bool open(const QUrl &) override { return false; }
};

mz::HeadlineRow row(const QString &title, const QString &tag)
{
    mz::HeadlineRow r;
    r.title = title;
    r.sub1 = QStringLiteral("国内");
    r.tag = tag;
    return r;
}

QString s1Of(Form1 &form)
{
    return form.status().panel(WindowStatus::Panel::S1);
}

// Selects the tree's node of 1 March 2007 (the fixture's today is 2 March) and returns that day.
mz::Day selectDay(Form1 &form)
{
    QTreeWidgetItem *node = form.tree().nodeByKey(QStringLiteral("k20070301"));
    if (!node)
        qFatal("no node for 2007-3-1");
    form.TreeView1->setCurrentItem(node);
    node->setSelected(true);
    return form.tree().selectedDay();
}

} // namespace

class TestForm1Dialogs : public QObject
{
    Q_OBJECT

private slots:
    void sendWithoutRowOpensNothing()
    {
        mz::test::FormFixture fx;
        int shown = 0;
        fx.env.showModal = [&](QDialog &) { ++shown; };
        auto form = fx.load();
        form->lists().model2()->append(
            row(QStringLiteral("只在存档"), QStringLiteral("http://h/2")));
        form->ListView2->setCurrentIndex(form->lists().proxy2()->index(0, 0));
        form->showListView(form->ListView2);
        form->s9->trigger();
        QCOMPARE(shown, 0);
        QVERIFY(fx.opener.opened.isEmpty());
        // The row selected on show is not the one the mail takes: the note names the list that is.
        QVERIFY2(s1Of(*form).contains(QStringLiteral("在热点新闻或搜索结果中选中")),
                 qPrintable(s1Of(*form)));
    }

    // The title must come back whole: "&", "#", "%", "?" and "=" never start a field of their own.
    void sendMailsSelectedRowOfListView1_data()
    {
        QTest::addColumn<bool>("archiveOnShow");
        QTest::newRow("hot-list-on-show") << false;
        QTest::newRow("archive-on-show") << true;
    }
    void sendMailsSelectedRowOfListView1()
    {
        QFETCH(bool, archiveOnShow);
        mz::test::FormFixture fx;
        const QString title = QStringLiteral("涨停&cc=x@example.org #1 100% 真的?");
        const QString tag = QStringLiteral("http://127.0.0.1:8086/news/1.shtml");
        form4 *seen = nullptr;
        fx.env.showModal = [&](QDialog &dialog) {
            seen = qobject_cast<form4 *>(&dialog);
            if (!seen)
                return;
            seen->Text1->setText(QStringLiteral("a@example.org;b@example.org"));
            QTest::mouseClick(seen->Command2, Qt::LeftButton);
        };
        auto form = fx.load();
        form->lists().model1()->append(row(QStringLiteral("别的"), QStringLiteral("http://h/0")));
        form->lists().model1()->append(row(title, tag));
        form->lists().model2()->append(row(QStringLiteral("存档"), QStringLiteral("http://h/2")));
        form->ListView1->setCurrentIndex(form->lists().proxy1()->index(1, 0));
        form->ListView2->setCurrentIndex(form->lists().proxy2()->index(0, 0));
        form->showListView(archiveOnShow ? form->ListView2 : form->ListView1);
        form->s9->trigger();

        QVERIFY(seen);
        QCOMPARE(fx.opener.opened.size(), 1);
        const QUrl mail = fx.opener.opened.first();
        QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
        QCOMPARE(mail.path(), QStringLiteral("a@example.org,b@example.org"));
        const QUrlQuery query(mail);
        QCOMPARE(query.queryItems().size(), 2);
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), title);
        const QString body = query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
        QVERIFY(
            body.startsWith(title + QStringLiteral(" \r\n\r\n") + tag + QStringLiteral("\r\n")));
        QVERIFY(body.contains(QString(132, u' ')));
        QVERIFY(body.endsWith(QStringLiteral(" 墨舟 V1.1下载地址\r\n") + fx.env.siteUrl));
    }

    void sendSaysWhenNoMailProgram()
    {
        mz::test::FormFixture fx;
        RefusingOpener refusing;
        fx.env.opener = &refusing;
        QString said;
        fx.env.showModal = [&](QDialog &dialog) {
            auto *mail = qobject_cast<form4 *>(&dialog);
            QVERIFY(mail);
            mail->Command2->click();
            said = mail->statusText();
        };
        auto form = fx.load();
        form->lists().model1()->append(row(QStringLiteral("标题"), QStringLiteral("http://h/1")));
        form->ListView1->setCurrentIndex(form->lists().proxy1()->index(0, 0));
        form->s9_Click();
        QVERIFY(said.contains(QStringLiteral("无法启动邮件程序")));
    }

    // The toolbar's last button shows the About dialog with the window's own picture.
    void aboutShowsProgramPicture()
    {
        mz::test::FormFixture fx;
        Form3 *about = nullptr;
        QImage picture;
        fx.env.showModal = [&](QDialog &dialog) {
            about = qobject_cast<Form3 *>(&dialog);
            if (about)
                picture = about->Image1->pixmap().toImage();
        };
        auto form = fx.load();
        QAction *button20 = nullptr;
        for (QAction *a : form->Toolbar1->actions())
            if (a->data().toString() == QStringLiteral("button20"))
                button20 = a;
        QVERIFY(button20);
        button20->trigger();
        QVERIFY(about);
        QVERIFY(!form->windowIcon().isNull());
        QCOMPARE(
            form->windowIcon().pixmap(picture.size()).toImage().convertToFormat(picture.format()),
            picture);
    }

    void optionsSavedThroughMenu()
    {
        mz::test::FormFixture fx;
        fx.env.showModal = [&](QDialog &dialog) {
            auto *options = qobject_cast<Form5 *>(&dialog);
            QVERIFY(options);
            options->Option3[2]->setChecked(true); // 体育: 非常关心
            options->Command1->click();
        };
        auto form = fx.load();
        form->s00->trigger();
        const mz::FlashLoad load = mz::loadFlashIni(mz::flashIniPath(fx.dir.path()));
        QVERIFY(load.found);
        QCOMPARE(load.answers[mz::FlashGroup::Gym], 2);
    }

    // What "根据你的喜好生成当日新闻首页" does with the stored answers and archive of the day.
    void frontPage_data()
    {
        QTest::addColumn<QString>("flash");       // flash.ini's text; empty: no file
        QTest::addColumn<bool>("archive");        // the day's archive is stored
        QTest::addColumn<bool>("answerInDialog"); // Form5, when offered, saves an answer
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<bool>("shown");

        const QString answered = QStringLiteral("[main]\r\nage=#\r\ngym=2\r\ndomestic=0\r\n");
        QTest::newRow("answered") << answered << true << false << 0 << true;
        QTest::newRow("no-archive") << answered << false << false << 0 << false;
        QTest::newRow("no-answers-cancelled") << QString() << true << false << 1 << false;
        QTest::newRow("no-answers-then-answered") << QString() << true << true << 1 << true;
        QTest::newRow("damaged") << QStringLiteral("[main]\r\ngym=x\r\nscience=7\r\n") << true
                                 << false << 0 << false;
    }
    void frontPage()
    {
        QFETCH(QString, flash);
        QFETCH(bool, archive);
        QFETCH(bool, answerInDialog);
        QFETCH(int, dialogs);
        QFETCH(bool, shown);

        mz::test::FormFixture fx;
        int offered = 0;
        fx.env.showModal = [&](QDialog &dialog) {
            auto *options = qobject_cast<Form5 *>(&dialog);
            QVERIFY(options);
            ++offered;
            if (answerInDialog) {
                mz::FlashAnswers answers;
                answers[mz::FlashGroup::Gym] = 2;
                answers[mz::FlashGroup::Domestic] = 0;
                options->showAnswers(answers);
                options->Command1->click();
            } else {
                options->Command2->click();
            }
        };
        if (!flash.isEmpty())
            QVERIFY(mz::writeTextFile(mz::flashIniPath(fx.dir.path()), flash));
        auto form = fx.load();
        const mz::Day day = selectDay(*form);
        QVERIFY(day.isValid());
        const QString archiveFile = form->downloads().archiveTarget(day).file;
        const mz::PortalGenerator portal(fx.env.portalBase);
        if (archive) {
            QFile out(archiveFile);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(portal.archivePage(day.date));
        }
        form->showListView(form->ListView1);
        form->s0->trigger();

        QCOMPARE(offered, dialogs);
        const QString saved =
            QFileInfo(archiveFile)
                .dir()
                .filePath(QStringLiteral("frontpage_") + day.stamp() + QStringLiteral(".html"));
        QCOMPARE(QFile::exists(saved), shown);
        QCOMPARE(form->WebBrowser1->isVisibleTo(form.get()), shown);
        QCOMPARE(form->ListView1->isVisibleTo(form.get()), !shown);
        if (shown) {
            // Sport (非常关心) comes before the unanswered rest; 国内 (一点不) is left out.
            auto titleOf = [&](const QString &category) {
                for (int n = 1; n <= 20; ++n)
                    if (portal.headline(day.date, n).category == category)
                        return portal.headline(day.date, n).title.toLower();
                return QString();
            };
            // The archive's parser lower-cases the titles.
            const QString text = form->WebBrowser1->toPlainText().toLower();
            const qsizetype sport = text.indexOf(titleOf(QStringLiteral("体育")));
            QVERIFY(sport >= 0);
            QVERIFY(sport < text.indexOf(titleOf(QStringLiteral("科技"))));
            QVERIFY(!text.contains(titleOf(QStringLiteral("国内"))));
            QVERIFY(s1Of(*form).contains(QDir::toNativeSeparators(saved)));
            QCOMPARE(fx.messages.messages.size(), dialogs); // only the notice before the offer
            // Its links are live: Enter on the first one hands it to the browser.
            form->WebBrowser1->setFocus();
            QTest::keyClick(form->WebBrowser1, Qt::Key_Tab);
            QTest::keyClick(form->WebBrowser1, Qt::Key_Return);
            QCOMPARE(fx.opener.opened.size(), 1);
            QVERIFY(fx.opener.opened.first().path().startsWith(QStringLiteral("/news/")));
            // A list brought back to the front puts the page away: covered, it would still be
            // reached by Tab and read by a screen reader.
            form->Toolbar1->actions().first()->trigger();
            QVERIFY(form->WebBrowser1->isHidden());
        } else {
            QVERIFY(form->WebBrowser1->toPlainText().isEmpty());
            QVERIFY(!fx.messages.messages.isEmpty());
            QVERIFY(!fx.messages.messages.last().text.isEmpty());
        }
    }

    // A picture that a page in the pane names by a local path or file: address is not read:
    // the site page comes from the network, and a named pipe there stopped the window. "@" stands
    // for the program folder, which is also the working folder; the front page is saved there
    // and is its own page's base.
    void paneReadsNoLocalFiles_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("frontPageBase");
        QTest::newRow("path") << "@/secret.png" << false;
        QTest::newRow("file-address") << "file://@/secret.png" << false;
        QTest::newRow("relative-to-working-folder") << "secret.png" << false;
        QTest::newRow("relative-on-front-page") << "secret.png" << true;
        QTest::newRow("dot-dot-on-front-page") << "News_save/../secret.png" << true;
    }

    void paneReadsNoLocalFiles()
    {
        QFETCH(QString, source);
        QFETCH(bool, frontPageBase);
        mz::test::FormFixture fx;
        auto form = fx.load();
        const QDir folder(fx.dir.path());
        const QSize secret(37, 23);
        QImage picture(secret, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(folder.filePath(QStringLiteral("secret.png"))));
        const QString working = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        QTextDocument *page = form->WebBrowser1->document();
        if (frontPageBase)
            page->setBaseUrl(
                QUrl::fromLocalFile(folder.filePath(QStringLiteral("frontpage_20070301.html"))));
        const QString src = source.replace(u'@', folder.path());
        form->WebBrowser1->setHtml(QStringLiteral("<p>墨舟网</p><img src=\"") +
                                   src.toHtmlEscaped() + QStringLiteral("\">"));
        page->setTextWidth(400);
        QImage canvas(400, 200, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        page->drawContents(&painter); // lays out and paints the page, with its picture
        painter.end();
        QDir::setCurrent(working);
        // The red picture is neither painted nor kept with the page.
        bool red = false;
        for (int y = 0; y < canvas.height() && !red; ++y)
            for (int x = 0; x < canvas.width() && !red; ++x)
                red = canvas.pixel(x, y) == qRgb(255, 0, 0);
        QVERIFY2(!red, qPrintable(src));
        const QVariant kept = page->resource(QTextDocument::ImageResource, QUrl(src));
        const QImage shown = kept.userType() == QMetaType::QByteArray
                                 ? QImage::fromData(kept.toByteArray())
                                 : kept.value<QImage>();
        QVERIFY2(shown.size() != secret, qPrintable(src));
        QCOMPARE(form->WebBrowser1->toPlainText().left(3), QStringLiteral("墨舟网"));
    }

    // The site page on its way to the pane ("查看最流行关键词" on a site that stalls) is given up
    // when the front page is shown: a late answer cannot replace the page asked for last. The
    // pane covers the lists, which step back meanwhile: covered, the hot news list was still
    // reached by Tab and read by a screen reader.
    // A page that cannot be saved is shown all the same, with a box saying so: the site page
    // must not arrive while that box is open.
    void frontPageGivesUpSitePageOnItsWay_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::newRow("saved") << true;
        QTest::newRow("not-saved-box-open") << false;
    }
    void frontPageGivesUpSitePageOnItsWay()
    {
        QFETCH(bool, saved);
        mz::test::FormFixture fx;
        mz::PortalServer portal(&fx.clock);
        QVERIFY(portal.listen(0));
        fx.setPortal(portal.baseUrl());
        mz::test::ModalMessages box; // open until the site page's connection has ended
        box.closeWhen = [&] { return portal.server().openConnectionCount() == 0; };
        if (saved) {
            portal.server().setFaultForPath("/mozhou/", mz::HttpServer::Fault::Stall);
        } else {
            portal.server().setFaultForPath("/mozhou/", mz::HttpServer::Fault::Slow);
            portal.server().setSlowChunk(100, 20);
            fx.env.messages = &box;
        }
        QVERIFY(mz::writeTextFile(mz::flashIniPath(fx.dir.path()),
                                  QStringLiteral("[main]\r\nage=#\r\ngym=2\r\n")));
        auto form = fx.load();
        const mz::Day day = selectDay(*form);
        if (!saved) // the page's file name is taken by a folder
            QVERIFY(
                QDir(fx.dir.path())
                    .mkdir(QStringLiteral("frontpage_") + day.stamp() + QStringLiteral(".html")));
        QVERIFY(mz::writeFileBytes(form->downloads().archiveTarget(day).file,
                                   portal.generator().archivePage(day.date)));
        form->showListView(form->ListView1);
        form->s6666->trigger();
        QVERIFY(form->WebBrowser1->isVisibleTo(form.get()));
        for (QTreeView *view : {form->ListView1, form->ListView2, form->ListView3})
            QVERIFY(view->isHidden());
        QTRY_COMPARE(portal.server().openConnectionCount(), 1);

        form->s0->trigger();
        const QString front = form->WebBrowser1->toPlainText();
        QVERIFY(front.contains(day.label));
        QTRY_COMPARE(portal.server().openConnectionCount(), 0); // the stalled page was dropped
        QCOMPARE(form->WebBrowser1->toPlainText(), front);
    }

    // The site's page names its other pages by paths: taken as written, "/hotnews/" was no web
    // address, and Enter on such a link only said "不是网页地址，未打开：/hotnews/".
    void sitePageLinksOpenOnTheSite_data()
    {
        QTest::addColumn<QString>("href");   // as the page writes it, quotes and all
        QTest::addColumn<QString>("opened"); // "@" stands for the site's base
        QTest::newRow("path") << "\"/hotnews/\""
                              << "@/hotnews/";
        QTest::newRow("beside-the-page") << "\"hot.html?d=1\""
                                         << "@/mozhou/hot.html?d=1";
        QTest::newRow("up") << "\"../old1000/\""
                            << "@/old1000/";
        QTest::newRow("absolute") << "\"http://example.test/a\""
                                  << "http://example.test/a";
        // Qt's own reader took the "/>" for the end of the tag and lost the link.
        QTest::newRow("unquoted-ending-in-slash") << "/hotnews/"
                                                  << "@/hotnews/";
        QTest::newRow("unquoted-with-reference") << "/a.php?id=1&amp;p=2"
                                                 << "@/a.php?id=1&p=2";
    }

    void sitePageLinksOpenOnTheSite()
    {
        QFETCH(QString, href);
        QFETCH(QString, opened);
        mz::test::FormFixture fx;
        const QByteArray page = "<html><body><p><a href=" + href.toUtf8() +
                                ">\xc8\xc8\xb5\xe3</a></p></body></html>"; // 热点 in GBK
        mz::test::RawHttpServer site([&](const QByteArray &, const QByteArray &) {
            return mz::test::RawAnswer{mz::test::rawHttp(
                "200 OK",
                "Content-Type: text/html\r\nContent-Length: " + QByteArray::number(page.size()) +
                    "\r\n",
                page)};
        });
        QVERIFY(site.listen());
        fx.setPortal(site.url(""));
        auto form = fx.load();
        form->s6666->trigger();
        QTRY_VERIFY(form->WebBrowser1->toPlainText().contains(QStringLiteral("热点")));
        form->WebBrowser1->setFocus();
        QTest::keyClick(form->WebBrowser1, Qt::Key_Tab);
        QCOMPARE(form->WebBrowser1->textCursor().selectedText(), QStringLiteral("热点"));
        QTest::keyClick(form->WebBrowser1, Qt::Key_Return);
        QCOMPARE(fx.opener.opened, QList<QUrl>{QUrl(opened.replace(u'@', site.url("")))});
    }
};

QTEST_MAIN(TestForm1Dialogs)
#include "tst_form1dialogs.moc"
