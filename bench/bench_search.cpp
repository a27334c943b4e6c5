#include "bench/bench_search.h"

#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/searchcommands.h"
#include "ui/windowstatus.h"
#include "lists/headlinemodel.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "search/categorysearch.h"
#include "search/keywordsearch.h"
#include "store/optionfile.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string_view>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 40;

// Titles of 12 to 30 characters built from a pool of news words; categories from the table.
mz::HeadlineRows generateArchive()
{
    static const char16_t *const words[] = {
        u"国务院", u"召开", u"常务会议", u"部署",   u"经济",   u"工作", u"股票", u"市场", u"上涨",
        u"证券",   u"监管", u"新规",     u"nba",    u"总决赛", u"火箭", u"姚明", u"奥运", u"北京",
        u"上海",   u"房价", u"回落",     u"教育部", u"高考",   u"改革", u"汽车", u"销量", u"增长",
        u"环保",   u"治理", u"科技",     u"发布",   u"新款",   u"手机", u"文化", u"遗产", u"保护",
        u"军事",   u"演习", u"国际",     u"局势",   u"专家",   u"认为", u"记者", u"调查", u"：",
        u"“",      u"”",    u"，",       u"2007",   u"年",     u"月",   u"日",
    };
    constexpr int wordCount = int(sizeof(words) / sizeof(words[0]));
    QRandomGenerator random(20070315);
    mz::HeadlineRows rows;
    rows.reserve(kRows);
    QString title;
    for (int i = 0; i < kRows; ++i) {
        // Each field is one allocation of its own, made one after the other, as when the
        // archive parser cuts a row's fields out of the page.
        title.clear();
        const int target = 12 + random.bounded(19);
        while (title.size() < target)
            title += QStringView(words[random.bounded(wordCount)]);
        mz::HeadlineRow row;
        row.title = QString(title.constData(), title.size());
        const auto &category = mz::kCategoryIcons[random.bounded(20)];
        row.sub1 = random.bounded(10) == 0 ? QString() : QStringView(category.name).toString();
        row.tag = QStringLiteral("http://127.0.0.1/news/%1.shtml").arg(i);
        rows.append(row);
    }
    return rows;
}

// The fastest of kRuns runs, in milliseconds; `sink` keeps the work from being optimised away.
double bestOf(const std::function<qsizetype()> &work, qsizetype &sink)
{
    double best = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        sink = work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// The search box's search in the window, end to end: reading ListView2 through its sorting
// proxy, filling the (hidden) result list, the status text.
double windowSearch(const mz::HeadlineRows &archive, const QString &query, qsizetype &found)
{
    QTemporaryDir dir;
    mz::writeTextFile(
        dir.filePath(QStringLiteral("option.ini")),
        QStringLiteral("[旧新闻存放天数]\r\n1天\r\n[你的关键词]\r\n[分类]\r\n[end]\r\n"));
    const mz::FixedClock clock(QDate(2007, 3, 15));
    mz::RecordingMessages messages;
    mz::RecordingOpener opener;
    Form1Environment env;
    env.folder = dir.path();
    env.portalBase = QStringLiteral("http://127.0.0.1:9");
    env.clock = &clock;
    env.messages = &messages;
    env.opener = &opener;
    Form1 form(env);
    form.Form_Load(); // selects today's node (k20070315), which searches
    form.Timer1->stop();
    form.lists().model2()->append(archive);
    form.Text2->setText(query);
    return bestOf(
        [&] {
            form.Command6_Click();
            return qsizetype(form.lists().model1()->rowCount());
        },
        found);
}

} // namespace

