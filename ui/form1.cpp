#include "ui/form1.h"

#include "fetch/completeness.h"
#include "fetch/downloadcomponent.h"
#include "lists/headlinemodel.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "rules/layout.h"
#include "speech/speechengine.h"
#include "store/optionfile.h"
#include "ui/articlebatch.h"
#include "ui/browserpane.h"
#include "ui/daydownloads.h"
#include "ui/dialogs/form2.h"
#include "ui/favoritescommands.h"
#include "ui/keywordcommands.h"
#include "ui/accessibility.h"
#include "ui/tickcellaccessibility.h"
#include "ui/emptystates.h"
#include "ui/keyboardcommands.h"
#include "ui/headlinelists.h"
#include "ui/headlineview.h"
#include "ui/linkopener.h"
#include "ui/navigationtree.h"
#include "ui/pictures.h"
#include "ui/readablecontrols.h"
#include "ui/personalfrontpage.h"
#include "ui/programicon.h"
#include "ui/readingaloud.h"
#include "ui/searchcommands.h"
#include "ui/transferbars.h"
#include "ui/sharecommands.h"
#include "ui/dialogs/form3.h"
#include "ui/dialogs/form4.h"
#include "ui/dialogs/form5.h"
#include "ui/windowstatus.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

namespace {

struct ToolbarButton
{
    const char *key;
    const char16_t *caption;
    const char16_t *tooltip;
};

// The toolbar's 21 buttons in order; the 生活 button has no key.
constexpr ToolbarButton kToolbarButtons[] = {
    {"button0", u"热点", u"热点新闻"},  {"button1", u"国际", u"国际新闻"},
    {"button2", u"国内", u"国内新闻"},  {"button3", u"科技", u"科技新闻"},
    {"button4", u"财经", u"财经新闻"},  {"button5", u"汽车", u"汽车新闻"},
    {"button6", u"社会", u"社会新闻"},  {"button7", u"军事", u"军事新闻"},
    {"button8", u"体育", u"体育新闻"},  {"button9", u"教育", u"教育新闻"},
    {"button10", u"影音", u"影音新闻"}, {"button11", u"房产", u"房产新闻"},
    {"", u"生活", u"生活新闻"},         {"button13", u"文教", u"文教新闻"},
    {"button14", u"少儿", u"少儿新闻"}, {"button15", u"综合", u"综合新闻"},
    {"button16", u"文学", u"文学"},     {"button17", u"文化", u"文化"},
    {"button18", u"青少", u"青少"},     {"button21", u"收藏夹", u"新闻收藏夹"},
    {"button20", u"关于", u"关于软件"},
};

QString str(const char16_t *s)
{
    return QString::fromUtf16(s);
}

constexpr int kText2Height = 25; // 375 twips: the search box and its button

// The width a push button needs to show its whole caption.
int captionFit(const QPushButton *button)
{
    const QStyle *style = button->style();
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                       style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    return button->fontMetrics().horizontalAdvance(button->text()) + 2 * margin;
}

} // namespace

Form1::Form1(const Form1Environment &env, QWidget *parent) : QWidget(parent), m_env(env)
{
    setWindowTitle(QStringLiteral("墨舟1.3版"));
    setWindowIcon(mz::programIcon());
    resize(1024, 700);
    createImageLists();
    createControls();
    createMenus();
    createToolbar();
    createOwners();
    connectHandlers();
    nameControlsForScreenReaders();
    setUpKeyboard();
}

Form1::~Form1()
{
    m_tree->forgetLabelEdit();
}

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
    Text2->setGeometry(0, 0, 200, kText2Height);
    Command6 = new QPushButton(QStringLiteral("搜索新闻"), this);
    Command6->setObjectName(QStringLiteral("Command6"));
    Command6->setGeometry(0, 0, 65, 25);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setGeometry(0, 0, 265, 400);

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
    ListView1->setItemDelegate(new mz::TickBoxDelegate(ListView1)); // its rows have tick boxes
    ListView2 = makeList("ListView2");
    ListView3 = makeList("ListView3");
    WebBrowser1 = mz::newLinkBrowser(this);
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
    auto item = [](QMenu *menu, QAction *&action, const char *name, const char16_t *caption) {
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
}

