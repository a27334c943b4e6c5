#pragma once
// Lower-casing of whole pages.

#include <QString>

namespace mz {

// The same text as QString::toLower() gives, in a fraction of its time: characters of the Basic
// Multilingual Plane go through a constant table that the build makes from Qt's own case mapping;
// the rare characters whose lower case is longer than one unit, and surrogate pairs, go through
// QString::toLower() one at a time.
QString lowerCased(QStringView text);
// The same, in the string's own buffer (unless a character's lower case is longer).
void lowerCaseInPlace(QString &text);
// Lower-cases units in place for as long as each has a lower case of one unit (the usual case);
// returns how many were done. The rest, from the first unit that needs more (a surrogate, or a
// character such as U+0130), is left as it is for lowerCased().
qsizetype lowerCaseSimpleInPlace(char16_t *units, qsizetype n);

} // namespace mz
