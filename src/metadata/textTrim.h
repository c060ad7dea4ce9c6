#pragma once

#include <QString>

// Removes leading and trailing characters whose code is 32 or less: blanks,
// control characters and the zero bytes that pad fixed-width tag fields.
QString TrimBlanksAndControls(const QString &text);
