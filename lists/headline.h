#pragma once
// The headline row shared by the three list views, and the category icon table.

#include <QList>
#include <QString>

namespace mz {

// One headline. `icon` is a 1-based index into the window's image list ImageList1; 0 = no icon.
struct HeadlineRow
{
    QString title; // the row's text (column 1)
    QString sub1;  // category or section (column 2)
    QString sub2;  // comment address in hot news rows (column 3)
    QString tag;   // the article's address
    int icon = 0;
    bool checked = false; // tick box (ListView1 only)

    bool operator==(const HeadlineRow &) const = default;
};

using HeadlineRows = QList<HeadlineRow>;

// A headline as views into text that outlives the call it is handed to (a parser's page text):
// what a parser produces without a string of its own per row. The article's address is
// `tagHead` followed by `tagTail` (a base address and a relative part, or one of them empty).
struct HeadlineRef
{
    QStringView title;
    QStringView sub1;
    QStringView tagHead;
    QStringView tagTail;
    int icon = 0;
};

// The 20 category names with their ImageList1 indexes, in the order the archive parser tests them.
struct CategoryIcon
{
    const char16_t *name;
    int icon;
};
inline constexpr CategoryIcon kCategoryIcons[] = {
    {u"国内", 6},  {u"国际", 5},  {u"体育", 10}, {u"军事", 9},  {u"科技", 7},
    {u"财经", 8},  {u"影音", 11}, {u"汽车", 12}, {u"社会", 13}, {u"教育", 14},
    {u"房产", 15}, {u"生活", 16}, {u"文教", 17}, {u"少儿", 18}, {u"综合", 19},
    {u"文学", 20}, {u"文化", 21}, {u"青少", 22}, {u"考试", 23}, {u"环保", 24},
};

// The icon of an exact, case-sensitive category name; 0 when the name is not in the table.
int categoryIcon(QStringView category);

// A row's text as the list shows it, on its one line: every line break (CR LF, CR, LF, and the
// line and paragraph separators U+2028 and U+2029) as one blank. A page may break a title inside
// its anchor; the row is one line high, and the first line alone (empty when the title starts
// with a break) would be all it showed. The row itself keeps the text as it is.
QString oneLine(const QString &text);

} // namespace mz
