// The search handlers of the main window: where the query comes from, which nodes search, the
// result list, the status text and which list is shown.

#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/searchcommands.h"
#include "ui/windowstatus.h"
#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"
#include "testsupport/formfixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>
#include <array>
#include <memory>

using mz::HeadlineRow;
using mz::HeadlineRows;

namespace {

// One keyword (k21) and two categories (k32 国内, k33 考试); today is 2007-3-2.
const QString kOption = QStringLiteral("[旧新闻存放天数]\r\n1天\r\n[你的关键词]\r\n股票+证券\r\n"
                                       "[分类]\r\n国内\r\n考试\r\n[新闻网站]\r\nhttp://x\r\n");

HeadlineRow headline(const QString &title, const QString &category)
{
    HeadlineRow r;
    r.title = title;
    r.sub1 = category;
    r.tag = QStringLiteral("http://127.0.0.1:9/news/") + title;
    return r;
}

const HeadlineRows kArchive = {
    headline(QStringLiteral("股票上涨 证券受益"), QStringLiteral("财经")), // 0
    headline(QStringLiteral("2007-3-2 要闻"), QStringLiteral("国内新闻")), // 1
    headline(QStringLiteral("分类 统计"), QString()),                      // 2
    headline(QStringLiteral("证券市场"), QStringLiteral("未知类")),        // 3
    headline(QStringLiteral("文化遗产"), QStringLiteral("文化")),          // 4
    headline(QStringLiteral("nba 开赛"), QStringLiteral("体育")),          // 5
};

const HeadlineRow kHotRow = headline(QStringLiteral("热点新闻一"), QStringLiteral("要闻"));

struct Fixture : mz::test::FormFixture
{
    Fixture() : FormFixture(kOption), form(load()) {}

    void select(const QString &key)
    {
        QTreeWidgetItem *node = form->tree().nodeByKey(key);
        QVERIFY2(node, qPrintable(key));
        form->TreeView1->setCurrentItem(node);
    }

    // The result list as (title, icon, tag) rows, in list order.
    QStringList resultTitles() const
    {
        QStringList titles;
        for (const HeadlineRow &r : form->lists().model1()->rows())
            titles << r.title;
        return titles;
    }
    QList<int> resultIcons() const
    {
        QList<int> icons;
        for (const HeadlineRow &r : form->lists().model1()->rows())
            icons << r.icon;
        return icons;
    }
    bool showing(QTreeView *view) const
    {
        const std::array<QTreeView *, 3> views{form->ListView1, form->ListView2, form->ListView3};
        return !view->isHidden() && std::all_of(views.begin(), views.end(), [&](QTreeView *v) {
            return v == view || v->isHidden();
        });
    }

    std::unique_ptr<Form1> form;
};

QStringList titlesOf(const QList<int> &rows)
{
    QStringList titles;
    for (int i : rows)
        titles << kArchive.at(i).title;
    return titles;
}

} // namespace

class TestForm1Search : public QObject
{
    Q_OBJECT

private slots:
    void keywordNodeFromMenu();
    void searchBox_data();
    void searchBox();
    void noHitsNote_data();
    void noHitsNote();
    void rootTodaySearchesNothing();
    void noNodeSelected();
    void emptyArchive();
    void categoryNodeClick_data();
    void categoryNodeClick();
    void otherClicksChangeNothing_data();
    void otherClicksChangeNothing();
    void toolbarCategory_data();
    void toolbarCategory();
    void readsArchiveInShownOrder();
    void bareSearch();
};

