#pragma once

#include <QString>
#include <QtGlobal>
#include <span>

class TcustomTagger;

// How a published property's value is written in a track-list file.
enum class TaggerPropertyKind : quint8 {
    Integer,     // written in the smallest integer type that holds it
    Float,       // 80-bit extended
    String,      // short (up to 255 bytes) or long string
    Boolean,     // false / true markers
    Enumeration, // identifier naming one of enumNames
};

// When a property is written at all.
enum class TaggerStoredRule : quint8 {
    Always,
    WhenNonEmpty, // strings
    WhenNonZero,  // numbers
};

// One entry of a record class's published-property table. The accessors of the
// property's kind are set; integers travel as qint64 (unsigned 32-bit values as
// their unsigned value, enumerations as their ordinal).
struct TaggerProperty {
    const char *name;
    TaggerPropertyKind kind;
    TaggerStoredRule stored;
    qint64 (*getInteger)(const TcustomTagger &) = nullptr;
    void (*setInteger)(TcustomTagger &, qint64) = nullptr;
    double (*getFloat)(const TcustomTagger &) = nullptr;
    void (*setFloat)(TcustomTagger &, double) = nullptr;
    QString (*getString)(const TcustomTagger &) = nullptr;
    void (*setString)(TcustomTagger &, const QString &) = nullptr;
    bool (*getBoolean)(const TcustomTagger &) = nullptr;
    void (*setBoolean)(TcustomTagger &, bool) = nullptr;
    std::span<const char *const> enumNames = {};
};

// The published properties of TcustomTagger in stream order; descendants
// append their own after these.
std::span<const TaggerProperty> CustomTaggerProperties();
