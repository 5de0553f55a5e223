#include "banner/feed.h"

#include "banner/xml_decoding.h"

#include <algorithm>
#include <exception>
#include <pugixml.hpp>
#include <string>

namespace tavrin {

namespace {

// The element's own text: its text and CDATA children, without the text of nested elements, so
// that the work stays linear in the document however deeply titles nest inside titles.
std::string ownText(const pugi::xml_node &element)
{
    std::string text;
    for (const pugi::xml_node &child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text += child.value();
        }
    }
    return text;
}

QString textOf(const pugi::xpath_node_set &nodes, std::size_t index)
{
    if (index >= nodes.size()) {
        return {};
    }
    return QString::fromStdString(ownText(nodes[index].node())).trimmed();
}

// A title as a caption: cut to kMaxCaptionLength characters, never inside a character outside
// the Basic Multilingual Plane, and without blanks left at the cut.
QString captionOf(QString title)
{
    if (title.size() <= kMaxCaptionLength)
        return title;
    const bool splitsPair = title.at(kMaxCaptionLength - 1).isHighSurrogate();
    return title.left(kMaxCaptionLength - (splitsPair ? 1 : 0)).trimmed();
}

pugi::xpath_node_set selectInOrder(const pugi::xml_node &context, const char *path)
{
    pugi::xpath_node_set nodes = context.select_nodes(path);
    nodes.sort();
    return nodes;
}

std::vector<BannerEntry> entriesOf(const pugi::xml_node &root)
{
    // The document does not change during a load, so each path is selected once.
    const pugi::xpath_node_set items = selectInOrder(root, "//channel/item");
    const pugi::xpath_node_set titles = selectInOrder(root, "//channel/item/title");
    const pugi::xpath_node_set links = selectInOrder(root, "//channel/item/link");

    const std::size_t count = std::min<std::size_t>(items.size(), kMaxBannerEntries);
    std::vector<BannerEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        // A caption longer than the ticker could ever show would only cost layout work at every
        // step of the ticker.
        entries.push_back({captionOf(textOf(titles, i)), textOf(links, i)});
    }
    return entries;
}

} // namespace

std::vector<BannerEntry> parseFeed(const QByteArray &bytes)
{
    const std::optional<QByteArray> utf8 = xmlAsUtf8(bytes);
    if (!utf8) {
        return {};
    }
    // parse_default leaves the document type declaration unread: no entity of it is defined,
    // expanded or fetched.
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(utf8->constData(),
        static_cast<std::size_t>(utf8->size()), pugi::parse_default, pugi::encoding_utf8);
    const pugi::xml_node root = document.document_element();
    if (!parsed || !root) {
        return {};
    }
    try {
        return entriesOf(root);
    } catch (const std::exception &) {
        // Out of memory while selecting: the load counts as failed.
        return {};
    }
}

std::vector<BannerEntry> fallbackEntries()
{
    return {
        {QStringLiteral("淘宝特卖123"), QStringLiteral("https://tejia.taobao.com/")},
        {QStringLiteral("商城导航"), QStringLiteral("https://www.smzdm.com/mall/")},
        {QStringLiteral("天猫商城"), QStringLiteral("https://new.tmall.com/")},
        {QStringLiteral("购物客"), QStringLiteral("https://www.smzdm.com/")},
        {QStringLiteral("女装频道"), QStringLiteral("https://nvzhuang.taobao.com/")},
        {QStringLiteral("美容频道"), QStringLiteral("https://mei.taobao.com/")},
        {QStringLiteral("男人频道"), QStringLiteral("https://nanzhuang.taobao.com/")},
        {QStringLiteral("家电数码"), QStringLiteral("https://3c.taobao.com/")},
    };
}

std::vector<BannerEntry> tableAfterLoad(std::vector<BannerEntry> loaded)
{
    if (loaded.empty() || loaded.front().caption.isEmpty()) {
        return fallbackEntries();
    }
    return loaded;
}

} // namespace tavrin
