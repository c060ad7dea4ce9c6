#pragma once

#include <QString>

// A file or folder the program could not read or write, and why, in words
// for the user (the system's error text where there is one).
struct TfileProblem {
    QString path;
    QString reason;
    bool operator==(const TfileProblem &) const = default;
};
