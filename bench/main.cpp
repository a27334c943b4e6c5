// mozhou-bench: what a user waits for with the headline lists, on a given archive page and on
// generated pages of 10,000, 100,000 and 1,000,000 entries.
//
//   mozhou-bench                 generated pages, then the keyword search figures
//   mozhou-bench --page FILE     that page as it is, then the generated pages
//   mozhou-bench --sizes 10000,100000   only these generated sizes
//   mozhou-bench --keep DIR      write the generated pages to DIR and leave them there (for a
//                                profiler run on one page: mozhou-bench --cold DIR/news_N.shtml)
//
// For each page, from the same run:
//   - the floor: one plain memmem pass over the whole page (for "</html>", which ends it);
//   - the whole path from download end to rows shown, through the program's own window (Form1
//     on a program folder of the bench's own): the completeness test of the stored file, then
//     what the window does when an archive has arrived (ListView2 hidden and emptied, list()
//     decoding and scanning the file block by block into its model, with the caption and the
//     event pump as it runs them), then ListView2 brought to the front ("显示所有新闻") and
//     painted. "cold" is that path in a fresh process (the bench runs itself again with
//     --cold) whose window has started up and shown the day's hot news, as the program's has
//     when an archive arrives; "warm" the best of several runs in one window;
//   - peak memory: the fresh process's peak resident size, and per row the growth over what it
//     held before reading the page;
//   - sorting by each column, and filling the view while it is sorted, through the sorting layer
//     (HeadlineSortProxy) and through QSortFilterProxyModel (the route the window took before,
//     kept for comparison; skipped where it would run for many seconds).
// Times are wall-clock milliseconds; on a shared machine, read the best and the median.

#include "bench/bench_search.h"
#include "fetch/completeness.h"
#include "lists/archiveparser.h"
#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"
#include "testsupport/formfixture.h"
#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/headlineview.h"
#include "platform/largepagemalloc.h"
#include "platform/textfile.h"
#include "portal/pagegenerator.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

const QString kBase = QStringLiteral("http://127.0.0.1:8086");

struct Timing
{
    double best = 0;   // ms
    double median = 0; // ms
};

// Runs `body` `runs` times (after one warm-up run) and returns the best and median wall times.
Timing measure(const std::function<void()> &body, int runs)
{
    body();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        body();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

volatile qsizetype g_sink = 0;

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1e6 : 0;
}

// Pages this process has touched for the first time so far (minor faults).
long minorFaults()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// This process's own high-water mark (VmHWM). getrusage's ru_maxrss would not do for the cold
// runs: it keeps the peak of the process image before exec, which is the forked copy of the
// parent with all its pages.
double peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1e3; // kB
    }
    return 0;
}

void floorPass(const QByteArray &page)
{
    static const char needle[] = "</html>";
    g_sink = memmem(page.constData(), size_t(page.size()), needle, sizeof needle - 1) != nullptr;
}

// The program's window on a program folder of its own (no keywords, three days kept), as it is
// when a day's archive arrives: started up, painted, with the day's hot news listed and shown
// (the window shows them before the archive is fetched); the start-up downloads are held back
// and messages are kept, never shown.
class BenchWindow
{
public:
    BenchWindow()
    {
        m_fixture.setPortal(kBase);
        m_window = m_fixture.load();
        m_window->resize(1000, 700);
        m_window->show();
        const QString hotFile = m_fixture.dir.filePath(QStringLiteral("hot.shtml"));
        mz::writeFileBytes(hotFile,
                           mz::PortalGenerator(kBase).hotNewsPage(m_fixture.clock.today()));
        m_window->listHot(hotFile);
        m_window->lists().show(m_window->ListView1);
        // The window is up and painted before the path starts, as it has been for a while when
        // a day's archive arrives; on X its first painting would otherwise fall into the first
        // event pump of the listing and be counted as listing.
        QElapsedTimer waited;
        waited.start();
        while (!m_window->windowHandle()->isExposed() && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        waited.start();
        while (waited.elapsed() < 300) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            usleep(5000);
        }
    }

    Form1 &window() { return *m_window; }

private:
    mz::test::FormFixture m_fixture; // the program folder, "today", recorders for messages
    std::unique_ptr<Form1> m_window;
};

