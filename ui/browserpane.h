#pragma once
// The browser pane WebBrowser1: shows one page, fetched by the program itself.

#include <QObject>

class QNetworkAccessManager;
class QTextBrowser;

class BrowserPane : public QObject
{
    Q_OBJECT

public:
    explicit BrowserPane(QTextBrowser *browser, QObject *parent = nullptr);

    // Shows the page at `url` (GBK unless the server says UTF-8); a failure shows why in the
    // pane. The pane's visibility does not change.
    void navigate(const QString &url);

private:
    QTextBrowser *m_browser;
    QNetworkAccessManager *m_net = nullptr;
};
