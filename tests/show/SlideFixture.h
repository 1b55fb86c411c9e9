#pragma once
// A catalogue filled by hand for composition tests, and pixel probes of a composed view.

#include "catalogue/SatzStore.h"
#include "support/TempWorkDir.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <gtest/gtest.h>
#include <memory>

inline constexpr QSize kSmallView{1366, 768};
inline constexpr QSize kLargeView{1920, 1080};
// Painted under a slide, this shows where its opaque text cells lie.
inline constexpr QColor kGrey{128, 128, 128};

class SlideTest : public ::testing::Test {
protected:
    SlideTest();

    // A solid PNG photo in the next free picture slot; returns the slot.
    int AddPhoto(int nWidth, int nHeight, const QColor& colour);
    // A slide of the given kind, made current; the catalogue counts as loaded.
    Satz& AddSatz(int nArt);
    void SetMode(bool bLarge) { m_store->m_nResMode = bLarge ? 2 : 1; }

    QImage Render();
    // The view painted over grey instead of black.
    QImage RenderOnGrey();
    QSize ViewSize() const { return m_store->m_nResMode == 2 ? kLargeView : kSmallView; }

    CTempWorkDir m_work;
    std::unique_ptr<CSatzStore> m_store;
};

bool Near(QRgb pixel, const QColor& colour, int tolerance = 8);
bool IsBlack(const QImage& image, QPoint p);
bool IsGrey(const QImage& image, QPoint p);
// The width of the black cell run in row p.y() from p to the right.
int BlackRun(const QImage& image, QPoint p);
// How many pixels of the rectangle are near colour.
int CountNear(const QImage& image, const QRect& rect, const QColor& colour, int tolerance = 8);
// Whether every pixel outside the rectangle is black.
bool BlackOutside(const QImage& image, const QRect& rect);
