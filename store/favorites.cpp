#include "store/favorites.h"

#include "platform/profile.h"
#include "platform/linespans.h"
#include "platform/shell.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace mz {

namespace {

const QString kSection = QStringLiteral("main");

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The file stays as it is: it is the user's to mend.
QString readFailedText(const QString &path, ReadProblem problem)
{
    if (problem == ReadProblem::Unreadable)
        return QStringLiteral("无法读取收藏夹文件 %1。").arg(shownPath(path));
    return QStringLiteral("无法读取收藏夹文件 %1：它%2。")
        .arg(shownPath(path), readProblemText(problem, kMaxProfileFileBytes));
}

} // namespace

QString favoritesPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("favorite.ini"));
}

QString storedFavoriteTitle(const QString &title)
{
    QString stored = title;
    stored.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    stored.replace(u'\r', u' ');
    stored.replace(u'\n', u' ');
    stored.replace(u'=', u'＝');
    stored = stored.trimmed();
    if (stored.startsWith(u'['))
        stored[0] = u'［';
    else if (stored.startsWith(u';'))
        stored[0] = u'；';
    return stored;
}

QList<Favorite> parseFavorites(const QString &text)
{
    QList<Favorite> favorites;
    int n = 0;
    // Lines split as the profile routines split them (CR LF, bare LF or bare CR), so line
    // numbers agree.
    for (const LineSpan &span : lineSpans(text)) {
        ++n;
        const QString line = text.mid(span.begin, span.length).trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || line.startsWith(u'['))
            continue;
        favorites.append({QStringLiteral("k%1").arg(n), line.left(eq), line.mid(eq + 1)});
    }
    return favorites;
}

FavoritesResult readFavorites(const QString &path)
{
    FavoritesResult result;
    ReadProblem problem = ReadProblem::None;
    const std::optional<QString> text = readTextFile(path, kMaxProfileFileBytes, &problem);
    if (problem == ReadProblem::Missing)
        return result; // no favourite stored yet
    if (!text) {
        result.status = FavoritesResult::Status::ReadFailed;
        result.message = readFailedText(path, problem);
        return result;
    }
    result.favorites = parseFavorites(*text);
    return result;
}

FavoritesResult addFavorite(const QString &path, const QString &title, const QString &address)
{
    FavoritesResult result;
    const QString stored = storedFavoriteTitle(title);
    if (stored.isEmpty()) {
        result.status = FavoritesResult::Status::Refused;
        result.message = QStringLiteral("这条新闻没有标题，无法收藏。");
        return result;
    }
    QString error;
    // An address broken over lines in the page could not be written to its one line (and the
    // browser would not read it so anyway).
    if (!writeProfileString(path, kSection, stored, browserAddress(address), &error)) {
        result.status = FavoritesResult::Status::WriteFailed;
        result.message = QStringLiteral("无法写入收藏夹文件 %1（%2），新闻没有收藏。")
                             .arg(shownPath(path), error);
    }
    return result;
}

FavoritesResult removeFavorite(const QString &path, const QString &title, const QString &address)
{
    FavoritesResult result;
    if (!QFileInfo::exists(path)) {
        result.status = FavoritesResult::Status::NotFound;
        result.message = QStringLiteral("收藏夹中已没有这条新闻。");
        return result;
    }
    ReadProblem problem = ReadProblem::None;
    std::optional<QByteArray> bytes = readFileBytes(path, kMaxProfileFileBytes, &problem);
    if (!bytes) {
        result.status = FavoritesResult::Status::ReadFailed;
        result.message = readFailedText(path, problem);
        return result;
    }
    const QString entry = title + u'=' + address;
    for (const LineSpan &line : lineSpans(*bytes)) {
        if (decodeAnsi(QByteArrayView(*bytes).sliced(line.begin, line.length)).trimmed() != entry)
            continue;
        bytes->remove(line.begin, line.length);
        QString error;
        if (!writeFileBytes(path, *bytes, &error)) {
            result.status = FavoritesResult::Status::WriteFailed;
            result.message = QStringLiteral("无法写入收藏夹文件 %1（%2），收藏没有删除。")
                                 .arg(shownPath(path), error);
        }
        return result;
    }
    result.status = FavoritesResult::Status::NotFound;
    result.message = QStringLiteral("收藏夹中已没有这条新闻。");
    return result;
}

} // namespace mz
