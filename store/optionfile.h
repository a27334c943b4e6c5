#pragma once
// option.ini: days to keep, the user's keywords and categories, and two address settings.
//
// The file is GBK text with CR LF line ends, read and written whole. Sections are found by their
// header lines:
//   [旧新闻存放天数]  one line "<number>天"
//   [你的关键词]      one keyword per line (an empty line is a keyword too)
//   [分类]            one category name per line
//   [新闻网站]        one line: the news portal's base address (scheme://host[:port], no "/" at the
//   end) [墨舟网]          one line: the program's web site
// A list section ends before the next line that begins with "[" or at the end of the file.
// A byte order mark an editor may put at the start (UTF-8's or GB18030's) is not read as text of
// the first line, and a rewrite keeps it at the start.

#include <QString>
#include <QSize>
#include <QStringList>
#include <optional>

namespace mz {

inline constexpr char16_t kDaysHeader[] = u"[旧新闻存放天数]";
inline constexpr char16_t kKeywordsHeader[] = u"[你的关键词]";
inline constexpr char16_t kCategoriesHeader[] = u"[分类]";
inline constexpr char16_t kPortalHeader[] = u"[新闻网站]";
inline constexpr char16_t kSiteHeader[] = u"[墨舟网]";

inline constexpr char kDefaultPortal[] = "http://127.0.0.1:8086";
inline constexpr char kDefaultSite[] = "http://127.0.0.1:8086/mozhou/";

// option.ini holds a few kilobytes. A larger file is not read (nor rewritten): it is not one the
// program keeps, and its lines as keywords would fill the navigation tree with millions of nodes.
inline constexpr qint64 kMaxOptionFileBytes = 1024 * 1024;

QString optionFilePath(const QString &folder);
// The whole text of option.ini, line ends as CR LF; nullopt when it is missing, unreadable or
// larger than kMaxOptionFileBytes.
std::optional<QString> readOptionFile(const QString &folder);
// Why option.ini in `folder` could not be read, for the user: "无法读取设置文件 …" or, for a file
// over the limit, "设置文件 … 过大（超过 1 MB），没有读取".
QString optionFileReadProblem(const QString &folder);
// The text with every line end (CR LF, bare LF or bare CR) written as CR LF.
QString withCrLf(const QString &text);
bool writeOptionFile(const QString &folder, const QString &text, QString *error = nullptr);

// The number before "天" on the line after "[旧新闻存放天数]", read like a decimal number
// (leading blanks skipped, optional sign, digits and one decimal point); 0 when absent.
double parseDaysToKeep(const QString &text);

// The lines of a list section, in file order; empty when the header is absent.
QStringList parseListSection(const QString &text, QStringView header);

// The single value line of "[新闻网站]" / "[墨舟网]"; `fallback` when the section or line is
// missing or blank. Surrounding blanks and a trailing "/" of the portal address are dropped.
QString portalAddress(const QString &text,
                      const QString &fallback = QString::fromLatin1(kDefaultPortal));
QString siteAddress(const QString &text,
                    const QString &fallback = QString::fromLatin1(kDefaultSite));

// Keyword rewrites. They change whole lines of the "[你的关键词]" section only, so a keyword
// never matches the tail of a longer line or a line of another section.
// Insert: k becomes the first line of the keyword list.
QString insertKeyword(const QString &text, const QString &keyword);
// Remove: the first line equal to k is removed. Unchanged text when there is none.
QString removeKeyword(const QString &text, const QString &keyword);
// Rename: the first line equal to `from` becomes `to`. Unchanged text when there is none.
QString renameKeyword(const QString &text, const QString &from, const QString &to);

// The keyword a typed or pasted text stands for: its first line (up to a line break, CR or LF),
// after the line breaks it may begin with. Nothing else is changed: blanks stay, "+" and "*" stay.
QString keywordLine(const QString &typed);

// Why `keyword` cannot be a line of the keyword list, or an empty text when it can. A line that
// begins with "[" ends the list when option.ini is read (hiding itself and every keyword after
// it), and a section header inside a keyword would be found in place of the real header.
QString keywordRefusal(const QString &keyword);

// The outcome of a keyword command on option.ini. The window changes the tree only when
// changed() is true, and shows `message` when ok() is false; nothing was written then.
struct KeywordChange
{
    enum class Status {
        Written,     // option.ini was rewritten
        Unchanged,   // nothing to write (empty keyword, same text, or no such line to remove)
        Refused,     // the keyword cannot stand in option.ini (keywordRefusal(), or the file
                     // would grow past kMaxOptionFileBytes)
        NotFound,    // rename: option.ini holds no such keyword line
        ReadFailed,  // option.ini is missing or unreadable
        WriteFailed, // the rewrite failed; the old file is intact
    };
    Status status = Status::Unchanged;
    // The keyword as stored (or as it would have been): keywordLine() of the input, as the file
    // gives it back (a lone surrogate, which GB18030 cannot hold, becomes its substitute).
    QString keyword;
    QString message; // for the user when !ok()

