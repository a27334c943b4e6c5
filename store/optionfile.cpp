#include "store/optionfile.h"

#include "platform/linespans.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace mz {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Where `header` first stands at the start of a line of `text` (text or GBK bytes: "[" may be
// the second byte of a GBK character, but a line end never is); -1 when nowhere.
template <typename Text, typename Header>
qsizetype headerAtLineStart(const Text &text, const Header &header)
{
    qsizetype h = -1;
    for (qsizetype from = 0; (h = text.indexOf(header, from)) >= 0; from = h + 1) {
        if (h == 0 || text.at(h - 1) == '\n' || text.at(h - 1) == '\r')
            break;
    }
    return h;
}

// Start of the line after the header line, or -1 when the header is absent. The header is
// found by its first occurrence anywhere in the text.
qsizetype bodyStart(const QString &text, QStringView header)
{
    const qsizetype h = text.indexOf(header);
    if (h < 0)
        return -1;
    const qsizetype eol = text.indexOf(kCrLf, h);
    return eol < 0 ? text.size() : eol + 2;
}

// [begin, end) of the list body: from the line after the header up to the next line that
// begins with "[", or to the end of the text. `end` points at the CR LF that ends the last line
// of the body (or the end of the text).
struct Range
{
    qsizetype begin = -1;
    qsizetype end = -1;
};

Range listBody(const QString &text, QStringView header)
{
    Range r;
    r.begin = bodyStart(text, header);
    if (r.begin < 0)
        return r;
    qsizetype p = r.begin;
    while (p < text.size()) {
        if (text.at(p) == u'[')
            break;
        const qsizetype eol = text.indexOf(kCrLf, p);
        if (eol < 0) {
            p = text.size();
            break;
        }
        p = eol + 2;
    }
    r.end = p;
    return r;
}

QString singleLine(const QString &text, QStringView header)
{
    const qsizetype b = bodyStart(text, header);
    if (b < 0 || b >= text.size())
        return {};
    qsizetype eol = text.indexOf(kCrLf, b);
    if (eol < 0)
        eol = text.size();
    const QString line = text.mid(b, eol - b).trimmed();
    return line.startsWith(u'[') ? QString() : line;
}

} // namespace

QString optionFilePath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("option.ini"));
}

std::optional<QString> readOptionFile(const QString &folder)
{
    const std::optional<QByteArray> bytes =
        readFileBytes(optionFilePath(folder), kMaxOptionFileBytes);
    if (!bytes)
        return std::nullopt;
    // A byte order mark an editor put in front of the first header is no text of it.
    return withCrLf(decodeAnsi(QByteArrayView(*bytes).sliced(byteOrderMarkLength(*bytes))));
}

QString optionFileReadProblem(const QString &folder)
{
    const QString path = optionFilePath(folder);
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("设置文件 %1 不是普通文件，没有读取").arg(shown);
    if (info.isFile() && info.size() > kMaxOptionFileBytes)
        return QStringLiteral("设置文件 %1 过大（超过 %2 MB），没有读取")
            .arg(shown)
            .arg(kMaxOptionFileBytes / (1024 * 1024));
    return QStringLiteral("无法读取设置文件 %1").arg(shown);
}

QString withCrLf(const QString &text)
{
    // A file saved by an editor that writes bare LF (or CR) line ends reads as CR LF, so that
    // its sections parse and a later rewrite does not mix the two kinds.
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            out += kCrLf;
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += kCrLf;
        } else {
            out += c;
        }
    }
    return out;
}

bool writeOptionFile(const QString &folder, const QString &text, QString *error)
{
    return writeTextFile(optionFilePath(folder), text, error);
}

