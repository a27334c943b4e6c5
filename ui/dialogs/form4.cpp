#include "ui/dialogs/form4.h"

#include "platform/mailto.h"
#include "platform/shell.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

form4::form4(mz::UrlOpener *opener, const QString &mailtoStr, const QString &siteUrl,
             QWidget *parent)
    : QDialog(parent), m_opener(opener), m_mailtoStr(mailtoStr), m_siteUrl(siteUrl)
{
    setObjectName(QStringLiteral("form4"));
    setWindowTitle(QStringLiteral("把此新闻发给你的好友"));

    auto *frame = new QGroupBox(QStringLiteral("添加好友电子邮件"), this);
    Text1 = new QLineEdit(frame);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("好友电子邮件地址"));
    Text1->setMinimumWidth(320);
    auto *hint = new QLabel(QStringLiteral("    如有多个好友，用分号;隔开电子邮件地址。"), frame);
    hint->setBuddy(Text1);
    Text1->setAccessibleDescription(hint->text().trimmed());
    Command2 = new QPushButton(QStringLiteral("添加"), frame);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAccessibleName(QStringLiteral("添加"));
    // Enter in the address box presses it.
    Command2->setDefault(true);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setAccessibleName(QStringLiteral("发送状态"));
    m_status->setWordWrap(true);
    m_status->hide();

    auto *inner = new QVBoxLayout(frame);
    inner->addWidget(Text1);
    inner->addWidget(hint);
    inner->addWidget(Command2, 0, Qt::AlignRight);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(frame);
    outer->addWidget(m_status);

    connect(Command2, &QPushButton::clicked, this, &form4::Command2_Click);
}

void form4::Command2_Click()
{
    const QUrl mail = mz::mailAddress(Text1->text(), m_mailtoStr, m_siteUrl);
    if (m_opener && m_opener->open(mail)) {
        m_status->clear();
        m_status->hide();
        return;
    }
    m_status->setText(
        QStringLiteral("无法启动邮件程序。请在系统设置中指定默认的电子邮件程序后再试。"));
    m_status->show();
}

QString form4::statusText() const
{
    return m_status->text();
}
