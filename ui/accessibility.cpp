#include "ui/accessibility.h"

#include <QAccessibleWidget>
#include <QByteArray>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QImage>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>
#include <QWidget>

namespace mz {

namespace {

constexpr char kHiddenProperty[] = "mz_hiddenFromScreenReaders";
constexpr char kLinkProperty[] = "mz_link";
QByteArray g_className;

bool exposed(const QObject *o)
{
    const auto *w = qobject_cast<const QWidget *>(o);
    return w && !w->isWindow() && !w->property(kHiddenProperty).toBool() &&
           w->objectName() != QLatin1String("qt_rubberband");
}

class WindowAccessible : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Window) {}

    int childCount() const override { return int(children().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> list = children();
        if (index < 0 || index >= list.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(list.at(index));
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        return int(children().indexOf(qobject_cast<QWidget *>(child->object())));
    }

private:
    QList<QWidget *> children() const
    {
        QList<QWidget *> list;
        for (QObject *o : widget()->children())
            if (exposed(o))
                list << static_cast<QWidget *>(o);
        return list;
    }
};

class LinkAccessible : public QAccessibleWidget
{
public:
    explicit LinkAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Link) {}

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &actionName) override
    {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(widget(), &press);
    }
};

class LinkBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    // The pane's pages come from the network or are built from its pages: a picture or style
    // sheet they name by a path or a file: address is not read from this computer. Qt would
    // read it whole on the window's thread, so "/dev/zero" filled the memory and a named pipe
    // stopped the window, and a page has no business with the user's files. Every answer is
    // data, since without one the document reads a file: address itself and the picture
    // handler loads the path as written (relative to the working folder); a picture is an
    // empty one. data: addresses are left to the document.
    QVariant loadResource(int type, const QUrl &name) override
    {
        if (name.scheme().compare(u"data", Qt::CaseInsensitive) == 0)
            return {};
        if (type == QTextDocument::ImageResource) {
            QImage none(1, 1, QImage::Format_ARGB32);
            none.fill(Qt::transparent);
            return none;
        }
        return QByteArray();
    }

protected:
    bool focusNextPrevChild(bool next) override
    {
        const QTextCursor before = textCursor();
        const bool moved = QTextBrowser::focusNextPrevChild(next);
        const QTextCursor after = textCursor();
        // No link left in that direction: the selection is gone and the focus moved on instead.
        if (!after.hasSelection() || (after.selectionStart() == before.selectionStart() &&
                                      after.selectionEnd() == before.selectionEnd()))
            return moved;
        QAccessibleTextSelectionEvent selected(this, after.selectionStart(), after.selectionEnd());
        selected.setCursorPosition(after.position());
        QAccessible::updateAccessibility(&selected);
        QAccessibleTextCursorEvent caret(this, after.position());
        QAccessible::updateAccessibility(&caret);
        return moved;
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (object->property(kLinkProperty).toBool())
        return new LinkAccessible(static_cast<QWidget *>(object));
    if (g_className.isEmpty() || className.toLatin1() != g_className)
        return nullptr;
    return new WindowAccessible(static_cast<QWidget *>(object));
}

} // namespace

void installWindowAccessibility(const char *className)
{
    if (!g_className.isEmpty())
        return;
    g_className = className;
    installFactoryOnce<factory>();
}

void exposeAsLink(QWidget *widget)
{
    widget->setProperty(kLinkProperty, true);
    installFactoryOnce<factory>();
    dropForeignInterface<LinkAccessible>(widget);
}

QTextBrowser *newLinkBrowser(QWidget *parent)
{
    return new LinkBrowser(parent);
}

void hideFromScreenReaders(QWidget *widget)
{
    widget->setProperty(kHiddenProperty, true);
}

} // namespace mz
