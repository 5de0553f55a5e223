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

// `Gg`: the advertisement banner. At creation it loads its entries from the XML feed (waiting
// for the fetch, which is bounded), falls back to a fixed list, and then scrolls the captions
// through a small ticker; a click on a caption opens its link in the browser. Its children keep
// their design-time places: a parent that gives it less room cuts it off.
class Gg : public QWidget
{
    Q_OBJECT

public:
    explicit Gg(QWidget *parent = nullptr, const QString &feedUrl = defaultFeedUrl());

    const std::vector<BannerEntry> &entries() const { return adtable; }
    int nextEntryIndex() const { return adindex; }
    const QString &shownLink() const { return adlink; }
    int loadedCount() const { return adcount; }
    int tickerTop() const;
    int tickerInterval() const;
    bool tickerRunning() const;

public slots:
    // Tick of `Timer1`. Public so that the ticker can be stepped without waiting for the clock.
    void Timer1Timer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void createControls();
    void initialise(const QString &feedUrl);
    // `loadxml`: fetches and parses the feed, replacing the table when it yields entries.
    void loadxml(QString url);
    void setTickerTop(int top);

    void Label1MouseMove();
    void Label2MouseMove(int index);
    void Picture1MouseMove();
    void UserControlMouseMove();
    bool routeMouseMove(QObject *watched);

    void Label1Click();
    void Label2Click(int index);
    void Label3Click();
    bool routeClick(QObject *watched, const QMouseEvent &release);
    // The click handler of a caption; false for any other label.
    bool clickCaption(const QLabel *label);

    QWidget *Picture1 = nullptr; // `Picture1`: the ticker's window
    QLabel *Label1 = nullptr; // `Label1`: the caption that scrolls inside `Picture1`
    std::array<QLabel *, 2> Label2 {}; // `Label2(0)`, `Label2(1)`: captions of entries 0 and 1
    QLabel *Label3 = nullptr; // `Label3`: "更多软件", the author's home page
    QTimer *Timer1 = nullptr; // `Timer1`: moves the ticker

    qint16 adindex = 0; // `adindex`: the entry the next advance puts on `Label1`
    QString adlink; // `adlink`: the link of the entry shown on `Label1`
    std::vector<BannerEntry> adtable; // `adtable`: the entries, captions with their links
    qint16 adcount = 0; // `adcount`: how many entries the feed loader appended
};

} // namespace tavrin
