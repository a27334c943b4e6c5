#include "ui/readingaloud.h"

#include "speech/readaloud.h"
#include "speech/speechengine.h"

namespace {

std::function<const mz::HeadlineRow &(int)> rowOf(const mz::HeadlineRows &rows)
{
    return [&rows](int i) -> const mz::HeadlineRow & { return rows.at(i); };
}

} // namespace

ReadingAloud::ReadingAloud(mz::SpeechEngine *engine, QObject *parent)
    : QObject(parent), m_engine(engine)
{
}

void ReadingAloud::readAll(const mz::HeadlineRows &rows)
{
    if (m_engine)
        m_engine->speak(mz::readAllText(int(rows.size()), rowOf(rows)));
}

void ReadingAloud::readTicked(const mz::HeadlineRows &rows)
{
    if (m_engine)
        m_engine->speak(mz::readTickedText(int(rows.size()), rowOf(rows)));
}

void ReadingAloud::stop()
{
    if (m_engine)
        m_engine->stop();
}
