#include "app/form1.h"

#include "app/days.h"
#include "app/layout.h"
#include "app/optionfile.h"
#include "app/treerules.h"
#include "app/pictures.h"
#include "lists/headlinemodel.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/textfile.h"
#include "speech/speechengine.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;

struct ToolbarButton
{
    const char *key;
    const char16_t *caption;
    const char16_t *tooltip;
};

// The toolbar's 21 buttons in order; the 生活 button has no key.
constexpr ToolbarButton kToolbarButtons[] = {
    {"button0", u"热点", u"热点新闻"},    {"button1", u"国际", u"国际新闻"},
    {"button2", u"国内", u"国内新闻"},    {"button3", u"科技", u"科技新闻"},
    {"button4", u"财经", u"财经新闻"},    {"button5", u"汽车", u"汽车新闻"},
    {"button6", u"社会", u"社会新闻"},    {"button7", u"军事", u"军事新闻"},
    {"button8", u"体育", u"体育新闻"},    {"button9", u"教育", u"教育新闻"},
    {"button10", u"影音", u"影音新闻"},   {"button11", u"房产", u"房产新闻"},
    {"", u"生活", u"生活新闻"},           {"button13", u"文教", u"文教新闻"},
    {"button14", u"少儿", u"少儿新闻"},   {"button15", u"综合", u"综合新闻"},
    {"button16", u"文学", u"文学"},       {"button17", u"文化", u"文化"},
    {"button18", u"青少", u"青少"},       {"button21", u"收藏夹", u"新闻收藏夹"},
    {"button20", u"关于", u"关于软件"},
};

QString str(const char16_t *s)
{
    return QString::fromUtf16(s);
}

} // namespace

Form1::Form1(const Form1Environment &env, QWidget *parent) : QWidget(parent), m_env(env)
{
    setWindowTitle(QStringLiteral("墨舟1.3版"));
    resize(1024, 700);
    createImageLists();
    createControls();
    createMenus();
    createToolbar();
    setupListViews();
    setupDownloads();
    setupSearch();
    setupOpening();
    setupArticles();
    setupSpeech();
}

Form1::~Form1() = default;

// ---- construction -------------------------------------------------------------------------

void Form1::createImageLists()
{
    ImageList1 = mz::nodeAndCategoryPictures();
    for (const auto &b : kToolbarButtons)
        ImageList2 << mz::toolbarPicture(str(b.caption));
}

void Form1::createControls()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize({24, 24});
    Toolbar1->setMovable(false);

    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(0, 0, 200, 25);
    Command6 = new QPushButton(QStringLiteral("搜索新闻"), this);
    Command6->setObjectName(QStringLiteral("Command6"));
    Command6->setGeometry(0, 0, 65, 25);
    connect(Text2, &QLineEdit::returnPressed, Command6, &QPushButton::click);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setGeometry(0, 0, 265, 400);
    TreeView1->viewport()->installEventFilter(this);
    connect(TreeView1, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { TreeView1_NodeClick(item); });
    // The commands act on the selected node, so one stays selected: a click on the blank area
    // or a Ctrl+click that would leave none selects the previous node again.
    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (QTreeWidgetItem *node = selectedNode()) {
            m_lastSelectedKey = nodeKey(node);
            return;
        }
        QTreeWidgetItem *previous = nodeByKey(m_lastSelectedKey);
        if (!previous)
            previous = nodeByKey(todayKey);
        if (previous) {
            const QSignalBlocker blocker(TreeView1);
            TreeView1->setCurrentItem(previous);
            previous->setSelected(true);
        }
    });

    auto makeList = [this](const char *name) {
        auto *view = new QTreeView(this);
        view->setObjectName(QString::fromLatin1(name));
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);
        view->setAllColumnsShowFocus(true);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->hide();
        return view;
    };
    ListView1 = makeList("ListView1");
    ListView2 = makeList("ListView2");
    ListView3 = makeList("ListView3");
    WebBrowser1 = new QTextBrowser(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setOpenLinks(false);
    WebBrowser1->hide();
    WebBrowser1->lower();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    m_panelS1 = new QLabel(StatusBar1);
    m_panelS1->setObjectName(QStringLiteral("s1"));
    m_panelS2 = new QLabel(StatusBar1);
    m_panelS2->setObjectName(QStringLiteral("s2"));
    StatusBar1->addWidget(m_panelS1, 1);
    StatusBar1->addWidget(m_panelS2, 1);

    // Controls that the window carries without showing them: Text1 is the speech engine's owner
    // and Command3's query; Command1 ... Command5 are reached through menus and timers.
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->hide();
    auto makeButton = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->hide();
        return b;
    };
    Command1 = makeButton("Command1", QStringLiteral("Command1"));
    Command2 = makeButton("Command2", QStringLiteral("Command2"));
    Command3 = makeButton("Command3", QStringLiteral("Command3"));
    Command4 = makeButton("Command4", QStringLiteral("Command4"));
    Command5 = makeButton("Command5", QStringLiteral("Command5"));
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);

    auto makeTimer = [this](const char *name, int interval) {
        auto *t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        return t;
    };
    Timer1 = makeTimer("Timer1", 500); // started when the window has loaded
    Timer2 = makeTimer("Timer2", 100);
    Timer3 = makeTimer("Timer3", 1200);
    Timer4 = makeTimer("Timer4", 500);
}

