#pragma once
// Everything the main window needs from outside, passed in so that tests control it all.

#include <QString>

#include <functional>

class QDialog;

namespace mz {
class Clock;
class MessageFunnel;
class UrlOpener;
class SpeechEngine;
} // namespace mz

struct Form1Environment
{
    QString folder;     // the program folder: every file of the program lives here
    QString portalBase; // news portal, e.g. "http://127.0.0.1:8086" (no trailing slash)
    QString siteUrl;    // the program's web site (Command5)
    const mz::Clock *clock = nullptr; // "today"
    mz::MessageFunnel *messages = nullptr;
    mz::UrlOpener *opener = nullptr;
    mz::SpeechEngine *speech = nullptr; // may be null: nothing is spoken
    // Shows a modal dialog and returns when it is closed. Empty: QDialog::exec(). Tests pass a
    // function that drives the dialog (sets its fields, clicks its buttons) and returns.
    std::function<void(QDialog &)> showModal;
};
