#pragma once
// Form2: the add-keyword dialog. It proposes a text, and "添加" hands the (edited) text to the
// caller's add function. A failed add is shown in a message box and the dialog stays open with
// the text as typed, so the user can mend it; closing by the window frame (or Esc) adds nothing.

#include <QDialog>
#include <QString>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mz {
class MessageFunnel;
}

class Form2 : public QDialog
{
    Q_OBJECT

public:
    struct Outcome
    {
        bool ok = true;
        QString message; // shown when !ok
    };
    // Performs the add of a non-empty text; the dialog closes when it reports ok.
    using AddKeyword = std::function<Outcome(const QString &typed)>;

    Form2(const QString &proposal, AddKeyword add, mz::MessageFunnel *messages,
          QWidget *parent = nullptr);

    QGroupBox *Frame1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr; // the sentence on "*", below Label1
    QPushButton *Command1 = nullptr;

    // "添加": an empty text closes the dialog without adding; otherwise the text is added and
    // the dialog closes, or stays open after showing why the add failed.
    void Command1_Click();

    static QString label1Text();

private:
    AddKeyword m_add;
    mz::MessageFunnel *m_messages;
};
