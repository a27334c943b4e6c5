#include "fetch/readability.h"

#include <QHash>
#include <QList>

#include <algorithm>

#include <gumbo.h>

namespace mz {

namespace {

// The parser's time grows with the square of the nesting depth (20,000 unclosed <div> take
// most of a minute), so a page whose tags nest deeper than this is not parsed at all; and
// elements nested deeper than this are not walked, so that no page can exhaust the stack.
constexpr int kMaxDepth = 1000;

// Content that is never article text.
bool isDropped(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_MENU:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_BUTTON:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_SELECT:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_FRAMESET:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_APPLET:
    case GUMBO_TAG_SVG:
    case GUMBO_TAG_MATH:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
        return true;
    default:
        return false;
    }
}

// Blocks that may hold the main text.
bool isContainer(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_BODY:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_TD:
    case GUMBO_TAG_CENTER:
        return true;
    default:
        return false;
    }
}

bool isParagraph(GumboTag tag)
{
    return tag == GUMBO_TAG_P || tag == GUMBO_TAG_PRE || tag == GUMBO_TAG_BLOCKQUOTE;
}

// Blocks that are left out of the main text when they are mostly links.
bool isListLike(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_P:
    case GUMBO_TAG_UL:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_CENTER:
        return true;
    default:
        return false;
    }
}

bool isVoid(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_WBR:
        return true;
    default:
        return false;
    }
}

qsizetype visibleLength(const QString &text)
{
    qsizetype n = 0;
    for (QChar c : text)
        n += c.isSpace() ? 0 : 1;
    return n;
}

struct Stats
{
    qsizetype text = 0; // visible characters
    qsizetype link = 0; // of them inside links
    bool mostlyLinks() const { return text > 0 && 2 * link > text; }
};

class Scorer
{
public:
    const GumboNode *best = nullptr;
    double bestScore = 0;
    QString firstHeading, pageTitle;
    QHash<const GumboNode *, Stats> stats;

    Stats walk(const GumboNode *node, int depth, bool inLink)
    {
        Stats s;
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA) {
            s.text = visibleLength(QString::fromUtf8(node->v.text.text));
            s.link = inLink ? s.text : 0;
            return s;
        }
        if (node->type != GUMBO_NODE_ELEMENT || depth > kMaxDepth)
            return s;
        const GumboElement &e = node->v.element;
        if (e.tag == GUMBO_TAG_TITLE && pageTitle.isEmpty())
            pageTitle = plainText(node).simplified();
        if (e.tag == GUMBO_TAG_HEAD) { // only for the page title
            for (unsigned i = 0; i < e.children.length; ++i)
                walk(static_cast<const GumboNode *>(e.children.data[i]), depth + 1, true);
            return s;
        }
        if (isDropped(e.tag))
            return s;
        if (e.tag == GUMBO_TAG_H1 && firstHeading.isEmpty())
            firstHeading = plainText(node).simplified();
        const bool link = inLink || e.tag == GUMBO_TAG_A;
        qsizetype own = 0; // paragraph text of this block, links not counted
        for (unsigned i = 0; i < e.children.length; ++i) {
            const auto *child = static_cast<const GumboNode *>(e.children.data[i]);
            const Stats c = walk(child, depth + 1, link);
            s.text += c.text;
            s.link += c.link;
            const bool paragraph =
                child->type == GUMBO_NODE_TEXT ||
                (child->type == GUMBO_NODE_ELEMENT && isParagraph(child->v.element.tag));
            if (paragraph)
                own += c.text - c.link;
        }
        stats.insert(node, s);
        if (isContainer(e.tag) && own > 0 && s.text > 0) {
            const double score = double(own) * (1.0 - double(s.link) / double(s.text));
            if (score > bestScore) {
                bestScore = score;
                best = node;
            }
        }
        return s;
    }

    static QString plainText(const GumboNode *node, int depth = 0)
    {
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA)
            return QString::fromUtf8(node->v.text.text);
        if (node->type != GUMBO_NODE_ELEMENT || depth > kMaxDepth ||
            (node->v.element.tag != GUMBO_TAG_TITLE && isDropped(node->v.element.tag)))
            return {};
        QString text;
        const GumboVector &children = node->v.element.children;
        for (unsigned i = 0; i < children.length; ++i)
            text += plainText(static_cast<const GumboNode *>(children.data[i]), depth + 1);
        return text;
    }
};

