#pragma once
// Photos of exact sizes, drawn by the tests themselves.

#include <QByteArray>
#include <QColor>
#include <QString>

// A JPEG (or "PNG") of width x height filled with colour.
QByteArray MakePhoto(int width, int height, const QColor& colour = Qt::darkCyan,
                     const char* format = "JPG");
// Writes such a photo to a path relative to the working folder.
void WritePhoto(const QString& relativePath, int width, int height,
                const QColor& colour = Qt::darkCyan, const char* format = "JPG");
