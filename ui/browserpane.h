#pragma once
// The browser pane WebBrowser1: shows one page, fetched by the program itself.

#include <QObject>
#include <QPointer>

class QNetworkAccessManager;
class QNetworkReply;
class QTextBrowser;

class BrowserPane : public QObject
{
    Q_OBJECT

public:
    explicit BrowserPane(QTextBrowser *browser, QObject *parent = nullptr);
    ~BrowserPane() override;

    // Shows the page at `url` (GBK unless the server says UTF-8); a failure shows why in the
    // pane. A page still on its way from an earlier call is given up. The pane's visibility does
    // not change.
    void navigate(const QString &url);

    // Gives up the page on its way, if any: the pane is about to show something else, which a
    // late answer must not replace.
    void cancel();

private:
    QTextBrowser *m_browser;
    QNetworkAccessManager *m_net = nullptr;
    QPointer<QNetworkReply> m_reply; // the page on its way
};
