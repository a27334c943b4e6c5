#include "lists/hotparser.h"

#include "lists/characterreferences.h"
#include "lists/pagescan.h"
#include "platform/textfile.h"

namespace mz {

namespace {

constexpr QStringView kEntryCell = u"<td style='padding-top:2px' align=left class='linkBlue'>";
constexpr QStringView kAddressMarker = u"<span style='padding-left:6px'><a href=";
constexpr QStringView kAnchorEnd = u" target=_blank>";
constexpr QStringView kTitleEnd = u"</a></span></td>";
constexpr QStringView kCommentMarker = u"<td style='padding-top:2px' class='linkBlue'><a href=";

} // namespace

HeadlineRows scanHotText(QStringView s)
{
    HeadlineRows rows;

    qsizetype pos = findFrom(s, u"国内新闻");
    const qsizetype end = findFrom(s, u"新闻中心意见反馈留言板");
    qsizetype sectionStart[std::size(kHotSections)] = {};
    for (size_t i = 1; i < std::size(kHotSections); ++i)
        sectionStart[i] = findFrom(s, kHotSections[i].marker);

    ForwardFinder entryFinder(s, kEntryCell);
    ForwardFinder addressFinder(s, kAddressMarker);
    ForwardFinder anchorEndFinder(s, kAnchorEnd);
    ForwardFinder titleEndFinder(s, kTitleEnd);
    ForwardFinder commentFinder(s, kCommentMarker);
    ForwardFinder commentEndFinder(s, kAnchorEnd);

    QString sectionNames[std::size(kHotSections)];
    for (size_t i = 0; i < std::size(kHotSections); ++i)
        sectionNames[i] = QString::fromUtf16(kHotSections[i].name);

    // The values live across entries: a part whose cut fails keeps the previous entry's value.
    QString address;
    QString title;
    QString comment;
    RowTextAllowance rowText; // within an allowance of the page read so far (kRowTextSlack)

    for (;;) {
        pos = entryFinder.find(pos + 1);
        if (pos == 0 || pos > end)
            break;

        const qsizetype a1 = addressFinder.find(pos + 1);
        const qsizetype a2 = anchorEndFinder.find(pos + 1);
        const qsizetype addressStart = a1 + kAddressMarker.size();
        if (auto cut = cutText(s, addressStart, a2 - addressStart))
            address = decodeAttributeReferences(hrefValue(*cut));

        const qsizetype t1 = a2;
        const qsizetype t2 = titleEndFinder.find(pos + 1);
        const qsizetype titleStart = t1 + kAnchorEnd.size();
        if (auto cut = cutText(s, titleStart, t2 - titleStart))
            title = decodeTextReferences(*cut);

        const qsizetype c1 = commentFinder.find(t2 + 1);
        const qsizetype c2 = commentEndFinder.find(t2 + 1);
        const qsizetype commentStart = c1 + kCommentMarker.size();
        if (auto cut = cutText(s, commentStart, c2 - commentStart))
            comment = decodeAttributeReferences(hrefValue(*cut));

        // The first section whose following marker stands after the entry's address marker.
        size_t section = std::size(kHotSections) - 1;
        for (size_t i = 1; i < std::size(kHotSections); ++i) {
            if (a1 < sectionStart[i]) {
                section = i - 1;
                break;
            }
        }

        const bool fits = rowText.take(title.size() + comment.size() + address.size(), pos);
        HeadlineRow row;
        row.title = fits ? title : QString();
        row.sub1 = sectionNames[section];
        row.sub2 = fits ? comment : QString();
        row.tag = fits ? address : QString();
        row.icon = kHotSections[section].icon;
        rows.append(std::move(row));
    }
    return rows;
}

HeadlineRows parseHotPage(QByteArrayView pageBytes)
{
    return scanHotText(decodeAnsi(pageBytes));
}

} // namespace mz
