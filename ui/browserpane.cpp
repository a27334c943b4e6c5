#include "ui/browserpane.h"

#include "platform/textfile.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextBrowser>

BrowserPane::BrowserPane(QTextBrowser *browser, QObject *parent)
    : QObject(parent), m_browser(browser)
{
}

void BrowserPane::navigate(const QString &url)
{
    if (!m_net)
        m_net = new QNetworkAccessManager(this);
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(60000);
    QNetworkReply *reply = m_net->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            m_browser->setHtml(QStringLiteral("<p>无法打开 %1：%2</p>")
                                   .arg(url.toHtmlEscaped(), reply->errorString().toHtmlEscaped()));
            return;
        }
        const QByteArray body = reply->readAll();
        const QString contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        m_browser->setHtml(contentType.contains(QStringLiteral("utf-8"), Qt::CaseInsensitive)
                               ? QString::fromUtf8(body)
                               : mz::decodeAnsi(body));
    });
}
