#include "platform/profile.h"

#include "platform/linespans.h"
#include "platform/textfile.h"

#include <QByteArrayList>
#include <QDir>
#include <QFileInfo>

namespace mz {

namespace {

// A line of the file as bytes, without its line end, plus the line end it had.
struct Line
{
    QByteArray text;
    QByteArray end;
};

// Lines end with CR LF, a bare LF or a bare CR, as an editor may have left them.
QList<Line> splitLines(const QByteArray &bytes)
{
    QList<Line> lines;
    for (const LineSpan &span : lineSpans(bytes))
        lines.append({bytes.mid(span.begin, span.length),
                      bytes.mid(span.begin + span.length, span.endLength)});
    return lines;
}

// Names match when they are equal apart from surrounding blanks and the case of ASCII letters.
bool sameName(const QString &a, const QString &b)
{
    const QString x = a.trimmed();
    const QString y = b.trimmed();
    if (x.size() != y.size())
        return false;
    for (qsizetype i = 0; i < x.size(); ++i) {
        char16_t c = x.at(i).unicode();
        char16_t d = y.at(i).unicode();
        if (c >= u'A' && c <= u'Z')
            c = c - u'A' + u'a';
        if (d >= u'A' && d <= u'Z')
            d = d - u'A' + u'a';
        if (c != d)
            return false;
    }
    return true;
}

// The section name of a header line, or a null string when the line is not a header.
QString sectionOf(const QByteArray &line)
{
    const QString s = decodeAnsi(line).trimmed();
    if (!s.startsWith(u'['))
        return {};
    const qsizetype close = s.indexOf(u']');
    if (close < 0)
        return {};
    return s.mid(1, close - 1);
}

// The key of a "key=value" line, or a null string.
QString keyOf(const QByteArray &line, QString *value = nullptr)
{
    const QString s = decodeAnsi(line);
    const qsizetype eq = s.indexOf(u'=');
    if (eq < 0)
        return {};
    if (value)
        *value = s.mid(eq + 1);
    return s.left(eq).trimmed();
}

// Lines [begin, end) of the body of the section; begin = -1 when the section is missing.
std::pair<qsizetype, qsizetype> sectionBody(const QList<Line> &lines, const QString &section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionOf(lines[i].text);
        if (name.isNull() || !sameName(name, section))
            continue;
        qsizetype j = i + 1;
        while (j < lines.size() && sectionOf(lines[j].text).isNull())
            ++j;
        return {i + 1, j};
    }
    return {-1, -1};
}

// Why a name or value cannot be written as one line of the file, or a null string when it can.
// A line break would inject further lines; a key holding "=" or starting with "[" and a section
// holding "]" would be read back as something else and never match again.
QString unwritable(const QString &section, const QString &key, const QString &value)
{
    const auto hasBreak = [](const QString &s) { return s.contains(u'\r') || s.contains(u'\n'); };
    if (hasBreak(section) || section.contains(u']'))
        return QStringLiteral("节名不能含有换行或“]”：%1").arg(section);
    if (hasBreak(key) || key.contains(u'=') || key.trimmed().startsWith(u'['))
        return QStringLiteral("键名不能含有换行或“=”，也不能以“[”开头：%1").arg(key);
    if (hasBreak(value))
        return QStringLiteral("值不能含有换行：%1").arg(key);
    return {};
}

QByteArray joinLines(const QList<Line> &lines)
{
    QByteArray out;
    for (const Line &l : lines)
        out += l.text + l.end;
    return out;
}

// The next read would take none of a file past the limit.
bool writeWithinLimit(const QString &path, const QByteArray &bytes, QString *error)
{
    if (bytes.size() > kMaxProfileFileBytes) {
        if (error)
            *error = QStringLiteral("%1 会超过 %2 MB，没有写入")
                         .arg(QDir::toNativeSeparators(path))
                         .arg(kMaxProfileFileBytes / (1024 * 1024));
        return false;
    }
    return writeFileBytes(path, bytes, error);
}

} // namespace

QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue)
{
    const auto bytes = readFileBytes(path, kMaxProfileFileBytes);
    if (!bytes)
        return defaultValue;
    const QList<Line> lines = splitLines(bytes->sliced(byteOrderMarkLength(*bytes)));
    const auto [begin, end] = sectionBody(lines, section);
    for (qsizetype i = begin; i >= 0 && i < end; ++i) {
        QString value;
        const QString k = keyOf(lines[i].text, &value);
        if (k.isNull() || !sameName(k, key))
            continue;
        value = value.trimmed();
        if (value.size() >= 2 && ((value.startsWith(u'"') && value.endsWith(u'"')) ||
                                  (value.startsWith(u'\'') && value.endsWith(u'\''))))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return defaultValue;
}

bool writeProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value, QString *error)
{
    if (const QString why = unwritable(section, key, value); !why.isNull()) {
        if (error)
            *error = why;
        return false;
    }
    // A missing file starts empty; a file that exists but cannot be read is never replaced,
    // since everything it holds would be lost.
    ReadProblem problem = ReadProblem::None;
    const std::optional<QByteArray> read = readFileBytes(path, kMaxProfileFileBytes, &problem);
    const QFileInfo info(path);
    if (!read && (problem != ReadProblem::Missing || info.isSymLink())) {
        if (error)
            *error = QStringLiteral("%1 %2，没有写入")
                         .arg(QDir::toNativeSeparators(path),
                              readProblemText(problem, kMaxProfileFileBytes));
        return false;
    }
    const QByteArray original = read.value_or(QByteArray());
    // The mark stays where it was, in front of whatever the lines become.
    const QByteArray mark = original.left(byteOrderMarkLength(original));
    QList<Line> lines = splitLines(original.sliced(mark.size()));
    // New lines take the file's own line end (CR LF for a new file).
    QByteArray eol("\r\n");
    if (!lines.isEmpty() && !lines.first().end.isEmpty())
        eol = lines.first().end;
    const QByteArray newLine = encodeAnsi(key) + '=' + encodeAnsi(value);

    const auto [begin, end] = sectionBody(lines, section);
    if (begin < 0) {
        if (!lines.isEmpty() && lines.last().end.isEmpty())
            lines.last().end = eol;
        lines.append({'[' + encodeAnsi(section) + ']', eol});
        lines.append({newLine, eol});
        return writeWithinLimit(path, mark + joinLines(lines), error);
    }
    qsizetype lastContent = begin - 1; // the header when the section is empty
    for (qsizetype i = begin; i < end; ++i) {
        const QString k = keyOf(lines[i].text);
        if (!k.isNull() && sameName(k, key)) {
            lines[i].text = newLine;
            return writeWithinLimit(path, mark + joinLines(lines), error);
        }
        if (!lines[i].text.trimmed().isEmpty())
            lastContent = i;
    }
    if (lines[lastContent].end.isEmpty())
        lines[lastContent].end = eol;
    lines.insert(lastContent + 1, {newLine, eol});
    return writeWithinLimit(path, mark + joinLines(lines), error);
}

} // namespace mz
