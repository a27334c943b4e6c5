#include "store/flashini.h"

#include "platform/module2.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace mz {

namespace {

const QString kSection = QStringLiteral("main");

QStringList ages(const QString &last)
{
    return {QStringLiteral("0-12岁"),
            QStringLiteral("13-19岁"),
            QStringLiteral("20-25岁"),
            QStringLiteral("26-33岁"),
            QStringLiteral("34-43岁"),
            QStringLiteral("44-56岁"),
            last};
}

QStringList interest()
{
    return {QStringLiteral("一点不"), QStringLiteral("一般关心"), QStringLiteral("非常关心")};
}

const std::array<FlashQuestion, kFlashGroupCount> &questions()
{
    static const std::array<FlashQuestion, kFlashGroupCount> q{{
        {QStringLiteral("age"), QStringLiteral("年龄:"), ages(QStringLiteral("56以上岁"))},
        {QStringLiteral("childage"), QStringLiteral("你孩子的年龄:"),
         ages(QStringLiteral("无小孩"))},
        {QStringLiteral("gym"), QStringLiteral("是否关心体育:"), interest()},
        {QStringLiteral("star"), QStringLiteral("是否关心明星:"), interest()},
        {QStringLiteral("domestic"), QStringLiteral("是否关心国内政治:"), interest()},
        {QStringLiteral("hk"), QStringLiteral("是否关心港澳台新闻:"), interest()},
        {QStringLiteral("foreign"), QStringLiteral("是否关心国际政治:"), interest()},
        {QStringLiteral("military"), QStringLiteral("是否关心军事新闻:"), interest()},
        {QStringLiteral("science"), QStringLiteral("是否关心科技新闻:"), interest()},
        {QStringLiteral("internet"), QStringLiteral("是否关心互联网新闻:"), interest()},
        {QStringLiteral("sex"),
         QStringLiteral("性别:"),
         {QStringLiteral("男"), QStringLiteral("女")}},
        {QStringLiteral("car"),
         QStringLiteral("是否会架车:"),
         {QStringLiteral("会"), QStringLiteral("不会")}},
    }};
    return q;
}

// The position a stored value names in a group of `count` options; -1 when the value is not a
// plain decimal number inside the group.
int position(const QString &value, qsizetype count)
{
    if (value.isEmpty() || value.size() > 9)
        return -1;
    for (QChar c : value) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    const int i = value.toInt();
    return i < count ? i : -1;
}

// True when a stored place is one that "请选择" must not replace.
bool storedPlace(const QString &value)
{
    return !value.isEmpty() && value != unchosenPlace();
}

} // namespace

const FlashQuestion &flashQuestion(FlashGroup group)
{
    return questions()[static_cast<int>(group)];
}

QString nativeCaption()
{
    return QStringLiteral("籍贯:");
}

QString liveCaption()
{
    return QStringLiteral("居住地:");
}

const QStringList &placeNames()
{
    static const QStringList places =
        QStringLiteral("安徽 北京 重庆 福建 甘肃 广东 广西 贵州 海南 河北 黑龙江 河南 香港 湖北 "
                       "湖南 江苏 江西 吉林 辽宁 澳门 内蒙古 宁夏 青海 山东 上海 山西 陕西 四川 "
                       "台湾 天津 新疆 西藏 云南 浙江 海外")
            .split(u' ');
    return places;
}

QString unchosenPlace()
{
    return QStringLiteral("请选择");
}

QString flashIniPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("flash.ini"));
}

bool isFlashScratchName(const QString &name)
{
    // QTemporaryDir fills the six places with ASCII letters.
    static const QRegularExpression pattern(QStringLiteral("^flash\\.ini\\.[A-Za-z]{6}$"));
    return pattern.match(name).hasMatch();
}

