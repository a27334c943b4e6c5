// The three dialogs on their own: form4 hands an encoded mail to the opener and says when it
// cannot; Form3's links, colours and picture; Form5 shows flash.ini, saves it, keeps the file on
// "取消" and stays open when the file cannot be written.

#include "platform/mailto.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "store/flashini.h"
#include "testsupport/contrast.h"
#include "ui/dialogs/form3.h"
#include "ui/dialogs/form4.h"
#include "ui/dialogs/form5.h"
#include "ui/programicon.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSite = QStringLiteral("http://127.0.0.1:8086/mozhou/");

// An opener for a system where nothing can be started.
class RefusingOpener final : public mz::UrlOpener
{
public:
    bool open(const QUrl &url) override
    {
        tried.append(url);
        return false;
    }
    QList<QUrl> tried;
};

QColor colour(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

QStringList items(const QComboBox *combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void form4OpensMailAndStaysOpen()
    {
        mz::RecordingOpener opener;
        const QString query =
            mz::mailQuery(QStringLiteral("涨停&cc=x@example.org"), QStringLiteral("http://h/1"));
        form4 dialog(&opener, query, kSite);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("把此新闻发给你的好友"));
        dialog.Text1->setText(QStringLiteral("a@example.org;b@example.org"));
        dialog.Command2_Click();
        dialog.Text1->clear();
        dialog.Command2_Click();

        QCOMPARE(opener.opened.size(), 2);
        QVERIFY(
            opener.opened[0].toEncoded().startsWith("mailto:a@example.org,b@example.org?subject="));
        QVERIFY(opener.opened[1].toEncoded().startsWith("mailto:?subject="));
        QVERIFY(dialog.statusText().isEmpty());
    }

    void form4SaysWhenNoMailProgram()
    {
        RefusingOpener opener;
        form4 dialog(&opener, mz::mailQuery(QStringLiteral("t"), QStringLiteral("http://h/1")),
                     kSite);
        dialog.Command2_Click();
        QCOMPARE(opener.tried.size(), 1);
        QVERIFY(dialog.statusText().contains(QStringLiteral("邮件程序")));
    }

    void form3Links()
    {
        mz::RecordingOpener opener;
        Form3 dialog(&opener, kSite);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("关于"));
        QCOMPARE(dialog.Label1->text(), QStringLiteral("墨舟 1.3版"));
        QCOMPARE(dialog.Image1->pixmap().toImage(), mz::programPixmap(64).toImage());
        const QColor blue(0, 0, 255), red(255, 0, 0);
        for (const QLabel *link : {dialog.Label8, dialog.Label9}) {
            QVERIFY(link->font().underline());
            QCOMPARE(colour(link), blue);
        }

        QMouseEvent overMail(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.Label8, &overMail);
        QCOMPARE(colour(dialog.Label8), red);
        QCOMPARE(colour(dialog.Label9), blue);
        dialog.Label9_MouseMove();
        QCOMPARE(colour(dialog.Label8), blue);
        QCOMPARE(colour(dialog.Label9), red);
        dialog.Form_MouseMove();
        QCOMPARE(colour(dialog.Label9), blue);
        QVERIFY(dialog.Label9->font().underline());

        QTest::keyClick(dialog.Label8, Qt::Key_Return);
        // A screen reader is told the labels are links and opens one by its press action.
        QAccessibleInterface *site = QAccessible::queryAccessibleInterface(dialog.Label9);
        QVERIFY(site && site->actionInterface());
        QCOMPARE(site->role(), QAccessible::Link);
        QVERIFY(site->text(QAccessible::Description).contains(QStringLiteral("墨舟网")));
        site->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(opener.opened.size(), 2);
        QCOMPARE(opener.opened[0].scheme(), QStringLiteral("mailto"));
        QCOMPARE(opener.opened[0].path().split(u',').size(), 2);
        QCOMPARE(opener.opened[1], QUrl(kSite));

        RefusingOpener refusing;
        Form3 failing(&refusing, kSite);
        failing.Label9_Click();
        QVERIFY(failing.statusText().contains(kSite));
    }

    // Every text of the dialog, the blue link included, stands out from the dialog's background.
    void form3ReadableUnderAnyScheme_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("text");
        QTest::newRow("light") << QColor(240, 240, 240) << QColor(Qt::black);
        QTest::newRow("dark") << QColor(53, 53, 53) << QColor(Qt::white);
    }
    void form3ReadableUnderAnyScheme()
    {
        QFETCH(QColor, window);
        QFETCH(QColor, text);
        const QPalette saved = QApplication::palette();
        QPalette scheme = saved;
        scheme.setColor(QPalette::Window, window);
        scheme.setColor(QPalette::WindowText, text);
        QApplication::setPalette(scheme);
        mz::RecordingOpener opener;
        Form3 dialog(&opener, kSite);
        dialog.Form_MouseMove(); // both links blue
        const QImage shot = dialog.grab().toImage();
        QApplication::setPalette(saved);

        const QColor background = shot.pixelColor(shot.width() - 1, shot.height() - 1);
        for (const QLabel *label : {dialog.Label1, dialog.Label3, dialog.Label8, dialog.Label9}) {
            const double best = mz::test::strongestContrast(shot, label->geometry(), background);
            QVERIFY2(best >= 3.0,
                     qPrintable(label->text() + QStringLiteral(": contrast %1").arg(best)));
        }
    }

    void form5ShowsAndSaves()
    {
        QTemporaryDir dir;
        const QString path = mz::flashIniPath(dir.path());
        QVERIFY(mz::writeTextFile(path, QStringLiteral("[main]\r\nage=#\r\ngym=2\r\nsex=9\r\n"
                                                       "native=北京\r\ncar=1\r\n")));
        {
            Form5 dialog(dir.path());
            QCOMPARE(dialog.windowTitle(), QStringLiteral("生成首页选项"));
            const QStringList places =
                QStringLiteral(
                    "安徽,北京,重庆,福建,甘肃,广东,广西,贵州,海南,河北,黑龙江,河南,香港,湖北,湖南,"
                    "江苏,江西,吉林,辽宁,澳门,内蒙古,宁夏,青海,山东,上海,山西,陕西,四川,台湾,天津,"
                    "新疆,西藏,云南,浙江,海外")
                    .split(u',');
            QCOMPARE(items(dialog.Combo1), places);
            QCOMPARE(items(dialog.Combo2), places);
            QCOMPARE(dialog.frame(mz::FlashGroup::Car)->title(), QStringLiteral("是否会架车:"));
            QCOMPARE(dialog.Option12.size(), 2);
            QCOMPARE(dialog.Option7.last()->text(), QStringLiteral("无小孩"));

            // age "#" hides nothing valid; the out-of-range sex selects nothing.
            QVERIFY(dialog.Option3[2]->isChecked());
            QVERIFY(dialog.Option12[1]->isChecked());
            for (const QRadioButton *b : dialog.Option1 + dialog.Option2)
                QVERIFY(!b->isChecked());
            QCOMPARE(dialog.Combo1->currentText(), QStringLiteral("北京"));
            QCOMPARE(dialog.Combo2->currentIndex(), -1);

            dialog.Option1[3]->setChecked(true);
            dialog.Option2[1]->setChecked(true);
            dialog.Option12[0]->setChecked(true);
            dialog.Combo2->setCurrentIndex(dialog.Combo2->findText(QStringLiteral("海外")));
            dialog.Command1_Click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(mz::readTextFile(path).value_or(QString()),
                 QStringLiteral("[main]\r\nage=3\r\ngym=2\r\nsex=1\r\nnative=北京\r\ncar=0\r\n"
                                "live=海外\r\n"));

        // Reopened: the saved answers are shown.
        Form5 again(dir.path());
        QVERIFY(again.Option1[3]->isChecked());
        QVERIFY(again.Option2[1]->isChecked());
        QCOMPARE(again.Combo2->currentText(), QStringLiteral("海外"));
    }

    // flash.ini edited (or replaced by a sync tool) while the dialog is open: "确定" put the
    // dialog's older copy of every answer back over the edit. Now only what the user changed in
    // the dialog goes in; a file deleted meanwhile gets the answers the dialog shows.
    void form5KeepsAnswersChangedBehindItsBack_data()
    {
        QTest::addColumn<QString>("meanwhile"); // flash.ini as written while the dialog is open
        QTest::addColumn<QString>("expected");
        QTest::newRow("edited-other-answers")
            << "[main]\r\nage=1\r\ngym=0\r\nnative=上海\r\ncar=1\r\n"
            << "[main]\r\nage=3\r\ngym=0\r\nnative=上海\r\ncar=1\r\nsex=1\r\nlive=请选择\r\n";
        QTest::newRow("edited-same-answer")
            << "[main]\r\nage=5\r\ngym=2\r\nnative=北京\r\ncar=1\r\n"
            << "[main]\r\nage=3\r\ngym=2\r\nnative=北京\r\ncar=1\r\nsex=1\r\nlive=请选择\r\n";
        QTest::newRow("deleted") << QString()
                                 << "[main]\r\nage=3\r\ngym=2\r\nsex=1\r\ncar=1\r\n"
                                    "native=北京\r\nlive=请选择\r\n";
    }

    void form5KeepsAnswersChangedBehindItsBack()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = mz::flashIniPath(dir.path());
        QVERIFY(mz::writeTextFile(
            path, QStringLiteral("[main]\r\nage=1\r\ngym=2\r\nnative=北京\r\ncar=1\r\n")));
        Form5 dialog(dir.path());
        dialog.Option1[3]->setChecked(true); // age, also changed in the file in one row
        dialog.Option2[1]->setChecked(true); // sex, in no file
        if (meanwhile.isNull())
            QVERIFY(QFile::remove(path));
        else
            QVERIFY(mz::writeTextFile(path, meanwhile));
        dialog.Command1_Click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(mz::readTextFile(path).value_or(QString()), expected);
    }

    // Tab enters each question on its saved answer (on the first option when there is none), so
    // that a screen reader announces the answer and Space cannot replace it unseen. It entered on
    // the first option, which read "一点不 未选中" over a saved "非常关心".
    void form5TabStopsOnSavedAnswers()
    {
        QTemporaryDir dir;
        QVERIFY(mz::writeTextFile(mz::flashIniPath(dir.path()),
                                  QStringLiteral("[main]\r\nage=#\r\ngym=2\r\ncar=1\r\n")));
        Form5 dialog(dir.path());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.Option7[0]->setFocus(); // the question before "是否关心体育:"
        QTest::keyClick(dialog.Option7[0], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog.Option3[2]);
        QTest::keyClick(dialog.Option3[2], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog.Option4[0]); // unanswered
        dialog.Combo2->setFocus();
        QTest::keyClick(dialog.Combo2, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog.Option12[1]);
    }

    void form5StaysOpenWhenSaveFails()
    {
        QTemporaryDir dir;
        // The program folder is a plain file: flash.ini cannot be created.
        const QString folder = dir.filePath(QStringLiteral("file"));
        QVERIFY(mz::writeTextFile(folder, QStringLiteral("x")));
        Form5 dialog(folder);
        dialog.show();
        dialog.Option1[2]->setChecked(true);
        dialog.Command1_Click();
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.statusText().contains(QStringLiteral("未能保存")));
        QVERIFY(dialog.Option1[2]->isChecked());
    }

    // Fourteen questions in two columns are wider than a small screen (1024 px, or 1280 px at
    // 150 %): "取消" and the last options were beyond its edge. The dialog fits the screen and
    // every control comes into view when it takes the focus.
    void form5FitsOnScreen()
    {
        QTemporaryDir dir;
        Form5 dialog(dir.path());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect free = dialog.screen()->availableGeometry();
        // As large as the screen allows (a window that is not sized gets two thirds of it).
        QVERIFY(dialog.width() > free.width() * 3 / 4);
        QVERIFY2(dialog.width() <= free.width() && dialog.height() <= free.height(),
                 qPrintable(QStringLiteral("%1x%2 on %3x%4")
                                .arg(dialog.width())
                                .arg(dialog.height())
                                .arg(free.width())
                                .arg(free.height())));
        for (QWidget *w : dialog.findChildren<QWidget *>()) {
            if (!(w->focusPolicy() & Qt::ClickFocus) || !w->isVisibleTo(&dialog))
                continue;
            w->setFocus();
            QCoreApplication::processEvents();
            const QRect at(w->mapTo(&dialog, QPoint(0, 0)), w->size());
            QVERIFY2(dialog.rect().contains(at), qPrintable(w->accessibleName()));
        }
    }

    void everyControlHasAName()
    {
        QTemporaryDir dir;
        mz::RecordingOpener opener;
        form4 f4(&opener, QString(), kSite);
        Form3 f3(&opener, kSite);
        Form5 f5(dir.path());
        for (QWidget *dialog : std::initializer_list<QWidget *>{&f4, &f3, &f5}) {
            for (QWidget *w : dialog->findChildren<QWidget *>()) {
                if (w->focusPolicy() & Qt::TabFocus)
                    QVERIFY2(
                        !w->accessibleName().isEmpty(),
                        qPrintable(dialog->objectName() + u' ' + w->metaObject()->className()));
            }
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
