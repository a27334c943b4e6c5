#pragma once
// The favourites: storing a headline in favorite.ini, the favorites view ListView3 filled from
// the file, and removing a favourite from both. Failures are told in panel s1.

#include "lists/headline.h"

#include <QObject>
#include <QString>

#include <optional>

class HeadlineLists;
class WindowStatus;

class FavoritesCommands : public QObject
{
    Q_OBJECT

public:
    FavoritesCommands(HeadlineLists &lists, WindowStatus &status, const QString &folder,
                      QObject *parent = nullptr);

    // Stores a headline's title and address; no row, nothing happens.
    void store(const std::optional<mz::HeadlineRow> &row);
    // Fills ListView3 from favorite.ini (empty while the file does not exist) and shows it.
    // False when favorite.ini could not be read (the reason is in panel s1).
    bool showFavorites();
    // Removes the selected favourite of ListView3 from the file and the view; only while the
    // view is in front and a row is selected.
    void removeSelected();

private:
    void tell(const QString &message);
    void forgetNote();

    HeadlineLists &m_lists;
    WindowStatus &m_status;
    QString m_path;
    QString m_told; // the last failure told in panel s1
};
