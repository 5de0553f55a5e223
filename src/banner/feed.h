#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace tavrin {

// Characters of a feed title kept as a caption; the banner shows far fewer.
constexpr qsizetype kMaxCaptionLength = 256;

// One banner entry: the caption shown and the address its click opens. Either may be empty.
struct BannerEntry
{
    QString caption; // the title's first kMaxCaptionLength characters, as a caption starts
    QString link;
    // For a longer title, its middle kMaxCaptionLength characters: the part a caption centred on
    // the title shows. Empty when `caption` is the whole title.
    QString middle {};

    // What a caption centred on the title shows of it.
    const QString &centredCaption() const { return middle.isEmpty() ? caption : middle; }

    friend bool operator==(const BannerEntry &, const BannerEntry &) = default;
};

// Entry numbers are 16-bit, so a table never holds more entries than this.
inline constexpr int kMaxBannerEntries = 32767;

// The entries a feed document supplies, one per "//channel/item" in document order. Titles and
// links are paired by position among all titles and all links, not by their parent item, so an
// item without a title shifts the later captions forward. A title's text is all its text and
// CDATA, that of the elements inside it included; a link's text is its own, without that of
// nested elements; both are trimmed of surrounding whitespace.
// Returns no entries when the bytes are not a readable XML document.
std::vector<BannerEntry> parseFeed(const QByteArray &bytes);

// The eight entries shown when the feed gives no usable first entry.
std::vector<BannerEntry> fallbackEntries();

// The table the banner shows after a load: the loaded entries when the first of them has a
// caption, the fallback list otherwise (a feed whose first title is empty is dropped whole).
std::vector<BannerEntry> tableAfterLoad(std::vector<BannerEntry> loaded);

} // namespace tavrin
