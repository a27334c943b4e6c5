#pragma once
// Character references in text cut out of a page ("&amp;", "&quot;", "&#8220;", "&nbsp;"),
// decoded as a browser decodes them. Portals write titles and addresses with them: a title
// "AT&amp;T" reads "AT&T", and an address "/a.php?id=1&amp;page=2" opens "/a.php?id=1&page=2".
//
// The decoding is gumbo's, the HTML5 parser's own: every named reference of HTML, numeric
// references with the replacements browsers make ("&#128;" is "€", "&#0;" is U+FFFD), and the
// old names written without ";" where HTML still takes them. Only references change: tags,
// quotes, line breaks and every other character stay as they stand.

#include <QString>
#include <QStringView>

namespace mz {

// Text between tags, such as a title: "&copy 2007" reads "© 2007".
QString decodeTextReferences(QStringView text);

// An attribute value, such as an address: as in text, except that an old name without ";"
// followed by "=", a letter or a digit stays as written ("?a=1&copy=2" keeps its "&copy").
QString decodeAttributeReferences(QStringView value);

} // namespace mz
