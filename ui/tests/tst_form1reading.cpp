// Reading aloud from the main window: the text handed to the engine, and the spoken row that
// follows the positions the engine reports (a recording engine stands in for espeak-ng).

#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/readingaloud.h"
#include "ui/windowstatus.h"
#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"
#include "testsupport/formfixture.h"

#include <QMenu>
#include <QTest>
#include <QTreeView>

namespace {

void fill(Form1 &form, const QStringList &titles, const QStringList &ticked = {})
{
    form.lists().model1()->clear();
    for (const QString &t : titles) {
        mz::HeadlineRow r;
        r.title = t;
        r.tag = QStringLiteral("http://127.0.0.1:9/") + t;
        r.checked = ticked.contains(t);
        form.lists().model1()->append(r);
    }
}

QString currentTitle(const Form1 &form)
{
    return form.ListView1->currentIndex().data().toString();
}

QString s1(const Form1 &form)
{
    return form.status().panel(WindowStatus::Panel::S1);
}

} // namespace

class TestForm1Reading : public QObject
{
    Q_OBJECT

private slots:
    void highlightFollowsPositions_data();
    void highlightFollowsPositions();
    void secondReadReplacesFirst();
    void brokenTitleIsFollowed();
    void openMenuKeepsItsRow_data();
    void openMenuKeepsItsRow();
    void stopEndsHighlight_data();
    void stopEndsHighlight();
    void hintHighlightsNothing();
    void messageOutlastsTheCount();
};

void TestForm1Reading::highlightFollowsPositions_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<QList<int>>("positions");    // as reported by the engine
    QTest::addColumn<QStringList>("highlighted"); // the row selected after each
    QTest::addColumn<QStringList>("panels");      // panel s1 after each
    // Shown order after sorting by title: 甲 乙 丙 丁 sorts as 丁 丙 乙 甲 (code points).
    QTest::newRow("all-sorted") << false << QStringLiteral("丁 丙 乙 甲 ") << QList<int>{0, 2, 3, 6}
                                << QStringList{"丁", "丙", "丙", "甲"}
                                << QStringList{"正在朗读 1/4", "正在朗读 2/4", "正在朗读 2/4",
                                               "正在朗读 4/4"};
    QTest::newRow("ticked") << true << QStringLiteral("丙  甲  ") << QList<int>{0, 4, 1}
                            << QStringList{"丙", "甲", "丙"}
                            << QStringList{"正在朗读 1/2", "正在朗读 2/2", "正在朗读 1/2"};
}

void TestForm1Reading::highlightFollowsPositions()
{
    QFETCH(bool, ticked);
    QFETCH(QString, spoken);
    QFETCH(QList<int>, positions);
    QFETCH(QStringList, highlighted);
    QFETCH(QStringList, panels);
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form, {"甲", "乙", "丙", "丁"}, {"甲", "丙"});
    form->ListView1_ColumnClick(0);
    form->showListView(form->ListView1);

    ticked ? form->s48->trigger() : form->s47->trigger();
    QCOMPARE(f.speech.calls.last(), QStringLiteral("speak:") + spoken);
    QVERIFY(s1(*form).isEmpty());
    for (int i = 0; i < positions.size(); ++i) {
        f.speech.emitPosition(positions.at(i));
        QCOMPARE(currentTitle(*form), highlighted.at(i));
        QCOMPARE(s1(*form), panels.at(i));
    }
    f.speech.emitPosition(mz::SpeechEngine::kSpeechEnded);
    QVERIFY(s1(*form).isEmpty());
    QCOMPARE(form->reading().spokenRow(), -1);
}

// Positions belong to the latest text.
void TestForm1Reading::secondReadReplacesFirst()
{
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form, {"一号", "二号", "三号"}, {"三号"});
    form->s47_Click();
    f.speech.emitPosition(3);
    QCOMPARE(currentTitle(*form), QStringLiteral("二号"));
    form->s48_Click();
    QCOMPARE(f.speech.calls.last(), QStringLiteral("speak:三号  "));
    f.speech.emitPosition(0);
    QCOMPARE(currentTitle(*form), QStringLiteral("三号"));
    QCOMPARE(s1(*form), QStringLiteral("正在朗读 1/1"));
}

// A title broken over lines is shown on one line; the row being read is still found by it.
void TestForm1Reading::brokenTitleIsFollowed()
{
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form, {"一号\r\n续", "二号"});
    form->s47_Click();
    f.speech.emitPosition(0);
    QCOMPARE(currentTitle(*form), QStringLiteral("一号 续"));
}

void TestForm1Reading::openMenuKeepsItsRow_data()
{
    QTest::addColumn<bool>("rightClick");  // pop1 opened by a right click on 三号, else on 一号
    QTest::addColumn<int>("later");        // a position once the menu has closed
    QTest::addColumn<QString>("followed"); // the row then selected
    QTest::newRow("menu-open") << false << 6 << QStringLiteral("三号");
    QTest::newRow("right-button-held") << true << 0 << QStringLiteral("一号");
}

