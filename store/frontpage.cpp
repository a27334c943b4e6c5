#include "store/frontpage.h"

#include "lists/archiveparser.h"
#include "platform/shell.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace mz {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

int levelOf(const FlashAnswers &answers, FlashGroup group)
{
    return answers[group];
}

bool matches(const InterestTopic &topic, const HeadlineRow &row)
{
    if (topic.categories.contains(row.sub1))
        return true;
    for (const QString &word : topic.titleWords) {
        if (row.title.contains(word))
            return true;
    }
    return false;
}

QString levelText(int level)
{
    return level == 2 ? QStringLiteral("非常关心") : QStringLiteral("一般关心");
}

} // namespace

const QList<InterestTopic> &interestTopics()
{
    static const QList<InterestTopic> topics{
        {FlashGroup::Gym, QStringLiteral("体育"), {QStringLiteral("体育")}, {}},
        {FlashGroup::Star,
         QStringLiteral("明星"),
         {QStringLiteral("影音")},
         {QStringLiteral("明星")}},
        {FlashGroup::Domestic, QStringLiteral("国内政治"), {QStringLiteral("国内")}, {}},
        {FlashGroup::Hk,
         QStringLiteral("港澳台"),
         {},
         {QStringLiteral("香港"), QStringLiteral("澳门"), QStringLiteral("台湾"),
          QStringLiteral("港澳"), QStringLiteral("两岸")}},
        {FlashGroup::Foreign, QStringLiteral("国际政治"), {QStringLiteral("国际")}, {}},
        {FlashGroup::Military, QStringLiteral("军事"), {QStringLiteral("军事")}, {}},
        {FlashGroup::Science, QStringLiteral("科技"), {QStringLiteral("科技")}, {}},
        {FlashGroup::Internet,
         QStringLiteral("互联网"),
         {},
         {QStringLiteral("互联网"), QStringLiteral("网络"), QStringLiteral("网民"),
          QStringLiteral("网站"), QStringLiteral("网游")}},
    };
    return topics;
}

bool hasInterestAnswers(const FlashAnswers &answers)
{
    for (const InterestTopic &topic : interestTopics()) {
        if (levelOf(answers, topic.group) >= 0)
            return true;
    }
    return false;
}

QList<FrontSection> rankFrontPage(const HeadlineRows &rows, const FlashAnswers &answers)
{
    const QList<InterestTopic> &topics = interestTopics();
    // One section per topic and level 2, then per topic and level 1, then the rest.
    QList<FrontSection> sections;
    for (int level : {2, 1}) {
        for (const InterestTopic &topic : topics)
            sections.append(
                {topic.heading + QStringLiteral("（") + levelText(level) + QStringLiteral("）"),
                 level,
                 {}});
    }
    sections.append({QStringLiteral("其他新闻"), -1, {}});
    const qsizetype rest = sections.size() - 1;

    for (const HeadlineRow &row : rows) {
        qsizetype target = rest;
        bool unwanted = false;
        for (qsizetype t = 0; t < topics.size(); ++t) {
            if (!matches(topics[t], row))
                continue;
            const int level = levelOf(answers, topics[t].group);
            if (level == 0)
                unwanted = true;
            else if (level > 0)
                target = std::min(target, (2 - level) * topics.size() + t);
        }
        if (target == rest && unwanted)
            continue;
        sections[target].rows.append(row);
    }
    sections.removeIf([](const FrontSection &s) { return s.rows.isEmpty(); });
    return sections;
}

