#pragma once

#include "banner/feed.h"
#include "banner/feed_url.h"

#include <QString>
#include <QWidget>
#include <array>
#include <vector>

class QLabel;
class QMouseEvent;
class QTimer;

namespace tavrin {

// `Banner`: the advertisement banner. At creation it loads its entries from the XML feed (waiting
// for the fetch, which is bounded), falls back to a fixed list, and then scrolls the captions
// through a small ticker; a click on a caption opens its link in the browser. Its children keep
// their design-time places: a parent that gives it less room cuts it off.
class Banner : public QWidget
{
    Q_OBJECT

public:
    explicit Banner(QWidget *parent = nullptr, const QString &feedUrl = defaultFeedUrl());

    const std::vector<BannerEntry> &entries() const { return entries_; }
    int nextEntryIndex() const { return nextEntry_; }
    const QString &shownLink() const { return shownLink_; }
    int loadedCount() const { return loadedCount_; }
    int tickerTop() const;
    int tickerInterval() const;
    bool tickerRunning() const;

public slots:
    // One tick of the ticker's timer (`Timer1`). Public so that the ticker can be stepped
    // without waiting for the clock.
    void advanceTicker();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void createControls();
    void initialise(const QString &feedUrl);
    // Fetches and parses the feed, replacing the table when it yields entries.
    void loadFeed(QString url);
    void setTickerTop(int top);

    // Pointer feedback over the captions, the ticker's window and the banner itself.
    void hoverTickerCaption();
    void hoverEntryCaption(int index);
    void pointerOverTickerWindow();
    void pointerOverBanner();
    bool routeMouseMove(QObject *watched);

    // Clicks on the captions.
    void openShownLink();
    void openEntryLink(int index);
    void openHomePage();
    bool routeClick(QObject *watched, const QMouseEvent &release);
    // The click handler of a caption; false for any other label.
    bool clickCaption(const QLabel *label);
    // Which of the two entry captions `object` is: 0, 1, or -1 for neither.
    int entryCaptionIndex(const QObject *object) const;

    QWidget *tickerWindow_ = nullptr; // `Picture1`: the ticker's window
    QLabel *tickerCaption_ = nullptr; // `Label1`: the caption that scrolls inside `Picture1`
    std::array<QLabel *, 2>
        entryCaptions_ {}; // `Label2(0)`, `Label2(1)`: captions of entries 0 and 1
    QLabel *homePageCaption_ = nullptr; // `Label3`: "更多软件", the author's home page
    QTimer *tickerTimer_ = nullptr; // `Timer1`: moves the ticker

    qint16 nextEntry_ = 0; // the entry the next advance puts on `Label1`
    QString shownLink_; // the link of the entry shown on `Label1`
    std::vector<BannerEntry> entries_; // the entries, captions with their links
    qint16 loadedCount_ = 0; // how many entries the feed loader appended
};

} // namespace tavrin
