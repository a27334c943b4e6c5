#include "portal/pagegenerator.h"

#include "platform/textfile.h"
#include "portal/portalcontent.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <random>

namespace mz {

namespace pc = portalcontent;

namespace {

const QString kPortalName = QStringLiteral("演示新闻网");

// Markers that the delivered fenli.ini names. The page writes the title marker in another case
// than fenli.ini does: extraction matches without regard to case.
const QString kTitleStart = QStringLiteral("<H1 id=\"artibodyTitle\">");
const QString kTitleEnd = QStringLiteral("</H1>");
const QString kBodyStart = QStringLiteral("<!-- 正文开始 -->");
const QString kBodyEnd = QStringLiteral("<!-- 正文结束 -->");
const QString kAdStart = QStringLiteral("<!-- 广告开始 -->");
const QString kAdEnd = QStringLiteral("<!-- 广告结束 -->");

// One 32-bit seed per (day, entry, purpose): splitmix64 over the three values.
quint32 seedFor(QDate day, int number, quint64 purpose)
{
    quint64 x = quint64(day.toJulianDay()) * 0x9E3779B97F4A7C15ull;
    x ^= (quint64(quint32(number)) << 8) ^ (purpose << 56);
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return quint32(x ^ (x >> 32));
}

enum Purpose : quint64 {
    EntryPurpose = 1,
    CountPurpose,
    OrderPurpose,
    ArticlePurpose,
    CommentPurpose,
    HotPurpose
};

QString stamp(QDate day)
{
    return day.toString(QStringLiteral("yyyyMMdd"));
}

QString longDate(QDate day)
{
    return QStringLiteral("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
}

// Time of entry `number` on a page of `count` entries: the list runs from 23:59 back to 00:00.
QTime entryTime(int number, int count)
{
    const qint64 minutesAgo = qint64(number - 1) * 1440 / qMax(1, count);
    return QTime(0, 0).addSecs(int(1439 - qMin<qint64>(minutesAgo, 1439)) * 60);
}

// The day's first twenty entries cover the twenty categories in a day-dependent order.
std::array<int, 20> categoryOrder(QDate day)
{
    std::array<int, 20> order;
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 rng(seedFor(day, 0, OrderPurpose));
    for (int i = 19; i > 0; --i)
        std::swap(order[size_t(i)], order[size_t(pc::draw(rng, i + 1))]);
    return order;
}

int weightedCategory(std::mt19937 &rng)
{
    const auto cats = pc::categories();
    int total = 0;
    for (const auto &c : cats)
        total += c.weight;
    int roll = pc::draw(rng, total);
    for (size_t i = 0; i < cats.size(); ++i) {
        roll -= cats[i].weight;
        if (roll < 0)
            return int(i);
    }
    return 0;
}

int categoryIndex(const QString &name)
{
    return int(PortalGenerator::categories().indexOf(name));
}

QString pageHead(const QString &title)
{
    return QStringLiteral(
               "<html>\r\n<head>\r\n"
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\r\n"
               "<title>%1</title>\r\n"
               "<style type=\"text/css\">\r\n"
               "body { font-size: 14px; margin: 0 auto; width: 760px; }\r\n"
               "a { color: #1f3a93; text-decoration: none; }\r\n"
               ".time { color: #888888; font-size: 12px; }\r\n"
               ".linkBlue a { color: #0033cc; }\r\n"
               "</style>\r\n"
               "</head>\r\n")
        .arg(title);
}

QString topNavigation()
{
    return QStringLiteral("<div class=\"top\"><a href=/>%1首页</a> | <a href=/hotnews/>热点新闻</a>"
                          " | <a href=/mozhou/>墨舟新闻阅读器</a></div>\r\n")
        .arg(kPortalName);
}

QString pageFoot()
{
    return QStringLiteral(
               "<div class=\"foot\">%1 版权所有 本站内容仅供演示</div>\r\n</body>\r\n</html>\r\n")
        .arg(kPortalName);
}

} // namespace

PortalGenerator::PortalGenerator(QString baseUrl) : m_baseUrl(std::move(baseUrl))
{
    while (m_baseUrl.endsWith(u'/'))
        m_baseUrl.chop(1);
}

const QStringList &PortalGenerator::categories()
{
    static const QStringList names = [] {
        QStringList list;
        for (const auto &c : pc::categories())
            list.append(QString::fromUtf8(c.name));
        return list;
    }();
    return names;
}

const QStringList &PortalGenerator::hotSections()
{
    static const QStringList names = {
        QStringLiteral("国内新闻"), QStringLiteral("国际新闻"), QStringLiteral("体育新闻"),
        QStringLiteral("军事新闻"), QStringLiteral("科技新闻"), QStringLiteral("财经新闻"),
        QStringLiteral("娱乐新闻"),
    };
    return names;
}

QString PortalGenerator::hotSectionCategory(int section)
{
    static const QStringList cats = {
        QStringLiteral("国内"), QStringLiteral("国际"), QStringLiteral("体育"),
        QStringLiteral("军事"), QStringLiteral("科技"), QStringLiteral("财经"),
        QStringLiteral("影音"),
    };
    return cats.value(section);
}

int PortalGenerator::entryCount(QDate day) const
{
    std::mt19937 rng(seedFor(day, 0, CountPurpose));
    return 400 + pc::draw(rng, 2001);
}

PortalHeadline PortalGenerator::headline(QDate day, int number) const
{
    PortalHeadline h;
    h.day = day;
    h.number = number;
    h.path = articlePath(day, number);
    std::mt19937 rng(seedFor(day, number, EntryPurpose));
    const int weighted = weightedCategory(rng);
    const int category =
        number >= 1 && number <= 20 ? categoryOrder(day)[size_t(number - 1)] : weighted;
    const auto &text = pc::categories()[size_t(category)];
    h.category = QString::fromUtf8(text.name);
    const int flags = pc::draw(rng, 1000);
    h.emptyCategory = number > 20 && flags % 100 < 3;
    h.fontWrapped = flags / 10 % 100 >= 94;
    h.absoluteAddress = pc::draw(rng, 100) < 15;
    const char *pattern = text.headlines[size_t(pc::draw(rng, int(text.headlines.size())))];
    h.title = pc::fillTemplate(pattern, rng, day);
    return h;
}

QList<PortalHeadline> PortalGenerator::hotHeadlines(QDate day, int section) const
{
    QList<PortalHeadline> result;
    const QString category = hotSectionCategory(section);
    if (category.isEmpty())
        return result;
    std::mt19937 rng(seedFor(day, section, HotPurpose));
    const int wanted = 6 + pc::draw(rng, 5);
    const int count = entryCount(day);
    for (int n = 1; n <= count && result.size() < wanted; ++n) {
        PortalHeadline h = headline(day, n);
        if (h.category == category && !h.emptyCategory)
            result.append(h);
    }
    return result;
}

QString PortalGenerator::archivePath(QDate day)
{
    return QStringLiteral("/old1000/news1000_") + stamp(day) + QStringLiteral(".shtml");
}

QString PortalGenerator::hotNewsPath(QDate day)
{
    return QStringLiteral("/hotnews/") + stamp(day) + QStringLiteral(".shtml");
}

QString PortalGenerator::articlePath(QDate day, int number)
{
    return QStringLiteral("/news/%1/%2.shtml").arg(stamp(day)).arg(number);
}

QString PortalGenerator::commentPath(QDate day, int number)
{
    return QStringLiteral("/comment/%1/%2.shtml").arg(stamp(day)).arg(number);
}

QByteArray PortalGenerator::archivePage(QDate day) const
{
    return archivePage(day, entryCount(day));
}

QByteArray PortalGenerator::archivePage(QDate day, int count) const
{
    count = qBound(0, count, kMaxEntries);
    QString page;
    page.reserve(2048 + qsizetype(count) * 90);
    page += pageHead(QStringLiteral("滚动新闻 %1 - %2").arg(longDate(day), kPortalName));
    page += QStringLiteral("<body>\r\n");
    page += topNavigation();
    page += QStringLiteral("<div class=\"days\"><a href=%1>前一天</a> | <a href=%2>后一天</a> | "
                           "<a href=%3>当日热点</a></div>\r\n")
                .arg(archivePath(day.addDays(-1)), archivePath(day.addDays(1)), hotNewsPath(day));
    page += QStringLiteral("<h2>%1 所有新闻 共%2条</h2>\r\n").arg(longDate(day)).arg(count);
    page += QStringLiteral("<!-- 新闻开始 -->\r\n<ul class=\"list\">\r\n");
    const QString mmdd = day.toString(QStringLiteral("MM-dd"));
    for (int n = 1; n <= count; ++n) {
        const PortalHeadline h = headline(day, n);
        page += QStringLiteral("<li>[");
        if (!h.emptyCategory)
            page += h.category;
        page += QStringLiteral("]<a href=");
        if (h.absoluteAddress)
            page += m_baseUrl;
        page += h.path;
        page += u'>';
        if (h.fontWrapped) {
            page += (n % 3 == 0) ? QStringLiteral("<font color=#ff0000>")
                                 : QStringLiteral("<font color=red>");
            page += h.title;
            page += QStringLiteral("</font>");
        } else {
            page += h.title;
        }
        page += QStringLiteral("</a> <span class=time>(");
        page += mmdd;
        page += u' ';
        page += entryTime(n, count).toString(QStringLiteral("HH:mm"));
        page += QStringLiteral(")</span></li>\r\n");
    }
    page += QStringLiteral("</ul>\r\n<!-- 新闻结束 -->\r\n");
    page += pageFoot();
    return encodeAnsi(page);
}

QByteArray PortalGenerator::hotNewsPage(QDate day) const
{
    QString page;
    page.reserve(16 * 1024);
    page += pageHead(QStringLiteral("热点新闻排行 %1 - %2").arg(longDate(day), kPortalName));
    page += QStringLiteral("<body>\r\n");
    page += topNavigation();
    page +=
        QStringLiteral("<table width=760 align=center><tr><td class='title'>新闻中心 今日热点 %1"
                       "</td></tr></table>\r\n")
            .arg(longDate(day));
    const QStringList &sections = hotSections();
    for (int s = 0; s < sections.size(); ++s) {
        if (s > 0)
            page += QStringLiteral("<!-- %1 begin -->\r\n").arg(sections.at(s));
        page += QStringLiteral("<table width=760 align=center cellpadding=0 cellspacing=0>\r\n"
                               "<tr><td colspan=2 class='sectionTitle'><b>%1</b></td></tr>\r\n")
                    .arg(sections.at(s));
        const QList<PortalHeadline> entries = hotHeadlines(day, s);
        for (const PortalHeadline &h : entries) {
            page +=
                QStringLiteral(
                    "<tr>\r\n<td style='padding-top:2px' align=left class='linkBlue'>"
                    "<span style='padding-left:6px'><a href=%1 target=_blank>%2</a></span></td>\r\n"
                    "<td style='padding-top:2px' class='linkBlue'><a href=%3 target=_blank>"
                    "评论</a></td>\r\n</tr>\r\n")
                    .arg(url(h.path), h.title, url(commentPath(day, h.number)));
        }
        page += QStringLiteral("</table>\r\n");
    }
    page += QStringLiteral(
        "<div class=\"feedback\"><a href=/mozhou/>新闻中心意见反馈留言板</a></div>\r\n");
    page += pageFoot();
    return encodeAnsi(page);
}

QStringList PortalGenerator::articleParagraphs(QDate day, int number) const
{
    const PortalHeadline h = headline(day, number);
    const int category = qMax(0, categoryIndex(h.category));
    const auto pool = pc::paragraphs(pc::categories()[size_t(category)].paragraphPool);
    std::mt19937 rng(seedFor(day, number, ArticlePurpose));

    QStringList paragraphs;
    QString lead = pc::fillTemplate("本网{m}月{d}日讯（记者 {S}）", rng, day);
    QString gist = h.title;
    gist.replace(u' ', u'，');
    lead += QStringLiteral("记者从有关方面获悉，") + gist + u'。';
    paragraphs.append(lead);

    std::array<int, 8> order{};
    const int poolSize = int(qMin<size_t>(pool.size(), order.size()));
    std::iota(order.begin(), order.begin() + poolSize, 0);
    for (int i = poolSize - 1; i > 0; --i)
        std::swap(order[size_t(i)], order[size_t(pc::draw(rng, i + 1))]);
    for (int i = 0; i < qMin(3, poolSize); ++i)
        paragraphs.append(pc::fillTemplate(pool[size_t(order[size_t(i)])], rng, day));
    paragraphs.append(pc::fillTemplate("（责任编辑：{S}）", rng, day));
    return paragraphs;
}

QString PortalGenerator::advertisementText()
{
    return QStringLiteral("墨舟新闻阅读器 V1.3 免费下载——定制关键词，新闻自动送上门");
}

QByteArray PortalGenerator::articlePage(QDate day, int number) const
{
    const PortalHeadline h = headline(day, number);
    const QStringList paragraphs = articleParagraphs(day, number);
    const int count = entryCount(day);
    const QTime time = number <= count ? entryTime(number, count) : QTime(8, 0);

    QString page;
    page.reserve(8 * 1024);
    page += pageHead(h.title + QStringLiteral(" - ") + kPortalName);
    page += QStringLiteral("<body>\r\n");
    page += topNavigation();
    page +=
        QStringLiteral(
            "<div class=\"nav\"><a href=/>首页</a> &gt; <a href=%1>%2新闻</a> &gt; 正文</div>\r\n")
            .arg(archivePath(day), h.category);
    page += QStringLiteral("<div id=\"article\">\r\n");
    page += kTitleStart + h.title + kTitleEnd + QStringLiteral("\r\n");
    page += QStringLiteral("<div class=\"from\">%1 %2　来源：%3</div>\r\n")
                .arg(day.toString(QStringLiteral("yyyy年MM月dd日")),
                     time.toString(QStringLiteral("HH:mm")), kPortalName);
    page += kBodyStart + QStringLiteral("\r\n");
    for (int i = 0; i < paragraphs.size(); ++i) {
        if (i == 2) {
            page += kAdStart +
                    QStringLiteral("<div class=\"ad\"><a href=/mozhou/ target=_blank>%1</a></div>")
                        .arg(advertisementText()) +
                    kAdEnd + QStringLiteral("\r\n");
        }
        page += QStringLiteral("<p>　　") + paragraphs.at(i) + QStringLiteral("</p>\r\n");
    }
    page += kBodyEnd + QStringLiteral("\r\n");
    page += QStringLiteral("<div class=\"related\"><a href=%1>网友评论</a>")
                .arg(commentPath(day, number));
    if (number > 1)
        page += QStringLiteral(" | <a href=%1>上一篇</a>").arg(articlePath(day, number - 1));
    if (number < kMaxEntries)
        page += QStringLiteral(" | <a href=%1>下一篇</a>").arg(articlePath(day, number + 1));
    page += QStringLiteral("</div>\r\n</div>\r\n");
    page += pageFoot();
    return encodeAnsi(page);
}

QByteArray PortalGenerator::commentPage(QDate day, int number) const
{
    const PortalHeadline h = headline(day, number);
    std::mt19937 rng(seedFor(day, number, CommentPurpose));
    const int count = 3 + pc::draw(rng, 6);
    const auto pool = pc::comments();

    QString page;
    page += pageHead(QStringLiteral("网友评论：") + h.title + QStringLiteral(" - ") + kPortalName);
    page += QStringLiteral("<body>\r\n");
    page += topNavigation();
    page += QStringLiteral(
                "<h2>网友评论</h2>\r\n<p>新闻：<a href=%1>%2</a></p>\r\n<p>共有%3条评论</p>\r\n")
                .arg(h.path, h.title, QString::number(count));
    page += QStringLiteral("<dl class=\"comments\">\r\n");
    QList<int> minutes;
    for (int i = 0; i < count; ++i)
        minutes.append(pc::draw(rng, 900));
    std::sort(minutes.begin(), minutes.end());
    for (int i = 0; i < count; ++i) {
        const QString who = pc::fillTemplate("{C}网友", rng, day);
        const QTime at = QTime(8, 0).addSecs(60 * minutes.at(i));
        const QString text =
            pc::fillTemplate(pool[size_t(pc::draw(rng, int(pool.size())))], rng, day);
        page += QStringLiteral("<dt>%1 [%2 %3]</dt>\r\n<dd>%4</dd>\r\n")
                    .arg(who, day.toString(QStringLiteral("yyyy-MM-dd")),
                         at.toString(QStringLiteral("HH:mm")), text);
    }
    page += QStringLiteral(
        "</dl>\r\n<form><p>发表评论：</p><textarea name=\"c\" rows=\"4\" cols=\"60\"></textarea>"
        "<br><input type=\"button\" value=\"提交\"></form>\r\n");
    page += pageFoot();
    return encodeAnsi(page);
}

QByteArray PortalGenerator::sitePage() const
{
    QString page;
    page += pageHead(QStringLiteral("墨舟新闻阅读器 V1.3"));
    page += QStringLiteral("<body>\r\n");
    page += topNavigation();
    page += QStringLiteral(
        "<h1>墨舟新闻阅读器 V1.3</h1>\r\n"
        "<p>"
        "墨舟是一个小巧的桌面新闻阅读器：每天自动取回当日所有新闻和热点新闻，按您自己的关键词和分类"
        "筛选，"
        "一键下载打勾的新闻，去掉广告，保存为干净的网页，还能把标题朗读给您听。</p>\r\n"
        "<h2>主要功能</h2>\r\n<ul>\r\n"
        "<li>今日新闻和最近几天的旧新闻，按日期浏览</li>\r\n"
        "<li>关键词搜索，用“+”连接多个词，例如 股票+证券</li>\r\n"
        "<li>二十个新闻分类，点击即可筛选</li>\r\n"
        "<li>下载打勾的新闻，自动去除广告</li>\r\n"
        "<li>收藏夹、发送给朋友、朗读新闻标题</li>\r\n"
        "</ul>\r\n"
        "<h2>最流行关键词</h2>\r\n<ol class=\"keywords\">\r\n");
    const auto keywords = pc::popularKeywords();
    int users = 9800;
    for (const char *word : keywords) {
        page += QStringLiteral("<li>%1 <span class=time>(%2位用户)</span></li>\r\n")
                    .arg(QString::fromUtf8(word))
                    .arg(users);
        users = users * 83 / 100;
    }
    page += QStringLiteral("</ol>\r\n<h2>下载</h2>\r\n<p>墨舟 V1.3 "
                           "免费软件，欢迎下载使用，欢迎提出意见和建议。</p>\r\n");
    page += pageFoot();
    return encodeAnsi(page);
}

QByteArray PortalGenerator::indexPage(QDate today) const
{
    QString page;
    page += pageHead(kPortalName);
    page += QStringLiteral("<body>\r\n");
    page += topNavigation();
    page +=
        QStringLiteral("<h1>%1</h1>\r\n<p><a "
                       "href=/hotnews/>今日热点新闻（%2）</a></p>\r\n<h2>每日新闻</h2>\r\n<ul>\r\n")
            .arg(kPortalName, longDate(today));
    for (int i = 0; i < 8; ++i) {
        const QDate day = today.addDays(-i);
        page += QStringLiteral("<li><a href=%1>%2 所有新闻</a> | <a href=%3>热点新闻</a></li>\r\n")
                    .arg(archivePath(day), longDate(day), hotNewsPath(day));
    }
    page += QStringLiteral("</ul>\r\n");
    page += pageFoot();
    return encodeAnsi(page);
}

QByteArray PortalGenerator::notFoundPage(const QString &path) const
{
    QString page;
    page += pageHead(QStringLiteral("404 页面不存在 - ") + kPortalName);
    page += QStringLiteral("<body>\r\n");
    page += topNavigation();
    page +=
        QStringLiteral("<h1>404 页面不存在</h1>\r\n<p>您访问的页面 %1 不存在或已被删除。</p>\r\n")
            .arg(path.toHtmlEscaped());
    page += pageFoot();
    return encodeAnsi(page);
}

} // namespace mz
