#pragma once
// The desktop's message boxes and address opener.

#include "platform/messages.h"
#include "platform/shell.h"

#include <QMessageBox>

#include <memory>

class QWidget;

namespace mz {

// A message box with one button, "确定": Qt's own caption "OK" is not translated here, and a
// screen reader announced the button of every Chinese message in English.
std::unique_ptr<QMessageBox> makeMessageBox(QMessageBox::Icon icon, const QString &title,
                                            const QString &text, QWidget *parent = nullptr);

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