void Form1::createMenus()
{
    pop = new QMenu(this);
    pop->setObjectName(QStringLiteral("pop"));
    auto item = [this](QMenu *menu, QAction *&action, const char *name, const char16_t *caption) {
        action = menu->addAction(str(caption));
        action->setObjectName(QString::fromLatin1(name));
    };
    auto separator = [](QMenu *menu, QAction *&action, const char *name) {
        action = menu->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
    };
    item(pop, s1hot, "s1hot", u"下载当日热点新闻");
    item(pop, s1, "s1", u"下载当日所有新闻");
    separator(pop, q1, "q1");
    item(pop, s2hot, "s2hot", u"显示热点新闻");
    item(pop, s2, "s2", u"显示所有新闻");
    separator(pop, q2, "q2");
    item(pop, s0, "s0", u"根据你的喜好生成当日新闻首页");
    item(pop, s00, "s00", u"填写喜好选项");
    separator(pop, q3, "q3");
    item(pop, s3, "s3", u"搜索这个关键字");
    item(pop, s8, "s8", u"搜索这个分类");
    item(pop, s6666, "s6666", u"查看最流行关键词");
    separator(pop, q4, "q4");
    item(pop, s6, "s6", u"添加关键词");
    item(pop, s66, "s66", u"修改此关键词");
    item(pop, s666, "s666", u"删除此关键词");

    connect(s1hot, &QAction::triggered, this, &Form1::s1hot_Click);
    connect(s1, &QAction::triggered, this, &Form1::s1_Click);
    connect(s2hot, &QAction::triggered, this, &Form1::s2hot_Click);
    connect(s2, &QAction::triggered, this, &Form1::s2_Click);
    connect(s00, &QAction::triggered, this, &Form1::s00_Click);

    pop1 = new QMenu(this);
    pop1->setObjectName(QStringLiteral("pop1"));
    item(pop1, s4, "s4", u"打开新闻");
    item(pop1, s41, "s41", u"打开新闻评论");
    item(pop1, s48, "s48", u"朗读打勾新闻");
    item(pop1, s47, "s47", u"朗读所有新闻");
    item(pop1, s46, "s46", u"停止朗读新闻");
    separator(pop1, q5, "q5");
    item(pop1, s5, "s5", u"下载打勾的新闻");
    item(pop1, s7, "s7", u"添加关键词");
    item(pop1, s9, "s9", u"将此新闻发给好友");
    separator(pop1, q55, "q55");
    item(pop1, shouc1, "shouc1", u"收藏此新闻");
    item(pop1, shouc1del, "shouc1del", u"从收藏夹删除此新闻");
}

void Form1::createToolbar()
{
    int i = 0;
    for (const auto &b : kToolbarButtons) {
        QAction *a = Toolbar1->addAction(ImageList2.value(i++), str(b.caption));
        a->setToolTip(str(b.tooltip));
        a->setData(QString::fromLatin1(b.key));
    }
    connect(Toolbar1, &QToolBar::actionTriggered, this, &Form1::Toolbar1_ButtonClick);
}

// ---- start-up and unload --------------------------------------------------------------------

void Form1::Form_Load()
{
    if (m_env.speech) {
        // The engine keeps this notice for the case that no voice is installed; the program
        // never shows it itself and ignores the result.
        m_env.speech->init(quintptr(Text1), -1, -1, -1,
                           QStringLiteral("提醒您系统未安装语音库，请到作者网站下载最新语音库：") +
                               m_env.siteUrl,
                           QStringLiteral("语音下载"));
    }
    // A missing or unreadable option.ini gives an empty tree below the roots.
    const QString optionText = mz::readOptionFile(m_env.folder).value_or(QString());
    daysToKeep = mz::parseDaysToKeep(optionText);
    buildTree(optionText);
    Form_Resize();
    Timer1->start();
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_env.speech)
        m_env.speech->close();
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

