#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QtGlobal>

class TcustomTagger;
class TdmMain;

// The most queue entries the guests' page is sent; the length is sent too.
inline constexpr int kQueueShown = 100;

// A track as the guests' page shows it: {"id", "title", "artist", "album",
// "durationMs"}. Tag texts go as they are: the page shows them as text.
QJsonObject GuestTrackJson(const TcustomTagger &record, quint64 key);

// What every guest sees of the party now, the same for all:
// {"party": {"open", "requestsPerGuest", "repeatMinutes", "approval",
//            "voteToSkip"},
//  "playing": null or a track with "state", "positionMs", "requestedBy",
//             "guest",
//  "queue": [tracks with "requestedBy" and "guest" (0: the host's)],
//  "queueLength", "guests": the guests active in the last 15 minutes,
//  "votes": {"open", "votes", "needed"}}
QJsonObject PartyStateJson(const TdmMain &core, quint64 key);

// What one guest sees besides: {"guest", "name", "waiting", "limit",
// "pending": [tracks awaiting approval], "voted"}; null for a browser that has not
// given a name.
QJsonValue GuestStateJson(const TdmMain &core, int guest, quint64 key);
