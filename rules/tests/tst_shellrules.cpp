#include "rules/layout.h"
#include "rules/treerules.h"

#include <QTest>

using namespace mz;

Q_DECLARE_METATYPE(mz::PopStates)

class TestShellRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The kind comes from the node's root; the menu states follow the kind by the rule table.
    void nodeKindsAndPopStates_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("kind");
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
        const int Day = int(NodeKind::Day), Keyword = int(NodeKind::Keyword),
                  Category = int(NodeKind::Category), Root = int(NodeKind::Root);
        QTest::newRow("today") << "k0"
                               << "k20070302" << Day << 4 << allOff << day;
        QTest::newRow("stored-day") << "k1"
                                    << "k20070301" << Day << 1 << allOff << day;
        QTest::newRow("downloading-day") << "k0"
                                         << "k20070302" << Day << 2 << allOn << downloading;
        QTest::newRow("keyword") << "k2"
                                 << "k21" << Keyword << 26 << allOn << keyword;
        QTest::newRow("keyword-100-is-no-day") << "k2"
                                               << "k2100" << Keyword << 26 << allOff << keyword;
        QTest::newRow("category") << "k3"
                                  << "k34" << Category << 6 << allOn << category;
        QTest::newRow("category-1000") << "k3"
                                       << "k31000" << Category << 6 << allOn << category;
        for (const char *r : {"k0", "k1", "k2", "k3"})
            QTest::newRow(r) << "" << r << Root << 3 << allOn << allOff;
        QTest::newRow("favorites-keeps-states") << ""
                                                << "k4" << Root << 3 << keyword << keyword;
        QTest::newRow("under-favorites") << "k4"
                                         << "k41" << int(NodeKind::Other) << 3 << day << day;
    }
    void nodeKindsAndPopStates()
    {
        QFETCH(QString, root);
        QFETCH(QString, key);
        QFETCH(int, kind);
        QFETCH(int, image);
        QFETCH(PopStates, before);
        QFETCH(PopStates, after);
        QCOMPARE(int(nodeKind(root, key)), kind);
        QCOMPARE(popStatesFor(nodeKind(root, key), key, image, before), after);
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
        QCOMPARE(r.tree.top(), 44 + 28); // 1.1 x 25 = 27.5, rounded
        QCOMPARE(r.tree.left(), 4);
        QCOMPARE(r.tree.height(), 581); // H - SB - 1.8T - 1.1 x Text2 = 580.5
        QCOMPARE(r.text2.left(), 4);
        QCOMPARE(r.text2.width(), 265 - 66); // tree - 1.15 x 57
        QCOMPARE(r.command6.left(), 4 + 199);
        QCOMPARE(r.list.top(), 44);
        QCOMPARE(r.list.left(), 4 + 265 + 4);
        QCOMPARE(r.list.height(), 700 - 20 - 72);
        QCOMPARE(r.list.width(), 1000 - 265 - 20);

        // A wider button takes its extra width from the search box; the row ends where it did.
        in.command6Width = 95;
        const LayoutResult wide = applyLayout(in, {});
        QCOMPARE(wide.text2.width(), 199 - 30);
        QCOMPARE(wide.command6.left(), 4 + 169);
        QCOMPARE(wide.command6.right(), r.command6.right());
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
        tiny.windowWidth = 270;    // W - tree - status bar < 0
        tiny.windowHeight = 121;   // just above three toolbar heights
        tiny.statusBarHeight = 30; // H - SB - 1.8T - 1.1 x Text2 < 0
        const LayoutResult t = applyLayout(tiny, first);
        QCOMPARE(t.list.width(), 0);
        QCOMPARE(t.tree.height(), 0);
        QVERIFY(t.list.height() >= 0);
    }
};

QTEST_GUILESS_MAIN(TestShellRules)
#include "tst_shellrules.moc"