// ---- the navigation tree --------------------------------------------------------------------

QTreeWidgetItem *Form1::addNode(QTreeWidgetItem *parent, const QString &key, const QString &text,
                                int image)
{
    auto *node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TreeView1);
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    setNodeImage(node, image);
    return node;
}

void Form1::buildTree(const QString &optionText)
{
    TreeView1->clear();
    const QDate today = m_env.clock->today();
    todayLabel = mz::dayLabel(today);
    todayKey = mz::dayKey(today);

    auto *k0 = addNode(nullptr, QStringLiteral("k0"), QStringLiteral("今日新闻"), 3);
    QTreeWidgetItem *todayNode = addNode(k0, todayKey, todayLabel, 4);

    auto *k1 = addNode(nullptr, QStringLiteral("k1"), QStringLiteral("旧新闻"), 3);
    for (const QDate &d : mz::oldDays(today, daysToKeep)) {
        const bool stored = QFileInfo::exists(QDir(m_env.folder).filePath(mz::archiveFileName(d)));
        addNode(k1, mz::dayKey(d), mz::dayLabel(d), stored ? 1 : 4);
    }

    auto *k2 = addNode(nullptr, QStringLiteral("k2"), QStringLiteral("你的关键词"), 3);
    for (const QString &keyword : mz::parseListSection(optionText, QStringView(mz::kKeywordsHeader))) {
        ++nn;
        addNode(k2, QStringLiteral("k2") + QString::number(nn), keyword, 26);
    }

    auto *k3 = addNode(nullptr, QStringLiteral("k3"), QStringLiteral("分类"), 3);
    for (const QString &name :
         mz::parseListSection(optionText, QStringView(mz::kCategoriesHeader))) {
        ++nn; // a refused line uses a number all the same
        if (const int image = mz::acceptedCategoryImage(name))
            addNode(k3, QStringLiteral("k3") + QString::number(nn), name, image);
    }

    addNode(nullptr, QStringLiteral("k4"), QStringLiteral("收藏夹"), 3);

    k1->setExpanded(true);
    k2->setExpanded(true);
    k0->setExpanded(true);
    // Selecting from the program does not run the click handling.
    const QSignalBlocker blocker(TreeView1);
    TreeView1->setCurrentItem(todayNode);
    m_lastSelectedKey = todayKey;
}

QTreeWidgetItem *Form1::selectedNode() const
{
    const auto items = TreeView1->selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

QString Form1::selectedKey() const
{
    return nodeKey(selectedNode());
}

QString Form1::selectedText() const
{
    const QTreeWidgetItem *node = selectedNode();
    return node ? node->text(0) : QString();
}

QTreeWidgetItem *Form1::nodeByKey(const QString &key) const
{
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it) {
        if (nodeKey(*it) == key)
            return *it;
    }
    return nullptr;
}

