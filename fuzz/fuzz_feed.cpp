// Fuzz target: the banner's feed parser on arbitrary bytes, whatever encoding they declare and
// however deeply they nest. Besides the sanitizers' checks, the results must keep their promises.

#include "banner/feed.h"
#include "banner/xml_decoding.h"

#include <QString>
#include <QStringDecoder>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    if (const tavrin::Result<QByteArray> utf8 = tavrin::xmlAsUtf8(bytes)) {
        // The decoded text must itself be well-formed UTF-8. A second byte-order mark in the
        // input survives as a character, so the check must not swallow a leading one.
        QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        const QString again = strict.decode(utf8.value());
        if (strict.hasError() || again.toUtf8() != utf8.value())
            fail("xmlAsUtf8 gave bytes that are not well-formed UTF-8");
    }

    const std::vector<tavrin::BannerEntry> entries = tavrin::parseFeed(bytes);
    if (entries.size() > static_cast<std::size_t>(tavrin::kMaxBannerEntries))
        fail("more entries than a 16-bit entry number can reach");
    for (const tavrin::BannerEntry &entry : entries) {
        if (entry.caption != entry.caption.trimmed() || entry.link != entry.link.trimmed())
            fail("an entry text keeps surrounding whitespace");
    }

    const std::vector<tavrin::BannerEntry> table = tavrin::tableAfterLoad(entries);
    if (table.empty() || table.front().caption.isEmpty())
        fail("the banner table has no first caption");
    return 0;
}