// The download component instances and the owners of the subsystems' state.
void Form1::createOwners()
{
    auto configure = [this](mz::DownloadComponent *c) {
        c->setTimeOut(60000);
        c->setUserAgent(QStringLiteral("Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)"));
        c->setAccept(QStringLiteral("*/*"));
        c->setUseReferer(true);
        c->setReferer(m_env.portalBase + QLatin1Char('/'));
    };
    jfDownEX1 = new mz::DownloadComponent(-1, this);
    jfDownEX1->setObjectName(QStringLiteral("jfDownEX1"));
    configure(jfDownEX1);
    // A page that fails the completeness test never replaces the stored copy; a cut transfer
    // keeps its bytes, so that a retry continues it.
    jfDownEX1->setRequirePageEnd(true);
    jfDownEX1->setKeepPartial(true);
    // A day's pages are at most a few megabytes; the start-up waits for the hot news, so an
    // attempt ends within minutes, not the component's ten. On a slow line the next attempt
    // continues it; a page that only drips in is given up.
    jfDownEX1->setDeadline(3 * 60 * 1000);
    for (int i = 0; i < int(jfDownEX2.size()); ++i) {
        jfDownEX2[i] = new mz::DownloadComponent(i, this);
        jfDownEX2[i]->setObjectName(QStringLiteral("jfDownEX2_%1").arg(i));
        configure(jfDownEX2[i]);
        // An article page is cut out and, without its markers, parsed whole in the window: a
        // limit far above any article keeps that work bounded.
        jfDownEX2[i]->setMaxBytes(16 * 1024 * 1024);
        // An answer without a body (a 204, an empty 200) brought no article: the download fails
        // instead of leaving an empty file under the headline's name.
        jfDownEX2[i]->setBodyCheck([](QByteArrayView body) { return !body.isEmpty(); });
    }

    m_status = new WindowStatus(this, m_panelS1, m_panelS2, this);
    m_tree = new NavigationTree(TreeView1, ImageList1, this);
    m_lists = new HeadlineLists(ListView1, ListView2, ListView3, ImageList1, m_env.portalBase,
                                *m_status, ownerMessages(), this);
    DayDownloads::Parts parts;
    parts.component = jfDownEX1;
    parts.watchdog = Timer3;
    parts.archiveTimer = Timer4;
    parts.tree = m_tree;
    parts.status = m_status;
    parts.messages = ownerMessages();
    parts.clock = m_env.clock;
    parts.folder = m_env.folder;
    parts.portalBase = m_env.portalBase;
    m_downloads = new DayDownloads(parts, this);
    m_articles =
        new ArticleBatch(jfDownEX2, Timer2, m_env.folder, *m_status, ownerMessages(), this);
    m_search = new SearchCommands(*m_lists, *m_status, this);
    m_reading = new ReadingAloud(m_env.speech, ListView1, *m_status, this);
    m_links = new LinkOpener(m_env.opener, *m_status, this);
    m_browser = new BrowserPane(WebBrowser1, this);

    jfDownEX3 = new mz::DownloadComponent(-1, this);
    jfDownEX3->setObjectName(QStringLiteral("jfDownEX3"));
    configure(jfDownEX3);
    QList<TransferBars::Instance> instances{{jfDownEX1, QStringLiteral("热点和所有新闻下载进度")}};
    for (int i = 0; i < int(jfDownEX2.size()); ++i)
        instances.append({jfDownEX2[i], QStringLiteral("新闻下载进度%1").arg(i + 1)});
    instances.append({jfDownEX3, QStringLiteral("备用下载进度")});
    m_transferBars = new TransferBars(instances, this);
    m_keywords = new KeywordCommands(*m_tree, *m_status, m_env.folder, this);
    m_favorites = new FavoritesCommands(*m_lists, *m_status, m_env.folder, this);
    m_share = new ShareCommands(*m_status, this);
    m_frontPage = new PersonalFrontPage(WebBrowser1, m_env.folder, m_env.portalBase,
                                        ownerMessages(), *m_status, this);
    m_emptyStates = new EmptyStates(*m_status, this);
    m_emptyStates->setLists(ListView1, ListView3);
    m_keys = new KeyboardCommands(TreeView1, {ListView1, ListView2, ListView3}, this);
    m_findAction = new QAction(this);
    m_findAction->setObjectName(QStringLiteral("findAction"));
    m_findAction->setShortcut(QKeySequence::Find);
    addAction(m_findAction);
    m_quitAction = new QAction(this);
    m_quitAction->setObjectName(QStringLiteral("quitAction"));
    m_quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    addAction(m_quitAction);
}