QString Form1::nodeKey(const QTreeWidgetItem *node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

int Form1::nodeImage(const QTreeWidgetItem *node)
{
    return node ? node->data(0, ImageRole).toInt() : 0;
}

void Form1::setNodeImage(QTreeWidgetItem *node, int image)
{
    if (!node)
        return;
    node->setData(0, ImageRole, image);
    node->setIcon(0, ImageList1.value(image));
}

void Form1::setNodeRed(QTreeWidgetItem *node)
{
    if (node)
        node->setForeground(0, QColor(255, 0, 0));
}

void Form1::TreeView1_NodeClick(QTreeWidgetItem *node)
{
    if (nodeKey(node) != QStringLiteral("k3"))
        s8_Click();
}

void Form1::updatePopStates()
{
    const QTreeWidgetItem *node = selectedNode();
    if (!node)
        return; // nothing selected: the items keep their states
    mz::PopStates states{s1->isEnabled(),  s2->isEnabled(), s2hot->isEnabled(),
                         s1hot->isEnabled(), s3->isEnabled(), s8->isEnabled(),
                         s66->isEnabled(), s666->isEnabled(), s0->isEnabled()};
    states = mz::popStatesFor(nodeKey(node), nodeImage(node), states);
    s1->setEnabled(states.s1);
    s2->setEnabled(states.s2);
    s2hot->setEnabled(states.s2hot);
    s1hot->setEnabled(states.s1hot);
    s3->setEnabled(states.s3);
    s8->setEnabled(states.s8);
    s66->setEnabled(states.s66);
    s666->setEnabled(states.s666);
    s0->setEnabled(states.s0);
}

void Form1::TreeView1_MouseUp(Qt::MouseButton button, int x, int y)
{
    if (button != Qt::RightButton)
        return;
    updatePopStates();
    pop->popup(mapToGlobal(TreeView1->geometry().topLeft() + QPoint(x, y)));
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TreeView1->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            // Only the left button selects; the right one opens the menu for the selected node.
            if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
                return true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto *me = static_cast<QMouseEvent *>(event);
            const QPoint p = TreeView1->viewport()->mapTo(TreeView1, me->position().toPoint());
            if (me->button() == Qt::RightButton) {
                TreeView1_MouseUp(me->button(), p.x(), p.y());
                return true;
            }
        } else if (event->type() == QEvent::ContextMenu) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- layout ---------------------------------------------------------------------------------

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_Resize()
{
    const int T = Toolbar1->sizeHint().height();
    Toolbar1->setGeometry(0, 0, width(), T);
    const int sb = StatusBar1->sizeHint().height();
    StatusBar1->setGeometry(0, height() - sb, width(), sb);

    mz::LayoutInput in;
    in.toolbarHeight = T;
    in.windowHeight = frameGeometry().height();
    in.windowWidth = frameGeometry().width();
    in.statusBarHeight = sb;
    in.treeWidth = TreeView1->width();
    in.text2Height = Text2->height();
    mz::LayoutResult previous{Text2->geometry(), Command6->geometry(), TreeView1->geometry(),
                              ListView1->geometry()};
    const mz::LayoutResult r = mz::applyLayout(in, previous);
    Text2->setGeometry(r.text2);
    Command6->setGeometry(r.command6);
    TreeView1->setGeometry(r.tree);
    for (QWidget *pane : {static_cast<QWidget *>(ListView1), static_cast<QWidget *>(ListView2),
                          static_cast<QWidget *>(ListView3), static_cast<QWidget *>(WebBrowser1)})
        pane->setGeometry(r.list);
}

// ---- toolbar and small commands ---------------------------------------------------------------

void Form1::Toolbar1_ButtonClick(QAction *button)
{
    if (button)
        toolbarCommand(button->data().toString(), button->text());
}

void Form1::toolbarCommand(const QString &key, const QString &caption)
{
    if (key == QStringLiteral("button20")) {
        aboutDialog();
    } else if (key == QStringLiteral("button0")) {
        hotViewText = todayLabel;
        hotViewKey = todayKey;
        s2hot_Click();
    } else if (key == QStringLiteral("button21")) {
        favoritesView();
    } else {
        listCategory(caption);
        showListView(ListView1);
    }
}

void Form1::favoritesView()
{
    // The favorites list (favorite.ini into ListView3) is not built yet.
}

void Form1::aboutDialog()
{
    // The About dialog is not built yet.
}

void Form1::s00_Click()
{
    // The home page options dialog is not built yet.
}

void Form1::s2_Click()
{
    showListView(ListView2);
}

void Form1::showListView(QTreeView *view)
{
    view->raise();
    view->show();
    for (QTreeView *other : {ListView1, ListView2, ListView3}) {
        if (other != view)
            other->hide();
    }
}

void Form1::Command4_Click()
{
    model1->clear();
}

void Form1::Command5_Click()
{
    navigate(m_env.siteUrl);
}

void Form1::navigate(const QString &url)
{
    if (!m_browserNet)
        m_browserNet = new QNetworkAccessManager(this);
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(60000);
    QNetworkReply *reply = m_browserNet->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            WebBrowser1->setHtml(QStringLiteral("<p>无法打开 %1：%2</p>")
                                     .arg(url.toHtmlEscaped(), reply->errorString().toHtmlEscaped()));
            return;
        }
        const QByteArray body = reply->readAll();
        const QString contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        const QString html = contentType.contains(QStringLiteral("utf-8"), Qt::CaseInsensitive)
                                 ? QString::fromUtf8(body)
                                 : mz::decodeAnsi(body);
        WebBrowser1->setHtml(html);
    });
}

// ---- status bar ----------------------------------------------------------------------------------

void Form1::setPanelText(const QString &key, const QString &text)
{
    if (key == QStringLiteral("s1"))
        m_panelS1->setText(text);
    else if (key == QStringLiteral("s2"))
        m_panelS2->setText(text);
}

QString Form1::panelText(const QString &key) const
{
    if (key == QStringLiteral("s1"))
        return m_panelS1->text();
    if (key == QStringLiteral("s2"))
        return m_panelS2->text();
    return {};
}
