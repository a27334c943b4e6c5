#include "app/layout.h"
#include "app/treerules.h"

#include <QTest>

using namespace mz;

Q_DECLARE_METATYPE(mz::PopStates)

class TestShellRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nodeKinds_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("kind");
        QTest::newRow("root") << "k2" << int(NodeKind::Root);
        QTest::newRow("keyword-1") << "k21" << int(NodeKind::Keyword);
        QTest::newRow("keyword-99") << "k299" << int(NodeKind::Keyword);
        QTest::newRow("category") << "k34" << int(NodeKind::Category);
        QTest::newRow("keyword-100-is-day") << "k2100" << int(NodeKind::Day);
        QTest::newRow("day") << "k20070612" << int(NodeKind::Day);
        QTest::newRow("empty") << "" << int(NodeKind::Other);
    }
    void nodeKinds()
    {
        QFETCH(QString, key);
        QFETCH(int, kind);
        QCOMPARE(int(nodeKind(key)), kind);
    }

    void popStates_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("image");
        QTest::addColumn<PopStates>("before");
        QTest::addColumn<PopStates>("after");
        const PopStates allOn;
        const PopStates allOff{false, false, false, false, false, false, false, false, false};
        //                         s1     s2     s2hot  s1hot  s3     s8     s66    s666   s0
        const PopStates day{true, true, true, true, false, false, false, false, true};
        const PopStates keyword{false, false, false, false, true, false, true, true, false};
        const PopStates category{false, false, false, false, true, true, false, false, false};
        const PopStates downloading{false, false, false, false, false, false, false, false, true};
        QTest::newRow("today") << "k20070302" << 4 << allOff << day;
        QTest::newRow("stored-day") << "k20070301" << 1 << allOff << day;
        QTest::newRow("downloading-day") << "k20070302" << 2 << allOn << downloading;
        QTest::newRow("keyword") << "k21" << 26 << allOn << keyword;
        QTest::newRow("category") << "k34" << 6 << allOn << category;
        QTest::newRow("keyword-100-as-day") << "k2100" << 3 << allOff << day;
        for (const char *root : {"k0", "k1", "k2", "k3"})
            QTest::newRow(root) << root << 3 << allOn << allOff;
        QTest::newRow("favorites-keeps-states") << "k4" << 3 << keyword << keyword;
    }
    void popStates()
    {
        QFETCH(QString, key);
        QFETCH(int, image);
        QFETCH(PopStates, before);
        QFETCH(PopStates, after);
        QCOMPARE(popStatesFor(key, image, before), after);
    }

    void acceptedCategories()
    {
        QCOMPARE(acceptedCategoryImage(QStringLiteral("国际")), 5);
        QCOMPARE(acceptedCategoryImage(QStringLiteral("环保")), 24);
        QCOMPARE(acceptedCategoryImage(QStringLiteral("文化")), 0);
        QCOMPARE(acceptedCategoryImage(QStringLiteral("国内 ")), 0);
        QCOMPARE(acceptedCategoryImage(QStringLiteral("财经新闻")), 0);
    }

    void layoutRule()
    {
        LayoutInput in;
        in.toolbarHeight = 40;
        in.windowHeight = 700;
        in.windowWidth = 1000;
        in.statusBarHeight = 20;
        const LayoutResult r = applyLayout(in, {});
        QCOMPARE(r.text2.top(), 44);
        QCOMPARE(r.command6.top(), 44);
        QCOMPARE(r.tree.top(), 44 + 28);             // 1.1 x 25 = 27.5, rounded
        QCOMPARE(r.tree.left(), 4);
        QCOMPARE(r.tree.height(), 581); // H - SB - 1.8T - 1.1 x Text2 = 580.5
        QCOMPARE(r.text2.left(), 4);
        QCOMPARE(r.text2.width(), 265 - 66);          // tree - 1.15 x 57
        QCOMPARE(r.command6.left(), 4 + 199);
        QCOMPARE(r.list.top(), 44);
        QCOMPARE(r.list.left(), 4 + 265 + 4);
        QCOMPARE(r.list.height(), 700 - 20 - 72);
        QCOMPARE(r.list.width(), 1000 - 265 - 20);
    }

    void layoutGuards()
    {
        LayoutInput in;
        in.toolbarHeight = 40;
        in.windowHeight = 700;
        in.windowWidth = 1000;
        in.statusBarHeight = 20;
        const LayoutResult first = applyLayout(in, {});

        LayoutInput low = in;
        low.windowHeight = 120; // exactly three toolbar heights
        QCOMPARE(applyLayout(low, first).list, first.list);
        QCOMPARE(applyLayout(low, first).tree, first.tree);

        LayoutInput narrow = in;
        narrow.windowWidth = 265; // not wider than the tree
        const LayoutResult n = applyLayout(narrow, first);
        QCOMPARE(n.list.width(), first.list.width());

        LayoutInput tiny = in;
        tiny.windowWidth = 270; // W - tree - status bar < 0
        tiny.windowHeight = 121; // just above three toolbar heights
        tiny.statusBarHeight = 30; // H - SB - 1.8T - 1.1 x Text2 < 0
        const LayoutResult t = applyLayout(tiny, first);
        QCOMPARE(t.list.width(), 0);
        QCOMPARE(t.tree.height(), 0);
        QVERIFY(t.list.height() >= 0);
    }
};

QTEST_GUILESS_MAIN(TestShellRules)
#include "tst_shellrules.moc"
