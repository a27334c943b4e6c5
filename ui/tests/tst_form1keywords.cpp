// The keyword and favourites commands of the main window on real files: the tree, option.ini,
// favorite.ini, the add-keyword dialog driven through the modal seam, and the hit counts.

#include "lists/headlinemodel.h"
#include "portal/pagegenerator.h"
#include "store/favorites.h"
#include "testsupport/formfixture.h"
#include "testsupport/writelimit.h"
#include "ui/dialogs/form2.h"
#include "ui/headlinelists.h"
#include "ui/keywordcommands.h"
#include "ui/keywordcountdelegate.h"
#include "ui/navigationtree.h"
#include "ui/widgetmessages.h"
#include "ui/windowstatus.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

using mz::test::crlf;

namespace {

// Keywords k21 甲, k22 乙+丙, k23 (empty), k24 甲; categories follow (k35 国内).
const QString kOption = crlf(QStringLiteral(
    "[旧新闻存放天数]\n1天\n[你的关键词]\n甲\n乙+丙\n\n甲\n[分类]\n国内\n[新闻网站]\nhttp://x\n"));

mz::HeadlineRow headline(const QString &title, const QString &tag = QStringLiteral("http://a/1"))
{
    mz::HeadlineRow r;
    r.title = title;
    r.tag = tag;
    return r;
}

struct Fixture : mz::test::FormFixture
{
    Fixture() : FormFixture(kOption) {}

    QString option() const
    {
        return mz::readTextFile(dir.filePath(QStringLiteral("option.ini"))).value_or(QString());
    }
    QStringList keywordTexts() const
    {
        QStringList texts;
        for (QTreeWidgetItem *node : form->tree().keywordNodes())
            texts << node->text(0);
        return texts;
    }
    void select(const QString &key)
    {
        form->TreeView1->setCurrentItem(form->tree().nodeByKey(key));
    }
    QString s1() const { return form->status().panel(WindowStatus::Panel::S1); }

    std::unique_ptr<Form1> form;
};

// A file with one keyword line changed: `from` (a whole keyword line) becomes `to` lines.
QString optionWith(const QString &from, const QString &to)
{
    QString text = kOption;
    const QString line = QStringLiteral("\r\n") + from + QStringLiteral("\r\n");
    return text.replace(text.indexOf(line), line.size(),
                        QStringLiteral("\r\n") + to + QStringLiteral("\r\n"));
}

} // namespace

class TestForm1Keywords : public QObject
{
    Q_OBJECT

private slots:
    void add_data();
    void add();
    void renameAndDelete_data();
    void renameAndDelete();
    void rightPressSelectsWithoutClick();
    void favorites();
    void favoritesWithoutRowOrFile();
    void failureNoteGoesOnSuccess_data();
    void failureNoteGoesOnSuccess();
    void countsFollowArchiveList();
    void renameTypedWhileCountsChange_data();
    void renameTypedWhileCountsChange();
};

void TestForm1Keywords::add_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("typed"); // null: the dialog is closed by its frame
    QTest::addColumn<QString>("added"); // empty: nothing is added
    QTest::addColumn<QString>("message");
    QTest::newRow("clipboard-first-line") << "s6"
                                          << "股票+证券"
                                          << "股票+证券"
                                          << "股票+证券"
                                          << "";
    QTest::newRow("headline-edited") << "s7"
                                     << "头条新闻"
                                     << "头条"
                                     << "头条"
                                     << "";
    QTest::newRow("closed-by-frame") << "s6"
                                     << "股票+证券" << QString() << ""
                                     << "";
    // Pasted after the line end of the line before it: the box shows a blank in front.
    QTest::newRow("pasted-with-line-end-first") << "s6"
                                                << "股票+证券"
                                                << "\r\n油价"
                                                << "油价"
                                                << "";
    QTest::newRow("empty-text") << "s6"
                                << "股票+证券"
                                << ""
                                << ""
                                << "";
    QTest::newRow("bracket-refused") << "s6"
                                     << "股票+证券"
                                     << "[分类]"
                                     << ""
                                     << "refused";
    QTest::newRow("write-fails") << "s6"
                                 << "股票+证券"
                                 << "新词"
                                 << ""
                                 << "failed";
}

