#include "ui/dialogs/form2.h"

#include "store/optionfile.h"
#include "platform/messages.h"
#include "search/keywordsearch.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString Form2::label1Text()
{
    return QStringLiteral(
        "    在输入你的关键词时，可以使用“或”的逻辑关系，“或”用“+”代替。例如：“股票+证券”"
        "就是只要有股票或者证券两个词的任一个就可以了。");
}

Form2::Form2(const QString &proposal, AddKeyword add, mz::MessageFunnel *messages, QWidget *parent)
    : QDialog(parent), m_add(std::move(add)), m_messages(messages)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("添加搜索关键词"));
    setModal(true);

    Frame1 = new QGroupBox(QStringLiteral("添加你的关键词"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setAccessibleName(QStringLiteral("添加你的关键词"));

    // A keyword is one line of option.ini: a proposal with line breaks offers its first line.
    Text2 = new QLineEdit(mz::keywordLine(proposal), Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("关键词"));

    Label1 = new QLabel(label1Text(), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setBuddy(Text2);
    Label2 = new QLabel(QString::fromUtf16(mz::kStarOperatorHelp), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Text2->setAccessibleDescription(Label1->text().trimmed() + Label2->text());

    Command1 = new QPushButton(QStringLiteral("添加"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("添加"));
    Command1->setDefault(true); // Enter in Text2 adds

    auto *frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(Text2);
    frameLayout->addWidget(Label1);
    frameLayout->addWidget(Label2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    // The design size, taller when a large font needs more lines for the help texts.
    const int width = qMax(440, minimumSizeHint().width());
    resize(width, qMax(240, layout->heightForWidth(width)));

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    Text2->setFocus();
    Text2->selectAll();
}

void Form2::Command1_Click()
{
    const QString typed = Text2->text();
    if (typed.isEmpty()) {
        reject();
        return;
    }
    const Outcome outcome = m_add ? m_add(typed) : Outcome{};
    if (outcome.ok) {
        accept();
        return;
    }
    if (m_messages)
        m_messages->show(outcome.message, QStringLiteral("提示"), mz::MessageIcon::Warning);
    Text2->setFocus();
}