void Form1::connectHandlers()
{
    connect(m_tree, &NavigationTree::nodeClicked, this, &Form1::TreeView1_NodeClick);
    connect(m_tree, &NavigationTree::rightButtonReleased, this,
            [this](QPoint p) { TreeView1_MouseUp(Qt::RightButton, p.x(), p.y()); });
    connect(Toolbar1, &QToolBar::actionTriggered, this, &Form1::Toolbar1_ButtonClick);
    connect(Text2, &QLineEdit::returnPressed, Command6, &QPushButton::click);
    const std::pair<QPushButton *, void (Form1::*)()> buttons[] = {
        {Command3, &Form1::Command3_Click},
        {Command4, &Form1::Command4_Click},
        {Command5, &Form1::Command5_Click},
        {Command6, &Form1::Command6_Click}};
    for (const auto &[button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, handler);
    const std::pair<QAction *, void (Form1::*)()> items[] = {
        {s1hot, &Form1::s1hot_Click}, {s1, &Form1::s1_Click},   {s2hot, &Form1::s2hot_Click},
        {s2, &Form1::s2_Click},       {s00, &Form1::s00_Click}, {s3, &Form1::s3_Click},
        {s8, &Form1::s8_Click},       {s4, &Form1::s4_Click},   {s41, &Form1::s41_Click},
        {s5, &Form1::s5_Click},       {s47, &Form1::s47_Click}, {s48, &Form1::s48_Click},
        {s46, &Form1::s46_Click}};
    for (const auto &[item, handler] : items)
        connect(item, &QAction::triggered, this, handler);
    const std::pair<QTimer *, void (Form1::*)()> timers[] = {{Timer1, &Form1::Timer1_Timer},
                                                             {Timer2, &Form1::Timer2_Timer},
                                                             {Timer3, &Form1::Timer3_Timer},
                                                             {Timer4, &Form1::Timer4_Timer}};
    for (const auto &[timer, handler] : timers)
        connect(timer, &QTimer::timeout, this, handler);

    connect(ListView1->header(), &QHeaderView::sectionClicked, this, &Form1::ListView1_ColumnClick);
    connect(ListView2->header(), &QHeaderView::sectionClicked, this, &Form1::ListView2_ColumnClick);
    // A double click opens the row it hit, which becomes the selected row first: a press on a
    // hot news row's tick box ticks the row without selecting it, and reading aloud selects the
    // row being read, so the selected row need not be the one under the pointer.
    const std::pair<QTreeView *, void (Form1::*)()> doubleClicks[] = {
        {ListView1, &Form1::ListView1_DblClick},
        {ListView2, &Form1::ListView2_DblClick},
        {ListView3, &Form1::ListView3_DblClick}};
    for (const auto &[view, handler] : doubleClicks)
        connect(view, &QTreeView::doubleClicked, this,
                [this, view, handler](const QModelIndex &index) {
                    if (index.isValid())
                        view->setCurrentIndex(index);
                    (this->*handler)();
                });
    connect(m_lists, &HeadlineLists::pressed, this,
            [this](QTreeView *view, Qt::MouseButton b, QPoint p) {
                if (view == ListView1)
                    ListView1_MouseDown(b, p.x(), p.y());
            });
    connect(m_lists, &HeadlineLists::released, this,
            [this](QTreeView *view, Qt::MouseButton b, QPoint p) {
                ListView_MouseUp(view, b, p.x(), p.y());
            });

    using C = mz::DownloadComponent;
    connect(jfDownEX1, &C::connecting, this, &Form1::jfDownEX1_Connecting);
    connect(jfDownEX1, &C::connected, this, &Form1::jfDownEX1_Connected);
    connect(jfDownEX1, &C::progress, this, &Form1::jfDownEX1_Progress);
    connect(jfDownEX1, &C::error, this, &Form1::jfDownEX1_Error);
    connect(jfDownEX1, &C::transferEnded, this, &Form1::jfDownEX1_TransferEnded);
    connect(jfDownEX1, &C::completed, this, &Form1::jfDownEX1_Completed);
    for (int i = 0; i < int(jfDownEX2.size()); ++i) {
        C *c = jfDownEX2[i];
        connect(c, &C::progress, this, [this, i] { jfDownEX2_Progress(i); });
        connect(c, &C::error, this,
                [this, i](const QString &text, int code) { jfDownEX2_Error(i, text, code); });
        connect(c, &C::completed, this, [this, i] { jfDownEX2_Completed(i); });
        connect(c, &C::transferEnded, m_articles, [this, i] { m_articles->onTransferEnded(i); });
    }

    connect(m_downloads, &DayDownloads::hotNewsArrived, this, &Form1::showHotNews);
    connect(m_downloads, &DayDownloads::archiveArrived, this, &Form1::showArchive);
    connectKeywordsArea();
    connectShareArea();
    connectKeyboardHandlers();
}

void Form1::connectKeywordsArea()
{
    const std::pair<QAction *, void (Form1::*)()> items[] = {{s6, &Form1::s6_Click},
                                                             {s7, &Form1::s7_Click},
                                                             {s66, &Form1::s66_Click},
                                                             {s666, &Form1::s666_Click},
                                                             {s6666, &Form1::s6666_Click},
                                                             {shouc1, &Form1::shouc1_Click},
                                                             {shouc1del, &Form1::shouc1del_Click}};
    for (const auto &[item, handler] : items)
        connect(item, &QAction::triggered, this, handler);
    connect(m_tree, &NavigationTree::labelEditEnded, this, &Form1::TreeView1_AfterLabelEdit);
    // The counts follow the archive list: drawn once it is complete, gone when it is emptied.
    // The browser pane lies where the lists lie: covered, it would still take the keyboard's
    // focus and a screen reader's attention.
    connect(m_lists, &HeadlineLists::listShown, WebBrowser1, &QWidget::hide);
    connect(m_lists, &HeadlineLists::listShown, m_emptyStates, &EmptyStates::listShown);
    connect(m_lists, &HeadlineLists::archiveListed, m_keywords,
            [this] { m_keywords->count(m_lists->model2()->titles()); });
    connect(m_lists->model2(), &QAbstractItemModel::modelReset, m_keywords,
            &KeywordCommands::clearCounts);
}

void Form1::connectShareArea()
{
    connect(s9, &QAction::triggered, this, &Form1::s9_Click);
    connect(s0, &QAction::triggered, this, &Form1::s0_Click);
    // The pane's links open in the system's browser; a path on the site's page is taken as
    // that page names it.
    connect(WebBrowser1, &QTextBrowser::anchorClicked, m_links, [this](const QUrl &url) {
        m_links->openPageAddress(WebBrowser1->document()->baseUrl().resolved(url).toString());
    });
}

void Form1::runModal(QDialog &dialog)
{
    if (m_env.showModal)
        m_env.showModal(dialog);
    else
        dialog.exec();
}

void Form1::setRetryPolicy(const mz::RetryPolicy &policy)
{
    m_downloads->setRetryPolicy(policy);
}

// ---- start-up and unload ----------------------------------------------------------------------

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
    const std::optional<QString> option = mz::readOptionFile(m_env.folder);
    const QString optionText = option.value_or(QString());
    m_tree->build(optionText, m_env.clock->today(), mz::parseDaysToKeep(optionText), m_env.folder);
    restoreWindowPlace(optionText);
    Form_Resize();
    // A file that is there but cannot be read (a folder, no permission, far too large) would
    // leave the keywords looking lost: say why they are missing.
    if (!option && QFileInfo::exists(mz::optionFilePath(m_env.folder)) && m_env.messages) {
        m_env.messages->show(mz::optionFileReadProblem(m_env.folder) +
                                 QStringLiteral("，关键词、分类和旧新闻天数都没有载入。"),
                             QStringLiteral("提示"), mz::MessageIcon::Warning);
    }
    if (!mz::chineseFontInstalled() && m_env.messages) {
        m_env.messages->show(mz::chineseFontMissingNotice(), QStringLiteral("提示"),
                             mz::MessageIcon::Warning);
    }
    Timer1->start();
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_lists->stopListing();
    rememberWindowPlace();
    if (m_env.speech)
        m_env.speech->close();
}