double parseDaysToKeep(const QString &text)
{
    const QStringView header(kDaysHeader);
    const qsizetype h = text.indexOf(header);
    if (h < 0)
        return 0;
    const qsizetype afterHeader = h + header.size();
    const qsizetype t = text.indexOf(u'天', afterHeader);
    const qsizetype begin = afterHeader + 2;
    if (t < 0 || t <= begin)
        return 0;
    // Read a number the way a BASIC Val() does: blanks, tabs and line feeds ignored, an
    // optional sign, digits and one decimal point; stop at anything else.
    QString number;
    bool point = false;
    bool any = false;
    for (qsizetype i = begin; i < t; ++i) {
        const QChar c = text.at(i);
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if ((c == u'+' || c == u'-') && number.isEmpty()) {
            number += c;
            continue;
        }
        if (c == u'.' && !point) {
            point = true;
            number += c;
            continue;
        }
        if (c >= u'0' && c <= u'9') {
            number += c;
            any = true;
            continue;
        }
        break;
    }
    if (!any)
        return 0;
    if (number.endsWith(u'.'))
        number.chop(1);
    return number.toDouble();
}

QStringList parseListSection(const QString &text, QStringView header)
{
    QStringList items;
    const Range r = listBody(text, header);
    if (r.begin < 0)
        return items;
    qsizetype p = r.begin;
    while (p < r.end) {
        qsizetype eol = text.indexOf(kCrLf, p);
        if (eol < 0 || eol > r.end)
            eol = r.end;
        items << text.mid(p, eol - p);
        p = eol + 2;
    }
    // A body that is exactly the header's line end followed by nothing (header at the end of
    // the file without CR LF) has no items; a header line followed by CR LF and the end of the
    // file has none either.
    return items;
}

QString portalAddress(const QString &text, const QString &fallback)
{
    QString value = singleLine(text, QStringView(kPortalHeader));
    while (value.endsWith(u'/'))
        value.chop(1);
    return value.isEmpty() ? fallback : value;
}

QString siteAddress(const QString &text, const QString &fallback)
{
    const QString value = singleLine(text, QStringView(kSiteHeader));
    return value.isEmpty() ? fallback : value;
}

QString insertKeyword(const QString &text, const QString &keyword)
{
    const QStringView header(kKeywordsHeader);
    const qsizetype h = text.indexOf(header);
    if (h < 0) {
        // No keyword section at all: add one at the end so that the keyword is kept.
        QString out = text;
        if (!out.isEmpty() && !out.endsWith(kCrLf))
            out += kCrLf;
        return out + header.toString() + kCrLf + keyword + kCrLf;
    }
    // The keyword becomes the first line of the list, whatever follows the header on its line.
    QString out = text;
    qsizetype at = bodyStart(text, header);
    if (at == text.size() && !text.endsWith(kCrLf)) { // the header is the last line
        out += kCrLf;
        at = out.size();
    }
    out.insert(at, keyword + kCrLf);
    return out;
}

namespace {

// Position and length of the first whole line equal to `line` inside the keyword section,
// or -1 when there is none.
qsizetype findKeywordLine(const QString &text, const QString &line)
{
    const Range r = listBody(text, QStringView(kKeywordsHeader));
    if (r.begin < 0)
        return -1;
    qsizetype p = r.begin;
    while (p < r.end) {
        qsizetype eol = text.indexOf(kCrLf, p);
        if (eol < 0 || eol > r.end)
            eol = r.end;
        if (QStringView(text).sliced(p, eol - p) == line)
            return p;
        p = eol + 2;
    }
    return -1;
}

} // namespace

QString removeKeyword(const QString &text, const QString &keyword)
{
    const qsizetype p = findKeywordLine(text, keyword);
    if (p < 0)
        return text;
    QString out = text;
    qsizetype len = keyword.size();
    if (QStringView(out).sliced(p + len).startsWith(kCrLf))
        len += 2;
    else if (p >= 2 && QStringView(out).sliced(p - 2, 2) == kCrLf) {
        // Last line of the file without a line end: drop the line end before it instead.
        out.remove(p - 2, len + 2);
        return out;
    }
    out.remove(p, len);
    return out;
}

