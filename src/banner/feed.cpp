#include "banner/feed.h"

#include "banner/xml_decoding.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavrin {

namespace {

// The text of every element in `chosen` (its own text and that of the elements inside it, in
// document order, trimmed), found in one walk through the document: every text node is read
// once, however deeply the chosen elements nest inside each other, and trimming looks up the
// first and last character that is not a blank instead of scanning for it.
class ElementTexts
{
public:
    // The chosen elements all have the same name.
    ElementTexts(const pugi::xml_node &root, const pugi::xpath_node_set &chosen)
        : name_(chosen.empty() ? "" : chosen[0].node().name())
    {
        for (std::size_t i = 0; i < chosen.size(); ++i)
            spans_.emplace(chosen[i].node().internal_object(), Span {});
        walk(root);
        markBlanks();
    }

    // The trimmed text of `element`, one of the chosen, as long as this object lives; nothing for
    // any other node.
    QStringView textOf(const pugi::xml_node &element) const
    {
        const auto found = spans_.find(element.internal_object());
        if (found == spans_.end())
            return {};
        const qsizetype first = nextNonBlank_[found->second.begin];
        const qsizetype end = std::max(first, lastNonBlankEnd_[found->second.end]);
        return QStringView(text_).sliced(first, end - first);
    }

private:
    struct Span
    {
        qsizetype begin = 0;
        qsizetype end = 0;
    };

    // Depth first without recursion, so a deeply nested document cannot exhaust the stack.
    void walk(const pugi::xml_node &root)
    {
        pugi::xml_node node = root;
        while (node) {
            enter(node);
            if (node.first_child()) {
                node = node.first_child();
                continue;
            }
            while (node != root && !node.next_sibling()) {
                leave(node);
                node = node.parent();
            }
            leave(node);
            node = node == root ? pugi::xml_node() : node.next_sibling();
        }
    }
    void enter(const pugi::xml_node &node)
    {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            appendText(node.value());
        else if (Span *span = spanOf(node))
            span->begin = text_.size();
    }
    void leave(const pugi::xml_node &node)
    {
        if (Span *span = spanOf(node))
            span->end = text_.size();
    }
    // The span of a chosen element; the name is compared first, as most elements are not chosen.
    Span *spanOf(const pugi::xml_node &node)
    {
        if (node.type() != pugi::node_element || std::strcmp(node.name(), name_) != 0)
            return nullptr;
        const auto span = spans_.find(node.internal_object());
        return span == spans_.end() ? nullptr : &span->second;
    }
    // ASCII, the common case, is appended without a conversion of its own.
    void appendText(const char *utf8)
    {
        const std::size_t length = std::strlen(utf8);
        if (std::all_of(utf8, utf8 + length, [](char c) { return (c & 0x80) == 0; }))
            text_.append(QLatin1StringView(utf8, static_cast<qsizetype>(length)));
        else
            text_ += QString::fromUtf8(utf8, static_cast<qsizetype>(length));
    }
    // nextNonBlank_[i]: the first character from i on that is not a blank (or the end);
    // lastNonBlankEnd_[i]: one past the last character before i that is not a blank (or 0).
    void markBlanks()
    {
        const qsizetype size = text_.size();
        nextNonBlank_.assign(size + 1, size);
        lastNonBlankEnd_.assign(size + 1, 0);
        for (qsizetype i = size - 1; i >= 0; --i)
            nextNonBlank_[i] = text_.at(i).isSpace() ? nextNonBlank_[i + 1] : i;
        for (qsizetype i = 1; i <= size; ++i)
            lastNonBlankEnd_[i] = text_.at(i - 1).isSpace() ? lastNonBlankEnd_[i - 1] : i;
    }

    const char *name_; // of the chosen elements
    QString text_; // all text of the document, in document order
    std::unordered_map<pugi::xml_node_struct *, Span> spans_; // of the chosen elements
    std::vector<qsizetype> nextNonBlank_;
    std::vector<qsizetype> lastNonBlankEnd_;
};

// A link's text: its own text and CDATA, without that of elements nested in it, trimmed.
QString ownTextOf(const pugi::xpath_node_set &nodes, std::size_t index)
{
    if (index >= nodes.size())
        return {};
    std::string text;
    for (const pugi::xml_node &child : nodes[index].node().children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
    }
    return QString::fromStdString(text).trimmed();
}

// `count` characters of `title` from `from` on, moved so as not to split a character outside
// the Basic Multilingual Plane at either end, and without blanks left at the cuts.
QString cutOf(QStringView title, qsizetype from, qsizetype count)
{
    if (from > 0 && title.at(from).isLowSurrogate())
        ++from, --count;
    if (title.at(from + count - 1).isHighSurrogate())
        --count;
    return title.sliced(from, count).trimmed().toString();
}

// A title as a banner entry's captions: its first kMaxCaptionLength characters, and for a
// longer title also its middle ones, what a centred caption shows of the whole title.
void setCaptions(BannerEntry &entry, QStringView title)
{
    if (title.size() <= kMaxCaptionLength) {
        entry.caption = title.toString();
        return;
    }
    entry.caption = cutOf(title, 0, kMaxCaptionLength);
    entry.middle = cutOf(title, (title.size() - kMaxCaptionLength) / 2, kMaxCaptionLength);
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

    const ElementTexts titleTexts(root, titles);

    const std::size_t count = std::min<std::size_t>(items.size(), kMaxBannerEntries);
    std::vector<BannerEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i) {
        // A caption longer than the ticker could ever show would only cost layout work at every
        // step of the ticker.
        if (i < titles.size())
            setCaptions(entries[i], titleTexts.textOf(titles[i].node()));
        entries[i].link = ownTextOf(links, i);
    }
    return entries;
}

} // namespace

std::vector<BannerEntry> parseFeed(const QByteArray &bytes)
{
    const Result<QByteArray> utf8 = xmlAsUtf8(bytes);
    if (!utf8) {
        return {};
    }
    // parse_default leaves the document type declaration unread: no entity of it is defined,
    // expanded or fetched.
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(utf8.value().constData(),
        static_cast<std::size_t>(utf8.value().size()), pugi::parse_default, pugi::encoding_utf8);
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
