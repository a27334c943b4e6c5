#pragma once
// The page completeness test: a stored portal page is complete when its text, decoded from the
// program's code page and lower-cased, contains "</html>".

#include <QByteArrayView>
#include <QString>

namespace mz {

bool isCompletePage(QByteArrayView bytes);
// A file that is missing or cannot be read is incomplete.
bool isCompletePageFile(const QString &path);

} // namespace mz
