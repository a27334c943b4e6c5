#include "speech/espeakspeech.h"

#include <QMetaObject>
#include <QTimer>

#include <atomic>

#include <espeak-ng/speak_lib.h>

namespace mz {

namespace {
std::atomic<EspeakSpeech *> g_engine{nullptr}; // the initialised engine the callback serves
constexpr qsizetype kEnd = -1;
} // namespace

EspeakSpeech::EspeakSpeech(Mode mode, NoticeSink notice) : m_mode(mode), m_notice(std::move(notice))
{
}

EspeakSpeech::~EspeakSpeech()
{
    close();
}

// Runs on espeak-ng's thread in playback mode and within speak() in retrieval mode.
int EspeakSpeech::synthCallback(short *wav, int count, espeak_EVENT *events)
{
    EspeakSpeech *engine = g_engine.load();
    if (!engine)
        return 0;
    if (engine->m_mode == Mode::Retrieval && wav && count > 0) {
        for (int i = 0; i < count; ++i)
            engine->m_samples.append(wav[i]);
    }
    for (espeak_EVENT *e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        const auto utterance = quint64(reinterpret_cast<quintptr>(e->user_data));
        if (e->type == espeakEVENT_WORD || e->type == espeakEVENT_SENTENCE)
            engine->post(utterance, e->text_position, e->audio_position);
        else if (e->type == espeakEVENT_MSG_TERMINATED)
            engine->post(utterance, kEnd, e->audio_position);
    }
    return 0; // go on synthesising
}

void EspeakSpeech::post(quint64 utterance, qsizetype enginePosition, qint64 audioMs)
{
    QMetaObject::invokeMethod(
        m_context.get(),
        [this, utterance, enginePosition, audioMs] { deliver(utterance, enginePosition, audioMs); },
        Qt::QueuedConnection);
}

void EspeakSpeech::deliver(quint64 utterance, qsizetype enginePosition, qint64 audioMs)
{
    if (utterance != m_utterance || m_endTold)
        return;
    if (m_mode == Mode::Playback && audioMs - m_speaking.elapsed() > kAheadLimitMs)
        return giveUpUnheard();
    m_positionTold = true;
    if (enginePosition == kEnd) {
        m_endTold = true;
        reportPosition(kSpeechEnded);
        return;
    }
    const qsizetype codePoint = enginePosition - 1; // the engine counts from 1
    if (codePoint >= 0 && codePoint < m_indexOfCodePoint.size())
        reportPosition(m_indexOfCodePoint.at(codePoint));
}

void EspeakSpeech::giveUpUnheard()
{
    espeak_Cancel();
    ++m_utterance; // what is still on its way is not told
    m_endTold = true;
    reportPosition(kSpeechUnheard);
}

bool EspeakSpeech::init(quintptr, int, int, int, const QString &notice, const QString &caption)
{
    if (m_ready)
        return true;
    const espeak_AUDIO_OUTPUT output =
        m_mode == Mode::Playback ? AUDIO_OUTPUT_PLAYBACK : AUDIO_OUTPUT_SYNCHRONOUS;
    // DONT_EXIT: a missing data folder must not end the program.
    m_sampleRate = espeak_Initialize(output, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (m_sampleRate <= 0) {
        m_sampleRate = 0;
        if (m_notice)
            m_notice(notice, caption);
        return false;
    }
    // The plain Mandarin voice reads most characters wrongly; the pinyin one reads them well.
    if (espeak_SetVoiceByName("cmn-latn-pinyin") != EE_OK &&
        espeak_SetVoiceByName("cmn") != EE_OK) {
        espeak_Terminate();
        m_sampleRate = 0;
        if (m_notice)
            m_notice(notice, caption);
        return false;
    }
    g_engine = this;
    espeak_SetSynthCallback(&EspeakSpeech::synthCallback);
    m_ready = true;
    return true;
}

void EspeakSpeech::speak(const QString &text)
{
    if (!m_ready)
        return;
    // A new text replaces what is being spoken.
    espeak_Cancel();
    m_samples.clear();
    const quint64 utterance = ++m_utterance;
    m_endTold = false;
    m_positionTold = false;
    m_speaking.start();
    m_indexOfCodePoint.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        m_indexOfCodePoint.append(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    // espeak-ng reads its input up to the first zero byte: a U+0000 inside a title (a damaged
    // page) would silently end the reading there. It takes U+0001 for the start of a command of
    // its own (volume, speed, voice): a byte 0x01 followed by "0A" in a page's title silenced
    // every title after it. A blank in their place keeps every code point, and so every
    // position, where it was.
    QByteArray utf8 = text.toUtf8();
    utf8.replace('\0', ' ');
    utf8.replace('\x01', ' ');
    espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                 nullptr, reinterpret_cast<void *>(quintptr(utterance)));
    if (m_mode == Mode::Retrieval) {
        espeak_Synchronize();
        post(utterance, kEnd); // synchronous synthesis tells no end of its own
        return;
    }
    watchForFirstPosition(utterance, 0);
}

// espeak-ng opens the sound output when it starts on a text; when that fails it writes the
// error to its standard error, drops the text and goes idle without telling anything. Idle
// with no position told (not even the end, which comes with the last audio) is that case, so
// the reader learns at once that nothing can be heard instead of waiting out the limit. The
// engine's own thread tells positions as it makes them, so a few idle polls in a row leave
// ample time for the positions of a text that was spoken. The limit stays for an output that
// neither opens nor fails.
void EspeakSpeech::watchForFirstPosition(quint64 utterance, int idlePolls)
{
    QTimer::singleShot(kIdlePollMs, m_context.get(), [this, utterance, idlePolls] {
        if (utterance != m_utterance || m_endTold || m_positionTold)
            return;
        const int idle = espeak_IsPlaying() ? 0 : idlePolls + 1;
        if (idle >= kIdlePollsUnheard || m_speaking.elapsed() >= m_firstPositionLimitMs)
            return giveUpUnheard();
        watchForFirstPosition(utterance, idle);
    });
}

void EspeakSpeech::stop()
{
    if (!m_ready)
        return;
    espeak_Cancel();
    // Positions still on their way belong to the stopped text; its end is told once.
    const bool wasSpeaking = !m_endTold;
    post(++m_utterance, kEnd);
    m_endTold = !wasSpeaking;
}

void EspeakSpeech::close()
{
    if (!m_ready)
        return;
    espeak_Cancel();
    espeak_Terminate();
    m_ready = false;
    ++m_utterance; // nothing more is told
    m_endTold = true;
    if (g_engine == this)
        g_engine = nullptr;
}

} // namespace mz