// While pop1 is open, or a right click that will open it is held down, the reading does not move
// the current row, so that the command chosen acts on the headline the menu was opened on; once
// the menu has closed the row follows again.
void TestForm1Reading::openMenuKeepsItsRow()
{
    QFETCH(bool, rightClick);
    QFETCH(int, later);
    QFETCH(QString, followed);
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form, {"一号", "二号", "三号"});
    form->resize(800, 600);
    form->showListView(form->ListView1);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->s47_Click();
    f.speech.emitPosition(0);
    QString chosen = QStringLiteral("一号");
    if (rightClick) {
        QWidget *viewport = form->ListView1->viewport();
        const QPoint at =
            form->ListView1->visualRect(form->ListView1->model()->index(2, 0)).center();
        QTest::mousePress(viewport, Qt::RightButton, {}, at);
        f.speech.emitPosition(3); // the engine goes on to 二号 while the button is held
        QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
        chosen = QStringLiteral("三号");
    } else {
        form->pop1->popup(form->ListView1->mapToGlobal(QPoint(20, 20)));
    }
    QTRY_VERIFY(form->pop1->isVisible());

    f.speech.emitPosition(3); // the engine goes on to 二号 while the menu is open
    QCOMPARE(currentTitle(*form), chosen);
    QCOMPARE(s1(*form), QStringLiteral("正在朗读 2/3"));
    form->pop1->hide();
    form->s4->trigger();
    QCOMPARE(f.opener.opened, QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1:9/") + chosen)});

    f.speech.emitPosition(later);
    QCOMPARE(currentTitle(*form), followed);
}

// After stop, or when the engine finds no sound output, a late report from the engine moves
// nothing; s1 says why nothing is heard.
void TestForm1Reading::stopEndsHighlight_data()
{
    QTest::addColumn<bool>("unheard");
    QTest::addColumn<QString>("panel");
    QTest::newRow("stopped") << false << QString();
    QTest::newRow("no-sound-output") << true << ReadingAloud::unheardText();
}
void TestForm1Reading::stopEndsHighlight()
{
    QFETCH(bool, unheard);
    QFETCH(QString, panel);
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form, {"一号", "二号"});
    form->s47_Click();
    f.speech.emitPosition(0);
    QCOMPARE(s1(*form), QStringLiteral("正在朗读 1/2"));
    if (unheard) {
        f.speech.emitPosition(mz::SpeechEngine::kSpeechUnheard);
    } else {
        form->s46_Click();
        QCOMPARE(f.speech.calls.last(), QStringLiteral("stop"));
    }
    QCOMPARE(s1(*form), panel);
    QCOMPARE(form->reading().spokenRow(), -1);
    f.speech.emitPosition(3);
    QCOMPARE(currentTitle(*form), QStringLiteral("一号"));
    QCOMPARE(s1(*form), panel);
}

// A list refilled during the reading keeps its selection; the hint selects nothing.
void TestForm1Reading::hintHighlightsNothing()
{
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form, {"一号", "二号"});
    form->s48_Click();
    QCOMPARE(f.speech.calls.last(), QStringLiteral("speak:请在新闻前面的方框里打勾"));
    f.speech.emitPosition(0);
    QVERIFY(!form->ListView1->currentIndex().isValid());
    QVERIFY(s1(*form).isEmpty());

    form->s47_Click();
    fill(*form, {"别的", "二号"});
    f.speech.emitPosition(0);
    QVERIFY(!form->ListView1->currentIndex().isValid());
}

// A message the window puts in s1 while titles are read (here the note on the favourites brought
// to the front) is not written over by the count of the next title, nor cleared when the reading
// ends; once the panel is empty again, the count comes back.
void TestForm1Reading::messageOutlastsTheCount()
{
    const QString note = QStringLiteral("收藏夹是空的：在新闻上按右键，选“收藏此新闻”。");
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form, {"一号", "二号", "三号"});
    form->s47_Click();
    f.speech.emitPosition(0);
    form->showFavorites();
    QCOMPARE(s1(*form), note);
    f.speech.emitPosition(3);
    QCOMPARE(s1(*form), note);
    form->status().setPanel(WindowStatus::Panel::S1, QString());
    f.speech.emitPosition(6);
    QCOMPARE(s1(*form), QStringLiteral("正在朗读 3/3"));
    form->showFavorites();
    f.speech.emitPosition(mz::SpeechEngine::kSpeechEnded);
    QCOMPARE(s1(*form), note);
}

QTEST_MAIN(TestForm1Reading)
#include "tst_form1reading.moc"
