#pragma once
// Sending a headline to friends: the mail's subject and body (mailtoStr, the query part of the
// mailto: address) prepared from a headline row for the dialog form4.

#include "lists/headline.h"

#include <QObject>
#include <QString>

#include <optional>

class WindowStatus;

class ShareCommands : public QObject
{
    Q_OBJECT

public:
    explicit ShareCommands(WindowStatus &status, QObject *parent = nullptr);

    // Prepares mailtoStr from `row`. Without a row nothing is prepared, panel s1 says why and
    // the result is false.
    bool prepareMail(const std::optional<mz::HeadlineRow> &row);
    // The query part of the last prepared mail ("subject=...&body=..."), encoded.
    QString mailtoStr() const { return m_mailtoStr; }

private:
    WindowStatus &m_status;
    QString m_mailtoStr;
};
