#include "ui/transferbars.h"

#include "fetch/downloadcomponent.h"
#include "fetch/pagenames.h"

#include <QHBoxLayout>
#include <QProgressBar>

TransferBars::TransferBars(const QList<Instance> &instances, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TransferBars"));
    setAccessibleName(QStringLiteral("下载进度"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(4);
    for (const Instance &instance : instances) {
        const int i = int(m_bars.size());
        auto *bar = new QProgressBar(this);
        bar->setObjectName(instance.component->objectName());
        bar->setAccessibleName(instance.accessibleName);
        bar->setRange(0, 100);
        bar->setTextVisible(true);
        bar->setAlignment(Qt::AlignCenter);
        layout->addWidget(bar, 1);
        m_bars.append(bar);
        m_components.append(instance.component);
        showIdle(i);
        using C = mz::DownloadComponent;
        connect(instance.component, &C::connecting, this, [this, i] { showProgress(i); });
        connect(instance.component, &C::progress, this, [this, i] { showProgress(i); });
        connect(instance.component, &C::transferEnded, this, [this, i] { showIdle(i); });
    }
}

// Without a length the bar stays at its start and only the text moves.
void TransferBars::showProgress(int i)
{
    const mz::DownloadComponent *c = m_components.at(i);
    QProgressBar *bar = m_bars.at(i);
    const qint64 received = c->receivedBytes();
    const qint64 total = c->totalBytes();
    bar->setValue(qMax(0, mz::progressPercent(received, total)));
    bar->setFormat(mz::progressText(received, total));
}

void TransferBars::showIdle(int i)
{
    QProgressBar *bar = m_bars.at(i);
    // No text, no fill. Not reset(): that puts the value below the range, and a screen reader
    // reads an idle bar as "-1%".
    bar->setValue(bar->minimum());
    bar->setFormat(QString());
}