// The path from the end of a download to the rows shown in ListView2, as the window takes it:
// the body has streamed to its file (the download never holds it whole, and "</html>" was
// looked for on the way in), the stored file passes the completeness test, the window lists the
// arrived archive into the hidden ListView2, and the user brings the list to the front.
// `phases`, when given, receives the ms taken by the completeness test, listing, and showing.
qsizetype downloadToShown(const QString &path, Form1 &window, double *phases = nullptr)
{
    QElapsedTimer clock;
    clock.start();
    const auto phaseEnds = [&](int i) {
        if (phases)
            phases[i] = double(clock.nsecsElapsed()) / 1e6;
        clock.start();
    };
    HeadlineLists &lists = window.lists();
    window.ListView2->hide(); // as the window does when an archive has arrived
    lists.model2()->clear();
    if (!mz::isCompletePageFile(path))
        return -1;
    phaseEnds(0);
    window.list(path);
    phaseEnds(1);
    lists.show(window.ListView2);
    window.ListView2->viewport()->repaint();
    QCoreApplication::processEvents();
    phaseEnds(2);
    return lists.model2()->rowCount();
}

// --cold FILE: one run of the path in this fresh process; prints "ms peakMB baseMB rows", and
// the time of each phase on stderr.
int coldRun(const QString &path)
{
    if (!QFileInfo(path).isReadable()) {
        std::fprintf(stderr, "mozhou-bench: cannot read %s\n", qPrintable(path));
        return 1;
    }
    BenchWindow bench;
    const double base = residentMb();
    const long faultsBefore = minorFaults();
    QElapsedTimer t;
    t.start();
    double phases[3] = {};
    const qsizetype rows = downloadToShown(path, bench.window(), phases);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    // Fresh memory is the larger part of a cold run on a virtual machine, where the first touch
    // of each 4 kB page traps into the host: the count shows how much of it the path asked for.
    std::fprintf(stderr,
                 "completeness %.1f ms, listing %.1f ms, showing %.1f ms, %ld fresh pages\n",
                 phases[0], phases[1], phases[2], minorFaults() - faultsBefore);
    std::printf("%.3f %.1f %.1f %lld\n", ms, peakResidentMb(), base, (long long)rows);
    return 0;
}

struct Cold
{
    double best = 0, median = 0, peakMb = 0, baseMb = 0;
    qsizetype rows = 0;
};

Cold coldRuns(const QString &path, int runs)
{
    std::vector<double> ms;
    Cold cold;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--cold"), path});
        p.waitForFinished(-1);
        const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
        if (f.size() != 4)
            continue;
        ms.push_back(f[0].toDouble());
        cold.peakMb = f[1].toDouble();
        cold.baseMb = f[2].toDouble();
        cold.rows = f[3].toLongLong();
    }
    if (ms.empty())
        return cold;
    std::sort(ms.begin(), ms.end());
    cold.best = ms.front();
    cold.median = ms[ms.size() / 2];
    return cold;
}

void printRow(const char *what, Timing t, double floorMs)
{
    std::printf("  %-48s %10.2f ms  (median %10.2f)  %7.1fx floor\n", what, t.best, t.median,
                t.best / floorMs);
}

// The view's model through the window's proxy, or through Qt's general sorting proxy (the
// route the window took before, kept as the reference the figures are compared with).
template <typename Proxy> Proxy *attach(QTreeView &view, mz::HeadlineModel &model)
{
    if constexpr (std::is_same_v<Proxy, QSortFilterProxyModel>) {
        auto *proxy = new QSortFilterProxyModel;
        proxy->setDynamicSortFilter(true);
        mz::attachHeadlineModel(&view, &model, proxy);
        return proxy;
    } else {
        return mz::attachSortedHeadlineModel(&view, &model);
    }
}

// Sorting a filled view by each column, and filling it while sorted, through one route.
template <typename Proxy>
void benchSorting(const char *route, const mz::HeadlineRows &rows, int runs)
{
    for (int column = 0; column < 3; ++column) {
        QTreeView view;
        mz::HeadlineModel model(mz::HeadlineModel::Kind::Archive);
        Proxy *proxy = attach<Proxy>(view, model);
        model.append(rows);
        // Each run starts from another column's order, so that every run really sorts.
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            proxy->sort((column + 1) % 3);
            QElapsedTimer t;
            t.start();
            proxy->sort(column);
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        char what[96];
        std::snprintf(what, sizeof what, "sort by column %d (%s)", column, route);
        std::printf("  %-48s %10.2f ms  (median %10.2f)\n", what, ms.front(), ms[ms.size() / 2]);
    }
    QTreeView view;
    mz::HeadlineModel model(mz::HeadlineModel::Kind::Archive);
    Proxy *proxy = attach<Proxy>(view, model);
    proxy->sort(1);
    const auto fillSorted = [&](bool bulk) {
        return measure(
            [&] {
                model.clear();
                if constexpr (std::is_same_v<Proxy, mz::HeadlineSortProxy>) {
                    if (bulk)
                        proxy->beginBulkFill();
                }
                for (qsizetype i = 0; i < rows.size(); i += mz::kArchiveChunkSize)
                    model.append(rows.mid(i, mz::kArchiveChunkSize));
                if constexpr (std::is_same_v<Proxy, mz::HeadlineSortProxy>) {
                    if (bulk)
                        proxy->endBulkFill();
                }
            },
            std::max(1, runs / 2));
    };
    const Timing fill = fillSorted(false);
    char what[96];
    std::snprintf(what, sizeof what, "fill in chunks of 100, sorted by category (%s)", route);
    std::printf("  %-48s %10.2f ms  (median %10.2f)\n", what, fill.best, fill.median);
    if constexpr (std::is_same_v<Proxy, mz::HeadlineSortProxy>) {
        const Timing bulk = fillSorted(true);
        std::printf("  %-48s %10.2f ms  (median %10.2f)\n",
                    "the same as one bulk fill (what list() does)", bulk.best, bulk.median);
    }
}

