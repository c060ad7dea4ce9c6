#pragma once

#include <QString>

class TiniFile;

// The host's settings of party mode: whether the guests' page is served,
// where, under which guest code, and the rules guests' requests follow.
struct TpartySettings {
    static constexpr int kDefaultPort = 8080;
    static constexpr int kCodeLength = 6;
    static constexpr int kMaxRequestsPerGuest = 50;
    static constexpr int kMaxRepeatMinutes = 24 * 60;

    bool Enabled = false;
    int Port = kDefaultPort;
    // Six characters of GuestCodeAlphabet; the guests' page asks for it.
    QString GuestCode;
    // How many of a guest's requests may wait (queued or awaiting approval) at once.
    int RequestsPerGuest = 3;
    // How long after a track started playing it may be requested again.
    int RepeatMinutes = 60;
    bool NeedApproval = false;
    // Whether guests may skip the playing track by a majority of the guests
    // active in the last 15 minutes.
    bool VoteToSkip = false;

    bool operator==(const TpartySettings &) const = default;
};

// The letters and digits of guest codes: none that reads as another (no 0/O,
// 1/I/L), so that a code read aloud or typed from the screen is the code.
inline constexpr const char kGuestCodeAlphabet[] = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";

// A fresh random guest code (the system's cryptographic random source).
QString NewGuestCode();
// Whether text is a guest code as NewGuestCode makes them.
bool IsGuestCode(const QString &text);

// The section [Party] of vorlen.ini. Values out of range take the nearest
// allowed value; a missing or malformed guest code gets a fresh one.
TpartySettings ReadPartySettings(const TiniFile &ini);
void WritePartySettings(TiniFile &ini, const TpartySettings &settings);
// The settings with every value brought into its allowed range.
TpartySettings BoundedPartySettings(TpartySettings settings);
