#include "ui/windowstatus.h"

#include <QLabel>
#include <QWidget>

WindowStatus::WindowStatus(QWidget *window, QLabel *s1, QLabel *s2, QObject *parent)
    : QObject(parent), m_window(window), m_s1(s1), m_s2(s2)
{
    // Notes quote addresses and titles from pages: shown as written, never read as markup.
    for (QLabel *panel : {m_s1, m_s2})
        panel->setTextFormat(Qt::PlainText);
}

QString WindowStatus::idleCaption()
{
    return QStringLiteral("墨舟 V1.3");
}

QString WindowStatus::panelName(Panel panel)
{
    return panel == Panel::S1 ? QStringLiteral("状态") : QStringLiteral("新闻条数");
}

// A fixed name hid every message from a screen reader ("状态" was read, never the text).
void WindowStatus::setPanel(Panel panel, const QString &text)
{
    QLabel *label = panel == Panel::S1 ? m_s1 : m_s2;
    label->setText(text);
    label->setAccessibleName(text.isEmpty() ? panelName(panel) : text);
}

QString WindowStatus::panel(Panel panel) const
{
    return (panel == Panel::S1 ? m_s1 : m_s2)->text();
}

void WindowStatus::clearPanelIfShowing(Panel panel, const QString &text)
{
    if (!text.isEmpty() && this->panel(panel) == text)
        setPanel(panel, QString());
}

void WindowStatus::setCaption(const QString &caption)
{
    m_window->setWindowTitle(caption);
}

QString WindowStatus::caption() const
{
    return m_window->windowTitle();
}
