// Parsing a feed of 100 items, as the banner does once at start-up.
#include "banner/feed.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kItems = 100;

// A feed with `items` items, each with a caption in Chinese and a link.
QByteArray feedWithItems(int items)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<rss version=\"2.0\"><channel><title>Tavrin</title>\n";
    for (int i = 0; i < items; ++i) {
        const QByteArray number = QByteArray::number(i);
        xml += "<item><title>今日特价商品 " + number + "</title><link>http://shop.example/item/"
            + number + "</link><description>第 " + number + " 号</description></item>\n";
    }
    xml += "</channel></rss>\n";
    return xml;
}

void BM_parseFeed(benchmark::State &state)
{
    const QByteArray feed = feedWithItems(kItems);
    std::size_t entries = 0;
    for (auto _ : state) {
        const std::vector<tavrin::BannerEntry> parsed = tavrin::parseFeed(feed);
        entries = parsed.size();
        benchmark::DoNotOptimize(parsed.data());
    }
    if (entries != kItems) {
        state.SkipWithError("the feed did not give one entry per item");
    }
    state.counters["items"] = static_cast<double>(entries);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * feed.size());
}
BENCHMARK(BM_parseFeed)->Unit(benchmark::kMicrosecond);

} // namespace