void TestForm1Search::keywordNodeFromMenu()
{
    Fixture f;
    f.form->lists().model2()->append(kArchive);
    f.select(QStringLiteral("k21"));
    f.form->updatePopStates(); // as a right-click does before the menu opens
    f.form->s3->trigger();

    QCOMPARE(f.resultTitles(), titlesOf({0, 0, 3}));
    QCOMPARE(f.resultIcons(), (QList<int>{8, 8, 0})); // 未知类 is listed without an icon
    const HeadlineRow &hit = f.form->lists().model1()->row(0);
    QCOMPARE(hit.tag, kArchive[0].tag);
    QVERIFY(hit.sub1.isEmpty() && hit.sub2.isEmpty() && !hit.checked);
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2), QStringLiteral("搜索到3条"));
    QCOMPARE(f.form->search().searchTerms(),
             (QStringList{QStringLiteral("股票"), QStringLiteral("证券")}));
    QVERIFY(f.showing(f.form->ListView1));
    QCOMPARE(f.form->lists().model2()->rows(), kArchive); // the archive list is never changed
}

void TestForm1Search::searchBox_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QList<int>>("hits");
    QTest::newRow("empty-box-keyword-node")
        << QStringLiteral("k21") << QString() << QList<int>{0, 0, 3};
    QTest::newRow("day-node-word")
        << QStringLiteral("k20070302") << QStringLiteral("证券") << QList<int>{0, 3};
    QTest::newRow("day-node-empty-box-label")
        << QStringLiteral("k20070302") << QString() << QList<int>{1};
    QTest::newRow("old-day-node-label") << QStringLiteral("k20070301") << QString() << QList<int>{};
    QTest::newRow("root-category-word") << QStringLiteral("k3") << QString() << QList<int>{2};
    QTest::newRow("leading-blank-kept")
        << QStringLiteral("k20070302") << QStringLiteral(" 证券") << QList<int>{0};
    QTest::newRow("trailing-blank-kept")
        << QStringLiteral("k20070302") << QStringLiteral("证券 ") << QList<int>{};
    QTest::newRow("case-counts") << QStringLiteral("k20070302") << QStringLiteral("NBA")
                                 << QList<int>{};
    QTest::newRow("box-over-keyword-node")
        << QStringLiteral("k21") << QStringLiteral("nba") << QList<int>{5};
    QTest::newRow("all-of-and-alternative")
        << QStringLiteral("k20070302") << QStringLiteral("股票*证券+nba") << QList<int>{0, 5};
    QTest::newRow("all-of-missing-word")
        << QStringLiteral("k20070302") << QStringLiteral("股票*市场") << QList<int>{};
}

void TestForm1Search::searchBox()
{
    QFETCH(QString, key);
    QFETCH(QString, box);
    QFETCH(QList<int>, hits);
    Fixture f;
    f.form->lists().model2()->append(kArchive);
    f.form->lists().model1()->append(kHotRow);
    f.form->showListView(f.form->ListView2);
    f.select(key);
    f.form->Text2->setText(box);
    QSignalSpy clicks(f.form->Command6, &QPushButton::clicked);
    QTest::keyClick(f.form->Text2, Qt::Key_Return); // Enter in the box clicks the button once

    QCOMPARE(clicks.count(), 1);
    QCOMPARE(f.resultTitles(), titlesOf(hits));
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2),
             QStringLiteral("搜索到%1条").arg(hits.size()));
    QVERIFY(f.showing(f.form->ListView1));
    QCOMPARE(f.form->Text2->text(), box); // the box keeps what the user typed
}

void TestForm1Search::noHitsNote_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("suggested"); // what the note offers, and its hits
    QTest::addColumn<QList<int>>("suggestedHits");
    QTest::newRow("small-letters")
        << QStringLiteral("足球") << QStringLiteral("没有找到与“足球”有关的新闻。") << QString()
        << QList<int>{};
    QTest::newRow("capitals") << QStringLiteral("NBA")
                              << QStringLiteral("没有找到与“NBA”有关的新闻。"
                                                "新闻标题中的字母都是小写的，请搜索“nba”。")
                              << QStringLiteral("nba") << QList<int>{5};
    QTest::newRow("capitals-in-an-alternative")
        << QStringLiteral("Nba+足球")
        << QStringLiteral("没有找到与“Nba+足球”有关的新闻。"
                          "新闻标题中的字母都是小写的，请搜索“nba+足球”。")
        << QStringLiteral("nba+足球") << QList<int>{5};
    QTest::newRow("full-width-capitals")
        << QStringLiteral("ＮＢＡ")
        << QStringLiteral("没有找到与“ＮＢＡ”有关的新闻。"
                          "新闻标题中的字母都是小写的，请搜索“ｎｂａ”。")
        << QStringLiteral("ｎｂａ") << QList<int>{};
}

