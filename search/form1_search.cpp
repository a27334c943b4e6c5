// Form1: keyword and category search, and the result list (ListView1 filled with hits).
// The searching itself is in keywordsearch.cpp and categorysearch.cpp; the handlers here pick
// the query, read ListView2 in the order it shows its rows, and fill the result list in one batch.

#include "app/form1.h"

#include "lists/headlinemodel.h"
#include "search/categorysearch.h"
#include "search/keywordsearch.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>

namespace {

// The archive list's rows as ListView2 shows them (after sorting), with model2's title block.
// Until the list is sorted the proxy shows the model's rows in their own order and the search
// reads the model directly; once sorted, the shown order is read from the proxy once per search.
mz::RowSource archiveRows(const Form1 &form)
{
    const mz::HeadlineModel &model = *form.model2;
    const QSortFilterProxyModel *proxy = form.proxy2;
    const int shown = form.shownRowCount(form.ListView2);
    if (proxy->sortColumn() < 0 && shown == model.rowCount())
        return mz::rowsOf(model);
    QList<int> order(shown);
    for (int i = 0; i < shown; ++i)
        order[i] = proxy->mapToSource(proxy->index(i, 0)).row();
    return mz::rowsOf(model, std::move(order));
}

bool keyStartsWith(const QString &key, QStringView prefix)
{
    return QStringView(key).left(2) == prefix;
}

} // namespace

void Form1::setupSearch()
{
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(s3, &QAction::triggered, this, [this] { s3_Click(); });
    connect(s8, &QAction::triggered, this, [this] { s8_Click(); });
}

// Searches the selected node's text, or searchText while a search-box search runs. Only the
// keyword, category and day nodes and the roots "你的关键词" and "分类" (keys beginning with k2 or
// k3) search; for the others the result list keeps its rows, but the count (0) is still reported
// and the result list shown.
void Form1::keywordSearch()
{
    searchTerms = QStringList{QString()};
    qsizetype found = 0;

    QString query = selectedText();
    const QString key = selectedKey();
    if (!searchText.isEmpty())
        query = searchText;

    if (keyStartsWith(key, u"k2") || keyStartsWith(key, u"k3")) {
        const mz::RowSource rows = archiveRows(*this);
        const mz::KeywordHits hits = mz::keywordHits(rows, query);
        searchTerms = hits.terms;
        model1->clear();
        model1->append(mz::keywordResultRows(rows, hits.rows));
        found = hits.rows.size();
    }

    setPanelText(QStringLiteral("s2"), mz::foundText(found));
    searchText.clear();
    showListView(ListView1);
}

void Form1::s3_Click()
{
    keywordSearch();
}

// The category named by the selected node; acts only on the category nodes (keys k3…).
void Form1::s8_Click()
{
    const QString name = selectedText();
    if (!keyStartsWith(selectedKey(), u"k3"))
        return;
    const mz::RowSource rows = archiveRows(*this);
    const QList<int> hits = mz::categoryHits(rows, name);
    model1->clear();
    model1->append(mz::categoryResultRows(rows, hits, name));
    setPanelText(QStringLiteral("s2"), mz::foundText(hits.size()));
    showListView(ListView1);
}

// The bare single-term search: Text1's text, hits without icons; neither the status bar nor the
// shown list changes.
void Form1::Command3_Click()
{
    const QString text = Text1->text();
    const mz::RowSource rows = archiveRows(*this);
    const QList<int> hits = mz::singleTermHits(rows, text);
    mz::HeadlineRows result;
    result.reserve(hits.size());
    for (int i : hits)
        result.append(mz::resultRow(rows.row(i), 0));
    model1->clear();
    model1->append(result);
}

// The search box: its text unchanged (blanks included) for the duration of one keyword search.
void Form1::Command6_Click()
{
    searchText = Text2->text();
    keywordSearch();
    searchText.clear();
}

// A toolbar category button; the toolbar shows the result list afterwards.
void Form1::listCategory(const QString &name)
{
    const mz::RowSource rows = archiveRows(*this);
    const QList<int> hits = mz::categoryHits(rows, name);
    model1->clear();
    model1->append(mz::categoryResultRows(rows, hits, name));
    setPanelText(QStringLiteral("s2"), mz::foundText(hits.size()) + u'!');
}
