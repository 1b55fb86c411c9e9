#include "SamplePhotos.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace demoportal {
namespace {

// The vehicle is drawn in units of its wheelbase: rear axle at (0, 0), front axle at (1, 0),
// facing right, y downwards.
enum class Shape { Motorrad, Roller, Gespann, Trike, Quad };

Shape ShapeOf(int nKatID) {
    switch (nKatID) {
    case 1:
    case 2:
    case 3:
        return Shape::Roller;
    case 9:
        return Shape::Gespann;
    case 10:
        return Shape::Trike;
    case 12:
        return Shape::Quad;
    default:
        return Shape::Motorrad;
    }
}

double WheelRadius(Shape shape) {
    switch (shape) {
    case Shape::Roller:
        return 0.22;
    case Shape::Quad:
        return 0.28;
    default:
        return 0.33;
    }
}

struct ViewSpec {
    double dZoom;
    bool bMirror;
    QPointF focus; // in vehicle units; ignored at zoom 1, which shows the whole vehicle
};

constexpr ViewSpec kViews[] = {
    {1.0, false, {}},           {1.0, true, {}},           {1.9, false, {0.95, -0.5}},
    {1.9, false, {0.35, -0.4}}, {1.35, true, {0.5, -0.4}},
};

const QColor kTyre(28, 28, 28);
const QColor kMetal(184, 188, 194);
const QColor kDark(64, 66, 70);
const QColor kSeat(20, 20, 22);
const QColor kLamp(255, 244, 200);

QPolygonF Poly(std::initializer_list<QPointF> points) {
    return QPolygonF(points);
}

void Line(QPainter& p, const QColor& colour, double width, QPointF a, QPointF b) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    p.setPen(Qt::NoPen);
}

void Fill(QPainter& p, const QColor& colour, const QPolygonF& polygon) {
    p.setBrush(colour);
    p.drawPolygon(polygon);
}

void Wheel(QPainter& p, QPointF centre, double r, bool bFar = false) {
    p.setPen(Qt::NoPen);
    p.setBrush(bFar ? kTyre.darker(160) : kTyre);
    p.drawEllipse(centre, r, r);
    p.setBrush(bFar ? kMetal.darker(200) : kMetal);
    p.drawEllipse(centre, r * 0.72, r * 0.72);
    p.setBrush(kDark);
    p.drawEllipse(centre, r * 0.62, r * 0.62);
    for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * std::numbers::pi / 5;
        Line(p, kMetal, r * 0.07, centre, centre + QPointF(std::cos(a), std::sin(a)) * r * 0.62);
    }
    p.setBrush(kMetal);
    p.drawEllipse(centre, r * 0.12, r * 0.12);
}