void Form1::OwnerMessages::show(const QString &text, const QString &title, mz::MessageIcon icon)
{
    if (!m_form.m_unloaded && m_form.m_env.messages)
        m_form.m_env.messages->show(text, title, icon);
}

mz::MessageFunnel *Form1::ownerMessages()
{
    return m_env.messages ? &m_ownerMessages : nullptr;
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

// ---- the navigation tree ----------------------------------------------------------------------

void Form1::TreeView1_NodeClick(QTreeWidgetItem *node)
{
    if (NavigationTree::nodeKey(node) != QStringLiteral("k3"))
        s8_Click();
}

void Form1::updatePopStates()
{
    mz::PopStates states{s1->isEnabled(),    s2->isEnabled(),   s2hot->isEnabled(),
                         s1hot->isEnabled(), s3->isEnabled(),   s8->isEnabled(),
                         s66->isEnabled(),   s666->isEnabled(), s0->isEnabled()};
    states = m_tree->popStates(states);
    const std::pair<QAction *, bool> items[] = {
        {s1, states.s1},       {s2, states.s2},     {s2hot, states.s2hot},
        {s1hot, states.s1hot}, {s3, states.s3},     {s8, states.s8},
        {s66, states.s66},     {s666, states.s666}, {s0, states.s0}};
    for (const auto &[item, enabled] : items)
        item->setEnabled(enabled);
}

void Form1::TreeView1_MouseUp(Qt::MouseButton button, int x, int y)
{
    if (button != Qt::RightButton)
        return;
    updatePopStates();
    pop->popup(mapToGlobal(TreeView1->geometry().topLeft() + QPoint(x, y)));
}

// ---- layout -----------------------------------------------------------------------------------

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
    const int band = m_transferBars ? m_transferBars->sizeHint().height() : 0;
    if (m_transferBars)
        m_transferBars->setGeometry(0, height() - sb - band, width(), band);
    // The search row keeps its design sizes unless the font needs more room: a larger font
    // (a bigger desktop font or a high font DPI) would otherwise cut the typed text and the
    // button's caption.
    const int searchRowHeight = qMax(kText2Height, Text2->sizeHint().height());
    mz::LayoutInput in{T,  frameGeometry().height(), frameGeometry().width(),
                       sb, TreeView1->width(),       searchRowHeight};
    in.bandHeight = band;
    in.command6Width = qMax(in.command6Width, captionFit(Command6));
    const mz::LayoutResult r = mz::applyLayout(in, {Text2->geometry(), Command6->geometry(),
                                                    TreeView1->geometry(), ListView1->geometry()});
    Text2->setGeometry(r.text2);
    Command6->setGeometry(r.command6);
    TreeView1->setGeometry(r.tree);
    for (QWidget *pane :
         std::initializer_list<QWidget *>{ListView1, ListView2, ListView3, WebBrowser1})
        pane->setGeometry(r.list);
}

// ---- toolbar and small commands ---------------------------------------------------------------

// Dispatched by key, and by caption for the keyless 生活 button.
void Form1::Toolbar1_ButtonClick(QAction *button)
{
    const QString key = button ? button->data().toString() : QString();
    if (!button) {
        return;
    } else if (key == QStringLiteral("button20")) {
        showAbout();
    } else if (key == QStringLiteral("button0")) {
        showHotNews(m_tree->today());
    } else if (key == QStringLiteral("button21")) {
        showFavorites();
    } else {
        listCategory(button->text());
        showListView(ListView1);
    }
}

void Form1::s00_Click()
{
    runOptions();
}

void Form1::s2_Click()
{
    showListView(ListView2);
}

void Form1::Command4_Click()
{
    m_lists->clearHotList();
}

void Form1::Command5_Click()
{
    m_browser->navigate(m_env.siteUrl);
}

// ---- headline lists ---------------------------------------------------------------------------

void Form1::list(const QString &archiveFile)
{
    m_lists->list(archiveFile);
}

void Form1::listHot(const QString &hotFile)
{
    m_lists->listHot(hotFile);
}

