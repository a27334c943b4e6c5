// Form1: reading the titles of ListView1 aloud (all rows or the ticked ones) and stopping.
// Both read ListView1 in the order it shows its rows, whichever list is on show.

#include "app/form1.h"

#include "speech/readaloud.h"
#include "speech/speechengine.h"

#include <QAction>

void Form1::setupSpeech()
{
    connect(s47, &QAction::triggered, this, &Form1::s47_Click);
    connect(s48, &QAction::triggered, this, &Form1::s48_Click);
    connect(s46, &QAction::triggered, this, &Form1::s46_Click);
}

void Form1::s47_Click()
{
    if (m_env.speech)
        m_env.speech->speak(
            mz::readAllText(shownRowCount(ListView1), [this](int i) -> const mz::HeadlineRow & {
                return shownRow(ListView1, i);
            }));
}

void Form1::s48_Click()
{
    if (m_env.speech)
        m_env.speech->speak(
            mz::readTickedText(shownRowCount(ListView1), [this](int i) -> const mz::HeadlineRow & {
                return shownRow(ListView1, i);
            }));
}

void Form1::s46_Click()
{
    if (m_env.speech)
        m_env.speech->stop();
}
