// The real engine without a sound output. It has a process of its own: espeak-ng keeps one state
// per process and cannot start playback again once an engine in another mode was closed.

#include "speech/espeakspeech.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using mz::SpeechEngine;

class TestSpeechOutput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Playback with no sound server and no sound card: no position ever comes, so the engine says
    // the text cannot be heard, once, and tells nothing else afterwards; so again for the next.
    // espeak-ng drops the text when its output fails to open: the engine learns it from that,
    // not from the first position limit, here set far beyond the wait.
    void espeakWithoutSoundOutputSaysSo()
    {
        QTemporaryDir dir;
        const QString emptyAlsaConfig = dir.filePath(QStringLiteral("asound.conf"));
        QFile(emptyAlsaConfig).open(QIODevice::WriteOnly);
        qputenv("PULSE_SERVER", QFile::encodeName(dir.filePath(QStringLiteral("no-server"))));
        qputenv("ALSA_CONFIG_PATH", QFile::encodeName(emptyAlsaConfig));
        QString text;
        for (int i = 0; i < 20; ++i)
            text += QStringLiteral("国内新闻 今日股市大涨 第%1条 ").arg(i + 1);
        mz::EspeakSpeech engine(mz::EspeakSpeech::Mode::Playback);
        engine.setFirstPositionLimit(10 * 60 * 1000);
        QList<qsizetype> told;
        engine.setPositionSink([&](qsizetype p) { told << p; });
        QVERIFY(engine.init(0, -1, -1, -1, QStringLiteral("n"), QStringLiteral("t")));
        for (int attempt = 1; attempt <= 2; ++attempt) {
            engine.speak(text);
            QTRY_COMPARE_WITH_TIMEOUT(told.count(SpeechEngine::kSpeechUnheard), attempt, 30000);
            QTest::qWait(200);
            QCOMPARE(told, QList<qsizetype>(attempt, SpeechEngine::kSpeechUnheard));
        }
    }
};

QTEST_GUILESS_MAIN(TestSpeechOutput)
#include "tst_speechoutput.moc"
