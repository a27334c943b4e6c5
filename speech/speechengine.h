#pragma once
// The speech engine the window talks to: initialise, speak a text, stop, close.
// The desktop uses espeak-ng; tests use a recorder.

#include <QString>
#include <QStringList>
#include <functional>

namespace mz {

class SpeechEngine
{
public:
    virtual ~SpeechEngine() = default;
    // owner: the window the engine may attach a notice to; notice/caption: what to tell the user
    // when no voice is installed. The result is informative only; the program goes on regardless.
    virtual bool init(quintptr owner, int a, int b, int c, const QString &notice,
                      const QString &caption) = 0;
    virtual void speak(const QString &text) = 0;
    virtual void stop() = 0;
    virtual void close() = 0;

    // Where the engine is in the text of the last speak(): the index (into that QString) of the
    // word or sentence it starts speaking, or kSpeechEnded once the text was spoken to its end
    // or stopped. Told on the thread that made the engine, from its event loop, never from
    // within speak() or stop(); positions of a text that was replaced or stopped are not told.
    // kSpeechUnheard instead tells that the text cannot be heard (there is no sound output): the
    // engine has given the text up, and nothing more of it is told.
    using PositionSink = std::function<void(qsizetype position)>;
    static constexpr qsizetype kSpeechEnded = -1;
    static constexpr qsizetype kSpeechUnheard = -2;
    void setPositionSink(PositionSink sink) { m_positionSink = std::move(sink); }

protected:
    void reportPosition(qsizetype position) const
    {
        if (m_positionSink)
            m_positionSink(position);
    }

private:
    PositionSink m_positionSink;
};

// Speaks nothing: the engine of a program built without a voice.
class SilentSpeech final : public SpeechEngine
{
public:
    bool init(quintptr, int, int, int, const QString &, const QString &) override { return false; }
    void speak(const QString &) override {}
    void stop() override {}
    void close() override {}
};

// Does nothing and remembers what it was asked: for tests and machines without speech.
class RecordingSpeech final : public SpeechEngine
{
public:
    bool init(quintptr, int, int, int, const QString &notice, const QString &caption) override
    {
        calls << QStringLiteral("init:") + notice + QLatin1Char('|') + caption;
        return true;
    }
    void speak(const QString &text) override { calls << QStringLiteral("speak:") + text; }
    void stop() override { calls << QStringLiteral("stop"); }
    void close() override { calls << QStringLiteral("close"); }
    // Tells the position sink what a real engine would tell it while speaking.
    void emitPosition(qsizetype position) const { reportPosition(position); }
    QStringList calls;
};

} // namespace mz
