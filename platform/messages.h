#pragma once
// One funnel for every modal message box of the program. The window passes text, title and icon
// here; the program shows a real box, tests record the call and go on without blocking.

#include <QList>
#include <QString>

namespace mz {

enum class MessageIcon { None, Information, Warning, Critical };

class MessageFunnel
{
public:
    virtual ~MessageFunnel() = default;
    // Shows a modal box with an OK button and returns when it is closed.
    virtual void show(const QString &text, const QString &title, MessageIcon icon) = 0;
};

struct RecordedMessage
{
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    bool operator==(const RecordedMessage &) const = default;
};

// For tests: remembers every message in order and returns at once.
class RecordingMessages final : public MessageFunnel
{
public:
    void show(const QString &text, const QString &title, MessageIcon icon) override
    {
        messages.append({text, title, icon});
    }
    QList<RecordedMessage> messages;
};

} // namespace mz
