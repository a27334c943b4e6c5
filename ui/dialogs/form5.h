#pragma once
// Form5, "生成首页选项": fourteen questions for the personal front page. The dialog shows the
// answers flash.ini holds when it opens and saves the chosen ones on "确定"; "取消" closes it
// without touching the file. An answer changed in the file while the dialog was open stays,
// unless the user changed that answer in the dialog too. When the file cannot be written "确定"
// says so and stays open.

#include "store/flashini.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <array>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class Form5 : public QDialog
{
    Q_OBJECT

public:
    // `folder` is the program folder holding flash.ini. The saved answers are shown at once.
    explicit Form5(const QString &folder, QWidget *parent = nullptr);

    // The option buttons of each group.
    QList<QRadioButton *> Option1, Option7, Option3, Option4, Option5, Option6, Option8, Option9,
        Option10, Option11, Option2, Option12;
    QComboBox *Combo1 = nullptr;     // 籍贯
    QComboBox *Combo2 = nullptr;     // 居住地
    QPushButton *Command1 = nullptr; // 确定
    QPushButton *Command2 = nullptr; // 取消

    // Fills the place lists and shows the saved answers.
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    // The answers as the controls show them, and the other way round.
    mz::FlashAnswers answers() const;
    void showAnswers(const mz::FlashAnswers &answers);

    QSize sizeHint() const override;

    // The frame of a group (its caption is the question).
    QGroupBox *frame(mz::FlashGroup group) const { return m_frames[static_cast<int>(group)]; }
    QString statusText() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_sized = false;
    QString m_folder;
    mz::FlashAnswers m_shown; // the answers flash.ini held when the dialog read it
    std::array<QGroupBox *, mz::kFlashGroupCount> m_frames{};
    std::array<QButtonGroup *, mz::kFlashGroupCount> m_groups{};
    QLabel *m_status = nullptr;
};
