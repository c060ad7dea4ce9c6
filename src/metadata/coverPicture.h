#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// A picture stored inside a music file: the bytes of an image file.
struct TembeddedCover {
    // The picture types of ID3v2 APIC frames and FLAC picture blocks.
    enum PictureType : int { ptOther = 0, ptFileIcon = 1, ptOtherFileIcon = 2, ptFrontCover = 3 };

    QByteArray data;
    QString mimeType; // as the file names it; may be empty or wrong
    int pictureType = ptOther;

    bool isNull() const { return data.isEmpty(); }
};

// Pictures larger than this are not taken: no album cover needs them, and a
// damaged length must not make the reader allocate without bound.
inline constexpr qint64 kMaxCoverBytes = 16 * 1024 * 1024;

// Whether bytes begin like an image file (JPEG, PNG, GIF, BMP or WebP). A
// picture whose bytes are something else (a link, text, garbage) is not taken.
bool LooksLikeImage(QByteArrayView data);

// A FLAC picture block (the content of a PICTURE metadata block, or the
// decoded value of a METADATA_BLOCK_PICTURE comment): picture type, MIME type
// and description with their 32-bit big-endian lengths, width, height, colour
// depth and colour count, then the image with its length. False when a length
// runs past the block, the image is larger than kMaxCoverBytes, or it is no
// image.
bool ParseFlacPicture(QByteArrayView block, TembeddedCover *cover);

// Keeps the best of the pictures offered: the first front cover, else the
// first picture that is not a file icon, else the first icon.
class TcoverChoice {
public:
    // Whether a picture of this type would replace the one kept; lets a
    // reader skip reading pictures that cannot win.
    bool Wants(int pictureType) const { return rank(pictureType) < m_rank; }
    void Offer(TembeddedCover cover);
    // A front cover is kept: nothing can beat it.
    bool Done() const { return m_rank == 0; }
    TembeddedCover Take() { return std::move(m_best); }

private:
    static int rank(int pictureType);

    TembeddedCover m_best;
    int m_rank = 3;
};
