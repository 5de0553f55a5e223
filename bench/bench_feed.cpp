// Parsing the largest feed the loader accepts: 1 MiB of body, in four shapes.
#include "banner/feed.h"

#include <benchmark/benchmark.h>

namespace {

// The loader's cap on a feed's body.
constexpr qsizetype kFeedCap = 1024 * 1024;

// A feed: `head`, then `open` and `close` repeated as many times as fit within the cap (every
// `open` before the first `close`, so that a `close` can end what its `open` began), then `tail`.
struct FeedShape
{
    const char *name;
    QByteArray head;
    QByteArray open;
    QByteArray close;
    QByteArray tail;

    QByteArray document() const
    {
        const qsizetype repeats
            = (kFeedCap - head.size() - tail.size()) / (open.size() + close.size());
        return head + open.repeated(repeats) + close.repeated(repeats) + tail;
    }
};

const QByteArray kChannel = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<rss version=\"2.0\"><channel><title>Tavrin</title>\n";
const QByteArray kGbChannel = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n"
                              "<rss version=\"2.0\"><channel><title>Tavrin</title>\n";
const QByteArray kGbCaption = "\xBD\xF1\xC8\xD5\xCC\xD8\xBC\xDB"; // 今日特价 in GB2312
const QByteArray kChannelEnd = "</channel></rss>\n";

const FeedShape kShapes[] = {
    {"items with a UTF-8 caption and a link", kChannel,
        "<item><title>今日特价商品</title><link>http://shop.example/item</link></item>\n", "",
        kChannelEnd},
    {"items with a GB2312 caption and a link", kGbChannel,
        "<item><title>" + kGbCaption + "</title><link>http://shop.example/item</link></item>\n", "",
        kChannelEnd},
    {"the most items that fit", kChannel, "<item><title>t</title><link>l</link></item>", "",
        kChannelEnd},
    {"one title nested to the whole depth", kChannel + "<item>", "<title>t", "</title>",
        "</item>" + kChannelEnd},
};

void BM_parseLargestFeed(benchmark::State &state)
{
    const FeedShape &shape = kShapes[state.range(0)];
    const QByteArray feed = shape.document();
    std::size_t entries = 0;
    for (auto _ : state) {
        const std::vector<tavrin::BannerEntry> parsed = tavrin::parseFeed(feed);
        entries = parsed.size();
        benchmark::DoNotOptimize(parsed.data());
    }
    if (entries == 0) {
        state.SkipWithError("the feed gave no entries");
    }
    state.SetLabel(shape.name);
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["KiB"] = static_cast<double>(feed.size()) / 1024.0;
}
BENCHMARK(BM_parseLargestFeed)
    ->DenseRange(0, std::size(kShapes) - 1)
    ->Unit(benchmark::kMillisecond);

} // namespace
