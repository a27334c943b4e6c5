#pragma once
// The desktop's message boxes and address opener.

#include "platform/messages.h"
#include "platform/shell.h"

class QWidget;

namespace mz {

class WidgetMessages final : public MessageFunnel
{
public:
    explicit WidgetMessages(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void show(const QString &text, const QString &title, MessageIcon icon) override;

private:
    QWidget *m_parent;
};

class DesktopOpener final : public UrlOpener
{
public:
    bool open(const QUrl &url) override;
};

} // namespace mz