void benchPage(const QString &label, const QString &path)
{
    const QByteArray page = *mz::readFileBytes(path);
    std::printf("\n%s: %.2f MB\n", qPrintable(label), double(page.size()) / 1e6);
    const qsizetype entries = mz::parseArchivePage(page, kBase).found;
    const int runs = entries >= 1000000 ? 3 : entries >= 100000 ? 5 : 9;

    const Timing floor = measure([&] { floorPass(page); }, 15);
    printRow("floor: one memmem pass over the page", floor, floor.best);

    const Cold cold = coldRuns(path, runs);
    printRow("download end to rows shown, cold (new process)", {cold.best, cold.median},
             floor.best);

    qsizetype shown = 0;
    {
        BenchWindow bench; // one window from run to run, its buffers kept as they are
        const Timing warm = measure([&] { shown = downloadToShown(path, bench.window()); }, runs);
        printRow("download end to rows shown, warm (best)", warm, floor.best);
    }
    if (shown != entries || cold.rows != entries)
        std::printf("  !! shown %lld / cold %lld rows, parsed %lld\n", (long long)shown,
                    (long long)cold.rows, (long long)entries);
    const double perRow = entries > 0 ? (cold.peakMb - cold.baseMb) * 1e6 / double(entries) : 0;
    std::printf("  %-48s %10.1f MB  (%.0f bytes per row over %.1f MB before reading)\n",
                "peak resident memory, cold", cold.peakMb, perRow, cold.baseMb);

    const mz::HeadlineRows rows = mz::parseArchivePage(page, kBase).rows;
    benchSorting<mz::HeadlineSortProxy>("sorting layer", rows, runs);
    if (entries <= 100000)
        benchSorting<QSortFilterProxyModel>("QSortFilterProxyModel", rows, 3);
    else
        std::printf("  (QSortFilterProxyModel skipped at this size: seconds per sort, n^2 fill)\n");
}

} // namespace

int main(int argc, char **argv)
{
    mz::startWithLargePageMalloc(argv); // as the program starts, so that it allocates alike
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == u"--cold")
        return coldRun(args[2]);

    QList<int> sizes{10000, 100000, 1000000};
    QString givenPage;
    QString keepDir;
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--page")
            givenPage = args[i + 1];
        else if (args[i] == u"--keep")
            keepDir = args[i + 1];
        else if (args[i] == u"--sizes") {
            sizes.clear();
            for (const QString &s : args[i + 1].split(u','))
                sizes << s.toInt();
        }
    }

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    if (!keepDir.isEmpty() && !QDir().mkpath(keepDir)) {
        std::fprintf(stderr, "mozhou-bench: cannot make %s\n", qPrintable(keepDir));
        return 1;
    }
    if (!givenPage.isEmpty() && !QFileInfo(givenPage).isReadable()) {
        std::fprintf(stderr, "mozhou-bench: cannot read %s\n", qPrintable(givenPage));
        return 1;
    }
    std::printf("mozhou-bench: wall-clock ms, best of several runs (median beside it);\n"
                "'x floor' = time / one memmem pass over the whole page\n");
    if (!givenPage.isEmpty())
        benchPage(givenPage, givenPage);

    const mz::PortalGenerator portal(kBase);
    for (int entries : sizes) {
        const QString path = (keepDir.isEmpty() ? dir.path() : keepDir) +
                             QStringLiteral("/news_%1.shtml").arg(entries);
        mz::writeFileBytes(path, portal.archivePage(QDate(2007, 3, 2), entries));
        benchPage(QStringLiteral("Generated archive page, %1 entries").arg(entries), path);
    }

    if (givenPage.isEmpty())
        benchSearch(); // keyword search over 100,000 rows (bench_search.cpp)
    return 0;
}
