#include "ui/widgetmessages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QTranslator>

namespace mz {

std::unique_ptr<QMessageBox> makeMessageBox(QMessageBox::Icon icon, const QString &title,
                                            const QString &text, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(icon, title, text, QMessageBox::Ok, parent);
    // Messages quote titles and addresses from the portal's pages: read as markup, a title
    // holding a link would put into the box a link that opens whatever it names.
    box->setTextFormat(Qt::PlainText);
    box->button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    return box;
}

QTranslator *installQtChineseTexts()
{
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator.release();
}

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
    makeMessageBox(boxIcon, title, text, m_parent)->exec();
}

bool DesktopOpener::open(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace mz