void benchSearch()
{
    const mz::HeadlineRows archive = generateArchive();
    const mz::RowSource rows = mz::rowsOf(archive);

    QString joined;
    for (const mz::HeadlineRow &row : archive) {
        joined += row.title;
        joined += u'\n';
    }
    const std::u16string_view haystack(QStringView(joined).utf16(), size_t(joined.size()));

    const QString query = QStringLiteral("股票+证券+nba");
    const QString term = QStringLiteral("证券");
    const std::u16string_view needle(QStringView(term).utf16(), size_t(term.size()));

    // The archive list as the window holds it: a model that keeps its titles in one block.
    mz::HeadlineModel model(mz::HeadlineModel::Kind::Archive);
    model.append(archive);
    const mz::RowSource modelRows = mz::rowsOf(model);

    qsizetype hits = 0, listHits = 0, indexOfCount = 0, stdSearchCount = 0, categoryCount = 0;
    const double search =
        bestOf([&] { return mz::keywordHits(modelRows, query).rows.size(); }, hits);
    const double listSearch =
        bestOf([&] { return mz::keywordHits(rows, query).rows.size(); }, listHits);
    const double indexOf = bestOf(
        [&] {
            qsizetype count = 0;
            for (qsizetype at = joined.indexOf(term); at >= 0; at = joined.indexOf(term, at + 1))
                ++count;
            return count;
        },
        indexOfCount);
    const double stdSearch = bestOf(
        [&] {
            qsizetype count = 0;
            auto at = haystack.begin();
            while ((at = std::search(at, haystack.end(), needle.begin(), needle.end())) !=
                   haystack.end()) {
                ++count;
                ++at;
            }
            return count;
        },
        stdSearchCount);
    // The same single-word pass, title by title where the rows keep them: the memory the
    // keyword search has to read, without its second and third word.
    qsizetype perTitleCount = 0;
    const double perTitle = bestOf(
        [&] {
            qsizetype count = 0;
            for (int i = 0; i < rows.count; ++i) {
                const QStringView title = rows.row(i).title;
                const char16_t *begin = title.utf16();
                const char16_t *end = begin + title.size();
                for (auto at = begin;
                     (at = std::search(at, end, needle.begin(), needle.end())) != end; ++at)
                    ++count;
            }
            return count;
        },
        perTitleCount);
    qsizetype resultRows = 0;
    const QList<int> hitRows = mz::keywordHits(rows, query).rows;
    const double build =
        bestOf([&] { return mz::keywordResultRows(rows, hitRows).size(); }, resultRows);
    const double category =
        bestOf([&] { return mz::categoryHits(modelRows, u"国内").size(); }, categoryCount);

    qsizetype windowCount = 0;
    const double window = windowSearch(archive, query, windowCount);

    // The counts beside the keyword nodes: every keyword of the delivered option.ini.
    const std::optional<QString> options =
        mz::readTextFile(QStringLiteral(MOZHOU_DATA_DIR "/option.ini"));
    const QStringList keywords = mz::parseListSection(mz::withCrLf(options.value_or(QString())),
                                                      QStringView(mz::kKeywordsHeader));
    qsizetype countedRows = 0;
    const double counting = bestOf(
        [&] {
            qsizetype total = 0;
            for (int count : mz::keywordCounts(model.titles(), keywords))
                total += count;
            return total;
        },
        countedRows);

    std::printf("\nkeyword search: %d rows, %lld title characters, best of %d runs (ms, count)\n",
                kRows, static_cast<long long>(joined.size() - kRows), kRuns);
    auto line = [](const char *what, double ms, qsizetype count, double searchMs) {
        std::printf("  %8.2f ms %7lld  %s", ms, static_cast<long long>(count), what);
        if (searchMs > 0)
            std::printf("  (keyword search = %.2fx this)", searchMs / ms);
        std::printf("\n");
    };
    line("keyword 股票+证券+nba over the model's title block", search, hits, 0);
    line("std::search 证券 over the concatenated titles", stdSearch, stdSearchCount, search);
    line("keyword 股票+证券+nba over a plain row list (block built)", listSearch, listHits, 0);
    line("QStringView::indexOf 证券 over the concatenated titles", indexOf, indexOfCount, search);
    line("std::search 证券 title by title (rows' own strings)", perTitle, perTitleCount, search);
    line("result rows for the keyword hits", build, resultRows, 0);
    line("Form1 search box end to end (proxy, result list)", window, windowCount, 0);
    line("category 国内", category, categoryCount, 0);
    const QByteArray countsWhat =
        QStringLiteral("counts of the %1 delivered keywords (%2), rows summed")
            .arg(keywords.size())
            .arg(keywords.join(u'、'))
            .toUtf8();
    line(countsWhat.constData(), counting, countedRows, 0);
    std::printf("  goal: keyword counts %.2f ms (goal < 50 ms)\n", counting);
    std::printf("  goal: keyword search over the block %.2fx the concatenated std::search "
                "(goal <= 5x)\n",
                search / stdSearch);
    if (listHits != hits || windowCount != hits)
        std::printf("  !! hit counts differ: block %lld, plain list %lld, window %lld\n",
                    static_cast<long long>(hits), static_cast<long long>(listHits),
                    static_cast<long long>(windowCount));
}