void TestForm1Keywords::add()
{
    QFETCH(QString, command);
    QFETCH(QString, proposed);
    QFETCH(QString, typed);
    QFETCH(QString, added);
    QFETCH(QString, message);
    Fixture f;
    QString seen;
    std::unique_ptr<mz::test::WriteLimit> limit;
    f.env.showModal = [&](QDialog &dialog) {
        auto &form2 = static_cast<Form2 &>(dialog);
        seen = form2.Text2->text();
        if (typed.isNull())
            return dialog.reject();
        form2.Text2->setText(typed);
        if (message == u"failed")
            limit = std::make_unique<mz::test::WriteLimit>(10);
        form2.Command1->click();
        limit.reset();
    };
    f.form = f.load();
    QGuiApplication::clipboard()->setText(proposed + QStringLiteral("\r\n第二行"));
    f.form->lists().model1()->append(headline(proposed));
    f.form->ListView1->setCurrentIndex(f.form->ListView1->model()->index(0, 0));
    const int nn = f.form->tree().nn();

    (command == u"s6" ? f.form->s6 : f.form->s7)->trigger();

    QCOMPARE(seen, proposed); // the clipboard's first line, or the row's title
    QCOMPARE(f.messages.messages.size(), message.isEmpty() ? 0 : 1);
    QStringList keywords{QStringLiteral("甲"), QStringLiteral("乙+丙"), QString(),
                         QStringLiteral("甲")};
    if (added.isEmpty()) {
        QCOMPARE(f.option(), kOption);
        QCOMPARE(f.form->tree().nn(), nn);
    } else {
        QCOMPARE(f.option(), optionWith(QStringLiteral("[你的关键词]"),
                                        QStringLiteral("[你的关键词]\r\n") + added));
        QCOMPARE(f.form->tree().nn(), nn + 1);
        QTreeWidgetItem *node = f.form->tree().keywordNodes().last();
        QCOMPARE(NavigationTree::nodeKey(node), QStringLiteral("k2") + QString::number(nn + 1));
        QCOMPARE(NavigationTree::nodeImage(node), 3);
        keywords << added;
    }
    QCOMPARE(f.keywordTexts(), keywords);
}

void TestForm1Keywords::renameAndDelete_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("writeFails");
    QTest::addColumn<QStringList>("keywords");
    QTest::addColumn<QString>("option");
    const QString a = QStringLiteral("甲"), bc = QStringLiteral("乙+丙");
    QTest::newRow("rename") << "k22"
                            << "s66"
                            << "丁" << false << QStringList{a, "丁", "", a} << optionWith(bc, "丁");
    QTest::newRow("rename-empty-keyword")
        << "k23"
        << "s66"
        << "戊" << false << QStringList{a, bc, "戊", a} << optionWith("", "戊");
    QTest::newRow("rename-pasted-with-line-end-first")
        << "k22"
        << "s66"
        << "\r\n丁" << false << QStringList{a, "丁", "", a} << optionWith(bc, "丁");
    QTest::newRow("rename-bracket-reverts")
        << "k22"
        << "s66"
        << "[分类]" << false << QStringList{a, bc, "", a} << kOption;
    QTest::newRow("rename-write-fails-reverts")
        << "k22"
        << "s66"
        << "丁" << true << QStringList{a, bc, "", a} << kOption;
    QTest::newRow("rename-root-ignored") << "k4"
                                         << "s66"
                                         << "x" << false << QStringList{a, bc, "", a} << kOption;
    QTest::newRow("delete-first-of-two")
        << "k24"
        << "s666"
        << "" << false << QStringList{a, bc, ""} << optionWith(a + "\r\n" + bc, bc);
    QTest::newRow("delete-empty-keyword")
        << "k23"
        << "s666"
        << "" << false << QStringList{a, bc, a} << optionWith(bc + "\r\n", bc);
    QTest::newRow("delete-write-fails") << "k22"
                                        << "s666"
                                        << "" << true << QStringList{a, bc, "", a} << kOption;
    QTest::newRow("delete-root-ignored") << "k4"
                                         << "s666"
                                         << "" << false << QStringList{a, bc, "", a} << kOption;
}

