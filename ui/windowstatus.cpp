#include "ui/windowstatus.h"

#include <QLabel>
#include <QWidget>

WindowStatus::WindowStatus(QWidget *window, QLabel *s1, QLabel *s2, QObject *parent)
    : QObject(parent), m_window(window), m_s1(s1), m_s2(s2)
{
}

QString WindowStatus::idleCaption()
{
    return QStringLiteral("墨舟 V1.3");
}

void WindowStatus::setPanel(Panel panel, const QString &text)
{
    (panel == Panel::S1 ? m_s1 : m_s2)->setText(text);
}

QString WindowStatus::panel(Panel panel) const
{
    return (panel == Panel::S1 ? m_s1 : m_s2)->text();
}

void WindowStatus::setCaption(const QString &caption)
{
    m_window->setWindowTitle(caption);
}

QString WindowStatus::caption() const
{
    return m_window->windowTitle();
}
