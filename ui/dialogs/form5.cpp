#include "ui/dialogs/form5.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

using mz::FlashGroup;

namespace {

// "年龄:" -> "年龄": the question as part of an accessible name.
QString bare(QString caption)
{
    if (caption.endsWith(u':'))
        caption.chop(1);
    return caption;
}

QString placeText(const QComboBox *combo)
{
    return combo->currentIndex() < 0 ? mz::unchosenPlace() : combo->currentText();
}

// Asks for room for all of its questions; the dialog bounds that by the screen, and the
// questions then scroll. A control that takes the focus, by Tab, a click or a screen reader, is
// brought into view; the area itself takes none.
class QuestionsArea final : public QScrollArea
{
public:
    explicit QuestionsArea(QWidget *parent) : QScrollArea(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            if (now && widget() && widget()->isAncestorOf(now))
                ensureWidgetVisible(now);
        });
    }
    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
    }
};

} // namespace

Form5::Form5(const QString &folder, QWidget *parent) : QDialog(parent), m_folder(folder)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("生成首页选项"));

    const std::array<QList<QRadioButton *> *, mz::kFlashGroupCount> buttons{
        &Option1, &Option7, &Option3,  &Option4,  &Option5, &Option6,
        &Option8, &Option9, &Option10, &Option11, &Option2, &Option12};

    auto *grid = new QGridLayout;
    int cell = 0;
    auto place = [&](QWidget *w) {
        grid->addWidget(w, cell / 2, cell % 2);
        ++cell;
    };
    auto addGroup = [&](FlashGroup g) {
        const int i = static_cast<int>(g);
        const mz::FlashQuestion &q = mz::flashQuestion(g);
        m_frames[i] = new QGroupBox(q.caption, this);
        m_frames[i]->setAccessibleName(bare(q.caption));
        m_groups[i] = new QButtonGroup(m_frames[i]);
        auto *row = new QHBoxLayout(m_frames[i]);
        for (int o = 0; o < q.options.size(); ++o) {
            auto *option = new QRadioButton(q.options.at(o), m_frames[i]);
            option->setAccessibleName(bare(q.caption) + u' ' + q.options.at(o));
            m_groups[i]->addButton(option, o);
            buttons[i]->append(option);
            row->addWidget(option);
        }
        row->addStretch();
        place(m_frames[i]);
    };
    auto addPlaces = [&](QComboBox *&combo, const QString &caption) {
        auto *box = new QGroupBox(caption, this);
        box->setAccessibleName(bare(caption));
        combo = new QComboBox(box);
        combo->setAccessibleName(bare(caption));
        combo->setPlaceholderText(mz::unchosenPlace());
        auto *row = new QHBoxLayout(box);
        row->addWidget(combo);
        row->addStretch();
        place(box);
    };

    // The frames in the order of the questions: age, child's age, the eight interests, sex,
    // the two places, driving.
    for (int g = 0; g <= static_cast<int>(FlashGroup::Sex); ++g)
        addGroup(static_cast<FlashGroup>(g));
    addPlaces(Combo1, mz::nativeCaption());
    addPlaces(Combo2, mz::liveCaption());
    addGroup(FlashGroup::Car);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->hide();

    Command1 = new QPushButton(QStringLiteral("确定"), this);
    Command1->setAccessibleName(QStringLiteral("确定"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("取消"), this);
    Command2->setAccessibleName(QStringLiteral("取消"));
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_status, 1);
    buttonRow->addStretch();
    buttonRow->addWidget(Command1);
    buttonRow->addWidget(Command2);
    auto *questions = new QWidget;
    questions->setLayout(grid);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *area = new QuestionsArea(this);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(questions);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(area);
    layout->addLayout(buttonRow);

    Form_Load();
}

// The whole questionnaire, as far as the screen's free area (title bar included) allows: two
// columns of fourteen questions are wider than a small or scaled screen.
QSize Form5::sizeHint() const
{
    const QSize whole = QDialog::sizeHint();
    const QScreen *on = screen();
    if (!on)
        return whole;
    const QRect free = on->availableGeometry();
    return whole.boundedTo(
        QSize(free.width(), free.height() - style()->pixelMetric(QStyle::PM_TitleBarHeight)));
}

// A window shows at most two thirds of the screen unless it is sized: on a small screen the
// questionnaire takes what sizeHint() allows.
void Form5::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_sized) {
        m_sized = true;
        resize(sizeHint());
    }
    QDialog::showEvent(event);
}

void Form5::Form_Load()
{
    for (QComboBox *combo : {Combo1, Combo2}) {
        combo->clear();
        combo->addItems(mz::placeNames());
        combo->setCurrentIndex(-1);
    }
    const mz::FlashLoad load = mz::loadFlashIni(mz::flashIniPath(m_folder));
    m_shown = load.answers;
    showAnswers(load.answers);
    if (!load.readable) {
        m_status->setText(QStringLiteral("flash.ini 无法读取，已保存的选项不能显示。"));
        m_status->show();
    }
}

void Form5::showAnswers(const mz::FlashAnswers &answers)
{
    for (int g = 0; g < mz::kFlashGroupCount; ++g) {
        QButtonGroup *group = m_groups[g];
        if (QAbstractButton *chosen = group->button(answers.choice[g])) {
            chosen->setChecked(true);
        } else if (QAbstractButton *checked = group->checkedButton()) {
            // An exclusive group never unchecks its last button by itself.
            group->setExclusive(false);
            checked->setChecked(false);
            group->setExclusive(true);
        }
        // Tab enters the question on its answer, so that a screen reader reads the answer and
        // Space cannot replace it unseen. Qt keeps one Tab stop per group, the option that had
        // the focus last, and before any had it the first one.
        QAbstractButton *stop = group->checkedButton();
        if (!stop)
            stop = group->buttons().value(0);
        for (QAbstractButton *option : group->buttons())
            option->setFocusPolicy(option == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
    Combo1->setCurrentIndex(Combo1->findText(answers.native, Qt::MatchExactly));
    Combo2->setCurrentIndex(Combo2->findText(answers.live, Qt::MatchExactly));
}

mz::FlashAnswers Form5::answers() const
{
    mz::FlashAnswers a;
    for (int g = 0; g < mz::kFlashGroupCount; ++g)
        a.choice[g] = m_groups[g]->checkedId();
    a.native = placeText(Combo1);
    a.live = placeText(Combo2);
    return a;
}

void Form5::Command1_Click()
{
    // flash.ini is read again: the user may have edited it while the dialog was open.
    const QString path = mz::flashIniPath(m_folder);
    const mz::FlashLoad now = mz::loadFlashIni(path);
    const mz::FlashAnswers chosen =
        now.readable ? mz::mergeFlashAnswers(m_shown, answers(), now.answers) : answers();
    QString error;
    if (!mz::saveFlashIni(path, chosen, &error)) {
        m_status->setText(QStringLiteral("喜好选项未能保存：%1").arg(error));
        m_status->show();
        return;
    }
    accept();
}

void Form5::Command2_Click()
{
    reject();
}

QString Form5::statusText() const
{
    return m_status->text();
}