// A search without hits says so in panel s1; a query with capitals, which can never match the
// titles the archive keeps in small letters, is answered with the query to search instead.
void TestForm1Search::noHitsNote()
{
    QFETCH(QString, box);
    QFETCH(QString, note);
    QFETCH(QString, suggested);
    QFETCH(QList<int>, suggestedHits);
    Fixture f;
    f.form->lists().model2()->append(kArchive);
    f.select(QStringLiteral("k20070302"));
    f.form->Text2->setText(box);
    f.form->Command6_Click();
    QCOMPARE(f.form->lists().model1()->rowCount(), 0);
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S1), note);

    if (suggested.isEmpty())
        return;
    f.form->Text2->setText(suggested);
    f.form->Command6_Click();
    QCOMPARE(f.resultTitles(), titlesOf(suggestedHits));
}

void TestForm1Search::rootTodaySearchesNothing()
{
    Fixture f;
    f.form->lists().model2()->append(kArchive);
    f.form->lists().model1()->append(kHotRow);
    f.form->showListView(f.form->ListView2);
    f.select(QStringLiteral("k0"));
    f.form->Text2->setText(QStringLiteral("股票"));
    f.form->Command6_Click();

    QCOMPARE(f.form->lists().model1()->rows(), HeadlineRows{kHotRow}); // the hot news stay
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2), QStringLiteral("搜索到0条"));
    QVERIFY(f.showing(f.form->ListView1));
    QCOMPARE(f.form->search().searchTerms(), QStringList{QString()});
}

void TestForm1Search::noNodeSelected()
{
    Fixture f;
    f.form->lists().model2()->append(kArchive);
    f.form->lists().model1()->append(kHotRow);
    {
        // The window keeps a node selected on its own; get round that to reach the state.
        const QSignalBlocker blocker(f.form->TreeView1);
        f.form->TreeView1->clearSelection();
    }
    QVERIFY(f.form->tree().selectedKey().isEmpty());
    f.form->Text2->setText(QStringLiteral("股票"));
    f.form->Command6_Click();

    QCOMPARE(f.form->lists().model1()->rows(), HeadlineRows{kHotRow});
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2), QStringLiteral("搜索到0条"));
    QVERIFY(f.showing(f.form->ListView1));
}

// Before any archive is listed there is nothing to search: the note says so rather than that
// the archive holds no such headlines.
void TestForm1Search::emptyArchive()
{
    Fixture f;
    const QString nothing = QStringLiteral(
        "还没有载入所有新闻，没有可以搜索的标题：在日期上按右键，选“下载当日所有新闻”。");
    auto s1 = [&f] { return f.form->status().panel(WindowStatus::Panel::S1); };
    f.form->lists().model1()->append(kHotRow);
    f.select(QStringLiteral("k21"));
    f.form->s3_Click();
    QCOMPARE(f.form->lists().model1()->rowCount(), 0);
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2), QStringLiteral("搜索到0条"));
    QCOMPARE(s1(), nothing);

    f.form->lists().model1()->append(kHotRow);
    f.select(QStringLiteral("k33"));
    f.form->TreeView1_NodeClick(f.form->tree().nodeByKey(QStringLiteral("k33")));
    QCOMPARE(f.form->lists().model1()->rowCount(), 0);
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2), QStringLiteral("搜索到0条"));
    QCOMPARE(s1(), nothing);

    f.form->status().setPanel(WindowStatus::Panel::S1, QString());
    f.form->listCategory(QStringLiteral("国内"));
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2), QStringLiteral("搜索到0条!"));
    QCOMPARE(s1(), nothing);

    f.form->status().setPanel(WindowStatus::Panel::S1, QString());
    f.select(QStringLiteral("k20070302"));
    f.form->Text2->setText(QStringLiteral("股票"));
    f.form->Command6_Click();
    QCOMPARE(s1(), nothing);
    // A day read whole that holds no headlines (yet) has been searched: nothing was found.
    const QString page = f.dir.filePath(QStringLiteral("news1000_20070302.shtml"));
    QVERIFY(mz::writeTextFile(page, QStringLiteral("<html><body></body></html>")));
    f.form->list(page);
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S1), QStringLiteral("所有共0条"));
    f.form->Command6_Click();
    QCOMPARE(s1(), QStringLiteral("没有找到与“股票”有关的新闻。"));
    f.form->listCategory(QStringLiteral("国内"));
    QCOMPARE(s1(), QStringLiteral("没有找到与“国内”有关的新闻。"));
}

