#include "ui/readingaloud.h"

#include "speech/speechengine.h"
#include "ui/windowstatus.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTreeView>

ReadingAloud::ReadingAloud(mz::SpeechEngine *engine, QTreeView *listView1, WindowStatus &status,
                           QObject *parent)
    : QObject(parent), m_engine(engine), m_view(listView1), m_status(status)
{
    if (m_engine)
        m_engine->setPositionSink([this](qsizetype position) { onPosition(position); });
}

ReadingAloud::~ReadingAloud()
{
    if (m_engine)
        m_engine->setPositionSink({});
}

void ReadingAloud::readAll(const mz::HeadlineRows &rows)
{
    read(rows, false);
}

void ReadingAloud::readTicked(const mz::HeadlineRows &rows)
{
    read(rows, true);
}

void ReadingAloud::read(const mz::HeadlineRows &rows, bool tickedOnly)
{
    if (!m_engine)
        return;
    end();
    const auto rowOf = [&rows](int i) -> const mz::HeadlineRow & { return rows.at(i); };
    m_spoken = tickedOnly ? mz::spokenTicked(int(rows.size()), rowOf)
                          : mz::spokenAll(int(rows.size()), rowOf);
    for (int row : std::as_const(m_spoken.rows))
        m_titles << mz::oneLine(rows.at(row).title); // as the view shows it
    m_engine->speak(m_spoken.text);
}

void ReadingAloud::stop()
{
    if (m_engine)
        m_engine->stop();
    end();
}

void ReadingAloud::end()
{
    if (!m_spoken.rows.isEmpty())
        m_status.clearPanelIfShowing(WindowStatus::Panel::S1, progressText());
    m_spoken = {};
    m_titles.clear();
    m_item = -1;
}

QString ReadingAloud::progressText() const
{
    return QStringLiteral("正在朗读 %1/%2").arg(m_item + 1).arg(m_spoken.rows.size());
}

// The row is selected only while it still shows the title being read: a list that was refilled
// or sorted since the reading began keeps its selection.
void ReadingAloud::onPosition(qsizetype position)
{
    if (position == mz::SpeechEngine::kSpeechEnded)
        return end();
    if (position == mz::SpeechEngine::kSpeechUnheard) {
        end();
        m_status.setPanel(WindowStatus::Panel::S1, unheardText());
        return;
    }
    const int item = m_spoken.itemAt(position);
    if (item < 0 || item == m_item)
        return;
    // s1 is shared: a message put there since the last title (a note on the list brought to the
    // front, a headline that could not be opened, a favourite not stored) would be gone before
    // the user could read it. The count stays away from it until the panel is empty again.
    const QString shown = m_status.panel(WindowStatus::Panel::S1);
    const bool panelIsOurs = m_item < 0 || shown.isEmpty() || shown == progressText();
    m_item = item;
    if (panelIsOurs)
        m_status.setPanel(WindowStatus::Panel::S1, progressText());
    const QModelIndex index = m_view->model()->index(m_spoken.rows.at(item), 0);
    if (!index.isValid() || index.data(Qt::DisplayRole).toString() != m_titles.at(item))
        return;
    // An open menu was opened on the current row and its command will act on that row, and a
    // button held down is choosing a row (a right click opens the menu on its release): the row
    // being read is shown again from the next title after the menu has closed or the button has
    // been let go.
    if (QApplication::activePopupWidget() || QApplication::mouseButtons() != Qt::NoButton)
        return;
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
}