void TestForm1Keywords::renameAndDelete()
{
    QFETCH(QString, key);
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(bool, writeFails);
    QFETCH(QStringList, keywords);
    QFETCH(QString, option);
    Fixture f;
    f.form = f.load();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    f.select(key);
    std::unique_ptr<mz::test::WriteLimit> limit;
    if (command == u"s666") {
        if (writeFails)
            limit = std::make_unique<mz::test::WriteLimit>(10);
        f.form->s666->trigger();
    } else {
        f.form->s66->trigger();
        auto *editor = f.form->TreeView1->findChild<QLineEdit *>();
        QCOMPARE(bool(editor), key != u"k4");
        if (editor) {
            QCOMPARE(editor->accessibleName(), QStringLiteral("修改关键词"));
            editor->setText(typed);
            if (writeFails)
                limit = std::make_unique<mz::test::WriteLimit>(10);
            const QPointer<QLineEdit> open(editor);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(!open); // the delegate commits and closes after the key
        }
    }
    limit.reset();
    QCOMPARE(f.keywordTexts(), keywords);
    QCOMPARE(f.option(), option);
    QCOMPARE(f.s1().isEmpty(), f.option() != kOption || key == u"k4");
    QVERIFY(f.form->tree().nodeByKey(QStringLiteral("k4")));
    QVERIFY(f.form->tree().selectedNode());
}

void TestForm1Keywords::rightPressSelectsWithoutClick()
{
    Fixture f;
    f.form = f.load();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QTreeWidget *tree = f.form->TreeView1;
    mz::HeadlineRow domestic = headline(QStringLiteral("国内要闻"));
    domestic.sub1 = QStringLiteral("国内");
    f.form->lists().model2()->append(domestic);
    f.form->tree().nodeByKey("k3")->setExpanded(true);
    const QPoint category = tree->visualItemRect(f.form->tree().nodeByKey("k35")).center();
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, category);
    QCOMPARE(f.form->tree().selectedKey(), QStringLiteral("k35"));
    QCOMPARE(f.form->lists().model1()->rowCount(), 0); // no category search ran
    QVERIFY(f.form->status().panel(WindowStatus::Panel::S2).isEmpty());
    QTRY_VERIFY(f.form->pop->isVisible());
    QVERIFY(f.form->s8->isEnabled() && !f.form->s666->isEnabled()); // the states of k35
    f.form->pop->close();

    const QPoint blank(5, tree->viewport()->height() - 3);
    QVERIFY(!tree->itemAt(blank));
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, blank);
    QCOMPARE(f.form->tree().selectedKey(), QStringLiteral("k35"));
    f.form->pop->close();

    QTest::keyClick(tree, Qt::Key_Menu);
    QTRY_VERIFY(f.form->pop->isVisible());
    f.form->pop->close();
}

void TestForm1Keywords::favorites()
{
    Fixture f;
    f.form = f.load();
    const QString path = mz::favoritesPath(f.dir.path());
    mz::HeadlineModel *archive = f.form->lists().model2();
    archive->append({headline("甲", "http://a/1"), headline("a=b", "http://a/2"),
                     headline("[x]", "http://a/3"), headline("A=B", "http://a/4")});
    f.form->showListView(f.form->ListView2);
    for (int row : {0, 1, 2, 0, 3}) { // the same title again, then a title that differs in case
        f.form->ListView2->setCurrentIndex(f.form->ListView2->model()->index(row, 0));
        f.form->shouc1->trigger();
    }
    QCOMPARE(mz::readFileBytes(path).value_or(QByteArray()),
             mz::encodeAnsi(crlf("[main]\n甲=http://a/1\nA＝B=http://a/4\n［x]=http://a/3\n")));

    QAction *favoritesButton = nullptr;
    for (QAction *a : f.form->Toolbar1->actions())
        favoritesButton = a->data().toString() == u"button21" ? a : favoritesButton;
    QVERIFY(favoritesButton);
    favoritesButton->trigger();
    QTreeView *view = f.form->ListView3;
    QVERIFY(!view->isHidden() && f.form->ListView2->isHidden());
    QCOMPARE(view->model()->rowCount(), 3);
    view->setCurrentIndex(view->model()->index(1, 0));
    f.form->shouc1del->trigger();
    QCOMPARE(view->model()->rowCount(), 2);
    QCOMPARE(f.form->lists().model3()->row(1).title, QStringLiteral("［x]"));
    QCOMPARE(mz::readFileBytes(path).value_or(QByteArray()),
             mz::encodeAnsi(crlf("[main]\n甲=http://a/1\n\n［x]=http://a/3\n")));
    // The keyboard stays on a row: the one that took the removed one's place, or the one
    // before when the last went.
    QCOMPARE(view->currentIndex().row(), 1);
    f.form->shouc1del->trigger();
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(view->currentIndex().row(), 0);
}

