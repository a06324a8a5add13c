#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <vector>

// The archived page as a Windows bitmap, without the widget toolkit: the forms hand over the
// captured pixels, this reduces them to a palette and writes the file.

// A captured page: rows top to bottom, each pixel 0xAARRGGBB (the layout of a 32-bit screen image).
struct PageBitmap {
    int width = 0;
    int height = 0;
    std::vector<quint32> pixels;
};

// A page with at most 256 colours: each pixel an index into the palette (entries 0x00RRGGBB).
struct IndexedBitmap {
    int width = 0;
    int height = 0;
    std::vector<quint32> palette;
    std::vector<quint8> indices;
};

// The colour depth chosen in the print form: 24 or 32 for their exact texts, 8 for any other.
int BitsPerPixelForChoice(const QString &choice);

// Reduces a page to 8 bits per pixel. A page of at most 256 colours keeps them exactly; otherwise
// the palette holds black, white and the greys of the forms, the page's most used colours, and the
// average colours of a median cut over the rest (so a logo's gradient keeps its hue); each pixel
// takes the nearest of them. White always stays white.
IndexedBitmap ReduceTo8Bits(const PageBitmap &page);

// The bitmap file of a reduced page at 8 (with its palette), 24 or 32 bits per pixel, rows bottom
// to top as the format keeps them. Any other depth is written at 8.
QByteArray EncodeBitmap(const IndexedBitmap &image, int bitsPerPixel);

// Writes the file atomically (a temporary file renamed into place), replacing one of the same
// name. Throws "Cannot create file %s" and a line with the reason when the file cannot be
// written; no partial file remains.
void SaveBitmapFile(const QString &fileName, const IndexedBitmap &image, int bitsPerPixel);
// Writes an archived page as a new file, all or nothing. A file of that name is never replaced:
// throws ArchivedPageExists then; "Cannot create file %s" when the file cannot be written.
void SaveNewBitmapFile(const QString &fileName, const IndexedBitmap &image, int bitsPerPixel);
// The message of a page whose archive file is already there.
QString ArchivedPageExists(const QString &fileName);

// What a bitmap file's header says: its size and bits per pixel (valid false if not a bitmap).
struct BitmapHeader {
    bool valid = false;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    quint32 paletteSize = 0;
};
BitmapHeader ReadBitmapHeader(const QByteArray &file);
