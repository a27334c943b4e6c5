#include "ui/searchcommands.h"

#include "lists/headlinemodel.h"
#include "search/categorysearch.h"
#include "search/keywordsearch.h"
#include "ui/headlinelists.h"
#include "ui/windowstatus.h"

SearchCommands::SearchCommands(HeadlineLists &lists, WindowStatus &status, QObject *parent)
    : QObject(parent), m_lists(lists), m_status(status)
{
}

qsizetype SearchCommands::keywordSearch(const QString &query, bool allowed)
{
    m_searchTerms = QStringList{QString()};
    qsizetype found = 0;
    if (allowed) {
        const mz::RowSource rows = m_lists.archiveRows();
        const mz::KeywordHits hits = mz::keywordHits(rows, query);
        m_searchTerms = hits.terms;
        m_lists.model1()->clear();
        m_lists.model1()->append(mz::keywordResultRows(rows, hits.rows));
        found = hits.rows.size();
    }
    m_status.setPanel(WindowStatus::Panel::S2, mz::foundText(found));
    return found;
}

qsizetype SearchCommands::categorySearch(const QString &name, bool withExclamation)
{
    const mz::RowSource rows = m_lists.archiveRows();
    const QList<int> hits = mz::categoryHits(rows, name);
    m_lists.model1()->clear();
    m_lists.model1()->append(mz::categoryResultRows(rows, hits, name));
    m_status.setPanel(WindowStatus::Panel::S2,
                      mz::foundText(hits.size()) +
                          (withExclamation ? QStringLiteral("!") : QString()));
    return hits.size();
}

void SearchCommands::singleTermSearch(const QString &text)
{
    const mz::RowSource rows = m_lists.archiveRows();
    const QList<int> hits = mz::singleTermHits(rows, text);
    mz::HeadlineRows result;
    result.reserve(hits.size());
    for (int i : hits)
        result.append(mz::resultRow(rows.row(i), 0));
    m_lists.model1()->clear();
    m_lists.model1()->append(result);
}