QString renderFrontPage(const QList<FrontSection> &sections, const QString &dayLabel)
{
    const QString title = (QStringLiteral("我的新闻首页 ") + dayLabel).toHtmlEscaped();
    QString html = QStringLiteral("<!DOCTYPE html>") + kCrLf +
                   QStringLiteral("<html><head><meta charset=\"gb18030\"><title>") + title +
                   QStringLiteral("</title></head>") + kCrLf + QStringLiteral("<body><h1>") +
                   title + QStringLiteral("</h1>") + kCrLf;
    if (sections.isEmpty())
        html += QStringLiteral("<p>这一天没有符合你喜好的新闻。</p>") + kCrLf;
    for (const FrontSection &section : sections) {
        html += QStringLiteral("<h2>") + section.heading.toHtmlEscaped() + QStringLiteral("</h2>") +
                kCrLf + QStringLiteral("<ul>") + kCrLf;
        for (const HeadlineRow &row : section.rows) {
            const QUrl url = mz::webAddress(row.tag);
            const QString link = QString::fromLatin1(url.toEncoded());
            // A headline without a title shows its address: an empty link can be neither seen
            // nor clicked, nor reached by Tab.
            QString shown = row.title;
            if (shown.trimmed().isEmpty())
                shown = link.isEmpty() ? row.tag.trimmed() : url.toDisplayString();
            const QString text = shown.toHtmlEscaped();
            const QString category = row.sub1.isEmpty()
                                         ? QString()
                                         : QStringLiteral(" [") + row.sub1.toHtmlEscaped() + u']';
            if (!link.isEmpty())
                html += QStringLiteral("<li><a href=\"") + link.toHtmlEscaped() +
                        QStringLiteral("\">") + text + QStringLiteral("</a>") + category +
                        QStringLiteral("</li>") + kCrLf;
            else
                html += QStringLiteral("<li>") + text + category + QStringLiteral("</li>") + kCrLf;
        }
        html += QStringLiteral("</ul>") + kCrLf;
    }
    html += QStringLiteral("</body></html>") + kCrLf;
    return html;
}

QString frontPagePath(const QString &archiveFile, const QString &stamp)
{
    return QFileInfo(archiveFile)
        .dir()
        .filePath(QStringLiteral("frontpage_") + stamp + QStringLiteral(".html"));
}

FrontPageResult makeFrontPage(const QString &flashIni, const QString &archiveFile,
                              const QString &portalBase, const QString &stamp,
                              const QString &dayLabel)
{
    FrontPageResult result;
    const FlashLoad load = loadFlashIni(flashIni);
    // A file that cannot be read is not rewritten either (the options dialog refuses to replace
    // it), so filling in the options again cannot mend it: the user is sent to the file.
    if (!load.readable) {
        result.status = FrontPageStatus::DamagedAnswers;
        result.message =
            QStringLiteral("无法读取喜好选项文件 %1：请把它删除或改名，再填写喜好选项。")
                .arg(QDir::toNativeSeparators(flashIni));
        return result;
    }
    if (!hasInterestAnswers(load.answers) && load.invalidValues > 0) {
        result.status = FrontPageStatus::DamagedAnswers;
        result.message =
            QStringLiteral("喜好选项文件 flash.ini 无法读取或已损坏，请重新填写喜好选项。");
        return result;
    }
    if (!hasInterestAnswers(load.answers)) {
        result.status = FrontPageStatus::NoAnswers;
        result.message = QStringLiteral("你还没有填写喜好选项，请先填写喜好选项。");
        return result;
    }
    const std::optional<ArchiveParseResult> parsed = parseArchiveFile(archiveFile, portalBase);
    if (!parsed) {
        result.status = FrontPageStatus::NoArchive;
        result.message =
            QStringLiteral("没有找到%1的新闻存档，请先下载当日所有新闻。").arg(dayLabel);
        return result;
    }
    const HeadlineRows &rows = parsed->rows;
    if (rows.isEmpty()) {
        result.status = FrontPageStatus::EmptyArchive;
        result.message =
            QStringLiteral("%1的新闻存档里没有新闻，请重新下载当日所有新闻。").arg(dayLabel);
        return result;
    }
    result.html = renderFrontPage(rankFrontPage(rows, load.answers), dayLabel);
    const QString path = frontPagePath(archiveFile, stamp);
    QString error;
    if (!writeTextFile(path, result.html, &error)) {
        result.status = FrontPageStatus::NotSaved;
        result.message =
            QStringLiteral("首页无法保存到 %1：%2").arg(QDir::toNativeSeparators(path), error);
        return result;
    }
    result.savedPath = path;
    return result;
}

} // namespace mz
