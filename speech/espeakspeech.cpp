#include "speech/espeakspeech.h"

#include <espeak-ng/speak_lib.h>

namespace mz {

namespace {
EspeakSpeech *g_retrieving = nullptr; // the engine whose samples the callback collects
}

EspeakSpeech::EspeakSpeech(Mode mode, NoticeSink notice) : m_mode(mode), m_notice(std::move(notice))
{
}

EspeakSpeech::~EspeakSpeech()
{
    close();
}

int EspeakSpeech::synthCallback(short *wav, int count, espeak_EVENT *)
{
    if (g_retrieving && wav && count > 0) {
        for (int i = 0; i < count; ++i)
            g_retrieving->m_samples.append(wav[i]);
    }
    return 0; // go on synthesising
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
    if (espeak_SetVoiceByName("cmn-latn-pinyin") != EE_OK && espeak_SetVoiceByName("cmn") != EE_OK) {
        espeak_Terminate();
        m_sampleRate = 0;
        if (m_notice)
            m_notice(notice, caption);
        return false;
    }
    if (m_mode == Mode::Retrieval) {
        g_retrieving = this;
        espeak_SetSynthCallback(&EspeakSpeech::synthCallback);
    }
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
    const QByteArray utf8 = text.toUtf8();
    espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                 nullptr, nullptr);
    if (m_mode == Mode::Retrieval)
        espeak_Synchronize();
}

void EspeakSpeech::stop()
{
    if (m_ready)
        espeak_Cancel();
}

void EspeakSpeech::close()
{
    if (!m_ready)
        return;
    espeak_Cancel();
    espeak_Terminate();
    m_ready = false;
    if (g_retrieving == this)
        g_retrieving = nullptr;
}

} // namespace mz
