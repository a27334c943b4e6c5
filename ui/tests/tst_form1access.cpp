// The main window for a keyboard and a screen reader: what the accessibility interfaces report,
// the keys that stand in for the mouse, the place the window remembers between runs and the
// lines that say why a list is empty.

#include "ui/form1.h"
#include "ui/daydownloads.h"
#include "ui/emptystates.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/pictures.h"
#include "ui/windowstatus.h"
#include "lists/headline.h"
#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"
#include "platform/textfile.h"
#include "store/optionfile.h"
#include "testsupport/accessibilityevents.h"
#include "testsupport/contrast.h"
#include "testsupport/formfixture.h"

#include <QAccessible>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

using mz::test::FormFixture;

namespace {

mz::HeadlineRow row(const QString &name)
{
    mz::HeadlineRow r;
    r.title = name;
    r.sub1 = QStringLiteral("国内");
    r.tag = QStringLiteral("http://127.0.0.1:8086/news/") + name + QStringLiteral(".shtml");
    return r;
}

void fillLists(Form1 &form)
{
    for (mz::HeadlineModel *m :
         {form.lists().model1(), form.lists().model2(), form.lists().model3()})
        for (const char *name : {"a", "b"})
            m->append(row(QLatin1String(name)));
}

// The strongest contrast of a pixel that `drawn` changed in `bare`, with what was there.
double changedContrast(const QImage &bare, const QImage &drawn)
{
    double best = 1;
    for (int y = 0; y < qMin(bare.height(), drawn.height()); ++y) {
        for (int x = 0; x < qMin(bare.width(), drawn.width()); ++x) {
            if (bare.pixel(x, y) != drawn.pixel(x, y))
                best = qMax(best,
                            mz::test::contrastRatio(drawn.pixelColor(x, y), bare.pixelColor(x, y)));
        }
    }
    return best;
}

QTreeView *listNamed(Form1 &form, const QString &name)
{
    return name == u"ListView1"   ? form.ListView1
           : name == u"ListView2" ? form.ListView2
                                  : form.ListView3;
}

// The accessible children of the window by the object they stand for.
QHash<QObject *, QAccessibleInterface *> accessibleChildren(Form1 &form)
{
    QHash<QObject *, QAccessibleInterface *> children;
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&form);
    for (int i = 0; i < window->childCount(); ++i)
        children.insert(window->child(i)->object(), window->child(i));
    return children;
}

} // namespace

