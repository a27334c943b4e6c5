// Form1: downloading the ticked articles of ListView1 into News_save on the three jfDownEX2
// instances (s5, Timer2) and rewriting each arrived page from the templates.
//
// The queue holds one column (address, target path) per ticked row; Timer2 hands the column at
// the cursor to each idle instance in index order. An arrived page is cut with the markers of
// fenli.ini and rebuilt from template.ini; when the templates or the page's markers are missing
// the page is kept as it arrived and the status bar says so once, when the batch is done.

#include "app/form1.h"

#include "fetch/articles.h"
#include "fetch/downloadcomponent.h"
#include "lists/headline.h"
#include "platform/messages.h"
#include "platform/textfile.h"

#include <QDir>
#include <QList>
#include <QTimer>
#include <QTreeView>

struct Form1::ArticleState : public QObject
{
    struct Column
    {
        QString url, path;
    };

    explicit ArticleState(Form1 *window) : QObject(window), w(window) {}

    Form1 *w;
    QList<Column> queue; // the queued articles; their count is the spare column's index
    int cursor = 0;      // the column handed out next
    bool batchOpen = false; // "下载完成" is still due for the running batch
    int kept = 0;           // articles of the batch kept as they arrived
    QStringList problems;   // why, each reason once

    bool anyBusy() const
    {
        for (const mz::DownloadComponent *c : w->jfDownEX2) {
            if (c->isBusy())
                return true;
        }
        return false;
    }

    void keep(const QString &reason)
    {
        ++kept;
        if (!problems.contains(reason))
            problems.append(reason);
    }

    // Rewrites the arrived page at `path` from the templates, or keeps it and notes why not.
    void rewrite(const QString &path)
    {
        const QDir folder(w->m_env.folder);
        const std::optional<QString> fenli = mz::readTextFile(folder.filePath(QStringLiteral("fenli.ini")));
        if (!fenli)
            return keep(QStringLiteral("找不到fenli.ini"));
        const mz::MarkerFile markers = mz::parseMarkers(*fenli);
        if (!markers.markers)
            return keep(QStringLiteral("fenli.ini缺少") + markers.missingKeys.join(QStringLiteral("、")));
        const std::optional<QString> templ = mz::readTextFile(folder.filePath(QStringLiteral("template.ini")));
        if (!templ)
            return keep(QStringLiteral("找不到template.ini"));
        const std::optional<QString> article = mz::readTextFile(path);
        if (!article)
            return keep(QStringLiteral("读不到下载的网页"));
        const mz::Extraction x = mz::extractArticle(*article, *markers.markers, *templ);
        if (!x.ok())
            return keep(mz::extractionProblem(x.status));
        QString error;
        if (!mz::writeTextFile(path, x.page, &error))
            keep(QStringLiteral("写入失败：") + error);
    }

    // Announces the end of the batch once: everything handed out and every instance idle.
    void checkFinished()
    {
        if (!batchOpen || w->Timer2->isActive() || anyBusy())
            return;
        batchOpen = false;
        if (kept > 0) {
            w->setPanelText(QStringLiteral("s1"),
                            QStringLiteral("%1篇新闻未能整理，保留原网页（%2）")
                                .arg(kept)
                                .arg(problems.join(QStringLiteral("；"))));
        }
        w->m_env.messages->show(QStringLiteral("下载完成"), QStringLiteral("提示"), mz::MessageIcon::None);
    }
};

void Form1::setupArticles()
{
    m_articles = new ArticleState(this); // a child: freed with the window

    connect(s5, &QAction::triggered, this, &Form1::s5_Click);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    using C = mz::DownloadComponent;
    for (int i = 0; i < int(jfDownEX2.size()); ++i) {
        C *c = jfDownEX2[i];
        connect(c, &C::progress, this, [this, i] { jfDownEX2_Progress(i); });
        connect(c, &C::error, this, [this, i](const QString &text, int code) { jfDownEX2_Error(i, text, code); });
        connect(c, &C::completed, this, [this, i] { jfDownEX2_Completed(i); });
        // A transfer that failed raises no completed event; the batch may end with it.
        connect(c, &C::transferEnded, this, [this, c] {
            if (c->lastOutcome() != C::Outcome::Succeeded)
                m_articles->checkFinished();
        });
    }
}

void Form1::s5_Click()
{
    ArticleState &a = *m_articles;
    a.queue.clear();
    // A new command restarts at its own first article; a cursor left over from a queue that
    // was still being handed out would skip articles or run past the new queue.
    a.cursor = 0;
    for (int i = 0; i < shownRowCount(ListView1); ++i) {
        const mz::HeadlineRow &row = shownRow(ListView1, i);
        if (row.checked)
            a.queue.append({row.tag, mz::articleFilePath(m_env.folder, row.title)});
    }
    if (a.queue.isEmpty()) {
        Timer2->stop();
        a.checkFinished();
        return;
    }
    QDir(m_env.folder).mkpath(QStringLiteral("News_save"));
    if (!a.batchOpen) {
        a.kept = 0;
        a.problems.clear();
    }
    a.batchOpen = true;
    Timer2->start();
}

void Form1::Timer2_Timer()
{
    ArticleState &a = *m_articles;
    const int n = int(a.queue.size());
    if (a.cursor >= n) {
        Timer2->stop();
        a.cursor = 0;
        return;
    }
    for (int i = 0; i < qMin(n, int(jfDownEX2.size())); ++i) {
        mz::DownloadComponent *c = jfDownEX2[i];
        if (c->isBusy())
            continue;
        const ArticleState::Column &column = a.queue.at(a.cursor);
        c->start(column.url, column.path, 0, true);
        c->setTag(column.path);
        if (++a.cursor >= n) {
            Timer2->stop();
            a.cursor = 0;
            return;
        }
    }
}

void Form1::jfDownEX2_Progress(int)
{
}

void Form1::jfDownEX2_Error(int, const QString &text, int code)
{
    m_env.messages->show(QStringLiteral("错误：%1:%2").arg(code).arg(text), QString(),
                         mz::MessageIcon::Critical);
}

void Form1::jfDownEX2_Completed(int index)
{
    m_articles->rewrite(jfDownEX2[index]->tag());
    m_articles->checkFinished();
}
