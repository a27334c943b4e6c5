#pragma once
// Reading headline titles aloud through the speech engine, and stopping. While titles are read,
// the row being spoken is selected in ListView1 and panel s1 reads "正在朗读 k/n" (until another
// message takes s1); the engine's reported positions drive it. A second read replaces the one under
// way; stop or the end of the text ends the highlight. When the engine finds no sound output, s1
// says so.

#include "lists/headline.h"
#include "speech/readaloud.h"

#include <QObject>
#include <QStringList>

class QTreeView;
class WindowStatus;

namespace mz {
class SpeechEngine;
}

class ReadingAloud : public QObject
{
    Q_OBJECT

public:
    // `engine` may be null: nothing is spoken. `listView1` shows the rows that are read.
    ReadingAloud(mz::SpeechEngine *engine, QTreeView *listView1, WindowStatus &status,
                 QObject *parent = nullptr);
    ~ReadingAloud() override;

    // All titles of `rows`, in order (ListView1 as shown).
    void readAll(const mz::HeadlineRows &rows);
    // The ticked titles of `rows`.
    void readTicked(const mz::HeadlineRows &rows);
    void stop();

    // Panel s1 when the engine finds no sound output: nothing is read.
    static QString unheardText() { return QStringLiteral("没有可用的声音输出，无法朗读新闻。"); }

    // The shown row of ListView1 being spoken, -1 when none.
    int spokenRow() const { return m_item >= 0 ? m_spoken.rows.at(m_item) : -1; }

private:
    void read(const mz::HeadlineRows &rows, bool tickedOnly);
    void onPosition(qsizetype position);
    void end();
    QString progressText() const;

    mz::SpeechEngine *m_engine;
    QTreeView *m_view;
    WindowStatus &m_status;
    mz::SpokenText m_spoken; // the reading under way; empty when none
    QStringList m_titles;    // the title of each item, to recognise its row
    int m_item = -1;         // the item being spoken
};