void Form1::ListView1_ColumnClick(int column)
{
    m_lists->sortBy(ListView1, column);
}

void Form1::ListView2_ColumnClick(int column)
{
    m_lists->sortBy(ListView2, column);
}

void Form1::ListView1_MouseDown(Qt::MouseButton, int x, int)
{
    m_lists->pressInListView1(x);
}

// The right button's release shows pop1 at the pointer; the three views lie in the same place,
// so ListView1's edges serve all three.
void Form1::ListView_MouseUp(QTreeView *, Qt::MouseButton button, int x, int y)
{
    if (button == Qt::RightButton)
        pop1->popup(ListView1->viewport()->mapToGlobal(QPoint(x, y)));
}

void Form1::showListView(QTreeView *view)
{
    m_lists->show(view);
}

// ---- archive and hot news download --------------------------------------------------------------

void Form1::Command1_Click()
{
    m_downloads->downloadArchive(m_tree->selectedDay());
}

void Form1::s1_Click()
{
    Command1_Click();
}

void Form1::Command2_Click()
{
    showArchive(m_tree->selectedDay());
}

void Form1::s1hot_Click()
{
    m_downloads->downloadHotNews(m_tree->selectedDay());
}

void Form1::s2hot_Click()
{
    showHotNews(m_tree->selectedDay());
}

// Lists the stored hot news of `day` in ListView1 and shows it. Without a day (a root node is
// selected) the lists stay as they are.
void Form1::showHotNews(const mz::Day &day)
{
    if (!day.isValid())
        return;
    // A hidden pane hands the keyboard focus on to the next control, the toolbar's "热点": a user
    // reading a list with the keyboard when hot news arrive would tick or open nothing, and Space
    // would show today's hot news in place of the day that arrived. The focus stays in the list
    // area, on the list that now shows.
    bool paneHadFocus = false;
    for (QWidget *pane :
         std::initializer_list<QWidget *>{ListView1, ListView2, ListView3, WebBrowser1})
        paneHadFocus = paneHadFocus || pane == focusWidget() || pane->isAncestorOf(focusWidget());
    // A menu opened on a row of the lists would act on the new list's first row (the row the
    // returning focus makes current): the row it was opened on is gone, and so is the menu.
    pop1->close();
    ListView1->hide();
    ListView2->hide();
    m_lists->clearHotList();
    const QString file = mz::storedCopy(m_downloads->hotNewsTarget(day));
    m_lists->listHot(file);
    showListView(ListView1);
    if (paneHadFocus)
        ListView1->setFocus(Qt::OtherFocusReason);
    m_emptyStates->hotNewsShown(day.label, QFile::exists(file), m_downloads->fetchesHotNews(day),
                                m_downloads->fetchesArchive(day));
}

// Lists the stored archive of `day` in ListView2, which keeps its visibility (hidden). Without a
// day the list stays as it is.
void Form1::showArchive(const mz::Day &day)
{
    if (!day.isValid())
        return;
    ListView2->hide();
    m_lists->model2()->clear();
    m_lists->list(mz::storedCopy(m_downloads->archiveTarget(day)));
}

// Start-up: the stored hot news of the selected day are shown and its archive is fetched;
// without them the hot news are fetched first and the archive follows. A copy written before
// its day came from a system clock that ran ahead: it holds another day's news and is fetched
// again.
void Form1::Timer1_Timer()
{
    Timer1->stop();
    const mz::Day day = m_tree->selectedDay().isValid() ? m_tree->selectedDay() : m_tree->today();
    if (mz::mayHoldPageOf(m_downloads->hotNewsTarget(day).file, day.date)) {
        showHotNews(day);
        m_downloads->downloadArchive(day);
    } else {
        m_downloads->downloadHotNews(day, true);
    }
    showListView(ListView1);
}

void Form1::Timer3_Timer()
{
    m_downloads->watchdogTick();
}

void Form1::Timer4_Timer()
{
    Timer4->stop();
    m_downloads->archiveAfterHotNews(m_tree->selectedDay());
}

void Form1::jfDownEX1_Connecting()
{
    m_downloads->onConnecting();
}

void Form1::jfDownEX1_Connected()
{
    m_downloads->onConnected();
}

void Form1::jfDownEX1_Progress()
{
    m_downloads->onProgress();
}

// Not shown: a failed transfer shows up as an incomplete page when it ends.
void Form1::jfDownEX1_Error(const QString &, int) {}

void Form1::jfDownEX1_TransferEnded()
{
    m_downloads->onTransferEnded();
}

void Form1::jfDownEX1_Completed()
{
    m_downloads->onCompleted();
}

// ---- search -------------------------------------------------------------------------------------

// Searches the selected node's text.
void Form1::s3_Click()
{
    const bool allowed = mz::keywordSearchAllowed(m_tree->selectedKind(), m_tree->selectedKey());
    const qsizetype hits = m_search->keywordSearch(m_tree->selectedText(), allowed);
    showListView(ListView1);
    noteSearch(m_tree->selectedText(), hits, allowed);
}

// The category named by the selected node.
void Form1::s8_Click()
{
    if (!mz::categorySearchAllowed(m_tree->selectedKind(), m_tree->selectedKey()))
        return;
    const qsizetype hits = m_search->categorySearch(m_tree->selectedText());
    showListView(ListView1);
    noteSearch(m_tree->selectedText(), hits);
}

