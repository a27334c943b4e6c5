// mozhou-bench: how long the headline lists take on generated archive pages.
//
// For each page size it prints, from the same run:
//   - the floor: one plain memmem pass over the page's raw bytes;
//   - the archive parser's phases: read file, decode GBK, lower-case, scan to rows, and the whole
//     file-to-rows parse;
//   - showing the rows in ListView2: filling the model in chunks of 100 while the view is hidden
//     (with the event pump list() runs every 100 entries), then showing and painting the view;
//   - Form1::list() end to end on the same file, and showing its ListView2.
// Each figure is the best of several runs (and the median beside it), in CPU time of the
// user-interface thread, so that other processes on a busy machine do not blur the figures.
//
// The floor is one memmem pass over the raw bytes that finds every entry marker "<li>": the
// least any parser of this page must do. (A memmem for a long needle that is not there skips
// most bytes and only measures memory speed; it is printed for reference.)

#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/searchcommands.h"
#include "ui/windowstatus.h"
#include "bench/bench_search.h"
#include "lists/archiveparser.h"
#include "lists/headlinemodel.h"
#include "ui/headlineview.h"
#include "lists/lowercase.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "portal/pagegenerator.h"

#include <QApplication>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

namespace {

const QString kBase = QStringLiteral("http://127.0.0.1:8086");
constexpr int kRuns = 7;

struct Timing
{
    double best = 0;   // ms
    double median = 0; // ms
};

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Runs `body` `runs` times (after one warm-up run) and returns the best and median times.
Timing measure(const std::function<void()> &body, int runs = kRuns)
{
    body();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double start = threadCpuMs();
        body();
        ms.push_back(threadCpuMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

void printRow(const char *what, Timing t, double floorMs)
{
    std::printf("  %-44s %9.3f ms  (median %9.3f)  %7.1fx floor\n", what, t.best, t.median,
                t.best / floorMs);
}

// Keeps the optimiser from dropping work whose result is otherwise unused.
volatile qsizetype g_sink = 0;

// Fills `model` the way Form1::list() does: a chunk of 100 rows per insertion, the event pump
// after each, the view hidden; then shows the view and paints it once.
struct ShowTimes
{
    Timing fill;
    Timing show;
};

ShowTimes showRows(const mz::HeadlineRows &rows)
{
    ShowTimes times;
    QTreeView view;
    view.resize(760, 560);
    mz::HeadlineModel model(mz::HeadlineModel::Kind::Archive);
    mz::attachHeadlineModel(&view, &model);

    times.fill = measure([&] {
        view.hide();
        model.clear();
        for (qsizetype i = 0; i < rows.size(); i += mz::kArchiveChunkSize)
            model.append(rows.mid(i, mz::kArchiveChunkSize));
        // list() pumps once per chunk; pumping an idle loop is part of its cost.
        for (qsizetype i = 0; i < rows.size(); i += mz::kArchiveChunkSize)
            QCoreApplication::processEvents();
    }, 5);
    times.show = measure([&] {
        view.hide();
        QCoreApplication::processEvents();
        view.show();
        view.viewport()->repaint();
        QCoreApplication::processEvents();
        g_sink = view.model()->rowCount();
    }, 5);
    return times;
}

void benchArchive(const mz::PortalGenerator &portal, int entries, const QString &folder)
{
    const QDate day(2007, 3, 2);
    const QByteArray page = portal.archivePage(day, entries);
    const QString path = folder + QStringLiteral("/news1000_%1.shtml").arg(entries);
    mz::writeFileBytes(path, page);

    std::printf("\nArchive page with %d entries: %.2f MB (GBK)\n", entries, double(page.size()) / 1e6);

    // The floor: one memmem pass over the raw bytes that finds every "<li>".
    const Timing floor = measure([&] {
        qsizetype hits = 0;
        const char *p = page.constData();
        const char *end = p + page.size();
        while (const void *hit = memmem(p, size_t(end - p), "<li>", 4)) {
            ++hits;
            p = static_cast<const char *>(hit) + 4;
        }
        g_sink = hits;
    }, 15);
    printRow("floor: memmem pass finding every <li>", floor, floor.best);
    static const char absent[] = "<!-- mozhou-bench: absent -->";
    printRow("  reference: memmem, absent 29-byte needle", measure([&] {
        g_sink = memmem(page.constData(), size_t(page.size()), absent, sizeof absent - 1) != nullptr;
    }, 15), floor.best);

    QByteArray bytes;
    QString text, lower;
    printRow("read file", measure([&] { bytes = *mz::readFileBytes(path); }), floor.best);
    printRow("decode GBK (GB18030)", measure([&] { text = mz::decodeAnsi(bytes); }), floor.best);
    printRow("lower-case (table)", measure([&] { lower = mz::lowerCased(text); }), floor.best);
    printRow("  for comparison: QString::toLower", measure([&] { g_sink = text.toLower().size(); }, 3),
             floor.best);
    mz::HeadlineRows rows;
    printRow("scan to rows", measure([&] { rows = mz::scanArchiveText(lower, kBase).rows; }), floor.best);
    const Timing parse = measure([&] {
        rows = mz::parseArchivePage(*mz::readFileBytes(path), kBase).rows;
    });
    printRow("whole parse: file to rows", parse, floor.best);
    if (rows.size() != entries)
        std::printf("  !! parsed %lld rows, expected %d\n", (long long)rows.size(), entries);

    const ShowTimes shown = showRows(rows);
    printRow("model fill, chunks of 100, view hidden", shown.fill, floor.best);
    printRow("show and paint ListView2", shown.show, floor.best);
    const double showing = shown.fill.best + shown.show.best;
    std::printf("  %-44s %9.3f ms  = %.2fx the whole parse\n", "showing the rows (fill + show)", showing,
                showing / parse.best);
    std::printf("  goals: whole parse %.1fx the floor (goal <= 10x); showing %.2fx the parse (goal <= 2x)\n",
                parse.best / floor.best, showing / parse.best);

    // The real thing: Form1::list() on the same file, then showing its ListView2.
    mz::FixedClock clock(day);
    mz::RecordingMessages messages;
    mz::RecordingOpener opener;
    Form1Environment env;
    env.folder = folder;
    env.portalBase = kBase;
    env.clock = &clock;
    env.messages = &messages;
    env.opener = &opener;
    Form1 form(env);
    form.Timer1->stop();
    form.resize(1024, 700);
    form.show();
    QCoreApplication::processEvents();
    const Timing list = measure([&] {
        form.ListView2->hide();
        form.lists().model2()->clear();
        form.list(path);
    }, 5);
    printRow("Form1::list(): file to hidden ListView2", list, floor.best);
    const Timing show = measure([&] {
        form.ListView2->hide();
        QCoreApplication::processEvents();
        form.showListView(form.ListView2);
        form.ListView2->viewport()->repaint();
        QCoreApplication::processEvents();
    }, 5);
    printRow("Form1: show ListView2", show, floor.best);
    std::printf("  %-44s %9.3f ms\n", "Form1 total: list() + show", list.best + show.best);
    if (form.lists().model2()->rowCount() != entries)
        std::printf("  !! ListView2 holds %d rows, expected %d\n", form.lists().model2()->rowCount(), entries);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const mz::PortalGenerator portal(kBase);

    std::printf("mozhou-bench: CPU time of the UI thread, best of several runs (median beside it);\n"
                "'x floor' = time / one memmem pass over the raw page finding every <li>\n");
    for (int entries : {10000, 100000})
        benchArchive(portal, entries, dir.path());

    // Keyword search over 100,000 rows (bench_search.cpp).
    benchSearch();

    return 0;
}