QString renameKeyword(const QString &text, const QString &from, const QString &to)
{
    const qsizetype p = findKeywordLine(text, from);
    if (p < 0)
        return text;
    QString out = text;
    out.replace(p, from.size(), to);
    return out;
}

} // namespace mz

namespace mz {

namespace {

KeywordChange failure(KeywordChange::Status status, const QString &keyword, const QString &message)
{
    return {status, keyword, message};
}

// option.ini as lines of bytes, split where withCrLf() sees line ends (CR LF, LF or CR); the
// last piece is what follows the last line end (empty when the file ends with one).
struct ByteLine
{
    QByteArrayView text;
    QByteArrayView end;
};

QList<ByteLine> byteLines(QByteArrayView bytes)
{
    QList<ByteLine> lines;
    for (const LineSpan &span : lineSpans(bytes))
        lines.append({bytes.sliced(span.begin, span.length),
                      bytes.sliced(span.begin + span.length, span.endLength)});
    if (lines.isEmpty() || !lines.last().end.isEmpty())
        lines.append({bytes.sliced(bytes.size()), {}}); // nothing after the last line end
    return lines;
}

// The bytes of `changed` (CR LF text) written over `lines`: the lines before and after the part
// that changed keep their bytes and line ends as they were, so a damaged or differently encoded
// line elsewhere in the file survives a keyword change; new lines take the file's line end.
QByteArray splice(const QList<ByteLine> &lines, const QStringList &before, const QStringList &after)
{
    QByteArrayView eol("\r\n");
    for (const ByteLine &line : lines) {
        if (!line.end.isEmpty()) {
            eol = line.end;
            break;
        }
    }
    const qsizetype a = before.size();
    const qsizetype b = after.size();
    qsizetype p = 0;
    while (p < a && p < b && before.at(p) == after.at(p))
        ++p;
    qsizetype s = 0;
    while (s < a - p && s < b - p && before.at(a - 1 - s) == after.at(b - 1 - s))
        ++s;
    QByteArray out;
    for (qsizetype i = 0; i < p; ++i) {
        out += lines.at(i).text;
        if (i < b - 1)
            out += lines.at(i).end.isEmpty() ? eol : lines.at(i).end;
    }
    for (qsizetype i = p; i < b - s; ++i) {
        out += encodeAnsi(after.at(i));
        if (i < b - 1)
            out += eol;
    }
    for (qsizetype i = a - s; i < a; ++i) {
        out += lines.at(i).text;
        out += lines.at(i).end;
    }
    return out;
}

// Reads option.ini, applies `rule` and writes the result back when it differs.
template <typename Rule>
KeywordChange rewrite(const QString &folder, const QString &keyword, Rule rule)
{
    const std::optional<QByteArray> bytes =
        readFileBytes(optionFilePath(folder), kMaxOptionFileBytes);
    const QString path = QDir::toNativeSeparators(optionFilePath(folder));
    if (!bytes) {
        return failure(KeywordChange::Status::ReadFailed, keyword,
                       optionFileReadProblem(folder) + QStringLiteral("，关键词没有保存。"));
    }
    // A byte order mark stays at the start, in front of whatever the lines become.
    const QByteArrayView mark = QByteArrayView(*bytes).first(byteOrderMarkLength(*bytes));
    const QList<ByteLine> lines = byteLines(QByteArrayView(*bytes).sliced(mark.size()));
    QStringList before;
    before.reserve(lines.size());
    for (const ByteLine &line : lines)
        before << decodeAnsi(line.text);
    const QString text = before.join(kCrLf);
    const QString changed = rule(text);
    if (changed == text)
        return {KeywordChange::Status::Unchanged, keyword, {}};
    const QByteArray bytesOut = mark.toByteArray() + splice(lines, before, changed.split(kCrLf));
    // A file over the limit is not read at the next start: every keyword, category and the days
    // to keep would be gone. Such a change is not written.
    if (bytesOut.size() > kMaxOptionFileBytes) {
        return failure(KeywordChange::Status::Refused, keyword,
                       QStringLiteral("关键词太长：设置文件 %1 会超过 %2 MB，关键词没有保存。")
                           .arg(path)
                           .arg(kMaxOptionFileBytes / (1024 * 1024)));
    }
    QString error;
    if (!writeFileBytes(optionFilePath(folder), bytesOut, &error)) {
        return failure(
            KeywordChange::Status::WriteFailed, keyword,
            QStringLiteral("无法写入设置文件 %1（%2），关键词没有保存。").arg(path, error));
    }
    return {KeywordChange::Status::Written, keyword, {}};
}

// The keyword as option.ini gives it back: a text GB18030 cannot hold (a lone surrogate) is
// stored as its substitute, and the tree must show what the file holds, or the node could
// never be renamed or deleted in the file.
QString storedKeyword(const QString &typed)
{
    return decodeAnsi(encodeAnsi(keywordLine(typed)));
}

} // namespace

QString keywordLine(const QString &typed)
{
    const auto isBreak = [](QChar c) { return c == u'\r' || c == u'\n'; };
    // A text copied from a page often starts with the line end of the line before it, and the
    // one-line editors show a line break as a blank: cut there, the keyword the user sees would
    // be stored as an empty line.
    qsizetype begin = 0;
    while (begin < typed.size() && isBreak(typed.at(begin)))
        ++begin;
    qsizetype end = begin;
    while (end < typed.size() && !isBreak(typed.at(end)))
        ++end;
    return typed.sliced(begin, end - begin);
}

QString keywordRefusal(const QString &keyword)
{
    if (keyword.startsWith(u'['))
        return QStringLiteral("关键词不能以“[”开头：这样的一行会被当作设置文件的节名。");
    for (QStringView header :
         {QStringView(kDaysHeader), QStringView(kKeywordsHeader), QStringView(kCategoriesHeader),
          QStringView(kPortalHeader), QStringView(kSiteHeader), QStringView(kWindowHeader)}) {
        if (keyword.contains(header))
            return QStringLiteral("关键词不能含有“%1”：这是设置文件的节名。").arg(header);
    }
    return {};
}

KeywordChange addKeywordToFile(const QString &folder, const QString &typed)
{
    const QString keyword = storedKeyword(typed);
    if (keyword.isEmpty())
        return {KeywordChange::Status::Unchanged, keyword, {}};
    if (const QString refusal = keywordRefusal(keyword); !refusal.isEmpty())
        return failure(KeywordChange::Status::Refused, keyword, refusal);
    return rewrite(folder, keyword,
                   [&](const QString &text) { return insertKeyword(text, keyword); });
}

KeywordChange renameKeywordInFile(const QString &folder, const QString &from, const QString &typed)
{
    const QString keyword = storedKeyword(typed);
    if (const QString refusal = keywordRefusal(keyword); !refusal.isEmpty())
        return failure(KeywordChange::Status::Refused, keyword, refusal);
    if (keyword == from)
        return {KeywordChange::Status::Unchanged, keyword, {}};
    bool found = true;
    KeywordChange change = rewrite(folder, keyword, [&](const QString &text) {
        const QString renamed = renameKeyword(text, from, keyword);
        found = renamed != text; // from != keyword, so a found line always changes the text
        return renamed;
    });
    if (change.status == KeywordChange::Status::Unchanged && !found) {
        change = failure(KeywordChange::Status::NotFound, keyword,
                         QStringLiteral("设置文件中没有关键词“%1”，无法修改。").arg(from));
    }
    return change;
}

KeywordChange removeKeywordFromFile(const QString &folder, const QString &keyword)
{
    return rewrite(folder, keyword,
                   [&](const QString &text) { return removeKeyword(text, keyword); });
}

} // namespace mz