void Form1::Command3_Click()
{
    m_search->singleTermSearch(Text1->text());
}

// The search box's text, unchanged (blanks included), or the selected node's text when the box is
// empty; the selected node decides whether it runs.
void Form1::Command6_Click()
{
    const QString box = Text2->text();
    const QString query = box.isEmpty() ? m_tree->selectedText() : box;
    const bool allowed = mz::keywordSearchAllowed(m_tree->selectedKind(), m_tree->selectedKey());
    const qsizetype hits = m_search->keywordSearch(query, allowed);
    showListView(ListView1);
    noteSearch(query, hits, allowed);
}

// A toolbar category button; the toolbar shows the result list afterwards.
void Form1::listCategory(const QString &name)
{
    const qsizetype hits = m_search->categorySearch(name, true);
    noteSearch(name, hits);
}

// The note a search leaves in s1. Before any archive was read, the one on its way is named: the
// tree's download command is off for its day until it has arrived.
void Form1::noteSearch(const QString &query, qsizetype hits, bool ran)
{
    m_emptyStates->searchDone(query, hits, m_lists->archiveToSearch(),
                              m_downloads->archiveOnItsWay().label, ran);
}

// ---- opening articles ---------------------------------------------------------------------------

// A double click in the comment column opens the row's comment page, anywhere else its article.
// The marker serves that one double click.
void Form1::ListView1_DblClick()
{
    const bool comment = m_lists->commentColumnHit();
    m_lists->setCommentColumnHit(false);
    openHotRow(comment);
}

void Form1::ListView2_DblClick()
{
    if (const std::optional<mz::HeadlineRow> row = m_lists->currentRow(ListView2))
        m_links->openPageAddress(row->tag);
}

void Form1::ListView3_DblClick()
{
    if (const std::optional<mz::HeadlineRow> row = m_lists->currentRow(ListView3))
        m_links->openPageAddress(row->tag);
}

void Form1::s4_Click()
{
    QTreeView *shown = m_lists->shownView();
    if (shown == ListView1)
        openHotRow(false);
    else if (shown == ListView2)
        ListView2_DblClick();
    else if (shown == ListView3)
        ListView3_DblClick();
}

void Form1::s41_Click()
{
    openHotRow(true);
}

// The selected row of ListView1: its comment page or its article. The menu commands say which
// they mean, so they leave the marker of the last press alone.
void Form1::openHotRow(bool comment)
{
    if (const std::optional<mz::HeadlineRow> row = m_lists->currentRow(ListView1))
        m_links->openPageAddress(comment ? row->sub2 : row->tag);
}

// ---- article download ---------------------------------------------------------------------------

void Form1::s5_Click()
{
    m_articles->start(m_lists->shownRows(ListView1));
}

void Form1::Timer2_Timer()
{
    m_articles->tick();
}

void Form1::jfDownEX2_Progress(int) {}

void Form1::jfDownEX2_Error(int index, const QString &text, int code)
{
    m_articles->onError(index, text, code);
}

void Form1::jfDownEX2_Completed(int index)
{
    m_articles->onCompleted(index);
}

// ---- reading aloud ------------------------------------------------------------------------------

void Form1::s47_Click()
{
    m_reading->readAll(m_lists->shownRows(ListView1));
}

void Form1::s48_Click()
{
    m_reading->readTicked(m_lists->shownRows(ListView1));
}

void Form1::s46_Click()
{
    m_reading->stop();
}

// ---- keywords and favourites --------------------------------------------------------------------

void Form1::runAddKeyword()
{
    Form2 dialog(
        m_keywords->ms7(),
        [this](const QString &typed) {
            const mz::KeywordChange change = m_keywords->add(typed);
            return Form2::Outcome{change.ok(), change.message};
        },
        m_env.messages, this);
    runModal(dialog);
}

void Form1::s6_Click()
{
    m_keywords->setMS7(QGuiApplication::clipboard()->text());
    runAddKeyword();
}

void Form1::s7_Click()
{
    const std::optional<mz::HeadlineRow> row = m_lists->currentRow(ListView1);
    m_keywords->setMS7(row ? row->title : QString());
    runAddKeyword();
}

void Form1::s66_Click()
{
    m_keywords->startRename();
}

void Form1::s666_Click()
{
    m_keywords->removeSelected();
}

// The page covers the lists: they step back as they do for the front page, so that Tab and a
// screen reader do not reach headlines hidden behind it.
void Form1::s6666_Click()
{
    for (QTreeView *view : {ListView1, ListView2, ListView3})
        view->hide();
    WebBrowser1->show();
    WebBrowser1->raise();
    m_browser->navigate(m_env.siteUrl);
}

void Form1::TreeView1_AfterLabelEdit(QTreeWidgetItem *node)
{
    m_keywords->finishRename(node);
}

// The visible lists' selected rows, ListView1's first.
void Form1::shouc1_Click()
{
    if (!ListView1->isHidden())
        m_favorites->store(m_lists->currentRow(ListView1));
    if (!ListView2->isHidden())
        m_favorites->store(m_lists->currentRow(ListView2));
}

void Form1::shouc1del_Click()
{
    m_favorites->removeSelected();
}

