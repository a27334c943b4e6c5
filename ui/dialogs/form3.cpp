#include "ui/dialogs/form3.h"

#include "platform/mailto.h"
#include "platform/shell.h"
#include "ui/accessibility.h"
#include "ui/programicon.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {

const QString kAuthor = QStringLiteral("林小舟");
const QString kMail1 = QStringLiteral("linxiaozhou@example.org");
const QString kMail2 = QStringLiteral("mozhou@example.org");

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

void setColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

Form3::Form3(mz::UrlOpener *opener, const QString &siteUrl, QWidget *parent)
    : QDialog(parent), m_opener(opener), m_siteUrl(siteUrl)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("关于"));
    setWindowIcon(mz::programIcon());
    setMouseTracking(true);
    // The links are pure blue and red, which cannot be read on a dark background: under a dark
    // colour scheme the dialog keeps light colours of its own.
    if (palette().color(QPalette::Window).lightness() < 128)
        setPalette(QPalette(QColor(240, 240, 240)));

    Label1 = new QLabel(QStringLiteral("墨舟 1.3版"), this);
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    Label1->setFont(big);
    Image1 = new QLabel(this);
    Image1->setPixmap(mz::programPixmap(64));
    Image1->setAccessibleName(QStringLiteral("墨舟图标"));
    Label3 = new QLabel(QStringLiteral("软件作者：") + kAuthor, this);
    Label8 = new QLabel(QStringLiteral("电子邮件：") + kMail1, this);
    Label8->setAccessibleName(QStringLiteral("给作者发电子邮件"));
    Label9 = new QLabel(QStringLiteral("欢迎访问：墨舟网"), this);
    Label9->setAccessibleName(QStringLiteral("访问墨舟网"));
    for (QLabel *link : {Label8, Label9}) {
        mz::exposeAsLink(link);
        link->setAccessibleDescription(link->text()); // the name alone hides the address
        link->setMouseTracking(true);
        link->setCursor(Qt::PointingHandCursor);
        link->setFocusPolicy(Qt::StrongFocus);
        link->installEventFilter(this);
    }
    for (QLabel *plain : {Label1, Image1, Label3})
        plain->setMouseTracking(true);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->hide();

    auto *layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(Label1, 0, 1);
    layout->addWidget(Label3, 1, 1);
    layout->addWidget(Label8, 2, 1, Qt::AlignLeft);
    layout->addWidget(Label9, 3, 1, Qt::AlignLeft);
    layout->addWidget(m_status, 4, 0, 1, 2);
    layout->setHorizontalSpacing(16);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Form_Load();
}

QUrl Form3::authorMail()
{
    return QUrl::fromEncoded(
        (QStringLiteral("mailto:") + mz::mailRecipients(kMail1 + u';' + kMail2)).toLatin1(),
        QUrl::StrictMode);
}

QString Form3::statusText() const
{
    return m_status->text();
}

void Form3::Form_Load()
{
    for (QLabel *link : {Label8, Label9}) {
        QFont font = link->font();
        font.setUnderline(true);
        link->setFont(font);
        link->adjustSize();
        setColour(link, kBlue);
    }
}

void Form3::openAddress(const QUrl &url, const QString &failure)
{
    if (m_opener && m_opener->open(url)) {
        m_status->clear();
        m_status->hide();
        return;
    }
    m_status->setText(failure);
    m_status->show();
}

void Form3::Label8_Click()
{
    openAddress(authorMail(), QStringLiteral("无法启动邮件程序。请给 %1 写信。").arg(kMail1));
}

void Form3::Label9_Click()
{
    openAddress(QUrl(m_siteUrl),
                QStringLiteral("无法启动浏览器。墨舟网的地址是 %1").arg(m_siteUrl));
}

void Form3::Form_MouseMove()
{
    setColour(Label8, kBlue);
    setColour(Label9, kBlue);
}

void Form3::Label8_MouseMove()
{
    setColour(Label8, kRed);
    setColour(Label9, kBlue);
}

void Form3::Label9_MouseMove()
{
    setColour(Label9, kRed);
    setColour(Label8, kBlue);
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Label8 && watched != Label9)
        return QDialog::eventFilter(watched, event);
    const bool mail = watched == Label8;
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::FocusIn:
        mail ? Label8_MouseMove() : Label9_MouseMove();
        // A consumed move does not reach the dialog, which would turn the link blue again.
        return event->type() == QEvent::MouseMove;
    case QEvent::Leave:
    case QEvent::FocusOut:
        Form_MouseMove();
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            mail ? Label8_Click() : Label9_Click();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            mail ? Label8_Click() : Label9_Click();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void Form3::mouseMoveEvent(QMouseEvent *event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}
