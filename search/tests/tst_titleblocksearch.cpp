// The keyword search over a model's title block against the plain definition, on generated
// titles full of awkward units (the separator's own code, surrogate halves, titles far longer than
// the search reads at once), in the model's order and in a sorted view's order; and the window's
// searches following ListView2's order while it is sorted, refilled and sorted again.

#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/searchcommands.h"
#include "ui/windowstatus.h"
#include "lists/headlinemodel.h"
#include "search/keywordsearch.h"
#include "testsupport/formfixture.h"

#include <QLineEdit>
#include <QRandomGenerator>
#include <QSortFilterProxyModel>
#include "testsupport/referencesearch.h"

#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

using mz::HeadlineModel;
using mz::HeadlineRow;
using mz::HeadlineRows;

namespace {

using mz::test::referenceHits;

HeadlineRow headline(const QString &title, int n)
{
    HeadlineRow r;
    r.title = title;
    r.sub1 = n % 3 == 0 ? QString() : u"国内"_qs;
    r.tag = u"http://127.0.0.1/news/%1.shtml"_qs.arg(n);
    return r;
}

// Texts of up to maxLength units drawn from an alphabet; repeating a unit in the alphabet makes
// it more frequent.
struct TextMaker
{
    QString alphabet;
    QRandomGenerator random{20070302};

    QString make(int maxLength)
    {
        QString s;
        const int length = random.bounded(maxLength + 1);
        for (int k = 0; k < length; ++k)
            s += alphabet.at(random.bounded(int(alphabet.size())));
        return s;
    }
    QString query(int wordLength, int maxWords)
    {
        QString q = make(wordLength);
        const int words = 1 + random.bounded(maxWords);
        for (int w = 1; w < words; ++w)
            q += QChar(random.bounded(3) == 0 ? u'*' : u'+') + make(wordLength);
        return q;
    }
};

// A query as it can be read in a failure message: control units, surrogate halves and
// non-characters as \uXXXX.
QString readable(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.isSurrogate() || c.isNonCharacter())
            out += u"\\u%1"_qs.arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QStringList tagsOf(const HeadlineRows &rows)
{
    QStringList tags;
    for (const HeadlineRow &r : rows)
        tags << r.tag;
    return tags;
}

} // namespace

class TestTitleBlockSearch : public QObject
{
    Q_OBJECT

private slots:
    void matchesDefinition_data();
    void matchesDefinition();
    void windowFollowsShownOrder();
};

void TestTitleBlockSearch::matchesDefinition_data()
{
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<int>("maxTitle");
    QTest::addColumn<int>("wordLength");
    QTest::addColumn<int>("maxWords");
    const QChar nul(u'\0');
    QTest::newRow("separator-code-in-titles-and-words")
        << (u"ab"_qs + nul + nul + u"\n\uffff"_qs) << 10 << 3 << 4;
    QTest::newRow("surrogate-halves") << u"\U0001F600\U0001F601a"_qs << 12 << 4 << 4;
    QTest::newRow("long-words-checked-in-full") << u"股票证"_qs << 40 << 7 << 3;
    // Mostly one unit: the few matches often lie past a title's first 64 places.
    QTest::newRow("titles-longer-than-a-read") << (QString(30, u'x') + u"yz"_qs) << 260 << 3 << 3;
    QTest::newRow("many-words") << u"abcdefghij"_qs << 40 << 3 << 70;
    QTest::newRow("mostly-empty-titles") << u"ab"_qs << 1 << 2 << 3;
}