void DrawMotorrad(QPainter& p, const QColor& body, double r) {
    Line(p, kMetal.darker(115), 0.05, {0.42, -0.12}, {0.0, -0.3});
    Line(p, kDark, 0.05, {0, 0}, {0.36, -0.2});
    Wheel(p, {0, 0}, r);
    Wheel(p, {1, 0}, r);
    p.setBrush(kDark);
    p.drawRoundedRect(QRectF(0.32, -0.46, 0.32, 0.34), 0.05, 0.05);
    Line(p, kMetal, 0.045, {0.84, -0.78}, {1, 0});
    Fill(p, body, Poly({{0.3, -0.5}, {0.42, -0.72}, {0.74, -0.74}, {0.86, -0.62}, {0.66, -0.46}}));
    Fill(p, body, Poly({{-0.14, -0.66}, {0.08, -0.56}, {0.34, -0.58}, {0.3, -0.66}}));
    Fill(p, kSeat, Poly({{0.02, -0.64}, {0.44, -0.71}, {0.44, -0.64}, {0.06, -0.6}}));
    p.setPen(QPen(body, 0.05, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(1 - r - 0.05, -r - 0.05, 2 * r + 0.1, 2 * r + 0.1), 35 * 16, 110 * 16);
    p.setPen(Qt::NoPen);
    Line(p, kSeat, 0.04, {0.8, -0.84}, {0.72, -0.96});
    p.setBrush(kLamp);
    p.drawEllipse(QPointF(0.9, -0.72), 0.05, 0.06);
}

void DrawRoller(QPainter& p, const QColor& body, double r) {
    Wheel(p, {0, 0}, r);
    Wheel(p, {1, 0}, r);
    Line(p, kMetal, 0.04, {0.86, -0.6}, {1, 0});
    Fill(p, body,
         Poly({{-0.12, -0.42},
               {0.0, -0.6},
               {0.42, -0.6},
               {0.48, -0.34},
               {0.7, -0.3},
               {0.82, -0.92},
               {0.92, -0.92},
               {0.98, -0.5},
               {0.9, -0.2},
               {0.55, -0.16},
               {0.1, -0.16}}));
    p.setBrush(kSeat);
    p.drawRoundedRect(QRectF(0.02, -0.7, 0.4, 0.1), 0.04, 0.04);
    Line(p, kSeat, 0.04, {0.84, -0.92}, {0.76, -1.02});
    p.setBrush(kLamp);
    p.drawEllipse(QPointF(0.94, -0.8), 0.04, 0.05);
}

void DrawQuad(QPainter& p, const QColor& body, double r) {
    Wheel(p, {0.08, -0.05}, r, true);
    Wheel(p, {1.08, -0.05}, r, true);
    Wheel(p, {0, 0}, r);
    Wheel(p, {1, 0}, r);
    p.setBrush(kDark);
    p.drawRoundedRect(QRectF(0.3, -0.42, 0.4, 0.3), 0.05, 0.05);
    Fill(p, body,
         Poly({{-0.18, -0.45},
               {0.12, -0.6},
               {0.88, -0.6},
               {1.18, -0.45},
               {1.08, -0.3},
               {-0.08, -0.3}}));
    p.setBrush(kSeat);
    p.drawRoundedRect(QRectF(0.1, -0.72, 0.45, 0.12), 0.04, 0.04);
    Line(p, kSeat, 0.04, {0.72, -0.62}, {0.64, -0.82});
    p.setBrush(kLamp);
    p.drawEllipse(QPointF(1.12, -0.5), 0.04, 0.04);
}

void DrawVehicle(QPainter& p, Shape shape, const QColor& body) {
    const double r = WheelRadius(shape);
    switch (shape) {
    case Shape::Roller:
        DrawRoller(p, body, r);
        return;
    case Shape::Quad:
        DrawQuad(p, body, r);
        return;
    case Shape::Trike:
        Wheel(p, {-0.08, -0.04}, r, true);
        DrawMotorrad(p, body, r);
        p.setBrush(body.darker(120));
        p.drawRoundedRect(QRectF(-0.34, -0.56, 0.56, 0.3), 0.06, 0.06);
        return;
    case Shape::Gespann:
        DrawMotorrad(p, body, r);
        Wheel(p, {0.62, 0.04}, 0.26);
        Fill(p, body.lighter(125),
             Poly({{0.02, -0.3},
                   {0.2, -0.5},
                   {0.85, -0.52},
                   {1.08, -0.36},
                   {0.96, -0.12},
                   {0.1, -0.12}}));
        return;
    case Shape::Motorrad:
        DrawMotorrad(p, body, r);
        return;
    }
}

void DrawBackground(QPainter& p, QSize size, unsigned nHue) {
    const int hue = int(nHue % 360);
    const double horizon = size.height() * 0.72;
    QLinearGradient wall(0, 0, 0, horizon);
    wall.setColorAt(0, QColor::fromHsv(hue, 50, 240));
    wall.setColorAt(1, QColor::fromHsv(hue, 110, 165));
    p.fillRect(QRectF(0, 0, size.width(), horizon), wall);
    QLinearGradient floor(0, horizon, 0, size.height());
    floor.setColorAt(0, QColor::fromHsv(hue, 40, 110));
    floor.setColorAt(1, QColor::fromHsv(hue, 30, 60));
    p.fillRect(QRectF(0, horizon, size.width(), size.height() - horizon), floor);
    QRadialGradient spot(size.width() / 2.0, horizon, size.width() / 2.0);
    spot.setColorAt(0, QColor(255, 255, 255, 90));
    spot.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(QPointF(0, 0), size), spot);
}

void DrawTitle(QPainter& p, QSize size, const QString& titel, bool bMain) {
    const double band = size.height() * (bMain ? 0.12 : 0.17);
    const QRectF rect(0, size.height() - band, size.width(), band);
    p.fillRect(rect, QColor(0, 0, 0, 150));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(8, int(band * 0.58)));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(rect.adjusted(band * 0.4, 0, -band * 0.4, 0), Qt::AlignVCenter | Qt::AlignLeft,
               titel);
}

} // namespace

QImage DrawVehiclePhoto(const PhotoSubject& subject, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    // The antialiased edge of the floor blends with what lies below it.
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawBackground(p, size, subject.nHue);

    const Shape shape = ShapeOf(subject.nKatID);
    const ViewSpec& view = kViews[std::clamp(subject.nView, 0, int(std::size(kViews)) - 1)];
    const double scale = std::min(size.width() * 0.52, size.height() * 0.47) * view.dZoom;
    const bool bWhole = view.dZoom == 1.0;
    // The whole vehicle stands on the floor; a close-up centres its focus.
    const QPointF focus = bWhole ? QPointF(0.5, WheelRadius(shape)) : view.focus;
    const QPointF anchor(size.width() / 2.0, size.height() * (bWhole ? 0.82 : 0.5));
    p.save();
    p.translate(anchor);
    p.scale(view.bMirror ? -scale : scale, scale);
    p.translate(-focus);
    DrawVehicle(p, shape, subject.body);
    p.restore();

    DrawTitle(p, size, subject.strTitel, subject.nView == 0);
    return image;
}

} // namespace demoportal