class TestForm1Access : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowIsAWindowWithoutHiddenControls()
    {
        FormFixture fx;
        auto form = fx.load();
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(form.get());
        QCOMPARE(window->role(), QAccessible::Window);
        const auto children = accessibleChildren(*form);
        for (QWidget *hidden :
             std::initializer_list<QWidget *>{form->Text1, form->Command1, form->Command2,
                                              form->Command3, form->Command4, form->Command5})
            QVERIFY2(!children.contains(hidden), qPrintable(hidden->objectName()));
        // Every child the window reports knows its place among the children.
        for (int i = 0; i < window->childCount(); ++i)
            QCOMPARE(window->indexOfChild(window->child(i)), i);
    }

    void controlsHaveChineseNames_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::newRow("search-box") << "Text2"
                                    << "搜索新闻" << int(QAccessible::EditableText);
        QTest::newRow("tree") << "TreeView1"
                              << "新闻导航" << int(QAccessible::Tree);
        QTest::newRow("hot-list") << "ListView1"
                                  << "热点新闻" << int(QAccessible::Tree);
        QTest::newRow("archive-list") << "ListView2"
                                      << "所有新闻" << int(QAccessible::Tree);
        QTest::newRow("favorites-list") << "ListView3"
                                        << "收藏夹" << int(QAccessible::Tree);
        QTest::newRow("browser") << "WebBrowser1"
                                 << "网页" << int(QAccessible::StaticText);
        QTest::newRow("toolbar") << "Toolbar1"
                                 << "工具栏" << int(QAccessible::ToolBar);
        QTest::newRow("status-bar") << "StatusBar1"
                                    << "状态栏" << int(QAccessible::StatusBar);
    }
    void controlsHaveChineseNames()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, name);
        QFETCH(int, role);
        FormFixture fx;
        auto form = fx.load();
        auto *widget = form->findChild<QWidget *>(objectName);
        QVERIFY(widget);
        QAccessibleInterface *iface = accessibleChildren(*form).value(widget);
        QVERIFY2(iface, "not among the window's accessible children");
        QCOMPARE(iface->text(QAccessible::Name), name);
        if (role !=
            int(QAccessible::StaticText)) // the browser's role depends on its read-only mode
            QCOMPARE(int(iface->role()), role);
    }

    void treeHeaderAndTickBoxes()
    {
        FormFixture fx;
        auto form = fx.load();
        QCOMPARE(form->TreeView1->headerItem()->text(0), QStringLiteral("新闻导航"));

        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        fillLists(*form);
        form->showListView(form->ListView1);
        form->lists().model1()->setData(form->lists().model1()->index(1, 0), Qt::Checked,
                                        Qt::CheckStateRole);
        QAccessibleTableInterface *table =
            QAccessible::queryAccessibleInterface(form->ListView1)->tableInterface();
        QVERIFY(table);
        QAccessibleInterface *first = table->cellAt(0, 0), *second = table->cellAt(1, 0);
        QVERIFY(first && second);
        QVERIFY(first->state().checkable);
        QVERIFY(!first->state().checked);
        QVERIFY(second->state().checked);
        // The archive list has no tick boxes and does not pretend to.
        form->showListView(form->ListView2);
        QAccessibleInterface *archiveCell =
            QAccessible::queryAccessibleInterface(form->ListView2)->tableInterface()->cellAt(0, 0);
        QVERIFY(!archiveCell->state().checkable);
    }

    void enterOpensHeadline_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("commentPressed"); // the last press was in the comment column
        QTest::newRow("hot-return") << "ListView1" << int(Qt::Key_Return) << false;
        QTest::newRow("hot-return-after-comment-press")
            << "ListView1" << int(Qt::Key_Return) << true;
        QTest::newRow("archive-enter") << "ListView2" << int(Qt::Key_Enter) << false;
        QTest::newRow("favorites-return") << "ListView3" << int(Qt::Key_Return) << false;
    }
    void enterOpensHeadline()
    {
        QFETCH(QString, list);
        QFETCH(int, key);
        QFETCH(bool, commentPressed);
        FormFixture fx;
        auto form = fx.load();
        fillLists(*form);
        form->lists().setCommentColumnHit(commentPressed);
        QTreeView *view = listNamed(*form, list);
        form->showListView(view);
        view->setCurrentIndex(view->model()->index(1, 0));
        QTest::keyClick(view, Qt::Key(key));
        QCOMPARE(fx.opener.opened, QList<QUrl>{QUrl(row(QStringLiteral("b")).tag)});
    }

    // Space ticks and unticks the current row of the hot news list from any of its cells, the
    // row as sorted; the archive list has no ticks.
    void spaceTicksCurrentRow_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("column"); // the current cell's column
        QTest::addColumn<bool>("ticks");
        QTest::newRow("hot-title") << "ListView1" << 0 << true;
        QTest::newRow("hot-category") << "ListView1" << 1 << true;
        QTest::newRow("hot-comment") << "ListView1" << 2 << true;
        QTest::newRow("archive-category") << "ListView2" << 1 << false;
    }
    void spaceTicksCurrentRow()
    {
        QFETCH(QString, list);
        QFETCH(int, column);
        QFETCH(bool, ticks);
        FormFixture fx;
        auto form = fx.load();
        fillLists(*form);
        QTreeView *view = listNamed(*form, list);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->showListView(view);
        // Filled "b", "a" and sorted by title: the shown first row is the model's second.
        auto *model = qobject_cast<mz::HeadlineModel *>(
            qobject_cast<mz::HeadlineSortProxy *>(view->model())->sourceModel());
        model->clear();
        for (const char *name : {"b", "a"}) {
            mz::HeadlineRow r = row(QLatin1String(name));
            r.sub2 = QLatin1String(name);
            model->append(r);
        }
        view->model()->sort(0);
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, column)); // "a"
        const auto ticked = [&] {
            QStringList names;
            for (int i = 0; i < model->rowCount(); ++i)
                if (model->checked(i))
                    names << model->row(i).title;
            return names;
        };
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(ticked(), ticks ? QStringList{QStringLiteral("a")} : QStringList());
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(ticked(), QStringList());
    }

    // Ctrl+1..Ctrl+3 sort a list by that column, as a click on its header does; the favorites
    // are never sorted, and a digit past the last column does nothing.
    void ctrlDigitSortsByColumn_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("sortColumn"); // -1: not sorted
        QTest::newRow("hot-ctrl-1") << "ListView1" << int(Qt::Key_1) << 0;
        QTest::newRow("hot-ctrl-3") << "ListView1" << int(Qt::Key_3) << 2;
        QTest::newRow("archive-ctrl-2") << "ListView2" << int(Qt::Key_2) << 1;
        QTest::newRow("hot-ctrl-4") << "ListView1" << int(Qt::Key_4) << -1;
        QTest::newRow("favorites-ctrl-1") << "ListView3" << int(Qt::Key_1) << -1;
    }
    void ctrlDigitSortsByColumn()
    {
        QFETCH(QString, list);
        QFETCH(int, key);
        QFETCH(int, sortColumn);
        FormFixture fx;
        auto form = fx.load();
        fillLists(*form);
        QTreeView *view = listNamed(*form, list);
        form->showListView(view);
        QTest::keyClick(view, Qt::Key(key), Qt::ControlModifier);
        const auto *proxy = qobject_cast<const mz::HeadlineSortProxy *>(view->model());
        QCOMPARE(proxy ? proxy->sortColumn() : -1, sortColumn);
    }

    void menuKeysOpenMenus_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("tree-menu-key") << "TreeView1" << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("tree-shift-f10")
            << "TreeView1" << int(Qt::Key_F10) << int(Qt::ShiftModifier);
        QTest::newRow("hot-menu-key") << "ListView1" << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("archive-shift-f10")
            << "ListView2" << int(Qt::Key_F10) << int(Qt::ShiftModifier);
        QTest::newRow("favorites-menu-key")
            << "ListView3" << int(Qt::Key_Menu) << int(Qt::NoModifier);
    }
    void menuKeysOpenMenus()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        FormFixture fx;
        auto form = fx.load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        fillLists(*form);
        const bool tree = target == u"TreeView1";
        QWidget *widget = tree ? static_cast<QWidget *>(form->TreeView1) : listNamed(*form, target);
        QRect item;
        if (tree) {
            item = form->TreeView1->visualItemRect(form->TreeView1->currentItem());
        } else {
            auto *view = listNamed(*form, target);
            form->showListView(view);
            view->setCurrentIndex(view->model()->index(1, 0));
            item = view->visualRect(view->currentIndex());
        }
        QTest::keyClick(widget, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QMenu *menu = tree ? form->pop : form->pop1;
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!(tree ? form->pop1 : form->pop)->isVisible());
        // At the node or row, not wherever the pointer happens to be.
        const QPoint itemGlobal =
            static_cast<QAbstractScrollArea *>(widget)->viewport()->mapToGlobal(item.bottomLeft());
        QVERIFY((menu->pos() - itemGlobal).manhattanLength() < 3 * qMax(item.height(), 20));
        if (tree) // today's node: the day commands are on, the keyword ones off
            QVERIFY(form->s1->isEnabled() && !form->s66->isEnabled());
        menu->hide();
    }

    void ctrlFFocusesSearchAndCtrlQQuits()
    {
        FormFixture fx;
        auto form = fx.load();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->TreeView1->setFocus();
        form->Text2->setText(QStringLiteral("股票"));
        QTest::keyClick(form->TreeView1, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(form->Text2->hasFocus());
        QCOMPARE(form->Text2->selectedText(), QStringLiteral("股票"));

        QTest::keyClick(form->Text2, Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(fx.speech.calls.contains(QStringLiteral("close")));
    }

    void tabReachesEveryControl()
    {
        FormFixture fx;
        auto form = fx.load();
        form->resize(1100, 700); // wide enough for every toolbar button (the test screen is not)
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        fillLists(*form);
        form->showListView(form->ListView1);
        form->Text2->setFocus();
        QList<QWidget *> reached{form->Text2};
        for (int i = 0; i < 40 && reached.size() < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == form->Text2)
                break;
            reached << QApplication::focusWidget();
        }
        const QList<QWidget *> main{form->Text2, form->Command6, form->TreeView1, form->ListView1};
        QCOMPARE(reached.mid(0, 4), main);
        // Every toolbar button comes after the lists, and the round ends back in the search box.
        QCOMPARE(reached.size(), 4 + form->Toolbar1->actions().size());
        QCOMPARE(QApplication::focusWidget(), form->Text2);
    }

    // Hot news that arrive while the keyboard is in the list area (a list or the browser pane)
    // leave it on the hot news list: hiding the pane in front handed it to the toolbar's "热点",
    // where Space showed today's hot news in place of the day that arrived. A focus elsewhere
    // stays where it is. A menu opened on a row goes with the list: back in the list, its
    // commands would act on the new list's first row.
    void arrivingHotNewsKeepTheKeyboardInTheLists_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("menuOpen"); // pop1, opened on the list's current row
        QTest::addColumn<QString>("after");
        for (const char *pane : {"ListView1", "ListView2", "ListView3", "WebBrowser1"})
            QTest::newRow(pane) << QString::fromLatin1(pane) << false
                                << QStringLiteral("ListView1");
        QTest::newRow("menu-on-hot-news")
            << QStringLiteral("ListView1") << true << QStringLiteral("ListView1");
        QTest::newRow("menu-on-favorites")
            << QStringLiteral("ListView3") << true << QStringLiteral("ListView1");
        QTest::newRow("tree") << QStringLiteral("TreeView1") << false
                              << QStringLiteral("TreeView1");
        QTest::newRow("search-box") << QStringLiteral("Text2") << false << QStringLiteral("Text2");
    }

    void arrivingHotNewsKeepTheKeyboardInTheLists()
    {
        QFETCH(QString, before);
        QFETCH(bool, menuOpen);
        QFETCH(QString, after);
        FormFixture fx;
        auto form = fx.load();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        fillLists(*form);
        auto *focus = form->findChild<QWidget *>(before);
        QVERIFY(focus);
        if (before == u"WebBrowser1") {
            for (QTreeView *view : {form->ListView1, form->ListView2, form->ListView3})
                view->hide();
            form->WebBrowser1->show();
        } else if (auto *view = qobject_cast<QTreeView *>(focus)) {
            form->showListView(view);
        }
        focus->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), focus);
        if (menuOpen) {
            form->pop1->popup(focus->mapToGlobal(QPoint(20, 20)));
            QTRY_VERIFY(form->pop1->isVisible());
        }

        Q_EMIT form->downloads().hotNewsArrived(form->tree().today());
        QVERIFY(!form->ListView1->isHidden());
        QVERIFY(!form->pop1->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), form->findChild<QWidget *>(after));
    }

    // Tab and Shift+Tab move between the links of the browser pane (the personal front page is a
    // page of links); a screen reader reads the link that the move selected.
    void tabBetweenLinksIsRead()
    {
        FormFixture fx;
        auto form = fx.load();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->WebBrowser1->setHtml(QStringLiteral(
            "<h1>我的新闻首页</h1><ul><li><a href='http://127.0.0.1:1/a'>第一条</a> [财经]</li>"
            "<li><a href='http://127.0.0.1:1/b'>第二条</a></li></ul>"));
        form->WebBrowser1->show();
        form->WebBrowser1->setFocus();
        mz::test::AccessibilityEvents events;
        QTest::keyClick(form->WebBrowser1, Qt::Key_Tab);
        QTest::keyClick(form->WebBrowser1, Qt::Key_Tab);
        QTest::keyClick(form->WebBrowser1, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(form->WebBrowser1->textCursor().selectedText(), QStringLiteral("第一条"));
        QCOMPARE(events.selectedTexts(form->WebBrowser1),
                 (QStringList{QStringLiteral("第一条"), QStringLiteral("第二条"),
                              QStringLiteral("第一条")}));
    }

    void windowPlaceRoundTrip_data()
    {
        QTest::addColumn<QString>("stored");
        // invalid: the size of a window without a place; empty: as large as the screen allows
        QTest::addColumn<QSize>("size");
        QTest::newRow("sound") << "" << QSize(760, 560);
        QTest::newRow("damaged") << "100,100,abc,600,260" << QSize();
        // Remembered from a larger monitor: the window is made to fit the screen it opens on.
        QTest::newRow("larger-than-screen") << "0,0,3000,2000,260" << QSize(0, 0);
    }
    void windowPlaceRoundTrip()
    {
        QFETCH(QString, stored);
        QFETCH(QSize, size);
        const QString option =
            FormFixture::defaultOption() + QStringLiteral("[新闻网站]\r\nhttp://x\r\n");
        FormFixture fx(option);
        const QSize defaultSize = fx.load()->size();
        if (stored.isEmpty()) {
            auto first = fx.load();
            first->show();
            QVERIFY(QTest::qWaitForWindowExposed(first.get()));
            first->resize(size);
            first->ListView2->header()->resizeSection(2, 123);
            first->close(); // unload writes the place
        } else {
            QVERIFY(mz::writeTextFile(fx.dir.filePath(QStringLiteral("option.ini")),
                                      option + QStringLiteral("[窗口]\r\n") + stored +
                                          QStringLiteral("\r\n")));
        }
        const QString text =
            mz::readTextFile(fx.dir.filePath(QStringLiteral("option.ini"))).value_or(QString());
        QVERIFY2(text.startsWith(option), "the other sections changed");
        auto second = fx.load();
        if (size == QSize(0, 0))
            QCOMPARE(second->width(), second->screen()->availableGeometry().width());
        else
            QCOMPARE(second->size(), size.isValid() ? size : defaultSize);
        QCOMPARE(second->ListView2->header()->sectionSize(2) == 123, stored.isEmpty());
        QVERIFY(second->TreeView1->width() <= second->width() / 2);
        // With or without a place, the window opens within its screen's free area (the test
        // screen is smaller than the window's first size).
        QVERIFY(second->screen()->availableGeometry().contains(second->geometry()));
        QVERIFY(second->width() >= Form1::minimumWindowSize().width());
    }

    // On a screen scaled by 2 or 3 every picture has pixels of its own: a 32-pixel picture
    // enlarged there is blurred.
    // The tick boxes of the hot news rows (ticked or not) and the search box's hint stand out
    // from their background under a light and a dark colour scheme, whether the scheme was set
    // before the window opened or changed while it was open.
    void ticksAndSearchHintReadable_data()
    {
        QTest::addColumn<QPalette>("scheme");
        QTest::addColumn<bool>("changedWhileOpen");
        QTest::newRow("light") << QPalette() << false;
        QTest::newRow("dark") << mz::test::darkScheme() << false;
        QTest::newRow("dark-while-open") << mz::test::darkScheme() << true;
    }
    void ticksAndSearchHintReadable()
    {
        QFETCH(QPalette, scheme);
        QFETCH(bool, changedWhileOpen);
        const QPalette saved = QApplication::palette();
        if (!changedWhileOpen)
            QApplication::setPalette(scheme);
        FormFixture fx;
        auto form = fx.load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        if (changedWhileOpen)
            QApplication::setPalette(scheme);
        for (const char *name : {"a", "b", "c"})
            form->lists().model1()->append(row(QLatin1String(name)));
        form->lists().model1()->setData(form->lists().model1()->index(1, 0), Qt::Checked,
                                        Qt::CheckStateRole);
        form->showListView(form->ListView1);
        QTreeView *view = form->ListView1;
        view->selectionModel()->clear();
        QApplication::processEvents();
        const QImage rows = view->viewport()->grab().toImage();
        const QImage hinted = form->Text2->grab().toImage();
        const QString hint = form->Text2->placeholderText();
        form->Text2->setPlaceholderText(QString());
        const QImage bare = form->Text2->grab().toImage();
        form->Text2->setPlaceholderText(hint);
        const QColor base = view->palette().color(QPalette::Base);
        QApplication::setPalette(saved);

        QVERIFY(!hint.isEmpty());
        const double hintContrast = changedContrast(bare, hinted);
        QVERIFY2(hintContrast >= 3.0,
                 qPrintable(QStringLiteral("hint: contrast %1").arg(hintContrast)));
        for (int r : {0, 1, 2}) {
            QStyleOptionViewItem option;
            option.initFrom(view);
            option.rect = view->visualRect(view->model()->index(r, 0));
            option.features |= QStyleOptionViewItem::HasCheckIndicator;
            const QRect box =
                view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
            QVERIFY(!box.isEmpty());
            const double best = mz::test::strongestContrast(rows, box, base);
            QVERIFY2(best >= 3.0,
                     qPrintable(QStringLiteral("row %1: contrast %2").arg(r).arg(best)));
        }
    }

    void picturesForScaledScreens_data()
    {
        QTest::addColumn<QIcon>("icon");
        const QList<QIcon> images = mz::nodeAndCategoryPictures();
        for (qsizetype i = 1; i < images.size(); ++i) {
            if (!images.at(i).isNull())
                QTest::addRow("image-%lld", qlonglong(i)) << images.at(i);
        }
        for (const char *caption : {"热点", "收藏夹", "国内", "关于"})
            QTest::addRow("toolbar-%s", caption) << mz::toolbarPicture(QString::fromUtf8(caption));
    }
    void picturesForScaledScreens()
    {
        QFETCH(QIcon, icon);
        for (const int side : {32, 64, 96})
            QCOMPARE(icon.actualSize(QSize(side, side)), QSize(side, side));
    }

    void titleColumnTakesExtraWidth()
    {
        FormFixture fx;
        auto form = fx.load();
        form->show();
        form->showListView(form->ListView1);
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const QHeaderView *h = form->ListView1->header();
        const int title = h->sectionSize(0), address = h->sectionSize(2);
        form->resize(form->width() + 300, form->height());
        QTRY_VERIFY(h->sectionSize(0) > title + 200);
        QCOMPARE(h->sectionSize(2), address);
    }

    void emptyStatesSayWhy()
    {
        FormFixture fx;
        auto form = fx.load();
        // A screen reader reads a panel by its name: the note itself, or what the panel is for
        // while it is empty.
        const auto s1Name = [&form] {
            QAccessibleInterface *iface =
                QAccessible::queryAccessibleInterface(form->findChild<QLabel *>("s1"));
            return iface ? iface->text(QAccessible::Name) : QString();
        };
        QCOMPARE(s1Name(), QStringLiteral("状态"));
        form->s2hot_Click(); // today has no stored hot news page
        QCOMPARE(form->status().panel(WindowStatus::Panel::S1),
                 EmptyStates::hotNewsMissing(QStringLiteral("2007-3-2")));
        QCOMPARE(s1Name(), EmptyStates::hotNewsMissing(QStringLiteral("2007-3-2")));
        // The note is about the hot news list: it goes when the archive list comes to the front,
        // and comes back with the hot news.
        form->s2_Click();
        QCOMPARE(form->status().panel(WindowStatus::Panel::S1), QString());
        QCOMPARE(s1Name(), QStringLiteral("状态"));
        form->s2hot_Click();
        QCOMPARE(form->status().panel(WindowStatus::Panel::S1),
                 EmptyStates::hotNewsMissing(QStringLiteral("2007-3-2")));

        form->lists().model2()->append(row(QStringLiteral("股市上涨")));
        form->Text2->setText(QStringLiteral("足球"));
        form->Command6_Click();
        QCOMPARE(form->status().panel(WindowStatus::Panel::S1),
                 EmptyStates::noHits(QStringLiteral("足球")));
        form->showListView(form->ListView1); // the list the note is about: it stays
        QCOMPARE(form->status().panel(WindowStatus::Panel::S1),
                 EmptyStates::noHits(QStringLiteral("足球")));
        form->Text2->setText(QStringLiteral("股市"));
        form->Command6_Click();
        QCOMPARE(form->status().panel(WindowStatus::Panel::S1), QString());
    }
};

QTEST_MAIN(TestForm1Access)
#include "tst_form1access.moc"
