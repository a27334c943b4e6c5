#pragma once
// What the window tells the user in passing: the window caption ("墨舟 V1.3" when idle, progress
// while a page downloads or a list fills) and the status bar's two panels "s1" and "s2".
// Every owner of a subsystem reports through this one object.

#include <QObject>
#include <QString>

class QLabel;
class QWidget;

class WindowStatus : public QObject
{
    Q_OBJECT

public:
    enum class Panel { S1, S2 };

    WindowStatus(QWidget *window, QLabel *s1, QLabel *s2, QObject *parent = nullptr);

    static QString idleCaption(); // 墨舟 V1.3
    // What an empty panel is called for a screen reader: 状态, 新闻条数.
    static QString panelName(Panel panel);

    // The panel's text is also its name for a screen reader, which reads a named label by its
    // name alone; an empty panel is called by panelName.
    void setPanel(Panel panel, const QString &text);
    QString panel(Panel panel) const;
    // Empties `panel` when it still shows `text` (a note its owner no longer stands by); another
    // owner's message, or an empty `text`, leaves it as it is.
    void clearPanelIfShowing(Panel panel, const QString &text);
    void setCaption(const QString &caption);
    QString caption() const;
    void setIdle() { setCaption(idleCaption()); }

private:
    QWidget *m_window;
    QLabel *m_s1;
    QLabel *m_s2;
};
