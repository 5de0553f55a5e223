#include "banner/banner.h"

#include "banner/caption_label.h"
#include "banner/feed_loader.h"
#include "desktop/fonts.h"
#include "desktop/home_page.h"
#include "desktop/logging.h"
#include "desktop/open_url.h"

#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QTimer>
#include <algorithm>

namespace tavrin {

namespace {

const QColor kBackground(0xFF, 0xC0, 0x80); // light orange behind the captions
const QColor kDesignText(0x00, 0x00, 0xC0); // dark blue of the captions before any hover
const QColor kHoverText(0xFF, 0x00, 0x00); // red under the pointer
const QColor kNormalText(0x00, 0x00, 0xFF); // blue once the pointer has left

constexpr QSize kDesignSize(405, 31);
constexpr QRect kTickerWindowPlace(72, 0, 177, 25);
constexpr QRect kTickerCaptionPlace(0, 8, 167, 14);
constexpr std::array<QRect, 2> kEntryCaptionPlaces = {QRect(8, 6, 65, 17), QRect(264, 8, 73, 17)};
constexpr QRect kHomePageCaptionPlace(344, 8, 57, 17);

constexpr double kCaptionPointSize = 10.5;
constexpr int kRestTop = 6; // where each caption pauses, in pixels from the top of Picture1
constexpr int kScrollInterval = 20; // ms per 1-pixel step
constexpr int kRestInterval = 6000; // ms at the rest position

const QString kEntryCaptionsAtDesign[] = {QStringLiteral("淘宝特卖"), QStringLiteral("商城导航")};
const QString kHomePageCaptionText = QStringLiteral("更多软件");

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QFont captionFont()
{
    QFont font = songFont(kCaptionPointSize);
    font.setUnderline(true);
    return font;
}

QLabel *createCaption(QWidget *parent, const QString &name, const QRect &place)
{
    auto *label = new CaptionLabel(parent);
    label->setObjectName(name);
    label->setGeometry(place);
    // Feed captions are shown as they are, never interpreted as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(captionFont());
    label->setCursor(Qt::PointingHandCursor);
    label->setMouseTracking(true);
    label->setAutoFillBackground(true);
    setColour(label, QPalette::WindowText, kDesignText);
    return label;
}

} // namespace

Banner::Banner(QWidget *parent, const QString &feedUrl) : QWidget(parent)
{
    createControls();
    initialise(feedUrl);
}

void Banner::createControls()
{
    resize(kDesignSize);
    setAutoFillBackground(true);
    setMouseTracking(true);
    setColour(this, QPalette::Window, kBackground);

    tickerWindow_ = new QWidget(this);
    tickerWindow_->setObjectName(QStringLiteral("Picture1"));
    tickerWindow_->setGeometry(kTickerWindowPlace);
    tickerWindow_->setMouseTracking(true);
    tickerWindow_->installEventFilter(this);

    tickerCaption_ = createCaption(tickerWindow_, QStringLiteral("Label1"), kTickerCaptionPlace);
    tickerCaption_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Label1 alone keeps the toolkit's own label background instead of the banner's orange.
    setColour(tickerCaption_, QPalette::Window, QApplication::palette().color(QPalette::Window));
    tickerCaption_->installEventFilter(this);

    for (std::size_t i = 0; i < entryCaptions_.size(); ++i) {
        entryCaptions_[i]
            = createCaption(this, QStringLiteral("Label2_%1").arg(i), kEntryCaptionPlaces[i]);
        entryCaptions_[i]->setText(kEntryCaptionsAtDesign[i]);
        entryCaptions_[i]->installEventFilter(this);
    }

    // Tab reaches the ticker and the two entries, in this order, after the widgets before the
    // banner.
    for (QLabel *label : {tickerCaption_, entryCaptions_[0], entryCaptions_[1]}) {
        label->setFocusPolicy(Qt::TabFocus);
    }

    homePageCaption_ = createCaption(this, QStringLiteral("Label3"), kHomePageCaptionPlace);
    homePageCaption_->setText(kHomePageCaptionText);
    homePageCaption_->installEventFilter(this);
    // A screen reader's press on a caption opens what a click on it opens.
    for (QLabel *label : {tickerCaption_, entryCaptions_[0], entryCaptions_[1], homePageCaption_}) {
        connect(qobject_cast<CaptionLabel *>(label), &CaptionLabel::activated, this,
            [this, label] { clickCaption(label); });
    }

    tickerTimer_ = new QTimer(this);
    tickerTimer_->setObjectName(QStringLiteral("Timer1"));
    connect(tickerTimer_, &QTimer::timeout, this, &Banner::advanceTicker);
}

void Banner::initialise(const QString &feedUrl)
{
    // 1. The ticker starts only after the load: the load runs an event loop, and the ticker must
    //    not move while the table is still being filled. (Picture1 works in pixels throughout.)
    tickerTimer_->setInterval(kScrollInterval);
    // 2. One empty entry, so that a failed load leaves an empty first caption.
    entries_.assign(1, BannerEntry {});
    loadedCount_ = 0;
    nextEntry_ = 0;
    // 3. The feed, or the fallback list when its first caption is empty.
    loadFeed(feedUrl);
    entries_ = tableAfterLoad(std::move(entries_));
    tickerTimer_->start();
    tickerCaption_->setText(entries_.front().centredCaption());
    shownLink_ = entries_.front().link;
    // 4. A one-entry table leaves Label2(1) at its design-time caption.
    for (std::size_t i = 0; i < entryCaptions_.size() && i < entries_.size(); ++i) {
        entryCaptions_[i]->setText(entries_[i].caption);
    }
}

void Banner::loadFeed(QString url)
{
    const Result<QByteArray> document = fetchFeed(url);
    if (!document) {
        qCDebug(lcFeed) << "feed not loaded from" << url << ":" << document.reason();
        return;
    }
    std::vector<BannerEntry> loaded = parseFeed(document.value());
    if (loaded.empty()) {
        qCDebug(lcFeed) << "the feed from" << url << "holds no entry under //channel/item";
        return;
    }
    loadedCount_ = static_cast<qint16>(loaded.size());
    entries_ = std::move(loaded);
}

int Banner::tickerTop() const
{
    return tickerCaption_->y();
}

int Banner::tickerInterval() const
{
    return tickerTimer_->interval();
}

bool Banner::tickerRunning() const
{
    return tickerTimer_->isActive();
}

void Banner::setTickerTop(int top)
{
    tickerCaption_->move(tickerCaption_->x(), top);
}

void Banner::advanceTicker()
{
    int top = tickerTop();
    // 1. At the top edge the next entry takes over the caption and the link together.
    if (top == 0) {
        if (nextEntry_ >= static_cast<int>(entries_.size())) {
            nextEntry_ = 0;
        }
        tickerCaption_->setText(entries_[nextEntry_].centredCaption());
        shownLink_ = entries_[nextEntry_].link;
        ++nextEntry_;
    }
    // 2. Re-enter at the bottom edge.
    if (top <= 0) {
        top = tickerWindow_->height();
    }
    // 3.-4. One pixel up; the rest position holds for longer.
    --top;
    setTickerTop(top);
    tickerTimer_->setInterval(top == kRestTop ? kRestInterval : kScrollInterval);
}

void Banner::hoverTickerCaption()
{
    tickerTimer_->stop();
    setTickerTop(kRestTop);
    setColour(tickerCaption_, QPalette::WindowText, kHoverText);
}

void Banner::hoverEntryCaption(int index)
{
    setColour(entryCaptions_[index], QPalette::WindowText, kHoverText);
}

void Banner::pointerOverTickerWindow()
{
    setColour(tickerCaption_, QPalette::WindowText, kNormalText);
    // Restarting a running ticker on every move would freeze it under a moving pointer.
    if (!tickerTimer_->isActive()) {
        tickerTimer_->start();
    }
}

void Banner::pointerOverBanner()
{
    setColour(entryCaptions_[0], QPalette::WindowText, kNormalText);
    setColour(entryCaptions_[1], QPalette::WindowText, kNormalText);
    setColour(tickerCaption_, QPalette::WindowText, kNormalText);
    if (!tickerTimer_->isActive()) {
        tickerTimer_->start();
    }
}

void Banner::openShownLink()
{
    const QString link = shownLink_;
    openWebAddress(link);
}

void Banner::openEntryLink(int index)
{
    QString link;
    if (index >= 0 && static_cast<std::size_t>(index) < entries_.size()) {
        link = entries_[static_cast<std::size_t>(index)].link;
    }
    openWebAddress(link);
}

void Banner::openHomePage()
{
    openWebAddress(QString::fromLatin1(kAuthorHomePage));
}

void Banner::mouseMoveEvent(QMouseEvent *event)
{
    pointerOverBanner();
    event->accept();
}

bool Banner::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        return routeMouseMove(watched);
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        return routeClick(watched, *static_cast<QMouseEvent *>(event));
    }
    return QWidget::eventFilter(watched, event);
}

