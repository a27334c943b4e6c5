#pragma once
// Form3, "关于": product name and version, the program's picture, the author and two links: one
// writes a mail to the author, one opens the program's web site. A link is red while the pointer
// (or the keyboard focus) is on it and blue otherwise; both stay underlined. Enter or Space on a
// focused link opens it. When the address cannot be opened the dialog says so.

#include <QDialog>
#include <QString>
#include <QUrl>

class QLabel;

namespace mz {
class UrlOpener;
}

class Form3 : public QDialog
{
    Q_OBJECT

public:
    // `opener` must outlive the dialog; `siteUrl` is the program's web site (Label9's target).
    Form3(mz::UrlOpener *opener, const QString &siteUrl, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label8 = nullptr; // mail to the author
    QLabel *Label9 = nullptr; // the web site

    void Form_Load();
    void Label8_Click();
    void Label9_Click();
    void Form_MouseMove();
    void Label8_MouseMove();
    void Label9_MouseMove();

    // The address Label8 opens: a mail to both of the author's addresses.
    static QUrl authorMail();
    QString statusText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void openAddress(const QUrl &url, const QString &failure);

    mz::UrlOpener *m_opener;
    QString m_siteUrl;
    QLabel *m_status = nullptr;
};
