#pragma once
// Text material of the demo portal: headline and paragraph templates with slots, and the values
// that fill the slots. Internal to the page generator.
//
// A template holds slots in braces, "{C}地铁{n}号线今日开通试运营"; fillTemplate() replaces each
// slot with a value drawn from the random generator it is given. Templates never contain the
// characters that the page grammar or a file name cannot carry ('<', '>', '[', ']', '&', '"',
// '/', '\\', ':', '?', '*', '|').

#include <QDate>
#include <QString>

#include <random>
#include <span>

namespace mz::portalcontent {

struct CategoryText
{
    const char *name;  // UTF-8
    int weight;        // share of the day's entries after the first twenty
    int paragraphPool; // which pool of body paragraphs its articles draw from
    std::span<const char *const> headlines;
};

std::span<const CategoryText> categories();
std::span<const char *const> paragraphs(int pool);
std::span<const char *const> comments();
std::span<const char *const> popularKeywords();

// Draws a number in [0, bound) from the generator; same sequence on every platform.
inline int draw(std::mt19937 &rng, int bound)
{
    return bound <= 0 ? 0 : int(rng() % quint32(bound));
}

// Fills the slots of a UTF-8 template. `day` supplies {y}, {m} and {d}.
QString fillTemplate(const char *utf8Template, std::mt19937 &rng, QDate day);

} // namespace mz::portalcontent
