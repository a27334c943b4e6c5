#pragma once
// favorite.ini: the user's favourite headlines.
//
//   [main]
//   title one=address one
//   title two=address two
//
// GBK text, CR LF line ends. Entries are written through the profile routines: one line per
// title (titles compared without regard to ASCII case), a new title appended to the section,
// file and section created when missing. Removing a favourite leaves an empty line in its place.
//
// A reader splits an entry at its first "=", and a line that begins with "[" or ";" reads as a
// header or a comment, so a title is stored in a form that reads back whole: "=" becomes the
// full-width "＝", a leading "[" or ";" the full-width "［" or "；", line breaks become blanks
// and blanks at either end are dropped. Addresses are stored as a browser reads them: a tab or
// line break a page left inside one is dropped (browserAddress), and nothing else changes.

#include <QList>
#include <QString>

namespace mz {

struct Favorite
{
    QString key;     // "k" + the 1-based line number of the entry in the file
    QString title;   // as stored
    QString address; // as stored

    bool operator==(const Favorite &) const = default;
};

QString favoritesPath(const QString &folder);

// The form in which `title` is stored and read back (see above).
QString storedFavoriteTitle(const QString &title);

// The entries in file order: every trimmed line that holds "=" and is not a header line. Empty
// lines, the header and lines without "=" are skipped but counted for the keys. A last line
// without a line end is read too.
QList<Favorite> parseFavorites(const QString &text);

struct FavoritesResult
{
    enum class Status {
        Done,
        NotFound,    // remove: no such line (the file changed meanwhile); nothing written
        Refused,     // add: the headline has no title
        ReadFailed,  // the file exists but cannot be read
        WriteFailed, // the old file is intact
    };
    Status status = Status::Done;
    QList<Favorite> favorites; // readFavorites only
    QString message;           // for the user when status is not Done

    bool ok() const { return status == Status::Done; }
};

// All favourites of the file; an empty list when it does not exist (nothing is created).
FavoritesResult readFavorites(const QString &path);

// Stores storedFavoriteTitle(title) = browserAddress(address): replaces the address of the same
// title in place or appends a line.
FavoritesResult addFavorite(const QString &path, const QString &title, const QString &address);

// Empties the first line that reads exactly `title`=`address` once trimmed (title as stored, as
// parseFavorites gives it). The line stays as an empty line; every other byte stays as it was.
FavoritesResult removeFavorite(const QString &path, const QString &title, const QString &address);

} // namespace mz
