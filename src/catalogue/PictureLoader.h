#pragma once
// Decoding a photo held in memory, and drawing a slot's picture.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
class CSatzStore;

class CPictureLoader {
public:
    // Decodes bytes into a picture; on success gives its width and height in pixels. With a
    // format, only that decoder is tried.
    bool CreatePictureFromMemory(const QByteArray& bytes, QImage& picture, int& nWidth,
                                 int& nHeight, const QByteArray& format = {}) const;
    // Draws the picture of nSlot with its top-left corner at (x, y), stretched to its stored
    // size x nPercent / 100. False when the slot has no picture or it does not render.
    bool RenderPicture(QPainter& dc, int x, int y, CSatzStore& store, int nSlot,
                       int nPercent) const;
    // Where RenderPicture draws the picture of nSlot.
    QRect PictureRect(const CSatzStore& store, int x, int y, int nSlot, int nPercent) const;
    // Whether the photo file at path has a readable header, with its format and pixel size;
    // nothing is decoded, and data after the picture is ignored.
    bool ProbePictureFile(const QString& path, QByteArray& format, QSize& size) const;
};
