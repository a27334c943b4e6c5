#include "ui/browserpane.h"

#include "fetch/readability.h"
#include "platform/textfile.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPalette>
#include <QTextBrowser>
#include <QTextDocument>

namespace {

// A page larger than this is not a page for the pane; the transfer stops there instead of
// holding whatever a server sends.
constexpr qint64 kMaxPageBytes = 16 * 1024 * 1024;

} // namespace

BrowserPane::BrowserPane(QTextBrowser *browser, QObject *parent)
    : QObject(parent), m_browser(browser)
{
    // Pages choose their colours for a browser's white paper and leave the rest to it: under a
    // dark colour scheme their dark links and text stood on the pane's dark background. The
    // pane is white paper with black ink (list bullets are drawn in the ink), and a link the
    // page leaves uncoloured is a browser's blue, not the scheme's link colour, which a dark
    // scheme makes light. The page's own styles still win.
    QPalette paper; // no role set: the others follow the colour scheme
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, Qt::black);
    m_browser->setPalette(paper);
    m_browser->document()->setDefaultStyleSheet(QStringLiteral("a { color: #0000ee; }"));
}

BrowserPane::~BrowserPane()
{
    cancel();
}

void BrowserPane::cancel()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this); // abort() raises finished() at once
    reply->abort();
    reply->deleteLater();
}

void BrowserPane::navigate(const QString &url)
{
    cancel();
    if (!m_net)
        m_net = new QNetworkAccessManager(this);
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(60000);
    QNetworkReply *reply = m_net->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply, url](qint64 received) {
        if (received <= kMaxPageBytes)
            return;
        cancel();
        m_browser->setHtml(QStringLiteral("<p>无法打开 %1：网页太大</p>").arg(url.toHtmlEscaped()));
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] {
        m_reply = nullptr;
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            m_browser->setHtml(QStringLiteral("<p>无法打开 %1：%2</p>")
                                   .arg(url.toHtmlEscaped(), reply->errorString().toHtmlEscaped()));
            return;
        }
        const QByteArray body = reply->readAll();
        const QString contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        // The page's own links ("/hotnews/") are read against the address it came from.
        m_browser->document()->setBaseUrl(reply->url());
        // Written again as browsers read it: Qt's reader loses links written href=/news/.
        m_browser->setHtml(
            mz::wellFormedHtml(contentType.contains(QStringLiteral("utf-8"), Qt::CaseInsensitive)
                                   ? QString::fromUtf8(body)
                                   : mz::decodeAnsi(body)));
    });
}