void TestForm1Keywords::favoritesWithoutRowOrFile()
{
    Fixture f;
    f.form = f.load();
    const QString path = mz::favoritesPath(f.dir.path());
    f.form->lists().model1()->append(headline("甲"));
    f.form->showListView(f.form->ListView1);
    f.form->shouc1->trigger(); // no selected row
    f.form->showFavorites();   // no file: an empty view, nothing created
    QVERIFY(!QFile::exists(path));
    QVERIFY(!f.form->ListView3->isHidden());
    QCOMPARE(f.form->ListView3->model()->rowCount(), 0);

    QVERIFY(mz::writeTextFile(path, crlf("[main]\n甲=http://a/1")));
    f.form->showFavorites(); // a last line without a line end is read
    QCOMPARE(f.form->ListView3->model()->rowCount(), 1);
    f.form->shouc1del->trigger(); // no selected row
    f.form->showListView(f.form->ListView1);
    f.form->ListView3->setCurrentIndex(f.form->ListView3->model()->index(0, 0));
    f.form->shouc1del->trigger(); // the favourites view is hidden
    QCOMPARE(mz::readTextFile(path).value_or(QString()), crlf("[main]\n甲=http://a/1"));
}

void TestForm1Keywords::failureNoteGoesOnSuccess_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("stored-after-refusal") << QStringLiteral("store");
    QTest::newRow("removed-after-one-gone") << QStringLiteral("remove");
    QTest::newRow("shown-after-unreadable") << QStringLiteral("show");
}

// A failed favourite command leaves its note in panel s1; the next one that succeeds takes it
// away, so the note does not speak of the favourite just stored, removed or shown.
void TestForm1Keywords::failureNoteGoesOnSuccess()
{
    QFETCH(QString, command);
    Fixture f;
    f.form = f.load();
    const QString path = mz::favoritesPath(f.dir.path());
    const auto note = [&] { return f.form->status().panel(WindowStatus::Panel::S1); };
    QTreeView *view = f.form->ListView3;
    if (command == u"store") {
        f.form->lists().model2()->append({headline(QStringLiteral(" \n ")), headline("乙")});
        f.form->showListView(f.form->ListView2);
        for (int row : {0, 1}) {
            f.form->ListView2->setCurrentIndex(f.form->ListView2->model()->index(row, 0));
            f.form->shouc1->trigger();
            if (row == 0)
                QCOMPARE(note(), QStringLiteral("这条新闻没有标题，无法收藏。"));
        }
        QCOMPARE(mz::readTextFile(path).value_or(QString()), crlf("[main]\n乙=http://a/1\n"));
    } else if (command == u"remove") {
        QVERIFY(mz::writeTextFile(path, crlf("[main]\n甲=http://a/1\n乙=http://a/2\n")));
        f.form->showFavorites();
        QVERIFY(mz::writeTextFile(path, crlf("[main]\n\n乙=http://a/2\n"))); // edited by hand
        view->setCurrentIndex(view->model()->index(0, 0));
        f.form->shouc1del->trigger();
        QCOMPARE(note(), QStringLiteral("收藏夹中已没有这条新闻。"));
        view->setCurrentIndex(view->model()->index(0, 0));
        f.form->shouc1del->trigger();
        QCOMPARE(mz::readTextFile(path).value_or(QString()), crlf("[main]\n\n\n"));
    } else {
        QVERIFY(QDir().mkdir(path)); // cannot be read as a file
        f.form->showFavorites();
        QVERIFY(note().startsWith(QStringLiteral("无法读取收藏夹文件")));
        QVERIFY(QDir().rmdir(path));
        QVERIFY(mz::writeTextFile(path, crlf("[main]\n甲=http://a/1\n")));
        f.form->showFavorites();
        QCOMPARE(view->model()->rowCount(), 1);
    }
    QCOMPARE(note(), QString());
}

