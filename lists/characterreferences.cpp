#include "lists/characterreferences.h"

#include <gumbo.h>

namespace mz {

namespace {

// The characters references are written with, and "=" (which keeps a name without ";" before it
// from being read in an attribute). A run of them that holds "&" is handed to gumbo on its own,
// as the text of a <title> (where only references are read, not tags) or as a quoted href value;
// whatever stands around the run ends a reference as it would in the page, and gumbo never sees
// the rest of the text (it would turn control characters and NUL into U+FFFD and CR into LF).
bool inReference(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
           c == u'#' || c == u';' || c == u'&' || c == u'=';
}

const GumboNode *firstElement(const GumboNode *node, GumboTag tag)
{
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT)
        return nullptr;
    if (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == tag)
        return node;
    const GumboVector &children =
        node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        if (const GumboNode *found = firstElement(static_cast<GumboNode *>(children.data[i]), tag))
            return found;
    }
    return nullptr;
}

// One run with at least one "&".
void appendDecoded(QString &out, QStringView run, bool attribute)
{
    const QByteArray document =
        (attribute ? QByteArrayLiteral("<a href=\"") : QByteArrayLiteral("<title>")) +
        run.toLatin1() + (attribute ? "\">" : "");
    GumboOutput *parsed = gumbo_parse_with_options(&kGumboDefaultOptions, document.constData(),
                                                   size_t(document.size()));
    const GumboNode *element =
        firstElement(parsed->document, attribute ? GUMBO_TAG_A : GUMBO_TAG_TITLE);
    if (!element) {
        out.append(run); // not expected: gumbo always builds the element
    } else if (attribute) {
        const GumboAttribute *href = gumbo_get_attribute(&element->v.element.attributes, "href");
        out.append(href ? QString::fromUtf8(href->value) : run.toString());
    } else {
        const GumboVector &children = element->v.element.children;
        for (unsigned i = 0; i < children.length; ++i) {
            const GumboNode *child = static_cast<const GumboNode *>(children.data[i]);
            if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
                out.append(QString::fromUtf8(child->v.text.text));
        }
    }
    gumbo_destroy_output(&kGumboDefaultOptions, parsed);
}

QString decode(QStringView text, bool attribute)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype start = i;
        if (!inReference(text[i].unicode())) {
            while (i < text.size() && !inReference(text[i].unicode()))
                ++i;
            out.append(text.sliced(start, i - start));
            continue;
        }
        while (i < text.size() && inReference(text[i].unicode()))
            ++i;
        const QStringView run = text.sliced(start, i - start);
        if (run.contains(u'&'))
            appendDecoded(out, run, attribute);
        else
            out.append(run);
    }
    return out;
}

} // namespace

QString decodeTextReferences(QStringView text)
{
    return text.contains(u'&') ? decode(text, false) : text.toString();
}

QString decodeAttributeReferences(QStringView value)
{
    return value.contains(u'&') ? decode(value, true) : value.toString();
}

} // namespace mz
