#include "banner/gg.h"

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

namespace tavrin {

namespace {

const QColor kBackground(0xFF, 0xC0, 0x80); // light orange behind the captions
const QColor kDesignText(0x00, 0x00, 0xC0); // dark blue of the captions before any hover
const QColor kHoverText(0xFF, 0x00, 0x00); // red under the pointer
const QColor kNormalText(0x00, 0x00, 0xFF); // blue once the pointer has left

constexpr QSize kDesignSize(405, 31);
constexpr QRect kPicture1Place(72, 0, 177, 25);
constexpr QRect kLabel1Place(0, 8, 167, 14);
constexpr std::array<QRect, 2> kLabel2Places = {QRect(8, 6, 65, 17), QRect(264, 8, 73, 17)};
constexpr QRect kLabel3Place(344, 8, 57, 17);

constexpr double kCaptionPointSize = 10.5;
constexpr int kRestTop = 6; // where each caption pauses, in pixels from the top of Picture1
constexpr int kScrollInterval = 20; // ms per 1-pixel step
constexpr int kRestInterval = 6000; // ms at the rest position

const QString kLabel2Captions[] = {QStringLiteral("淘宝特卖"), QStringLiteral("商城导航")};
const QString kLabel3Caption = QStringLiteral("更多软件");

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

Gg::Gg(QWidget *parent, const QString &feedUrl) : QWidget(parent)
{
    createControls();
    initialise(feedUrl);
}

void Gg::createControls()
{
    resize(kDesignSize);
    setAutoFillBackground(true);
    setMouseTracking(true);
    setColour(this, QPalette::Window, kBackground);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(kPicture1Place);
    Picture1->setMouseTracking(true);
    Picture1->installEventFilter(this);

    Label1 = createCaption(Picture1, QStringLiteral("Label1"), kLabel1Place);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Label1 alone keeps the toolkit's own label background instead of the banner's orange.
    setColour(Label1, QPalette::Window, QApplication::palette().color(QPalette::Window));
    Label1->installEventFilter(this);

    for (std::size_t i = 0; i < Label2.size(); ++i) {
        Label2[i] = createCaption(this, QStringLiteral("Label2_%1").arg(i), kLabel2Places[i]);
        Label2[i]->setText(kLabel2Captions[i]);
        Label2[i]->installEventFilter(this);
    }

    Label3 = createCaption(this, QStringLiteral("Label3"), kLabel3Place);
    Label3->setText(kLabel3Caption);
    Label3->installEventFilter(this);
    // A screen reader's press on a caption opens what a click on it opens.
    for (QLabel *label : {Label1, Label2[0], Label2[1], Label3}) {
        connect(qobject_cast<CaptionLabel *>(label), &CaptionLabel::activated, this,
            [this, label] { clickCaption(label); });
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &Gg::Timer1Timer);
}

void Gg::initialise(const QString &feedUrl)
{
    // 1. The ticker starts only after the load: the load runs an event loop, and the ticker must
    //    not move while the table is still being filled. (Picture1 works in pixels throughout.)
    Timer1->setInterval(kScrollInterval);
    // 2. One empty entry, so that a failed load leaves an empty first caption.
    adtable.assign(1, BannerEntry {});
    adcount = 0;
    adindex = 0;
    // 3. The feed, or the fallback list when its first caption is empty.
    loadxml(feedUrl);
    adtable = tableAfterLoad(std::move(adtable));
    Timer1->start();
    Label1->setText(adtable.front().caption);
    adlink = adtable.front().link;
    // 4. A one-entry table leaves Label2(1) at its design-time caption.
    for (std::size_t i = 0; i < Label2.size() && i < adtable.size(); ++i) {
        Label2[i]->setText(adtable[i].caption);
    }
}

void Gg::loadxml(QString url)
{
    const std::optional<QByteArray> document = fetchFeed(url);
    if (!document) {
        return;
    }
    std::vector<BannerEntry> loaded = parseFeed(*document);
    if (loaded.empty()) {
        qCDebug(lcFeed) << "the feed from" << url << "holds no entry under //channel/item";
        return;
    }
    adcount = static_cast<qint16>(loaded.size());
    adtable = std::move(loaded);
}

int Gg::tickerTop() const
{
    return Label1->y();
}

int Gg::tickerInterval() const
{
    return Timer1->interval();
}

bool Gg::tickerRunning() const
{
    return Timer1->isActive();
}

void Gg::setTickerTop(int top)
{
    Label1->move(Label1->x(), top);
}

void Gg::Timer1Timer()
{
    int top = tickerTop();
    // 1. At the top edge the next entry takes over the caption and the link together.
    if (top == 0) {
        if (adindex >= static_cast<int>(adtable.size())) {
            adindex = 0;
        }
        Label1->setText(adtable[adindex].caption);
        adlink = adtable[adindex].link;
        ++adindex;
    }
    // 2. Re-enter at the bottom edge.
    if (top <= 0) {
        top = Picture1->height();
    }
    // 3.-4. One pixel up; the rest position holds for longer.
    --top;
    setTickerTop(top);
    Timer1->setInterval(top == kRestTop ? kRestInterval : kScrollInterval);
}

void Gg::Label1MouseMove()
{
    Timer1->stop();
    setTickerTop(kRestTop);
    setColour(Label1, QPalette::WindowText, kHoverText);
}

void Gg::Label2MouseMove(int index)
{
    setColour(Label2[index], QPalette::WindowText, kHoverText);
}

void Gg::Picture1MouseMove()
{
    setColour(Label1, QPalette::WindowText, kNormalText);
    // Restarting a running ticker on every move would freeze it under a moving pointer.
    if (!Timer1->isActive()) {
        Timer1->start();
    }
}

void Gg::UserControlMouseMove()
{
    setColour(Label2[0], QPalette::WindowText, kNormalText);
    setColour(Label2[1], QPalette::WindowText, kNormalText);
    setColour(Label1, QPalette::WindowText, kNormalText);
    if (!Timer1->isActive()) {
        Timer1->start();
    }
}

void Gg::Label1Click()
{
    const QString link = adlink;
    openurl(link);
}

void Gg::Label2Click(int index)
{
    QString link;
    if (index >= 0 && static_cast<std::size_t>(index) < adtable.size()) {
        link = adtable[static_cast<std::size_t>(index)].link;
    }
    openurl(link);
}

void Gg::Label3Click()
{
    openurl(QString::fromLatin1(kAuthorHomePage));
}

void Gg::mouseMoveEvent(QMouseEvent *event)
{
    UserControlMouseMove();
    event->accept();
}

bool Gg::eventFilter(QObject *watched, QEvent *event)
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
bool Gg::routeMouseMove(QObject *watched)
{
    if (watched == Label1) {
        Label1MouseMove();
    } else if (watched == Label2[0] || watched == Label2[1]) {
        Label2MouseMove(watched == Label2[0] ? 0 : 1);
    } else if (watched == Picture1) {
        Picture1MouseMove();
    } else if (watched != Label3) {
        return false;
    }
    return true;
}

// A click is a left-button release over the label that was pressed.
bool Gg::routeClick(QObject *watched, const QMouseEvent &release)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (label == nullptr || release.button() != Qt::LeftButton
        || !label->rect().contains(release.position().toPoint())) {
        return false;
    }
    return clickCaption(label);
}

bool Gg::clickCaption(const QLabel *label)
{
    if (label == Label1) {
        Label1Click();
    } else if (label == Label2[0] || label == Label2[1]) {
        Label2Click(label == Label2[0] ? 0 : 1);
    } else if (label == Label3) {
        Label3Click();
    } else {
        return false;
    }
    return true;
}

} // namespace tavrin