void Form1::showFavorites()
{
    if (m_favorites->showFavorites())
        m_emptyStates->favoritesShown(m_lists->model3()->rowCount());
}

// ---- sending to friends, About, the personal front page -----------------------------------------

// The mail always carries the selected row of ListView1, whichever list is on show.
void Form1::s9_Click()
{
    if (!m_share->prepareMail(m_lists->currentRow(ListView1)))
        return;
    form4 dialog(m_env.opener, m_share->mailtoStr(), m_env.siteUrl, this);
    runModal(dialog);
}

void Form1::showAbout()
{
    Form3 dialog(m_env.opener, m_env.siteUrl, this);
    runModal(dialog);
}

bool Form1::runOptions()
{
    Form5 dialog(m_env.folder, this);
    runModal(dialog);
    return dialog.result() == QDialog::Accepted;
}

// Without answers the options dialog is offered; answers saved there build the page at once. A
// site page still on its way is given up first: the page is put in the pane before a box may say
// it could not be saved, and the site page would replace it while the box is open.
void Form1::s0_Click()
{
    m_browser->cancel();
    const mz::Day day = m_tree->selectedDay();
    // Looked up at each build: downloads go on while the options dialog is open.
    const auto build = [&] {
        return m_frontPage->build(day, mz::storedCopy(m_downloads->archiveTarget(day)),
                                  day.isValid() && m_downloads->archiveOnItsWay() == day);
    };
    PersonalFrontPage::Outcome outcome = build();
    if (outcome == PersonalFrontPage::Outcome::NoAnswers && runOptions())
        outcome = build();
    if (outcome == PersonalFrontPage::Outcome::Shown)
        showFrontPage();
}

// The page lies where the lists lie; they step back until one is shown again. A site page still
// on its way to the pane would replace it: it is given up.
void Form1::showFrontPage()
{
    m_browser->cancel();
    for (QTreeView *view : {ListView1, ListView2, ListView3})
        view->hide();
    WebBrowser1->show();
    WebBrowser1->raise();
    WebBrowser1->setFocus();
}

// ---- keyboard, screen readers, remembered window ------------------------------------------------

QSize Form1::minimumWindowSize()
{
    return {720, 480};
}

// Names in the user's language for the controls a screen reader announces; the controls the
// window never shows are left out of what it reports.
void Form1::nameControlsForScreenReaders()
{
    mz::installWindowAccessibility(metaObject()->className());
    for (QTreeView *view : {ListView1, ListView2, ListView3})
        mz::exposeHeadlineCells(view);
    setAccessibleName(QStringLiteral("墨舟"));
    const std::pair<QWidget *, const char16_t *> names[] = {
        {Text2, u"搜索新闻"},     {Command6, u"搜索新闻"},  {TreeView1, u"新闻导航"},
        {ListView1, u"热点新闻"}, {ListView2, u"所有新闻"}, {ListView3, u"收藏夹"},
        {WebBrowser1, u"网页"},   {Toolbar1, u"工具栏"},    {StatusBar1, u"状态栏"},
    };
    for (const auto &[widget, name] : names)
        widget->setAccessibleName(str(name));
    m_panelS1->setAccessibleName(WindowStatus::panelName(WindowStatus::Panel::S1));
    m_panelS2->setAccessibleName(WindowStatus::panelName(WindowStatus::Panel::S2));
    Text2->setPlaceholderText(QStringLiteral("搜索新闻"));
    mz::keepPlaceholderReadable(Text2);
    ListView1->setAccessibleDescription(
        QStringLiteral("热点新闻或搜索结果，可打勾；Ctrl+1、Ctrl+2、Ctrl+3按该列排序"));
    ListView2->setAccessibleDescription(QStringLiteral("Ctrl+1、Ctrl+2、Ctrl+3按该列排序"));
    // Without a label the hidden header reads as its default column name "1".
    TreeView1->setHeaderLabel(QStringLiteral("新闻导航"));
    // The toolbar's overflow button appears only when the window is too narrow for all buttons.
    if (auto *more = Toolbar1->findChild<QWidget *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("更多按钮"));
    for (QWidget *hidden :
         std::initializer_list<QWidget *>{Text1, Command1, Command2, Command3, Command4, Command5})
        mz::hideFromScreenReaders(hidden);
}

