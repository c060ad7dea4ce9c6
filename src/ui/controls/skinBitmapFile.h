#pragma once

#include <QImage>
#include <QString>

class TiniFile;

// The largest skin bitmap the program reads, in either direction.
constexpr int kMaxSkinBitmapSide = 8192;

// Where a control's bitmap is saved: in the skin file's folder, named after
// the skin file (without extension), the control and a suffix; for the skin
// file /skins/Blue.vsk and the button btnClose "/skins/BluebtnCloseSkin.bmp".
QString SkinBitmapPath(const QString &skinFileName, const QString &controlName, const QString &suffix);

// Reads a Windows bitmap file. A file that cannot be read, is not a bitmap
// or is larger than kMaxSkinBitmapSide either way raises VorlenError.
QImage ReadSkinBitmap(const QString &fileName);
// Saves bitmap as a Windows bitmap file, replacing fileName atomically;
// raises VorlenError when it cannot be written.
void WriteSkinBitmap(const QImage &bitmap, const QString &fileName);

// The bitmap file key `key` of `section` names: the stored path when that
// file exists, else a file of the same name in the skin file's own folder
// (so a skin folder can be moved or shared), else nothing. Reads it into
// bitmap and returns true when found; a file that cannot be read as a bitmap
// raises VorlenError.
bool ReadSkinBitmapKey(const TiniFile &skin, const QString &section, const QString &key, QImage &bitmap);
// Saves bitmap to SkinBitmapPath(skin file, section, suffix) and writes that
// path to key. An empty bitmap writes an empty key and no file, so a later
// load keeps the control's own bitmap.
void WriteSkinBitmapKey(
    TiniFile &skin, const QString &section, const QString &key, const QString &suffix, const QImage &bitmap);
