#pragma once
// The keyword and category searches over the archive list (ListView2 as shown) into the result
// list ListView1. The searching itself is in search/; this owner picks the rows, fills the result
// list in one batch and reports the count in panel "s2".

#include <QObject>
#include <QStringList>

class HeadlineLists;
class WindowStatus;

class SearchCommands : public QObject
{
    Q_OBJECT

public:
    SearchCommands(HeadlineLists &lists, WindowStatus &status, QObject *parent = nullptr);

    // Searches `query` ("+" for alternatives, "*" for all-of) when `allowed`; otherwise the
    // result list keeps its rows but the count (0) is still reported. Returns the hit count.
    qsizetype keywordSearch(const QString &query, bool allowed);
    // The category `name`: the result list holds its rows with the category's icon. The toolbar
    // reports the count with "!" after it.
    qsizetype categorySearch(const QString &name, bool withExclamation = false);
    // The bare single-term search (Command3): hits without icons; the status bar stays.
    void singleTermSearch(const QString &text);

    // The alternatives of the last keyword search (one empty string before the first).
    QStringList searchTerms() const { return m_searchTerms; }

private:
    HeadlineLists &m_lists;
    WindowStatus &m_status;
    QStringList m_searchTerms{QString()};
};
