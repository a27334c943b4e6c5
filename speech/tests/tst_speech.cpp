#include "lists/headlinemodel.h"
#include "speech/espeakspeech.h"
#include "speech/readaloud.h"
#include "testsupport/formfixture.h"
#include "ui/headlinelists.h"

#include <QAction>
#include <QSortFilterProxyModel>
#include <QTest>
#include <QTreeView>

#include <algorithm>

using mz::HeadlineRow;
using mz::HeadlineRows;

namespace {
HeadlineRow row(const QString &title, bool ticked = false)
{
    HeadlineRow r;
    r.title = title;
    r.sub1 = QStringLiteral("国内新闻");
    r.tag = QStringLiteral("http://127.0.0.1/x");
    r.checked = ticked;
    return r;
}
} // namespace

class TestSpeech : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts_data()
    {
        QTest::addColumn<HeadlineRows>("rows");
        QTest::addColumn<QString>("all");
        QTest::addColumn<QString>("ticked");
        QTest::newRow("three-rows-two-ticked")
            << HeadlineRows{row("A", true), row("B"), row("C", true)} << QStringLiteral("A B C ")
            << QStringLiteral("A  C  ");
        QTest::newRow("none-ticked") << HeadlineRows{row("A"), row("B")} << QStringLiteral("A B ")
                                     << QStringLiteral("请在新闻前面的方框里打勾");
        QTest::newRow("empty-list") << HeadlineRows{} << QStringLiteral("请先显示新闻")
                                    << QStringLiteral("请在新闻前面的方框里打勾");
        // An empty title still adds its blank, so the text is not empty.
        QTest::newRow("empty-title")
            << HeadlineRows{row(QString(), true)} << QStringLiteral(" ") << QStringLiteral("  ");
    }
    void texts()
    {
        QFETCH(HeadlineRows, rows);
        QFETCH(QString, all);
        QFETCH(QString, ticked);
        auto at = [&rows](int i) -> const HeadlineRow & { return rows.at(i); };
        QCOMPARE(mz::readAllText(int(rows.size()), at), all);
        QCOMPARE(mz::readTickedText(int(rows.size()), at), ticked);
    }

    // The commands read ListView1 as it shows its rows, whichever list is on show.
    void commandsReadListView1()
    {
        mz::test::FormFixture f;
        auto form = f.load();
        form->lists().model1()->append(HeadlineRows{row("C", true), row("A"), row("B", true)});
        form->lists().model2()->append(HeadlineRows{row("Z")});
        form->showListView(form->ListView2);
        form->s47->trigger();
        QCOMPARE(f.speech.calls.last(), QStringLiteral("speak:C A B "));
        form->ListView1_ColumnClick(0); // sorted by title
        form->s48->trigger();
        QCOMPARE(f.speech.calls.last(), QStringLiteral("speak:B  C  "));
        form->s46->trigger();
        QCOMPARE(f.speech.calls.last(), QStringLiteral("stop"));
        QVERIFY(f.messages.messages.isEmpty());
    }

    // The real engine, synthesising into memory: Chinese text gives real, non-silent audio, and
    // stop and close are harmless when nothing is spoken.
    void espeakProducesAudio()
    {
        mz::EspeakSpeech engine(mz::EspeakSpeech::Mode::Retrieval);
        engine.stop();
        QVERIFY(engine.init(0, -1, -1, -1, QStringLiteral("n"), QStringLiteral("t")));
        QVERIFY(engine.sampleRate() > 0);
        engine.speak(QStringLiteral("今日新闻 国内新闻"));
        const QList<qint16> &samples = engine.samples();
        // Well over a fifth of a second of sound, and loud enough to be speech, not silence.
        QVERIFY2(samples.size() > engine.sampleRate() / 5,
                 qPrintable(QString::number(samples.size())));
        const auto peak = std::max_element(samples.begin(), samples.end(),
                                           [](qint16 a, qint16 b) { return qAbs(a) < qAbs(b); });
        QVERIFY(qAbs(*peak) > 2000);
        engine.stop();
        engine.close();
        engine.close();
        QVERIFY(!engine.ready());
        engine.speak(QStringLiteral("不再说话")); // after close: nothing, no crash
    }
};

QTEST_MAIN(TestSpeech)
#include "tst_speech.moc"
