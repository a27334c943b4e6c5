// Which row is being read: positions in the read-aloud texts, as a fake engine and as espeak-ng
// report them.

#include "lists/headline.h"
#include "speech/espeakspeech.h"
#include "speech/readaloud.h"

#include <QTest>

using mz::HeadlineRow;
using mz::HeadlineRows;
using mz::SpeechEngine;

namespace {

HeadlineRow row(const QString &title, bool ticked = false)
{
    HeadlineRow r;
    r.title = title;
    r.checked = ticked;
    return r;
}

mz::SpokenText spoken(const HeadlineRows &rows, bool tickedOnly)
{
    auto at = [&rows](int i) -> const HeadlineRow & { return rows.at(i); };
    const int n = int(rows.size());
    return tickedOnly ? mz::spokenTicked(n, at) : mz::spokenAll(n, at);
}

} // namespace

class TestSpeechPosition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each position of the text against the list row it belongs to (-1: none).
    void rowOfPosition_data()
    {
        QTest::addColumn<HeadlineRows>("rows");
        QTest::addColumn<bool>("tickedOnly");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("rowAt"); // per position of text, then one past its end

        const HeadlineRows abc{row("AB", true), row("C"), row("DE", true)};
        QTest::newRow("all-one-blank")
            << abc << false << QStringLiteral("AB C DE ") << QList<int>{0, 0, 0, 1, 1, 2, 2, 2, -1};
        QTest::newRow("ticked-two-blanks")
            << abc << true << QStringLiteral("AB  DE  ") << QList<int>{0, 0, 0, 0, 2, 2, 2, 2, -1};
        QTest::newRow("empty-title") << HeadlineRows{row(""), row("X")} << false
                                     << QStringLiteral(" X ") << QList<int>{0, 1, 1, -1};
        QTest::newRow("surrogates")
            << HeadlineRows{row(QString::fromUtf8("𠀀a")), row("b")} << false
            << QString::fromUtf8("𠀀a b ") << QList<int>{0, 0, 0, 0, 1, 1, -1};
        QTest::newRow("hint-has-no-rows")
            << HeadlineRows{row("A")} << true << QStringLiteral("请在新闻前面的方框里打勾")
            << QList<int>(13, -1);
    }
    void rowOfPosition()
    {
        QFETCH(HeadlineRows, rows);
        QFETCH(bool, tickedOnly);
        QFETCH(QString, text);
        QFETCH(QList<int>, rowAt);
        const mz::SpokenText s = spoken(rows, tickedOnly);
        QCOMPARE(s.text, text);
        QCOMPARE(rowAt.size(), text.size() + 1);
        for (qsizetype p = 0; p < rowAt.size(); ++p) {
            const int item = s.itemAt(p);
            QCOMPARE(item < 0 ? -1 : s.rows.at(item), rowAt.at(p));
        }
        QCOMPARE(s.itemAt(-1), -1);
    }

    // The fake engine tells what a test makes it tell, through the same sink the window uses.
    void fakeEngineDrivesRows()
    {
        const mz::SpokenText s = spoken({row("甲", true), row("乙"), row("丙丁", true)}, true);
        mz::RecordingSpeech engine;
        QList<int> rows;
        engine.setPositionSink([&](qsizetype p) {
            rows << (p == SpeechEngine::kSpeechEnded ? -2
                     : s.itemAt(p) < 0               ? -1
                                                     : s.rows.at(s.itemAt(p)));
        });
        engine.speak(s.text);
        for (qsizetype p : QList<qsizetype>{0, 3, 4, 2, SpeechEngine::kSpeechEnded})
            engine.emitPosition(p);
        QCOMPARE(rows, (QList<int>{0, 2, 2, 0, -2}));
    }

    // The real engine: positions arrive on this thread after speak(), point at the words of the
    // text spoken (QString indexes, past a character outside the BMP), go forward through every
    // title, and end once; a replaced text tells nothing more.
    void espeakTellsPositions()
    {
        const mz::SpokenText first = spoken(
            {row("国内新闻 今日股市大涨"), row("国际新闻 会议开幕"), row("体育新闻 比赛结束")},
            false);
        const mz::SpokenText s =
            spoken({row(QString::fromUtf8("𠀀国内新闻")), row("NBA 总决赛")}, false);
        mz::EspeakSpeech &engine = m_espeak;
        QVERIFY(listen());
        QList<qsizetype> &positions = m_heard.positions;
        int &ends = m_heard.ends;
        engine.speak(first.text);
        engine.speak(s.text);         // replaces the first before any of its positions was told
        QVERIFY(positions.isEmpty()); // never from within speak()
        QTRY_COMPARE(ends, 1);
        QVERIFY(!positions.isEmpty());
        QList<int> items;
        for (qsizetype p : positions) {
            QVERIFY2(p >= 0 && p < s.text.size() && !s.text.at(p).isSpace() &&
                         !s.text.at(p).isLowSurrogate(),
                     qPrintable(QString::number(p)));
            if (items.isEmpty() || items.last() != s.itemAt(p))
                items << s.itemAt(p);
        }
        QCOMPARE(items, (QList<int>{0, 1}));
        QVERIFY(positions.contains(s.text.indexOf(QStringLiteral("NBA"))));

        engine.stop(); // nothing is spoken: no second end
        QTest::qWait(50);
        QCOMPARE(ends, 1);
    }

    // A title as a page may hold it does not end the reading: the title after it is read too, and
    // heard (espeak-ng takes U+0001 for the start of a command of its own: "0A" after it
    // silences the rest of the text).
    void espeakReadsPastStrangeTitles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("nul") << QStringLiteral("国内") + QChar(u'\0') + QStringLiteral("新闻");
        QTest::newRow("breaks-tab") << QStringLiteral("国内\r\n新闻\t股市\v大涨\f");
        QTest::newRow("markup") << QStringLiteral("<b>国内</b>&amp;新闻<br>");
        QTest::newRow("bidi-zero-width") << QStringLiteral("\u202E国内\u200B新闻\uFEFF");
        QTest::newRow("engine-commands") << QStringLiteral("国内") + QChar(u'\x01') +
                                                QStringLiteral("0A新闻") + QChar(u'\x01') +
                                                QStringLiteral("300S股市");
    }
    void espeakReadsPastStrangeTitles()
    {
        QFETCH(QString, title);
        const mz::SpokenText s = spoken({row(title), row("NBA 总决赛")}, false);
        mz::EspeakSpeech &engine = m_espeak;
        QVERIFY(listen());
        QList<qsizetype> &positions = m_heard.positions;
        int &ends = m_heard.ends;
        engine.speak(s.text);
        QTRY_COMPARE(ends, 1);
        QVERIFY(positions.contains(s.text.indexOf(QStringLiteral("NBA"))));

        // The last title makes the end of the audio: it is heard, not silent.
        const QList<qint16> &samples = engine.samples();
        const auto end = std::max_element(samples.end() - samples.size() / 4, samples.end(),
                                          [](qint16 a, qint16 b) { return qAbs(a) < qAbs(b); });
        QVERIFY2(qAbs(*end) > 2000, qPrintable(QString::number(*end)));
    }

private:
    // Starts recording what the engine tells: the positions read, and how often it ended.
    bool listen()
    {
        m_heard = {};
        m_espeak.setPositionSink([this](qsizetype p) {
            if (p == SpeechEngine::kSpeechEnded)
                ++m_heard.ends;
            else
                m_heard.positions << p;
        });
        return m_espeak.init(0, -1, -1, -1, QStringLiteral("n"), QStringLiteral("t"));
    }

    // espeak-ng keeps one state per process and is not initialised a second time: one engine
    // serves every test.
    mz::EspeakSpeech m_espeak{mz::EspeakSpeech::Mode::Retrieval};
    struct
    {
        QList<qsizetype> positions;
        int ends = 0;
    } m_heard;
};

QTEST_GUILESS_MAIN(TestSpeechPosition)
#include "tst_speechposition.moc"