namespace mz {

std::optional<WindowPlace> parseWindowPlace(const QString &text, QSize minimum)
{
    // The section is the one withWindowPlace() writes: its header begins a line. A "[窗口]" inside
    // another line (an old keyword, an address) is not it.
    const QStringView header(kWindowHeader);
    const qsizetype h = headerAtLineStart(text, header);
    if (h < 0)
        return std::nullopt;
    const QStringList parts = singleLine(text.sliced(h), header).split(u',');
    if (parts.size() < 5)
        return std::nullopt;
    // Screens are far smaller than this; larger numbers are damage, not a place.
    constexpr int kLimit = 100000;
    auto number = [&parts](int i) -> std::optional<int> {
        bool ok = false;
        const int v = parts.at(i).trimmed().toInt(&ok);
        return ok && v >= -kLimit && v <= kLimit ? std::optional<int>(v) : std::nullopt;
    };
    int v[5];
    for (int i = 0; i < 5; ++i) {
        const std::optional<int> n = number(i);
        if (!n)
            return std::nullopt;
        v[i] = *n;
    }
    WindowPlace place{v[0], v[1], v[2], v[3], v[4], {}};
    if (place.width < minimum.width() || place.height < minimum.height() || place.treeWidth < 1 ||
        place.treeWidth >= place.width)
        return std::nullopt;
    if (parts.size() == 5 + WindowPlace::kColumnWidths) {
        for (int i = 5; i < parts.size(); ++i) {
            const std::optional<int> n = number(i);
            if (!n || *n < 1) {
                place.columnWidths.clear();
                break;
            }
            place.columnWidths << *n;
        }
    }
    return place;
}

QByteArray withWindowPlace(const QByteArray &bytes, const WindowPlace &place)
{
    // A byte order mark is no part of the first line, where the header may stand; it stays first.
    if (const qsizetype mark = byteOrderMarkLength(bytes); mark > 0)
        return bytes.first(mark) + withWindowPlace(bytes.sliced(mark), place);
    const QByteArray header = encodeAnsi(QStringView(kWindowHeader));
    QByteArray line = QByteArray::number(place.x) + ',' + QByteArray::number(place.y) + ',' +
                      QByteArray::number(place.width) + ',' + QByteArray::number(place.height) +
                      ',' + QByteArray::number(place.treeWidth);
    if (place.columnWidths.size() == WindowPlace::kColumnWidths) {
        for (int w : place.columnWidths)
            line += ',' + QByteArray::number(w);
    }
    const QByteArray section = header + "\r\n" + line + "\r\n";
    // The header counts only at the start of a line.
    const qsizetype h = headerAtLineStart(bytes, header);
    if (h < 0) {
        QByteArray out = bytes;
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
            out += "\r\n";
        return out + section;
    }
    // The section runs to the next line that begins with "[" or to the end.
    auto nextLine = [&bytes](qsizetype p) {
        const qsizetype lf = bytes.indexOf('\n', p);
        if (lf >= 0)
            return lf + 1;
        const qsizetype cr = bytes.indexOf('\r', p);
        return cr >= 0 ? cr + 1 : bytes.size();
    };
    qsizetype end = nextLine(h);
    while (end < bytes.size() && bytes.at(end) != '[')
        end = nextLine(end);
    return bytes.left(h) + section + bytes.mid(end);
}

bool storeWindowPlace(const QString &folder, const WindowPlace &place, QString *error)
{
    const std::optional<QByteArray> bytes =
        readFileBytes(optionFilePath(folder), kMaxOptionFileBytes);
    if (!bytes) {
        if (error)
            *error = optionFileReadProblem(folder);
        return false;
    }
    const QByteArray changed = withWindowPlace(*bytes, place);
    if (changed == *bytes)
        return true;
    if (changed.size() > kMaxOptionFileBytes) { // the next start would read none of the file
        if (error)
            *error = QStringLiteral("设置文件 %1 会超过 %2 MB，窗口位置没有保存")
                         .arg(QDir::toNativeSeparators(optionFilePath(folder)))
                         .arg(kMaxOptionFileBytes / (1024 * 1024));
        return false;
    }
    return writeFileBytes(optionFilePath(folder), changed, error);
}

} // namespace mz
