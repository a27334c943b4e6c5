#include "ui/widgetmessages.h"

#include <QDesktopServices>
#include <QMessageBox>

namespace mz {

void WidgetMessages::show(const QString &text, const QString &title, MessageIcon icon)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case MessageIcon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case MessageIcon::Critical:
        boxIcon = QMessageBox::Critical;
        break;
    case MessageIcon::None:
        break;
    }
    QMessageBox box(boxIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool DesktopOpener::open(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace mz
