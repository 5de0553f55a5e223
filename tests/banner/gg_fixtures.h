#pragma once

#include "gg.h"
#include "local_http_server.h"

#include <QLabel>
#include <QPalette>
#include <QStringList>
#include <memory>
#include <utility>

// A feed document with one item per (title, link) pair.
inline QByteArray feedOf(const QList<std::pair<QByteArray, QByteArray>> &items)
{
    QByteArray document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel>";
    for (const auto &[title, link] : items) {
        document += "<item><title>" + title + "</title><link>" + link + "</link></item>";
    }
    return document + "</channel></rss>";
}

// A banner whose feed cannot be reached, so it shows the fallback list.
inline std::unique_ptr<tavrin::Gg> unreachableBanner()
{
    return std::make_unique<tavrin::Gg>(
        nullptr, QStringLiteral("http://127.0.0.1:%1/g/g.xml").arg(LocalHttpServer::closedPort()));
}

// A banner loaded from the given document, served by a server that lives only for the load.
inline std::unique_ptr<tavrin::Gg> bannerServing(const QByteArray &document)
{
    LocalHttpServer server;
    server.serve("/g/g.xml", LocalHttpServer::Reply {200, document, {}, {}});
    return std::make_unique<tavrin::Gg>(nullptr, server.url("/g/g.xml"));
}

inline QLabel *labelOf(const tavrin::Gg &banner, const QString &name)
{
    auto *label = banner.findChild<QLabel *>(name);
    if (label == nullptr) {
        qFatal("no label %s", qPrintable(name));
    }
    return label;
}

inline QStringList captionsOf(const tavrin::Gg &banner)
{
    QStringList captions;
    for (const tavrin::BannerEntry &entry : banner.entries()) {
        captions << entry.caption;
    }
    return captions;
}

inline const QStringList kFallbackCaptions = {"淘宝特卖123", "商城导航", "天猫商城", "购物客",
    "女装频道", "美容频道", "男人频道", "家电数码"};
