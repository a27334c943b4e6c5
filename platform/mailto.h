#pragma once
// The mail that sends a headline to friends, as a mailto: address (RFC 6068).
//
// The content: subject = the title; body = the title and a blank, a line break, an empty line,
// the article's address (as a browser reads it: a tab or line break a page left inside it is
// dropped), a line break, 132 blanks, a line break, then a line break,
// " 墨舟 V1.1下载地址", a line break and the program's web site address.
//
// Everything the user or a portal supplies is percent-encoded as UTF-8, so a title holding "&",
// "#", "%", "?" or "=" stays inside its field and can never add a field of its own (cc, bcc,
// attach). Every line break is written as %0D%0A. A subject cannot hold a line break: one in the
// title becomes a blank there.

#include <QString>
#include <QUrl>

namespace mz {

// The query part (after "?") for a headline: "subject=...&body=..." with the body's first part
// (title, address, blanks). The body is the query's last field, so the download lines that
// mailAddress() appends continue it.
QString mailQuery(const QString &title, const QString &articleAddress);

// The recipients as typed (several separated by ";", "；" or line breaks) for the address: each one
// trimmed and encoded, empty ones dropped, joined by ",". An empty text gives no recipient.
QString mailRecipients(const QString &typed);

// The whole address: "mailto:" + recipients + "?" + query + the download lines.
QUrl mailAddress(const QString &typedRecipients, const QString &query, const QString &siteUrl);

} // namespace mz