// Each query over three sources: the model with its block in model order, the same model read
// through a view sorted by title, and a plain row list.
void TestTitleBlockSearch::matchesDefinition()
{
    QFETCH(QString, alphabet);
    QFETCH(int, maxTitle);
    QFETCH(int, wordLength);
    QFETCH(int, maxWords);
    TextMaker maker{alphabet};

    HeadlineRows archive;
    for (int i = 0; i < 300; ++i)
        archive.append(headline(maker.make(maxTitle), i));
    HeadlineModel model(HeadlineModel::Kind::Archive);
    for (qsizetype i = 0; i < archive.size(); i += 100)
        model.append(archive.mid(i, 100));

    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.sort(0);
    QList<int> order;
    for (int i = 0; i < proxy.rowCount(); ++i)
        order.append(proxy.mapToSource(proxy.index(i, 0)).row());

    struct Source
    {
        const char *name;
        mz::RowSource rows;
        QStringList titles; // in the order the source reads them
    };
    QStringList modelTitles, sortedTitles;
    for (const HeadlineRow &r : archive)
        modelTitles << r.title;
    for (int row : order)
        sortedTitles << archive.at(row).title;
    QVERIFY(sortedTitles != modelTitles); // the sorted view really reads another order
    const Source sources[] = {
        {"model", mz::rowsOf(model), modelTitles},
        {"sorted view", mz::rowsOf(model, order), sortedTitles},
        {"row list", mz::rowsOf(archive), modelTitles},
    };

    for (int q = 0; q < 150; ++q) {
        const QString query = maker.query(wordLength, maxWords);
        for (const Source &source : sources) {
            const QList<int> expected = referenceHits(source.titles, query);
            const QList<int> hits = mz::keywordHits(source.rows, query).rows;
            const QString where =
                QString::fromUtf8(source.name) + u", query \""_qs + readable(query) + u'"';
            if (hits != expected) {
                QFAIL(qPrintable(u"%1: %2 hits, expected %3"_qs.arg(where)
                                     .arg(hits.size())
                                     .arg(expected.size())));
            }
            if (mz::singleTermHits(source.rows, query) != referenceHits(source.titles, query, true))
                QFAIL(qPrintable(where + u" as a single term"_qs));
            // A hit names the source's row: its result row is the row read at that place.
            const HeadlineRows result = mz::keywordResultRows(source.rows, hits);
            for (qsizetype k = 0; k < hits.size(); ++k) {
                if (result.at(k).title != source.titles.at(hits.at(k)))
                    QFAIL(qPrintable(where + u": result row %1"_qs.arg(k)));
            }
        }
    }
}

// The window reads ListView2 in the order it shows: as filled, sorted by a header click, with rows
// arriving while sorted, after the list is emptied and refilled, and sorted by another column.
void TestTitleBlockSearch::windowFollowsShownOrder()
{
    mz::test::FormFixture fixture;
    const std::unique_ptr<Form1> form = fixture.load();
    QTreeWidgetItem *today = form->tree().nodeByKey(u"k20070302"_qs);
    QVERIFY(today);
    form->TreeView1->setCurrentItem(today);

    TextMaker maker{u"股票证券ab"_qs};
    int made = 0;
    auto fill = [&](int count) {
        for (int chunk = 0; chunk < count; chunk += 100) {
            HeadlineRows rows;
            for (int i = chunk; i < std::min(count, chunk + 100); ++i)
                rows.append(headline(maker.make(6), made++));
            form->lists().model2()->append(std::move(rows));
        }
    };
    const QString query = u"股票+b*a+"_qs;
    auto check = [&](const char *state) {
        QStringList shownTitles, shownTags;
        for (int i = 0; i < form->lists().shownRowCount(form->ListView2); ++i) {
            shownTitles << form->lists().shownRow(form->ListView2, i).title;
            shownTags << form->lists().shownRow(form->ListView2, i).tag;
        }
        QStringList expected;
        for (int i : referenceHits(shownTitles, query))
            expected << shownTags.at(i);
        form->Text2->setText(query);
        form->Command6_Click();
        if (tagsOf(form->lists().model1()->rows()) != expected)
            QFAIL(qPrintable(u"search box, "_qs + QString::fromUtf8(state)));

        expected.clear();
        for (int i : referenceHits(shownTitles, u"证券"_qs))
            expected << shownTags.at(i);
        form->Text1->setText(u"证券"_qs);
        form->Command3_Click();
        if (tagsOf(form->lists().model1()->rows()) != expected)
            QFAIL(qPrintable(u"bare search, "_qs + QString::fromUtf8(state)));
    };

    fill(250);
    check("as filled");
    form->ListView2_ColumnClick(0);
    check("sorted by title");
    fill(120);
    check("rows added while sorted");
    form->lists().model2()->clear();
    fill(180);
    check("emptied and refilled");
    form->ListView2_ColumnClick(1);
    check("sorted by category");
}

QTEST_MAIN(TestTitleBlockSearch)
#include "tst_titleblocksearch.moc"
