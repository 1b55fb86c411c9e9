#pragma once
// Photos of the sample data: a stylised vehicle drawn on a coloured background with its make
// and model written in. The same subject and size always give the same picture. Writing
// text needs a QGuiApplication.

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

namespace demoportal {

struct PhotoSubject {
    QString strTitel;  // make and model, written on the photo
    int nKatID = 0;    // the category chooses the vehicle's shape
    QColor body;       // the vehicle's colour
    int nView = 0;     // 0 the whole vehicle; 1 to 4 other views and close-ups
    unsigned nHue = 0; // the background's hue, 0 to 359
};

QImage DrawVehiclePhoto(const PhotoSubject& subject, QSize size);

} // namespace demoportal