void TestForm1Keywords::countsFollowArchiveList()
{
    Fixture f;
    f.form = f.load();
    auto count = [&](const QString &key) {
        return f.form->tree().nodeByKey(key)->data(0, mz::kKeywordCountRole);
    };
    const QString page = f.dir.filePath(QStringLiteral("archive.shtml"));
    QVERIFY(mz::writeFileBytes(
        page, mz::PortalGenerator("http://127.0.0.1:9").archivePage(QDate(2007, 3, 2), 50)));
    f.form->list(page);
    QVERIFY(count("k21").isValid() && count("k22").isValid());
    QCOMPARE(f.form->tree().nodeByKey("k21")->text(0),
             QStringLiteral("甲")); // drawn, not in the text

    f.form->lists().model2()->clear();
    QVERIFY(!count("k21").isValid());
    f.form->lists().model2()->append({headline("甲乙"), headline("丙"), headline("丁")});
    Q_EMIT f.form->lists().archiveListed();
    QCOMPARE(count("k21").toInt(), 1);
    QCOMPARE(count("k22").toInt(), 2);
    QCOMPARE(count("k23").toInt(), 3); // the empty keyword finds every non-empty title

    f.env.showModal = {};
    f.form->keywords().add(QStringLiteral("丁+甲"));
    QCOMPARE(f.form->tree().keywordNodes().last()->data(0, mz::kKeywordCountRole).toInt(), 2);
}

void TestForm1Keywords::renameTypedWhileCountsChange_data()
{
    QTest::addColumn<bool>("messageBox");
    QTest::newRow("counts-change") << false;
    QTest::newRow("message-box-opens") << true;
}

// The archive list completing (or being emptied) while a keyword is renamed draws new counts
// beside the nodes, and a message box that the program opens by itself (a download completed)
// takes the window's activation; the editor stays open with the text typed so far, which is
// what gets stored when the user ends the rename.
void TestForm1Keywords::renameTypedWhileCountsChange()
{
    QFETCH(bool, messageBox);
    Fixture f;
    f.form = f.load();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    f.select(QStringLiteral("k22"));
    f.form->s66->trigger();
    auto *editor = f.form->TreeView1->findChild<QLineEdit *>();
    QVERIFY(editor);
    const QPointer<QLineEdit> open(editor);
    editor->setText(QStringLiteral("丁"));
    if (messageBox) {
        QTRY_VERIFY(editor->hasFocus());
        const auto box = mz::makeMessageBox(QMessageBox::NoIcon, QStringLiteral("提示"),
                                            QStringLiteral("下载完成。"), f.form.get());
        bool boxActive = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, box.get(), [&] {
            boxActive = QApplication::activeWindow() == box.get();
            if (boxActive)
                box->accept();
        });
        poll.start(20);
        QTimer::singleShot(10000, box.get(), &QDialog::reject); // a box that never got active
        box->exec();
        QVERIFY(boxActive);
        QVERIFY(open);
        f.form->activateWindow(); // as the desktop does when the box has gone
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QTRY_VERIFY(editor->hasFocus());
    } else {
        f.form->lists().model2()->append({headline("乙丙"), headline("丁")});
        Q_EMIT f.form->lists().archiveListed();
        f.form->lists().model2()->clear();
    }
    QCOMPARE(editor->text(), QStringLiteral("丁"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!open);
    QCOMPARE(f.keywordTexts(), (QStringList{QStringLiteral("甲"), QStringLiteral("丁"), QString(),
                                            QStringLiteral("甲")}));
    QCOMPARE(f.option(), optionWith(QStringLiteral("乙+丙"), QStringLiteral("丁")));
}

QTEST_MAIN(TestForm1Keywords)
#include "tst_form1keywords.moc"
