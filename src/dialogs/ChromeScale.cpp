#include "dialogs/ChromeScale.h"

#include "dialogs/DialogConstants.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
// The classes whose fonts a platform theme sets apart from the default one.
constexpr const char* kThemedClasses[] = {"QMenuBar",       "QMenu",     "QMessageBox", "QLabel",
                                          "QPushButton",    "QCheckBox", "QGroupBox",   "QComboBox",
                                          "QComboMenuItem", "QTipLabel"};

QFont Scaled(QFont font, double dScale) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * dScale);
    else
        font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * dScale))));
    return font;
}
} // namespace

double ChromeScale(const QSize& screen) {
    return std::max({1.0, std::min(double(screen.width()) / dlg::kChromeBaseWidth,
                                   double(screen.height()) / dlg::kChromeBaseHeight)});
}

double ChromeScaleOf(const QWidget* widget) {
    while (widget && !widget->isVisible())
        widget = widget->parentWidget();
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? ChromeScale(screen->geometry().size()) : 1.0;
}

int ChromePixels(const QWidget* widget, int nPixels) {
    return int(std::lround(nPixels * ChromeScaleOf(widget)));
}

CChromeFonts::CChromeFonts() {
    m_base.emplace_back(nullptr, QApplication::font());
    // Setting the default font drops those of the classes: the ones that differ are set again.
    // One set needlessly would no longer follow its widget's parent.
    for (const char* className : kThemedClasses)
        if (QApplication::font(className) != m_base.front().second)
            m_base.emplace_back(className, QApplication::font(className));
}

CChromeFonts::~CChromeFonts() {
    Apply(nullptr);
}

void CChromeFonts::Apply(const QScreen* screen) {
    const double dScale = screen ? ChromeScale(screen->geometry().size()) : 1.0;
    if (dScale == m_dScale)
        return;
    m_dScale = dScale;
    for (const auto& [className, font] : m_base)
        QApplication::setFont(Scaled(font, dScale), className);
}
