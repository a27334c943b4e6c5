#pragma once
// The hot news page parser: turns the stored hot news page into headline rows, in page order,
// each labelled with its section and the section's icon.
//
// Page grammar (matched exactly as written, case-sensitive; titles keep their case): the scan
// runs from the first "国内新闻" to the first "新闻中心意见反馈留言板". Each entry is a cell
// "<td style='padding-top:2px' align=left class='linkBlue'>" holding
// "<span style='padding-left:6px'><a href=" address " target=_blank>" title "</a></span></td>",
// followed by the comment cell "<td style='padding-top:2px' class='linkBlue'><a href=" address
// " target=_blank>". Six markers "国际新闻 begin" ... "娱乐新闻 begin" open the sections after the
// first; an entry belongs to the section before the first section marker that stands after its
// address marker (a missing marker counts as position 0 and never matches). Character
// references in titles and addresses are decoded as a browser decodes them ("AT&amp;T" reads
// "AT&T").

#include "lists/headline.h"

#include <QByteArrayView>
#include <QString>

namespace mz {

struct HotSection
{
    const char16_t *name;   // the row's sub-item 1
    const char16_t *marker; // the marker that opens it; null for the first section
    int icon;
};
inline constexpr HotSection kHotSections[] = {
    {u"国内新闻", nullptr, 6},
    {u"国际新闻", u"国际新闻 begin", 5},
    {u"体育新闻", u"体育新闻 begin", 10},
    {u"军事新闻", u"军事新闻 begin", 9},
    {u"科技新闻", u"科技新闻 begin", 7},
    {u"财经新闻", u"财经新闻 begin", 8},
    {u"娱乐新闻", u"娱乐新闻 begin", 11},
};

// Scans the decoded page text (not lower-cased).
HeadlineRows scanHotText(QStringView text);

// The whole parse of a stored page: decode from GBK, scan.
HeadlineRows parseHotPage(QByteArrayView pageBytes);

} // namespace mz