// Whether a link or image address may stay in a saved article: relative, or of a scheme that
// only fetches (no "javascript:", "vbscript:", "data:text/html", ...). The scheme is read as a
// browser reads it: without tabs and line breaks anywhere, and after leading blanks and
// control characters.
bool safeAddress(const QString &value)
{
    QString address;
    for (QChar c : value) {
        if (c != u'\t' && c != u'\n' && c != u'\r' && (!address.isEmpty() || c.unicode() > 0x20))
            address += c;
    }
    const qsizetype colon = address.indexOf(u':');
    if (colon <= 0)
        return true;
    const QStringView scheme = QStringView(address).left(colon);
    const bool isScheme =
        scheme.at(0).isLetter() && std::all_of(scheme.begin(), scheme.end(), [](QChar c) {
            return c.unicode() < 128 &&
                   (c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.');
        });
    if (!isScheme)
        return true; // "a:b" inside a path, not a scheme
    for (const char *allowed : {"http", "https", "ftp", "mailto"}) {
        if (scheme.compare(QLatin1String(allowed), Qt::CaseInsensitive) == 0)
            return true;
    }
    return QStringView(address).startsWith(QLatin1String("data:image/"), Qt::CaseInsensitive);
}

class Writer
{
public:
    Writer(const QHash<const GumboNode *, Stats> &stats, const QString &title)
        : m_stats(stats), m_title(title)
    {
    }

    void children(const GumboNode *node, int depth)
    {
        const GumboVector &list = node->v.element.children;
        for (unsigned i = 0; i < list.length; ++i)
            write(static_cast<const GumboNode *>(list.data[i]), depth + 1);
    }

    QString html;

private:
    void write(const GumboNode *node, int depth)
    {
        switch (node->type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_WHITESPACE:
            html += QString::fromUtf8(node->v.text.text).toHtmlEscaped();
            return;
        case GUMBO_NODE_ELEMENT:
            break;
        default:
            return; // comments, documents
        }
        const GumboElement &e = node->v.element;
        if (depth > kMaxDepth || isDropped(e.tag))
            return;
        const Stats s = m_stats.value(node);
        if (isListLike(e.tag) && s.mostlyLinks())
            return;
        if (e.tag == GUMBO_TAG_H1 && Scorer::plainText(node).simplified() == m_title)
            return;
        if (e.tag == GUMBO_TAG_UNKNOWN) {
            children(node, depth);
            return;
        }
        const QString name = QString::fromLatin1(gumbo_normalized_tagname(e.tag));
        html += u'<' + name;
        for (unsigned i = 0; i < e.attributes.length; ++i) {
            const auto *a = static_cast<const GumboAttribute *>(e.attributes.data[i]);
            const QByteArray key(a->name);
            if (key != "href" && key != "src" && key != "alt")
                continue;
            const QString value = QString::fromUtf8(a->value);
            if (key != "alt" && !safeAddress(value))
                continue;
            html += u' ' + QString::fromLatin1(key) + QStringLiteral("=\"") +
                    value.toHtmlEscaped() + u'"';
        }
        html += u'>';
        if (isVoid(e.tag))
            return;
        children(node, depth);
        html += QStringLiteral("</") + name + u'>';
    }

    const QHash<const GumboNode *, Stats> &m_stats;
    QString m_title;
};

// Tags that never stay open: void elements and those the parser closes by itself.
bool neverNests(QStringView name)
{
    static const QStringList names{
        QStringLiteral("area"),   QStringLiteral("base"),     QStringLiteral("br"),
        QStringLiteral("col"),    QStringLiteral("embed"),    QStringLiteral("hr"),
        QStringLiteral("img"),    QStringLiteral("input"),    QStringLiteral("link"),
        QStringLiteral("meta"),   QStringLiteral("param"),    QStringLiteral("source"),
        QStringLiteral("track"),  QStringLiteral("wbr"),      QStringLiteral("p"),
        QStringLiteral("li"),     QStringLiteral("dt"),       QStringLiteral("dd"),
        QStringLiteral("tr"),     QStringLiteral("td"),       QStringLiteral("th"),
        QStringLiteral("option"), QStringLiteral("optgroup"), QStringLiteral("thead"),
        QStringLiteral("tbody"),  QStringLiteral("tfoot"),    QStringLiteral("a"),
    };
    for (const QString &n : names) {
        if (name.compare(n, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Elements at which the parser stops looking for the element an end tag closes: an end tag whose
// element lies beyond one of them closes nothing.
bool endsScope(QStringView name)
{
    for (const char *n : {"table", "caption", "html", "template", "marquee", "object", "applet"}) {
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// An estimate of the deepest nesting of the page's elements, from a scan of its text, that
// follows the parser where a page can make it nest deeply: "<div/>" opens a div like "<div>"
// (only void elements close themselves), and an end tag closes its element with everything
// opened inside it, or nothing when no such element is open within the current scope ("</i>"
// without an open i is ignored). Stops counting once `limit` is passed.
int nestingEstimate(const QString &page, int limit)
{
    struct Open
    {
        QString name; // lower case
        bool endsScope;
    };
    std::vector<Open> open; // innermost last
    QHash<QString, int> openCount;
    const qsizetype n = page.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (page.at(i) != u'<')
            continue;
        const bool closing = page.at(i + 1) == u'/';
        qsizetype from = i + (closing ? 2 : 1), end = from;
        while (end < n && end - from < 16 && page.at(end).isLetterOrNumber() &&
               page.at(end).unicode() < 128)
            ++end;
        if (end == from || (!closing && !page.at(from).isLetter()))
            continue;
        const QStringView name = QStringView(page).mid(from, end - from);
        if (neverNests(name))
            continue;
        const QString key = name.toString().toLower();
        if (closing) {
            if (openCount.value(key) == 0)
                continue;
            for (std::size_t j = open.size(); j-- > 0;) {
                if (open[j].name == key) {
                    while (open.size() > j) {
                        --openCount[open.back().name];
                        open.pop_back();
                    }
                    break;
                }
                if (open[j].endsScope)
                    break;
            }
            continue;
        }
        const qsizetype close = page.indexOf(u'>', end);
        if (close < 0)
            break;
        open.push_back({key, endsScope(name)});
        ++openCount[key];
        if (qsizetype(open.size()) > limit)
            return int(open.size());
        i = close;
    }
    return int(open.size());
}

struct Parsed
{
    explicit Parsed(const QString &page) : utf8(page.toUtf8())
    {
        output =
            gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(), size_t(utf8.size()));
    }
    ~Parsed() { gumbo_destroy_output(&kGumboDefaultOptions, output); }
    Parsed(const Parsed &) = delete;
    Parsed &operator=(const Parsed &) = delete;

    QByteArray utf8;
    GumboOutput *output;
};

void collectText(const GumboNode *node, int depth, QString &out)
{
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA) {
        for (QChar c : QString::fromUtf8(node->v.text.text)) {
            if (!c.isSpace())
                out += c;
        }
        return;
    }
    if (node->type != GUMBO_NODE_ELEMENT || depth > kMaxDepth)
        return;
    const GumboTag tag = node->v.element.tag;
    if (tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_TEMPLATE)
        return;
    const GumboVector &children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i)
        collectText(static_cast<const GumboNode *>(children.data[i]), depth + 1, out);
}

} // namespace

std::optional<MainText> findMainText(const QString &page)
{
    if (nestingEstimate(page, kMaxDepth) > kMaxDepth)
        return std::nullopt;
    const Parsed parsed(page);
    Scorer scorer;
    scorer.walk(parsed.output->root, 0, false);
    if (!scorer.best)
        return std::nullopt;
    MainText text;
    text.title = scorer.firstHeading.isEmpty() ? scorer.pageTitle : scorer.firstHeading;
    Writer writer(scorer.stats, text.title);
    writer.children(scorer.best, 0);
    text.body = writer.html.trimmed();
    if (visibleText(text.body).isEmpty())
        return std::nullopt;
    return text;
}

namespace {

void writeNode(const GumboNode *node, int depth, QString &out)
{
    switch (node->type) {
    case GUMBO_NODE_DOCUMENT: {
        const GumboVector &children = node->v.document.children;
        for (unsigned i = 0; i < children.length; ++i)
            writeNode(static_cast<const GumboNode *>(children.data[i]), depth + 1, out);
        return;
    }
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_CDATA:
    case GUMBO_NODE_WHITESPACE: {
        const QString text = QString::fromUtf8(node->v.text.text);
        // A style sheet is read as it stands ("a > b" is a selector, not text).
        const bool raw = node->parent && node->parent->type == GUMBO_NODE_ELEMENT &&
                         node->parent->v.element.tag == GUMBO_TAG_STYLE;
        out += raw ? text : text.toHtmlEscaped();
        return;
    }
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE:
        break;
    default: // comments
        return;
    }
    const GumboElement &e = node->v.element;
    if (depth > kMaxDepth || e.tag == GUMBO_TAG_SCRIPT || e.tag == GUMBO_TAG_TEMPLATE)
        return;
    // A tag Qt does not know is dropped by it anyway; its content is kept.
    const bool known = e.tag != GUMBO_TAG_UNKNOWN;
    const QString name = QString::fromLatin1(gumbo_normalized_tagname(e.tag));
    if (known) {
        out += u'<' + name;
        for (unsigned i = 0; i < e.attributes.length; ++i) {
            const auto *a = static_cast<const GumboAttribute *>(e.attributes.data[i]);
            out += u' ' + QString::fromUtf8(a->name) + QStringLiteral("=\"") +
                   QString::fromUtf8(a->value).toHtmlEscaped() + u'"';
        }
        out += u'>';
        if (isVoid(e.tag))
            return;
    }
    for (unsigned i = 0; i < e.children.length; ++i)
        writeNode(static_cast<const GumboNode *>(e.children.data[i]), depth + 1, out);
    if (known)
        out += QStringLiteral("</") + name + u'>';
}

} // namespace

QString wellFormedHtml(const QString &page)
{
    if (nestingEstimate(page, kMaxDepth) > kMaxDepth)
        return page;
    const Parsed parsed(page);
    QString out;
    out.reserve(page.size() + page.size() / 8);
    writeNode(parsed.output->document, 0, out);
    return out;
}

QString visibleText(const QString &html)
{
    if (nestingEstimate(html, kMaxDepth) > kMaxDepth)
        return {}; // not a page anyone reads
    const Parsed parsed(html);
    QString out;
    collectText(parsed.output->root, 0, out);
    return out;
}

} // namespace mz
