// Form2, the add-keyword dialog: its texts, and what each way of leaving it adds.

#include "platform/messages.h"
#include "testsupport/fontscope.h"
#include "search/keywordsearch.h"
#include "ui/dialogs/form2.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void texts()
    {
        Form2 dialog(QStringLiteral("股票+证券\r\n第二行"), {}, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("添加搜索关键词"));
        QCOMPARE(dialog.Frame1->title(), QStringLiteral("添加你的关键词"));
        QCOMPARE(
            dialog.Label1->text(),
            QStringLiteral("    在输入你的关键词时，可以使用“或”的逻辑关系，“或”用“+”代替。例如："
                           "“股票+证券”就是只要有股票或者证券两个词的任一个就可以了。"));
        QCOMPARE(dialog.Label2->text(), QString::fromUtf16(mz::kStarOperatorHelp));
        QCOMPARE(dialog.Command1->text(), QStringLiteral("添加"));
        QCOMPARE(dialog.Text2->text(), QStringLiteral("股票+证券")); // the proposal's first line
        QVERIFY(!dialog.Text2->accessibleName().isEmpty());
        QVERIFY(!dialog.Command1->accessibleName().isEmpty());
    }

    // The help texts are shown whole when the dialog opens, in the usual font and in a large one.
    void helpFitsTheFont_data()
    {
        QTest::addColumn<int>("pointSize"); // 0: the default font
        QTest::newRow("default") << 0;
        QTest::newRow("20pt") << 20;
    }
    void helpFitsTheFont()
    {
        QFETCH(int, pointSize);
        const mz::test::ApplicationFontScope scope(pointSize);
        Form2 dialog(QStringLiteral("股票"), {}, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        for (const QLabel *help : {dialog.Label1, dialog.Label2}) {
            QVERIFY2(help->height() >= help->heightForWidth(help->width()),
                     qPrintable(help->objectName() + QStringLiteral(" is cut")));
        }
        QVERIFY(dialog.Frame1->geometry().bottom() < dialog.Command1->geometry().top());
        QVERIFY(dialog.rect().contains(dialog.Command1->geometry()));
        QVERIFY(dialog.width() >= 440);
        QVERIFY(dialog.height() >= 240);
    }

    void leaving_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("addOk");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<bool>("open"); // the dialog is still shown afterwards
        QTest::addColumn<int>("result");
        const QStringList nothing;
        QTest::newRow("click-adds-and-closes")
            << QStringLiteral("油价") << "click" << true << QStringList{QStringLiteral("油价")}
            << false << int(QDialog::Accepted);
        QTest::newRow("enter-adds")
            << QStringLiteral("油价") << "enter" << true << QStringList{QStringLiteral("油价")}
            << false << int(QDialog::Accepted);
        QTest::newRow("empty-closes-adds-nothing")
            << QString() << "click" << true << nothing << false << int(QDialog::Rejected);
        QTest::newRow("failure-stays-open")
            << QStringLiteral("[x") << "click" << false << QStringList{QStringLiteral("[x")} << true
            << int(QDialog::Rejected);
        QTest::newRow("frame-close-adds-nothing") << QStringLiteral("油价") << "close" << true
                                                  << nothing << false << int(QDialog::Rejected);
        QTest::newRow("escape-adds-nothing") << QStringLiteral("油价") << "escape" << true
                                             << nothing << false << int(QDialog::Rejected);
    }
    void leaving()
    {
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(bool, addOk);
        QFETCH(QStringList, added);
        QFETCH(bool, open);
        QFETCH(int, result);
        QStringList calls;
        mz::RecordingMessages messages;
        Form2 dialog(
            QStringLiteral("提议"),
            [&](const QString &text) {
                calls << text;
                return Form2::Outcome{addOk,
                                      addOk ? QString() : QStringLiteral("关键词不能以“[”开头")};
            },
            &messages);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.Text2->setText(typed);
        if (how == QStringLiteral("click"))
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        else if (how == QStringLiteral("enter"))
            QTest::keyClick(dialog.Text2, Qt::Key_Return);
        else if (how == QStringLiteral("escape"))
            QTest::keyClick(dialog.Text2, Qt::Key_Escape);
        else
            dialog.close();

        QCOMPARE(calls, added);
        QCOMPARE(dialog.isVisible(), open);
        QCOMPARE(dialog.result(), result);
        if (open) {
            QCOMPARE(messages.messages.size(), 1);
            QCOMPARE(messages.messages.first().text, QStringLiteral("关键词不能以“[”开头"));
            QCOMPARE(messages.messages.first().title, QStringLiteral("提示"));
            QCOMPARE(dialog.Text2->text(), typed); // kept for the user to mend
        } else {
            QVERIFY(messages.messages.isEmpty());
        }
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
