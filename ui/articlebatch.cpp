#include "ui/articlebatch.h"

#include "fetch/articles.h"
#include "fetch/downloadcomponent.h"
#include "platform/messages.h"
#include "platform/textfile.h"
#include "ui/windowstatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {

// The marker and page templates are a few kilobytes; one far larger is no template.
constexpr qint64 kMaxTemplateBytes = 1024 * 1024;

QString templateProblem(const QString &name, mz::ReadProblem problem)
{
    if (problem == mz::ReadProblem::Missing)
        return QStringLiteral("找不到") + name;
    return name + mz::readProblemText(problem, kMaxTemplateBytes);
}

} // namespace

ArticleBatch::ArticleBatch(const Components &components, QTimer *timer, const QString &folder,
                           WindowStatus &status, mz::MessageFunnel *messages, QObject *parent)
    : QObject(parent), m_components(components), m_timer(timer), m_folder(folder), m_status(status),
      m_messages(messages)
{
}

void ArticleBatch::start(const mz::HeadlineRows &rows)
{
    // Names of articles that were queued but never handed out are free again.
    for (const Column &column : std::as_const(m_queue)) {
        if (!column.handedOut)
            m_taken.remove(QFileInfo(column.path).fileName());
    }
    m_queue.clear();
    // A new command restarts at its own first article; a cursor left over from a queue that
    // was still being handed out would skip articles or run past the new queue.
    m_cursor = 0;
    if (!m_batchOpen) {
        m_kept = 0;
        m_fallback = 0;
        m_failed = 0;
        m_problems.clear();
        m_taken.clear();
    }
    for (const mz::HeadlineRow &row : rows) {
        if (row.checked)
            m_queue.append({row.tag, targetPath(row.title), row.title});
    }
    if (m_queue.isEmpty()) {
        m_timer->stop();
        checkFinished();
        return;
    }
    if (!makeNewsFolder()) {
        refuseBatch();
        return;
    }
    m_batchOpen = true;
    m_timer->start();
}

// News_save as it is, or made again: the user (or a clean-up tool) may delete it while a batch
// runs. Only News_save is made: a program folder renamed or deleted behind the program's back is
// not made again at its old place to take the articles.
bool ArticleBatch::makeNewsFolder() const
{
    const QString name = QStringLiteral("News_save");
    const QDir folder(m_folder);
    return QFileInfo(folder.filePath(name)).isDir() ||
           (QFileInfo(m_folder).isDir() && folder.mkdir(name));
}

// News_save cannot be made: no article (or none of those still queued) could be saved, so none is
// fetched, and one box says why (each transfer would fail on its own with the path of its
// temporary file). Articles refused in a running batch count as failed at its end.
void ArticleBatch::refuseBatch()
{
    for (const Column &column : std::as_const(m_queue)) {
        if (!column.handedOut) {
            m_taken.remove(QFileInfo(column.path).fileName());
            ++m_failed;
        }
    }
    m_queue.clear();
    m_cursor = 0;
    m_timer->stop();
    const QString folder = QDir(m_folder).filePath(QStringLiteral("News_save"));
    if (m_messages) {
        const QFileInfo info(folder);
        const QString why = info.exists() && !info.isDir()
                                ? QStringLiteral("那里有一个同名的文件，不是文件夹")
                                : QStringLiteral("无法建立这个文件夹");
        m_messages->show(
            QStringLiteral("新闻无法保存到“%1”：%2。").arg(QDir::toNativeSeparators(folder), why),
            QString(), mz::MessageIcon::Critical);
    }
    checkFinished();
}

void ArticleBatch::tick()
{
    if (!makeNewsFolder()) {
        refuseBatch();
        return;
    }
    const int n = int(m_queue.size());
    for (int i = 0; i < qMin(n, int(m_components.size())) && m_cursor < n; ++i) {
        mz::DownloadComponent *c = m_components[i];
        if (busy(size_t(i)))
            continue;
        Column &column = m_queue[m_cursor++];
        column.handedOut = true;
        m_handedOut[size_t(i)] = column.title;
        // The page arrives beside its file and takes its place only as a clean article (or when
        // there is no older file): an older article is never lost to a page that cannot be used.
        c->start(column.url, arrivalPath(column.path), 0, true);
        c->setTag(column.path);
    }
    if (m_cursor >= n) {
        m_timer->stop();
        m_cursor = 0;
    }
}

// The plain name replaces a file of an earlier batch; a name this batch already gave out gets
// the first numbered name the batch has not given out, so that two headlines never write into
// one file, and the same rows downloaded again replace their numbered files as well instead of
// adding one more copy with every download.
QString ArticleBatch::targetPath(const QString &title)
{
    const QString folder = QDir(m_folder).filePath(QStringLiteral("News_save"));
    const QString name = mz::batchArticleFileName(mz::articleFileName(title), m_taken);
    m_taken.insert(name);
    return QDir(folder).filePath(name);
}

QString ArticleBatch::titleOf(int index) const
{
    return m_handedOut.at(size_t(index));
}

// An instance whose error is still being reported counts as busy: it gets no new article while
// its error box is open, and its failure is counted when its transfer has ended, so the batch
// must not be announced before (the box is modal, and other articles arrive while it is open).
bool ArticleBatch::busy(std::size_t index) const
{
    return m_components[index]->isBusy() || m_reportingError[index];
}

bool ArticleBatch::anyBusy() const
{
    for (std::size_t i = 0; i < m_components.size(); ++i) {
        if (busy(i))
            return true;
    }
    return false;
}