void TestForm1Search::categoryNodeClick_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QList<int>>("hits");
    QTest::addColumn<int>("icon");
    QTest::newRow("domestic-by-containment") << QStringLiteral("k32") << QList<int>{1} << 6;
    QTest::newRow("exam-gathers-empty") << QStringLiteral("k33") << QList<int>{2} << 23;
}

void TestForm1Search::categoryNodeClick()
{
    QFETCH(QString, key);
    QFETCH(QList<int>, hits);
    QFETCH(int, icon);
    Fixture f;
    f.form->lists().model2()->append(kArchive);
    f.form->lists().model1()->append(kHotRow);
    f.select(key);
    f.form->TreeView1_NodeClick(f.form->tree().nodeByKey(key));

    QCOMPARE(f.resultTitles(), titlesOf(hits));
    QCOMPARE(f.resultIcons(), QList<int>(hits.size(), icon));
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2),
             QStringLiteral("搜索到%1条").arg(hits.size()));
    QVERIFY(f.showing(f.form->ListView1));

    // The popup command does the same.
    f.form->lists().model1()->clear();
    f.form->updatePopStates();
    f.form->s8->trigger();
    QCOMPARE(f.resultTitles(), titlesOf(hits));
}

void TestForm1Search::otherClicksChangeNothing_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("root-category") << QStringLiteral("k3");
    QTest::newRow("keyword-node") << QStringLiteral("k21");
    QTest::newRow("today-node") << QStringLiteral("k20070302");
    QTest::newRow("root-today") << QStringLiteral("k0");
    QTest::newRow("root-favorites") << QStringLiteral("k4");
}

void TestForm1Search::otherClicksChangeNothing()
{
    QFETCH(QString, key);
    Fixture f;
    f.form->lists().model2()->append(kArchive);
    f.form->lists().model1()->append(kHotRow);
    f.form->showListView(f.form->ListView2);
    f.form->status().setPanel(WindowStatus::Panel::S2, QStringLiteral("搜索到7条"));
    f.select(key);
    f.form->TreeView1_NodeClick(f.form->tree().nodeByKey(key));
    if (key != QStringLiteral("k3"))
        f.form->s8_Click(); // the popup command acts only on keys that begin with k3

    QCOMPARE(f.form->lists().model1()->rows(), HeadlineRows{kHotRow});
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2), QStringLiteral("搜索到7条"));
    QVERIFY(f.showing(f.form->ListView2));
}

void TestForm1Search::toolbarCategory_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QList<int>>("hits");
    QTest::addColumn<int>("icon");
    QTest::newRow("culture-not-in-tree") << QStringLiteral("文化") << QList<int>{4} << 21;
    QTest::newRow("domestic") << QStringLiteral("国内") << QList<int>{1} << 6;
    QTest::newRow("cars-none") << QStringLiteral("汽车") << QList<int>{} << 12;
}

