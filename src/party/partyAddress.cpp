#include "party/partyAddress.h"

#include <QNetworkInterface>
#include <QUrl>
#include <QUrlQuery>

namespace {

bool isPrivate(const QHostAddress &address)
{
    return address.isInSubnet(QHostAddress(QStringLiteral("10.0.0.0")), 8)
        || address.isInSubnet(QHostAddress(QStringLiteral("172.16.0.0")), 12)
        || address.isInSubnet(QHostAddress(QStringLiteral("192.168.0.0")), 16);
}

} // namespace

QHostAddress GuestFacingAddress()
{
    QHostAddress other;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isLoopback()
                || address.isInSubnet(QHostAddress(QStringLiteral("169.254.0.0")), 16))
                continue;
            if (isPrivate(address))
                return address;
            if (other.isNull())
                other = address;
        }
    }
    return other.isNull() ? QHostAddress(QHostAddress::LocalHost) : other;
}

QString PartyUrl(const QHostAddress &host, quint16 port, const QString &guestCode)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host.toString());
    url.setPort(port);
    url.setPath(QStringLiteral("/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("code"), guestCode);
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}
