#pragma once
// Finding the main text of an article page without markers, for pages whose layout no longer
// fits fenli.ini.
//
// The page is parsed as browsers parse it (gumbo, an HTML5 parser). Scripts, styles, navigation,
// forms and the like are dropped. Every block element is scored by the text of its own
// paragraphs (text children and <p>, <pre>, <blockquote> children, link text not counted),
// scaled down by the share of link text within it; the block with the highest score is the main
// text. Its children are rebuilt as clean HTML, leaving out link lists (children mostly made of
// link text, such as advertisement and "related" boxes) and the heading that repeats the title.

#include <QString>
#include <optional>

namespace mz {

struct MainText
{
    QString title; // plain text: the first <h1> with text, else the page's <title>
    QString body;  // clean HTML of the main block's content, text escaped
};

// nullopt when the page has no paragraph text at all, or when its tags nest deeper than any real
// page (over a thousand levels): such a page is not parsed.
std::optional<MainText> findMainText(const QString &page);

// The characters a reader sees in an HTML fragment: tags and comments removed, entities for
// "<", ">", "&", quotes and the no-break space decoded, white space dropped. For measuring how
// much of one body another holds. Empty for a fragment nested too deeply to parse.
QString visibleText(const QString &html);

// The page as browsers read it, written out again as plain, well-formed HTML: every attribute
// value quoted, text escaped, void elements without end tags, comments and scripts left out. Qt's
// rich text reader takes an unquoted value that ends in "/" (<a href=/news/>, common on real
// sites) for the end of the tag, and the link is lost; what it is given from here it reads as
// written. The page unchanged when its tags nest too deeply to parse.
QString wellFormedHtml(const QString &page);

} // namespace mz
