#include "core/partySettings.h"

#include "platform/iniFile.h"

#include <QRandomGenerator>
#include <algorithm>

namespace {

const QString kSection = QStringLiteral("Party");
constexpr int kAlphabetSize = int(sizeof(kGuestCodeAlphabet)) - 1;

} // namespace

QString NewGuestCode()
{
    QString code;
    code.reserve(TpartySettings::kCodeLength);
    // The system's source: a guest code is the one secret between the host's
    // party and the rest of the network.
    QRandomGenerator *random = QRandomGenerator::system();
    for (int i = 0; i < TpartySettings::kCodeLength; ++i)
        code += QLatin1Char(kGuestCodeAlphabet[random->bounded(kAlphabetSize)]);
    return code;
}

bool IsGuestCode(const QString &text)
{
    if (text.size() != TpartySettings::kCodeLength)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 128
            && std::find(kGuestCodeAlphabet, kGuestCodeAlphabet + kAlphabetSize, char(c.unicode()))
            != kGuestCodeAlphabet + kAlphabetSize;
    });
}

TpartySettings BoundedPartySettings(TpartySettings settings)
{
    if (settings.Port < 1 || settings.Port > 65535)
        settings.Port = TpartySettings::kDefaultPort;
    settings.RequestsPerGuest = std::clamp(settings.RequestsPerGuest, 1, TpartySettings::kMaxRequestsPerGuest);
    settings.RepeatMinutes = std::clamp(settings.RepeatMinutes, 0, TpartySettings::kMaxRepeatMinutes);
    settings.GuestCode = settings.GuestCode.toUpper();
    if (!IsGuestCode(settings.GuestCode))
        settings.GuestCode = NewGuestCode();
    return settings;
}

TpartySettings ReadPartySettings(const TiniFile &ini)
{
    const TpartySettings defaults;
    TpartySettings settings;
    settings.Enabled = ini.ReadBool(kSection, QStringLiteral("Enabled"), defaults.Enabled);
    settings.Port = ini.ReadInteger(kSection, QStringLiteral("Port"), defaults.Port);
    settings.GuestCode = ini.ReadString(kSection, QStringLiteral("GuestCode"), QString());
    settings.RequestsPerGuest
        = ini.ReadInteger(kSection, QStringLiteral("RequestsPerGuest"), defaults.RequestsPerGuest);
    settings.RepeatMinutes = ini.ReadInteger(kSection, QStringLiteral("RepeatMinutes"), defaults.RepeatMinutes);
    settings.NeedApproval = ini.ReadBool(kSection, QStringLiteral("NeedApproval"), defaults.NeedApproval);
    settings.VoteToSkip = ini.ReadBool(kSection, QStringLiteral("VoteToSkip"), defaults.VoteToSkip);
    return BoundedPartySettings(settings);
}

void WritePartySettings(TiniFile &ini, const TpartySettings &settings)
{
    ini.WriteBool(kSection, QStringLiteral("Enabled"), settings.Enabled);
    ini.WriteInteger(kSection, QStringLiteral("Port"), settings.Port);
    ini.WriteString(kSection, QStringLiteral("GuestCode"), settings.GuestCode);
    ini.WriteInteger(kSection, QStringLiteral("RequestsPerGuest"), settings.RequestsPerGuest);
    ini.WriteInteger(kSection, QStringLiteral("RepeatMinutes"), settings.RepeatMinutes);
    ini.WriteBool(kSection, QStringLiteral("NeedApproval"), settings.NeedApproval);
    ini.WriteBool(kSection, QStringLiteral("VoteToSkip"), settings.VoteToSkip);
}