// Each child handles its own moves; none reaches the background beneath it.
bool Banner::routeMouseMove(QObject *watched)
{
    if (watched == tickerCaption_) {
        hoverTickerCaption();
    } else if (const int entry = entryCaptionIndex(watched); entry >= 0) {
        hoverEntryCaption(entry);
    } else if (watched == tickerWindow_) {
        pointerOverTickerWindow();
    } else if (watched != homePageCaption_) {
        return false;
    }
    return true;
}

// A click is a left-button release over the label that was pressed.
bool Banner::routeClick(QObject *watched, const QMouseEvent &release)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (label == nullptr || release.button() != Qt::LeftButton
        || !label->rect().contains(release.position().toPoint())) {
        return false;
    }
    return clickCaption(label);
}

bool Banner::clickCaption(const QLabel *label)
{
    if (label == tickerCaption_) {
        openShownLink();
    } else if (const int entry = entryCaptionIndex(label); entry >= 0) {
        openEntryLink(entry);
    } else if (label == homePageCaption_) {
        openHomePage();
    } else {
        return false;
    }
    return true;
}

int Banner::entryCaptionIndex(const QObject *object) const
{
    const auto found = std::find(entryCaptions_.begin(), entryCaptions_.end(), object);
    return found == entryCaptions_.end() ? -1 : int(found - entryCaptions_.begin());
}

} // namespace tavrin