// Tab order, shortcuts, the smallest usable size, and the title column taking the extra width.
void Form1::setUpKeyboard()
{
    setMinimumSize(minimumWindowSize());
    for (QTreeView *view : {ListView1, ListView2, ListView3})
        mz::letTitleTakeExtraWidth(view);

    QList<QWidget *> order{Text2,     Command6,  TreeView1,  ListView1,
                           ListView2, ListView3, WebBrowser1};
    for (QAction *a : Toolbar1->actions()) {
        if (QWidget *button = Toolbar1->widgetForAction(a)) {
            button->setFocusPolicy(Qt::TabFocus);
            button->setAccessibleName(a->toolTip());
            order << button;
        }
    }
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void Form1::connectKeyboardHandlers()
{
    connect(m_keys, &KeyboardCommands::enterOnRow, this, &Form1::ListView_EnterKey);
    connect(m_keys, &KeyboardCommands::sortByColumn, this, &Form1::ListView_SortKey);
    connect(m_keys, &KeyboardCommands::menuForTree, this, &Form1::showPopForCurrentNode);
    connect(m_keys, &KeyboardCommands::menuForList, this, &Form1::showPop1ForCurrentRow);
    connect(m_findAction, &QAction::triggered, this, [this] {
        Text2->setFocus(Qt::ShortcutFocusReason);
        Text2->selectAll();
    });
    connect(m_quitAction, &QAction::triggered, this, &QWidget::close);
}

// Ctrl+1, Ctrl+2, Ctrl+3: what a click on that column's header does (the favorites are never
// sorted).
void Form1::ListView_SortKey(QTreeView *view, int column)
{
    if (view == ListView1)
        ListView1_ColumnClick(column);
    else if (view == ListView2)
        ListView2_ColumnClick(column);
}

// Enter opens the current row's article, as "打开新闻" does: no press has picked a column, so a
// marker left by an earlier click in the comment column does not apply.
void Form1::ListView_EnterKey(QTreeView *view)
{
    if (view == ListView1)
        openHotRow(false);
    else if (view == ListView2)
        ListView2_DblClick();
    else if (view == ListView3)
        ListView3_DblClick();
}

void Form1::showPopForCurrentNode()
{
    QTreeWidgetItem *node = TreeView1->currentItem();
    if (node && !node->isSelected())
        TreeView1->setCurrentItem(node); // the menu acts on the selected node
    updatePopStates();
    const QRect r = node ? TreeView1->visualItemRect(node) : QRect();
    const QPoint at = r.isValid() ? r.bottomLeft() + QPoint(r.height(), 0) : QPoint(0, 0);
    pop->popup(TreeView1->viewport()->mapToGlobal(at));
}

void Form1::showPop1ForCurrentRow(QTreeView *view)
{
    const QRect r = view->visualRect(view->currentIndex());
    const QPoint at = r.isValid() ? r.bottomLeft() + QPoint(r.height(), 0) : QPoint(0, 0);
    pop1->popup(view->viewport()->mapToGlobal(at));
}

// The remembered place, when it is sound and still on a screen; the size alone when the screen
// it was on is gone.
void Form1::restoreWindowPlace(const QString &optionText)
{
    // A place kept on a screen smaller than the usual smallest size is as sound as any.
    const std::optional<mz::WindowPlace> place =
        mz::parseWindowPlace(optionText, smallestSizeOn(screen()));
    if (!place) {
        fitIntoScreen(screen());
        return;
    }
    resize(place->width, place->height);
    const QRect outer(place->x, place->y, place->width, place->height);
    QScreen *on = screen();
    for (QScreen *candidate : QGuiApplication::screens()) {
        if (candidate->availableGeometry().intersects(outer)) {
            move(place->x, place->y);
            on = candidate;
            break;
        }
    }
    fitIntoScreen(on);
    TreeView1->resize(qMin(place->treeWidth, width() / 2), TreeView1->height());
    mz::setColumnWidths({ListView1, ListView2, ListView3}, place->columnWidths);
    // The widths were the columns' on lists of the remembered width; a window fitted into a
    // smaller screen has narrower lists.
    if (width() - TreeView1->width() < place->width - place->treeWidth) {
        for (QTreeView *view : {ListView1, ListView2, ListView3})
            mz::fitTitleAtFirstSize(view);
    }
}

// On a screen smaller than the window's usual smallest size (a small screen scaled by 150 %)
// the window may be as small as the screen's free area, title bar included, so that it fits.
QSize Form1::smallestSizeOn(const QScreen *on) const
{
    if (!on)
        return minimumWindowSize();
    const QRect free = on->availableGeometry();
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return minimumWindowSize()
        .boundedTo(QSize(free.width(), free.height() - titleBar))
        .expandedTo(QSize(1, 1));
}

// A window larger than its screen's free area (the default size on a small or scaled screen, a
// size remembered from a larger monitor) would open with its status bar and transfer bars below
// the screen's edge: it is made to fit, title bar included, and pulled back inside if it sticks
// out.
void Form1::fitIntoScreen(const QScreen *on)
{
    if (!on)
        return;
    const QRect free = on->availableGeometry();
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize smallest = smallestSizeOn(on);
    setMinimumSize(smallest);
    const QSize fitted(qMin(width(), free.width()), qMin(height(), free.height() - titleBar));
    if (fitted != size())
        resize(fitted.expandedTo(smallest));
    if (!free.contains(geometry()) && free.intersects(geometry())) {
        move(qBound(free.left(), x(), qMax(free.left(), free.right() + 1 - width())),
             qBound(free.top(), y(), qMax(free.top(), free.bottom() + 1 - height() - titleBar)));
    }
}

// Only a window the user has seen has a place worth keeping; a maximised one keeps its normal one.
void Form1::rememberWindowPlace()
{
    if (!isVisible())
        return;
    const QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    const QPoint outer = isMaximized() || isFullScreen() ? normal.topLeft() : pos();
    // The columns are kept as they are at the normal size, which the window opens with: the
    // titles of a maximised window are wider by what its lists are wider.
    mz::storeWindowPlace(
        m_env.folder,
        {outer.x(), outer.y(), normal.width(), normal.height(), TreeView1->width(),
         mz::columnWidths({ListView1, ListView2, ListView3}, normal.width() - width())});
}
