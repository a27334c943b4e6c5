#pragma once
// form4, "把此新闻发给你的好友": the user types friends' mail addresses; "添加" hands the mail with
// the headline the window prepared (mailtoStr, from mz::mailQuery) to the system's mail program.
// The dialog stays open, so every press opens another mail; when no mail program can be started
// the dialog says so.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mz {
class UrlOpener;
}

class form4 : public QDialog
{
    Q_OBJECT

public:
    // `opener` must outlive the dialog; `siteUrl` is the program's web site named in the mail.
    form4(mz::UrlOpener *opener, const QString &mailtoStr, const QString &siteUrl,
          QWidget *parent = nullptr);

    QLineEdit *Text1 = nullptr;
    QPushButton *Command2 = nullptr;

    void Command2_Click();

    // The dialog's answer to the last press: empty, or what went wrong.
    QString statusText() const;

private:
    mz::UrlOpener *m_opener;
    QString m_mailtoStr;
    QString m_siteUrl;
    QLabel *m_status = nullptr;
};
