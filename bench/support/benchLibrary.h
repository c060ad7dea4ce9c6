#pragma once

#include <QString>

class QRandomGenerator;

// A library cache (jukebox.dat) of count tracks by 3,000 artists on 8,000
// albums, in title order as the program saves it; the files need not exist.
void WriteLibraryCache(const QString &fileName, int count);

// The resident memory of this process, in KiB; -1 when unknown.
long ResidentKiB();

// A capitalised word of random lower-case letters, minLength to maxLength long.
QString RandomWord(QRandomGenerator &random, int minLength, int maxLength);
