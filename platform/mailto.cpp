#include "platform/mailto.h"

#include "platform/shell.h"

#include <QRegularExpression>
#include <QStringList>

namespace mz {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Every line break (CR LF, LF CR, lone CR or LF) as one CR LF.
QString withCrLf(const QString &text)
{
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    s.replace(QStringLiteral("\n"), kCrLf);
    return s;
}

// Only the unreserved characters stay as they are.
QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

QString mailQuery(const QString &title, const QString &articleAddress)
{
    QString subject = withCrLf(title);
    subject.replace(kCrLf, QStringLiteral(" "));
    const QString body = withCrLf(title) + u' ' + kCrLf + kCrLf + browserAddress(articleAddress) +
                         kCrLf + QString(132, u' ') + kCrLf;
    return QStringLiteral("subject=") + encoded(subject) + QStringLiteral("&body=") + encoded(body);
}

QString mailRecipients(const QString &typed)
{
    QStringList parts;
    // A line break never belongs to an address: a list pasted one address a line is split there
    // as at ";", instead of giving one recipient with the breaks inside. So is the full-width
    // "；" that Chinese input gives for the ";" the dialog asks for.
    static const QRegularExpression separators(QStringLiteral("[;\\r\\n\uFF1B]"));
    for (const QString &piece : typed.split(separators)) {
        const QString address = piece.trimmed();
        if (!address.isEmpty())
            parts.append(QString::fromLatin1(QUrl::toPercentEncoding(address, "@!$'()*+=:")));
    }
    return parts.join(u',');
}

QUrl mailAddress(const QString &typedRecipients, const QString &query, const QString &siteUrl)
{
    const QString tail = kCrLf + QStringLiteral(" 墨舟 V1.1下载地址") + kCrLf + siteUrl;
    const QString address =
        QStringLiteral("mailto:") + mailRecipients(typedRecipients) + u'?' + query + encoded(tail);
    return QUrl::fromEncoded(address.toLatin1(), QUrl::StrictMode);
}

} // namespace mz
