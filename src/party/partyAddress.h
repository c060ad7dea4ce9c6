#pragma once

#include <QHostAddress>
#include <QString>

// The address of this machine that guests on the same network reach it by:
// an IPv4 address of a network interface that is up and not the loopback,
// private addresses (a home network) first; the loopback address when there
// is no other.
QHostAddress GuestFacingAddress();

// The address the party's QR code and the Party window show:
// "http://HOST:PORT/?code=CODE".
QString PartyUrl(const QHostAddress &host, quint16 port, const QString &guestCode);
