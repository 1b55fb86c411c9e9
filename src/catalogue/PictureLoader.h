#pragma once
// Decoding a photo held in memory, and drawing a slot's picture.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
class QTransform;
class CSatzStore;
struct PictureSize;

class CPictureLoader {
public:
    // Decodes bytes into a picture; on success gives its width and height in pixels. With a
    // format, only that decoder is tried. With a valid drawn size the picture comes at exactly
    // that size, smoothly scaled; a JPEG is decoded straight to the nearest eighth of its size
    // at or above it, never at full size to be shrunk.
    bool CreatePictureFromMemory(const QByteArray& bytes, QImage& picture, int& nWidth,
                                 int& nHeight, const QByteArray& format = {},
                                 const QSize& drawn = {}) const;
    // Draws the picture of nSlot with its top-left corner at (x, y), stretched to its stored
    // size x nPercent / 100, or scaled down into room (see TableSize). False when the slot has
    // no picture or it does not render. Through a scaling transform, or shrunk into its room,
    // the picture is drawn smoothly scaled to the device pixels it covers.
    bool RenderPicture(QPainter& dc, int x, int y, CSatzStore& store, int nSlot, int nPercent,
                       const QSize& room = {}) const;
    // Where RenderPicture draws the picture of nSlot, in layout pixels.
    QRect PictureRect(const CSatzStore& store, int x, int y, int nSlot, int nPercent,
                      const QSize& room = {}) const;
    // The layout pixels a picture of that size covers: its size x nPercent / 100 (each side
    // truncated), or, when that exceeds a valid room, the largest size of the same proportions
    // within it.
    static QSize TableSize(const PictureSize& size, int nPercent, const QSize& room);
    // The device pixels a picture of that size covers through the painter's device transform;
    // an invalid size when the transform does not scale and the picture fits its room, so it
    // is drawn as decoded.
    static QSize DrawnSize(const PictureSize& size, int nPercent, const QSize& room,
                           const QTransform& device);
    // Whether bytes hold a picture that decodes whole, within the loader's limits: a JPEG by
    // its structure (its end marker after its first scan, nothing decoded), any other format
    // by decoding it.
    bool IsWholePicture(const QByteArray& bytes) const;
    // The same for a photo file; false when it cannot be read.
    bool IsWholePictureFile(const QString& path) const;
    // Whether the photo file at path has a readable header, with its format and pixel size;
    // nothing is decoded, and data after the picture is ignored.
    bool ProbePictureFile(const QString& path, QByteArray& format, QSize& size) const;
};
