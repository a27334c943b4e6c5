#pragma once
// The band above the status bar: one progress bar per download component instance (jfDownEX1,
// jfDownEX2 0-2, jfDownEX3), each showing the kilobytes received and, when the server announced
// a length, the percentage. A bar is empty while its instance is idle.

#include <QList>
#include <QWidget>

class QProgressBar;

namespace mz {
class DownloadComponent;
}

class TransferBars : public QWidget
{
    Q_OBJECT

public:
    struct Instance
    {
        mz::DownloadComponent *component;
        QString accessibleName; // in Chinese: what the instance downloads
    };

    explicit TransferBars(const QList<Instance> &instances, QWidget *parent = nullptr);

    int count() const { return int(m_bars.size()); }
    QProgressBar *bar(int i) const { return m_bars.at(i); }

private:
    void showProgress(int i);
    void showIdle(int i);

    QList<mz::DownloadComponent *> m_components;
    QList<QProgressBar *> m_bars;
};
