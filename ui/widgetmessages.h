#pragma once
// The desktop's message boxes and address opener.

#include "platform/messages.h"
#include "platform/shell.h"

#include <QMessageBox>

#include <memory>

class QTranslator;
class QWidget;

namespace mz {

// A message box with one button, "确定": Qt's own caption "OK" is not translated here, and a
// screen reader announced the button of every Chinese message in English.
std::unique_ptr<QMessageBox> makeMessageBox(QMessageBox::Icon icon, const QString &title,
                                            const QString &text, QWidget *parent = nullptr);

// Installs Qt's own Chinese texts (qtbase_zh_CN.qm of the system's Qt, package
// qt6-translations-l10n) for what Qt itself shows in the window: the edit menus of the search box,
// the keyword editor, the dialogs' text boxes and the browser pane ("撤消", "复制", "全选"), the
// scroll bars' menus. The program's own texts are Chinese in any locale, so these are as well.
// Returns the translator (owned by the application), or null when the file is not installed
// and Qt keeps its English texts.
QTranslator *installQtChineseTexts();

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