void TestForm1Search::toolbarCategory()
{
    QFETCH(QString, caption);
    QFETCH(QList<int>, hits);
    QFETCH(int, icon);
    Fixture f;
    f.form->lists().model2()->append(kArchive);
    f.form->lists().model1()->append(kHotRow);
    f.form->showListView(f.form->ListView2);
    QAction *button = nullptr;
    for (QAction *a : f.form->Toolbar1->actions()) {
        if (a->text() == caption)
            button = a;
    }
    QVERIFY(button);
    f.form->Toolbar1_ButtonClick(button);

    QCOMPARE(f.resultTitles(), titlesOf(hits));
    QCOMPARE(f.resultIcons(), QList<int>(hits.size(), icon));
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2),
             QStringLiteral("搜索到%1条!").arg(hits.size()));
    QVERIFY(f.showing(f.form->ListView1));
}

// After a click on the title column ListView2 shows its rows sorted; the hits follow that order.
void TestForm1Search::readsArchiveInShownOrder()
{
    Fixture f;
    f.form->lists().model2()->append(
        HeadlineRows{headline(QStringLiteral("c 证券"), QStringLiteral("国内")),
                     headline(QStringLiteral("a 证券"), QStringLiteral("国内")),
                     headline(QStringLiteral("b 证券"), QStringLiteral("国内"))});
    f.form->ListView2_ColumnClick(0);
    const QStringList sorted{QStringLiteral("a 证券"), QStringLiteral("b 证券"),
                             QStringLiteral("c 证券")};

    f.select(QStringLiteral("k20070302"));
    f.form->Text2->setText(QStringLiteral("证券"));
    f.form->Command6_Click();
    QCOMPARE(f.resultTitles(), sorted);

    f.form->listCategory(QStringLiteral("国内"));
    QCOMPARE(f.resultTitles(), sorted);

    f.form->Text1->setText(QStringLiteral("证券"));
    f.form->Command3_Click();
    QCOMPARE(f.resultTitles(), sorted);

    // While a list is still being filled, rows not shown yet are searched too, after the shown
    // ones, in the order they came.
    f.form->lists().proxy2()->beginBulkFill();
    f.form->lists().model2()->append(HeadlineRows{headline(QStringLiteral("0 证券"), QString()),
                                                  headline(QStringLiteral("d 证券"), QString())});
    f.form->Text2->setText(QStringLiteral("证券"));
    f.form->Command6_Click();
    const QStringList appended{QStringLiteral("0 证券"), QStringLiteral("d 证券")};
    QCOMPARE(f.resultTitles(), sorted + appended);
    f.form->lists().proxy2()->endBulkFill();
}

// Command3: Text1's text, hits without icons; status bar and shown list untouched.
void TestForm1Search::bareSearch()
{
    Fixture f;
    f.form->lists().model2()->append(kArchive);
    f.form->lists().model2()->append(headline(QString(), QStringLiteral("国内")));
    f.form->lists().model1()->append(kHotRow);
    f.form->showListView(f.form->ListView2);
    f.form->status().setPanel(WindowStatus::Panel::S2, QStringLiteral("搜索到7条"));
    f.select(QStringLiteral("k0")); // the selected node plays no part
    f.form->Text1->setText(QStringLiteral("证券"));
    f.form->Command3->click();

    QCOMPARE(f.resultTitles(), titlesOf({0, 3}));
    QCOMPARE(f.resultIcons(), (QList<int>{0, 0}));
    QCOMPARE(f.form->lists().model1()->row(1).tag, kArchive[3].tag);
    QCOMPARE(f.form->status().panel(WindowStatus::Panel::S2), QStringLiteral("搜索到7条"));
    QVERIFY(f.showing(f.form->ListView2));

    // An empty Text1 lists every headline that has a title; "+" is taken literally.
    f.form->Text1->clear();
    f.form->Command3_Click();
    QCOMPARE(f.resultTitles(), titlesOf({0, 1, 2, 3, 4, 5}));
    f.form->Text1->setText(QStringLiteral("股票+证券"));
    f.form->Command3_Click();
    QCOMPARE(f.form->lists().model1()->rowCount(), 0);
}

QTEST_MAIN(TestForm1Search)
#include "tst_form1search.moc"