FlashLoad loadFlashIni(const QString &path)
{
    FlashLoad load;
    load.found = QFileInfo::exists(path);
    if (!load.found)
        return load;
    load.readable = readFileBytes(path, kMaxFlashIniBytes).has_value();
    if (!load.readable)
        return load;

    Module2 profile;
    profile.setCurrentFile(path);
    auto readGroup = [&](FlashGroup g) {
        const FlashQuestion &q = flashQuestion(g);
        const QString value = profile.readValue(kSection, q.key);
        const int i = position(value, q.options.size());
        if (i < 0 && !value.isEmpty() && !(g == FlashGroup::Age && value == u"#"))
            ++load.invalidValues;
        load.answers[g] = i;
    };
    auto readPlace = [&](const QString &key) {
        const QString value = profile.readValue(kSection, key);
        if (placeNames().contains(value))
            return value;
        if (storedPlace(value))
            ++load.invalidValues;
        return unchosenPlace();
    };
    // The order of the dialog's load: the numeric groups up to sex, the places, then car.
    for (int g = 0; g <= static_cast<int>(FlashGroup::Sex); ++g)
        readGroup(static_cast<FlashGroup>(g));
    load.answers.native = readPlace(QStringLiteral("native"));
    load.answers.live = readPlace(QStringLiteral("live"));
    readGroup(FlashGroup::Car);
    return load;
}

FlashAnswers mergeFlashAnswers(const FlashAnswers &shown, const FlashAnswers &edited,
                               const FlashAnswers &current)
{
    FlashAnswers merged = edited;
    for (int g = 0; g < kFlashGroupCount; ++g) {
        if (edited.choice[g] == shown.choice[g] && current.choice[g] >= 0)
            merged.choice[g] = current.choice[g];
    }
    if (edited.native == shown.native && current.native != unchosenPlace())
        merged.native = current.native;
    if (edited.live == shown.live && current.live != unchosenPlace())
        merged.live = current.live;
    return merged;
}

bool saveFlashIni(const QString &path, const FlashAnswers &answers, QString *error)
{
    // The keys go one by one into a scratch copy, and only the finished copy replaces the file:
    // a failure halfway never leaves some answers saved and others not.
    QByteArray original;
    if (QFileInfo::exists(path)) {
        const std::optional<QByteArray> bytes = readFileBytes(path, kMaxFlashIniBytes);
        if (!bytes) {
            if (error)
                *error = QFileInfo(path).size() > kMaxFlashIniBytes
                             ? QStringLiteral("%1 过大（超过 1 MB），没有改写")
                                   .arg(QDir::toNativeSeparators(path))
                             : QStringLiteral("无法读取 %1").arg(QDir::toNativeSeparators(path));
            return false;
        }
        original = *bytes;
    }
    // The scratch copy is made beside the file: the system's temporary folder may be full or
    // missing while the program folder is fine.
    const QDir folder = QFileInfo(path).absoluteDir();
    QTemporaryDir scratch(folder.filePath(QStringLiteral("flash.ini.XXXXXX")));
    if (!scratch.isValid()) {
        if (error)
            *error = QStringLiteral("无法在 %1 中建立临时文件夹")
                         .arg(QDir::toNativeSeparators(folder.path()));
        return false;
    }
    const QString copy = scratch.filePath(QStringLiteral("flash.ini"));
    if (!writeFileBytes(copy, original, error))
        return false;

    Module2 profile;
    profile.setCurrentFile(copy);
    for (int g = 0; g < kFlashGroupCount; ++g) {
        if (answers.choice[g] < 0)
            continue;
        if (!profile.writeValue(kSection, questions()[g].key, QString::number(answers.choice[g]),
                                error))
            return false;
    }
    const std::pair<QString, QString> places[] = {{QStringLiteral("native"), answers.native},
                                                  {QStringLiteral("live"), answers.live}};
    for (const auto &[key, value] : places) {
        if (value == unchosenPlace() && storedPlace(profile.readValue(kSection, key)))
            continue;
        if (!profile.writeValue(kSection, key, value, error))
            return false;
    }

    const std::optional<QByteArray> finished = readFileBytes(copy);
    if (!finished) {
        if (error)
            *error = QStringLiteral("无法读取临时文件");
        return false;
    }
    return writeFileBytes(path, *finished, error);
}

} // namespace mz
