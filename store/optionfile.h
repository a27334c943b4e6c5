#pragma once
// option.ini: days to keep, the user's keywords and categories, and two address settings.
//
// The file is GBK text with CR LF line ends, read and written whole. Sections are found by their
// header lines:
//   [旧新闻存放天数]  one line "<number>天"
//   [你的关键词]      one keyword per line (an empty line is a keyword too)
//   [分类]            one category name per line
//   [新闻网站]        one line: the news portal's base address (scheme://host[:port], no "/" at the end)
//   [墨舟网]          one line: the program's web site
// A list section ends before the next line that begins with "[" or at the end of the file.

#include <QString>
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

QString optionFilePath(const QString &folder);
// The whole text of option.ini, line ends as CR LF; nullopt when it is missing or unreadable.
std::optional<QString> readOptionFile(const QString &folder);
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
QString portalAddress(const QString &text, const QString &fallback = QString::fromLatin1(kDefaultPortal));
QString siteAddress(const QString &text, const QString &fallback = QString::fromLatin1(kDefaultSite));

// Keyword rewrites. They change whole lines of the "[你的关键词]" section only, so a keyword
// never matches the tail of a longer line or a line of another section.
// Insert: k becomes the first line of the keyword list.
QString insertKeyword(const QString &text, const QString &keyword);
// Remove: the first line equal to k is removed. Unchanged text when there is none.
QString removeKeyword(const QString &text, const QString &keyword);
// Rename: the first line equal to `from` becomes `to`. Unchanged text when there is none.
QString renameKeyword(const QString &text, const QString &from, const QString &to);

} // namespace mz
