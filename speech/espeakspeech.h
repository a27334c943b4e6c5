#pragma once
// The speech engine on espeak-ng, with the Mandarin voice that reads characters as pinyin.
//
// Playback mode (the desktop): speak() returns at once and the engine speaks in the background;
// stop() ends what is being spoken. Retrieval mode (tests): speak() returns when the text has
// been synthesised, and the audio is kept instead of played, so that a test can prove that
// real, non-silent audio was produced.
//
// Positions: espeak-ng tells the start of each word and sentence as a 1-based count of code
// points of its UTF-8 input; they are turned into QString indexes and handed to the position
// sink on the thread that made the engine (queued; espeak-ng's playback runs on a thread of its
// own).
//
// Without a sound output espeak-ng in playback mode cannot be heard, and says so only on its
// standard error: with no device to open at all it tells no position; when the device goes away
// while speaking it synthesises as fast as it can and tells every position at once, ahead of any
// sound that could be playing. So a text is given up, and the sink told kSpeechUnheard, when
// espeak-ng went idle without telling a position, when no position came within the first
// position limit (kFirstPositionLimitMs) of speak(), or a position runs more than kAheadLimitMs
// ahead of the time since speak().
//
// espeak-ng keeps one state per process: only one engine may be initialised at a time.

#include "speech/speechengine.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <functional>
#include <memory>

#include <espeak-ng/speak_lib.h>

namespace mz {

class EspeakSpeech final : public SpeechEngine
{
public:
    enum class Mode { Playback, Retrieval };
    // `notice` is told the engine's notice text and title when no voice can be found.
    using NoticeSink = std::function<void(const QString &text, const QString &title)>;

    explicit EspeakSpeech(Mode mode = Mode::Playback, NoticeSink notice = {});
    ~EspeakSpeech() override;

    bool init(quintptr owner, int a, int b, int c, const QString &notice,
              const QString &caption) override;
    void speak(const QString &text) override;
    void stop() override;
    void close() override;

    bool ready() const { return m_ready; }
    // Retrieval mode: the samples (16-bit mono) of everything spoken since the last speak().
    const QList<qint16> &samples() const { return m_samples; }
    int sampleRate() const { return m_sampleRate; }
    // Playback mode: how long a text may go without a first position before it is given up.
    void setFirstPositionLimit(int ms) { m_firstPositionLimitMs = ms; }

private:
    static int synthCallback(short *wav, int count, espeak_EVENT *events);
    static constexpr qint64 kAheadLimitMs = 3000;
    static constexpr int kFirstPositionLimitMs = 5000;
    static constexpr int kIdlePollMs = 100;
    static constexpr int kIdlePollsUnheard = 4;

    // Hands an engine position of utterance `utterance`, reached `audioMs` into its audio, to
    // the UI thread (any thread).
    void post(quint64 utterance, qsizetype enginePosition, qint64 audioMs = 0);
    // On the UI thread: tells the sink, unless the utterance was replaced or stopped.
    void deliver(quint64 utterance, qsizetype enginePosition, qint64 audioMs);
    // Drops the current text, which nobody can hear, and tells the sink so.
    void giveUpUnheard();
    // Gives the current text up once espeak-ng is idle without having told a position of it.
    void watchForFirstPosition(quint64 utterance, int idlePolls);

    Mode m_mode;
    std::unique_ptr<QObject> m_context =
        std::make_unique<QObject>();     // lives on the thread that made the engine
    quint64 m_utterance = 0;             // counts speak() and stop() calls
    bool m_endTold = true;               // the current utterance's end was told
    QElapsedTimer m_speaking;            // since the current utterance was handed over
    bool m_positionTold = false;         // a position of the current utterance was told
    QList<qsizetype> m_indexOfCodePoint; // QString index of each code point of the text spoken
    NoticeSink m_notice;
    bool m_ready = false;
    int m_sampleRate = 0;
    int m_firstPositionLimitMs = kFirstPositionLimitMs;
    QList<qint16> m_samples;
};

} // namespace mz
