// The keyword count beside a tree node: drawn from its own role, never part of the node's text.

#include "ui/keywordcountdelegate.h"

#include "testsupport/contrast.h"

#include <QPalette>
#include <QTest>
#include <QTreeWidget>

namespace {

// The tree drawn with one keyword node, as an image.
QImage render(std::optional<int> count, bool selected, const QPalette &palette = QPalette())
{
    QTreeWidget tree;
    tree.setPalette(palette);
    tree.setHeaderHidden(true);
    tree.setItemDelegate(new mz::KeywordCountDelegate(&tree));
    tree.resize(300, 60);
    auto *node = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("油价")});
    mz::setKeywordCount(node, count);
    node->setSelected(selected);
    QImage image(tree.size(), QImage::Format_ARGB32);
    tree.render(&image);
    return image;
}

// The columns of `a` and `b` that differ, as [first, last]; {-1, -1} when none.
std::pair<int, int> differingColumns(const QImage &a, const QImage &b)
{
    int first = -1, last = -1;
    for (int x = 0; x < a.width(); ++x) {
        for (int y = 0; y < a.height(); ++y) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

} // namespace

class TestKeywordCountDelegate : public QObject
{
    Q_OBJECT

private slots:
    void roleNotText()
    {
        QTreeWidgetItem node(QStringList{QStringLiteral("股票+证券")});
        mz::setKeywordCount(&node, 12);
        QCOMPARE(node.text(0), QStringLiteral("股票+证券"));
        QCOMPARE(node.data(0, mz::kKeywordCountRole).toInt(), 12);
        QCOMPARE(node.data(0, Qt::AccessibleDescriptionRole).toString(),
                 QStringLiteral("12条新闻"));
        mz::setKeywordCount(&node, std::nullopt);
        QVERIFY(!node.data(0, mz::kKeywordCountRole).isValid());
        QCOMPARE(node.text(0), QStringLiteral("股票+证券"));
    }

    void drawnAfterTheText_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::newRow("plain") << false;
        QTest::newRow("selected") << true;
    }
    void drawnAfterTheText()
    {
        QFETCH(bool, selected);
        const QImage bare = render(std::nullopt, selected);
        const QImage counted = render(1234, selected);
        const QImage other = render(5, selected);
        // The count changes only pixels right of the node's text, and its value shows.
        QFontMetrics metrics{QFont()};
        const auto [first, last] = differingColumns(bare, counted);
        QVERIFY2(first >= 0, "the count is not drawn");
        QVERIFY2(first > metrics.horizontalAdvance(QStringLiteral("油价")), "drawn over the text");
        QVERIFY(differingColumns(counted, other).first >= 0);
    }

    // The count's strongest pixel stands out from the background it is drawn on.
    void readableOnItsBackground_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<bool>("selected");
        QTest::newRow("light") << QPalette() << false;
        QTest::newRow("light-selected") << QPalette() << true;
        QTest::newRow("dark") << mz::test::darkScheme() << false;
        QTest::newRow("dark-selected") << mz::test::darkScheme() << true;
    }
    void readableOnItsBackground()
    {
        QFETCH(QPalette, palette);
        QFETCH(bool, selected);
        const QImage bare = render(std::nullopt, selected, palette);
        const QImage counted = render(1234, selected, palette);
        const auto [first, last] = differingColumns(bare, counted);
        QVERIFY2(first >= 0, "the count is not drawn");
        double best = 1;
        for (int x = first; x <= last; ++x) {
            for (int y = 0; y < bare.height(); ++y) {
                if (bare.pixel(x, y) != counted.pixel(x, y))
                    best = std::max(best, mz::test::contrastRatio(QColor(counted.pixel(x, y)),
                                                                  QColor(bare.pixel(x, y))));
            }
        }
        QVERIFY2(best >= 3.0, qPrintable(QStringLiteral("contrast %1").arg(best)));
    }

    void sizeHintMakesRoom()
    {
        QTreeWidget tree;
        mz::KeywordCountDelegate delegate;
        auto *node = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("油价")});
        QStyleOptionViewItem option;
        option.initFrom(&tree);
        const QModelIndex index = tree.model()->index(0, 0);
        const int bare = delegate.sizeHint(option, index).width();
        mz::setKeywordCount(node, 1234);
        QVERIFY(delegate.sizeHint(option, index).width() >
                bare + option.fontMetrics.horizontalAdvance(QStringLiteral("123")));
    }
};

QTEST_MAIN(TestKeywordCountDelegate)
#include "tst_keywordcountdelegate.moc"