void ArticleBatch::keep(const QString &reason)
{
    ++m_kept;
    if (!m_problems.contains(reason))
        m_problems.append(reason);
}

QString ArticleBatch::arrivalPath(const QString &path)
{
    return mz::articleArrivalPath(path);
}

// Rewrites the page arrived for `path` from the templates into `path`, or keeps it as it arrived
// and notes why.
void ArticleBatch::rewrite(int index, const QString &path)
{
    const QString arrived = arrivalPath(path);
    const QString problem = cleanInto(arrived, path);
    if (problem.isEmpty()) {
        QFile::remove(arrived);
        return;
    }
    // Kept as it arrived: under the article's name when that is free, else beside the older file.
    QString target = path;
    if (const QFileInfo info(path); info.exists()) {
        const QString name = mz::uniqueArticleFileName(info.path(), info.fileName(), m_taken);
        m_taken.insert(name);
        target = QDir(info.path()).filePath(name);
    }
    QFile page(arrived);
    if (page.rename(target)) {
        keep(problem);
        return;
    }
    // The page could be put nowhere: it stays under the name it arrived with, and the batch
    // counts the article as failed, with a box of its own as a failed download has.
    ++m_failed;
    if (!m_messages)
        return;
    m_reportingError[std::size_t(index)] = true;
    m_messages->show(QStringLiteral("新闻“%1”未能保存为“%2”：%3\n下载的网页留在“%4”。")
                         .arg(titleOf(index), QDir::toNativeSeparators(target), page.errorString(),
                              QDir::toNativeSeparators(arrived)),
                     QString(), mz::MessageIcon::Critical);
    m_reportingError[std::size_t(index)] = false;
}

// Writes the clean article made of the page at `arrived` to `path`; the reason when it cannot.
QString ArticleBatch::cleanInto(const QString &arrived, const QString &path)
{
    const QDir folder(m_folder);
    mz::ReadProblem problem = mz::ReadProblem::None;
    const std::optional<QByteArray> fenli = mz::readFileBytes(
        folder.filePath(QStringLiteral("fenli.ini")), kMaxTemplateBytes, &problem);
    if (!fenli)
        return templateProblem(QStringLiteral("fenli.ini"), problem);
    // Read as the template is: a marker file saved in UTF-8 would otherwise lose its keys.
    const mz::MarkerFile markers = mz::parseMarkers(mz::decodeTemplate(*fenli).text);
    if (!markers.markers)
        return QStringLiteral("fenli.ini缺少") + markers.missingKeys.join(QStringLiteral("、"));
    const std::optional<QByteArray> templateBytes = mz::readFileBytes(
        folder.filePath(QStringLiteral("template.ini")), kMaxTemplateBytes, &problem);
    if (!templateBytes)
        return templateProblem(QStringLiteral("template.ini"), problem);
    const mz::PageTemplate templ = mz::decodeTemplate(*templateBytes);
    const std::optional<QByteArray> page = mz::readFileBytes(arrived);
    if (!page)
        return QStringLiteral("读不到下载的网页");
    const mz::Extraction x =
        mz::cleanArticle(mz::decodeArticlePage(*page), *markers.markers, templ.text);
    if (!x.ok())
        return mz::extractionProblem(x.status);
    QString error;
    if (!mz::writeFileBytes(path, mz::encodeArticle(x.page, templ), &error))
        return QStringLiteral("写入失败：") + error;
    if (x.status == mz::Extraction::Status::Readability)
        ++m_fallback;
    return {};
}

// Announces the end of the batch once: everything handed out and every instance idle.
void ArticleBatch::checkFinished()
{
    if (!m_batchOpen || m_timer->isActive() || anyBusy())
        return;
    m_batchOpen = false;
    QStringList notes;
    if (m_fallback > 0) {
        notes << QStringLiteral("%1篇新闻%2")
                     .arg(m_fallback)
                     .arg(mz::extractionProblem(mz::Extraction::Status::Readability));
    }
    if (m_kept > 0) {
        notes << QStringLiteral("%1篇新闻未能整理，保留原网页（%2）")
                     .arg(m_kept)
                     .arg(m_problems.join(QStringLiteral("；")));
    }
    if (!notes.isEmpty())
        m_status.setPanel(WindowStatus::Panel::S1, notes.join(QStringLiteral("；")));
    if (!m_messages)
        return;
    // A batch with failed articles does not claim success; each failure had its own box.
    if (m_failed > 0)
        m_messages->show(QStringLiteral("下载完成，%1篇失败").arg(m_failed), QStringLiteral("提示"),
                         mz::MessageIcon::Warning);
    else
        m_messages->show(QStringLiteral("下载完成"), QStringLiteral("提示"), mz::MessageIcon::None);
}

void ArticleBatch::onError(int index, const QString &text, int code)
{
    if (!m_messages)
        return;
    m_reportingError[std::size_t(index)] = true;
    m_messages->show(QStringLiteral("新闻“%1”下载失败。\n错误：%2:%3")
                         .arg(titleOf(index), QString::number(code), text),
                     QString(), mz::MessageIcon::Critical);
}

void ArticleBatch::onCompleted(int index)
{
    rewrite(index, m_components[index]->tag());
    checkFinished();
}

// A transfer that failed raises no completed event; the batch may end with it.
void ArticleBatch::onTransferEnded(int index)
{
    m_reportingError[std::size_t(index)] = false;
    if (m_components[index]->lastOutcome() != mz::DownloadComponent::Outcome::Succeeded) {
        ++m_failed;
        checkFinished();
    }
}
