#pragma once
// Reading headline titles aloud through the speech engine, and stopping.

#include "lists/headline.h"

#include <QObject>

namespace mz {
class SpeechEngine;
}

class ReadingAloud : public QObject
{
    Q_OBJECT

public:
    // `engine` may be null: nothing is spoken.
    explicit ReadingAloud(mz::SpeechEngine *engine, QObject *parent = nullptr);

    // All titles of `rows`, in order (ListView1 as shown).
    void readAll(const mz::HeadlineRows &rows);
    // The ticked titles of `rows`.
    void readTicked(const mz::HeadlineRows &rows);
    void stop();

private:
    mz::SpeechEngine *m_engine;
};