    bool ok() const { return status == Status::Written || status == Status::Unchanged; }
    bool changed() const { return status == Status::Written; }
};

// The keyword commands on the file in `folder`, each a whole read, one rewrite rule above and an
// atomic whole write. Lines the rule does not change keep their bytes and line ends, so a line
// that is not GBK text (edited by hand) is not turned into replacement characters.
// Add: keywordLine(typed) becomes the first keyword; an empty line adds nothing (Unchanged).
KeywordChange addKeywordToFile(const QString &folder, const QString &typed);
// Rename the first keyword line equal to `from` (which may be empty) to keywordLine(typed).
KeywordChange renameKeywordInFile(const QString &folder, const QString &from, const QString &typed);
// Remove the first keyword line equal to `keyword`; the empty keyword removes the first empty
// line. A keyword that is not in the file is Unchanged: it is gone already.
KeywordChange removeKeywordFromFile(const QString &folder, const QString &keyword);

} // namespace mz

namespace mz {

// ---- the remembered window ------------------------------------------------------------------
// "[窗口]" holds one line "x,y,width,height,treeWidth" in pixels: the window's outer top-left,
// its inner size and the navigation tree's width, written when the window unloads. Nine more
// numbers may follow: the widths of the three columns of the three headline lists, list by list.

inline constexpr char16_t kWindowHeader[] = u"[窗口]";

struct WindowPlace
{
    static constexpr int kColumnWidths = 9; // three lists of three columns
    int x = 0, y = 0, width = 0, height = 0, treeWidth = 0;
    QList<int> columnWidths; // kColumnWidths widths, or empty: the lists keep their defaults
    bool operator==(const WindowPlace &) const = default;
};

// The place stored in `text`; nullopt when the section is missing or its line is damaged (not
// five integers, a size below `minimum`, a tree wider than the window or an absurd number), so
// that the window keeps its default place. Column widths that are damaged (a number missing, not
// positive or absurd) are left out alone: the place still counts, the columns keep their defaults.
std::optional<WindowPlace> parseWindowPlace(const QString &text, QSize minimum = QSize(1, 1));

// The bytes of option.ini with the "[窗口]" section holding `place`: the section's header and
// value line are replaced in place, or appended at the end (CR LF) when the section is missing.
// Every other byte stays as it was, so other sections keep their exact encoding.
QByteArray withWindowPlace(const QByteArray &bytes, const WindowPlace &place);

// Reads option.ini, rewrites its "[窗口]" section and writes it back atomically. False (and the
// file untouched) when the file is missing or unreadable, would grow past kMaxOptionFileBytes,
// or the write fails.
bool storeWindowPlace(const QString &folder, const WindowPlace &place, QString *error = nullptr);

} // namespace mz
