#pragma once
// flash.ini: the answers to the home page questions, in the section "[main]".
//
// Twelve answers are the 0-based position of the chosen option in their group, as decimal text;
// the places of origin and residence are stored as the place name the list shows. The file as
// delivered reads "age=#": no age saved yet.
//
// Loading is forgiving: a missing file, a missing key, a value that is not a plain number or a
// number outside its group leave that group unselected; every valid key is shown, also while age
// is "#". Saving writes the chosen groups (the others keep their stored value) and both places,
// but never writes the untouched "请选择" over a place already stored. A save is all or nothing.

#include <QString>
#include <QStringList>

#include <array>

namespace mz {

// The option groups, in the order they are read and saved.
enum class FlashGroup {
    Age,
    ChildAge,
    Gym,
    Star,
    Domestic,
    Hk,
    Foreign,
    Military,
    Science,
    Internet,
    Sex,
    Car
};
inline constexpr int kFlashGroupCount = 12;

struct FlashQuestion
{
    QString key;         // key in "[main]"
    QString caption;     // the question, as its frame shows it
    QStringList options; // option captions; an answer is a position in this list
};

const FlashQuestion &flashQuestion(FlashGroup group);
QString nativeCaption(); // "籍贯:"
QString liveCaption();   // "居住地:"
// The 35 entries of both place lists, in list order.
const QStringList &placeNames();
// What a place list shows while nothing is chosen.
QString unchosenPlace();

// flash.ini holds fourteen short answers. A larger file is neither read nor rewritten: every
// answer is looked up by a pass over the whole file, and a damaged file of 20 MB froze the window
// for many seconds whenever the dialog or the front page read it.
inline constexpr qint64 kMaxFlashIniBytes = 1024 * 1024;

// Where the program keeps the file.
QString flashIniPath(const QString &folder);

// Whether `name` is that of the scratch folder a save makes beside flash.ini ("flash.ini." and
// six letters); it goes with the save, unless the program is killed meanwhile.
bool isFlashScratchName(const QString &name);

struct FlashAnswers
{
    // The chosen position of each group, -1 when none.
    std::array<int, kFlashGroupCount> choice{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    QString native = unchosenPlace();
    QString live = unchosenPlace();

    int &operator[](FlashGroup g) { return choice[static_cast<int>(g)]; }
    int operator[](FlashGroup g) const { return choice[static_cast<int>(g)]; }
    bool operator==(const FlashAnswers &) const = default;
};

struct FlashLoad
{
    FlashAnswers answers;
    bool found = false;    // the file exists
    bool readable = true;  // false: it exists but could not be read, or is over kMaxFlashIniBytes
    int invalidValues = 0; // keys present with a value no option matches ("#" for age excluded)
};

FlashLoad loadFlashIni(const QString &path);

// What a dialog that showed `shown` and now shows `edited` saves over a file that holds `current`
// answers now (an editor or a sync tool may have changed it since the dialog read it): what the
// user changed in the dialog, and elsewhere the file's own answer where it has one, so that a
// save does not put the dialog's older copy back over an answer changed behind its back.
FlashAnswers mergeFlashAnswers(const FlashAnswers &shown, const FlashAnswers &edited,
                               const FlashAnswers &current);

// False (with *error filled) when the file cannot be written; the file is unchanged then.
bool saveFlashIni(const QString &path, const FlashAnswers &answers, QString *error = nullptr);

} // namespace mz
