#include "show/ScreenFollower.h"

#include "settings/Journal.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

ScreenChoice ChooseScreen(const QStringList& names, int nPrimary, const QString& wanted) {
    if (names.isEmpty())
        return {};
    const int nPrimaryIndex = nPrimary >= 0 && nPrimary < names.size() ? nPrimary : 0;
    if (wanted.isEmpty())
        return {nPrimaryIndex, false};
    const int nNamed = int(names.indexOf(wanted));
    return nNamed >= 0 ? ScreenChoice{nNamed, false} : ScreenChoice{nPrimaryIndex, true};
}

ScreenState ScreenStateOf(const QWidget& widget) {
    ScreenState state;
    const QScreen* screen = widget.screen();
    if (!screen)
        return state;
    state.strName = screen->name();
    state.size = screen->geometry().size();
    state.dDevicePixelRatio = screen->devicePixelRatio();
    state.dRefreshRate = screen->refreshRate();
    const QString wanted = GetProfileString(setting::kSection, setting::kBildschirm);
    if (!wanted.isEmpty() && wanted != state.strName)
        state.strMissing = wanted;
    return state;
}

CScreenFollower::CScreenFollower(QWidget& window, const QString& wanted, bool bFill)
    : m_window(window), m_wanted(wanted), m_bFill(bFill) {
    for (QScreen* screen : QGuiApplication::screens())
        Watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        Watch(screen);
        Follow();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this](QScreen* screen) {
        m_pLeaving = screen;
        Follow();
        m_pLeaving = nullptr;
    });
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &CScreenFollower::Follow);
    m_window.installEventFilter(this);
    Follow();
}

CScreenFollower::~CScreenFollower() = default;

void CScreenFollower::Watch(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &CScreenFollower::Follow);
}

void CScreenFollower::Follow() {
    QList<QScreen*> screens = QGuiApplication::screens();
    screens.removeOne(m_pLeaving);
    QStringList names;
    for (const QScreen* screen : screens)
        names << screen->name();
    const ScreenChoice choice =
        ChooseScreen(names, int(screens.indexOf(QGuiApplication::primaryScreen())), m_wanted);
    // Without any screen the window stays as it is until one comes.
    if (choice.nIndex < 0)
        return;
    QScreen* screen = screens[choice.nIndex];
    const QRect geometry = m_bFill ? screen->geometry() : screen->availableGeometry();
    const bool bMoved = screen != m_pScreen;
    if (bMoved)
        TraceF("Bildschirm %s, %dx%d%s", qPrintable(screen->name()), geometry.width(),
               geometry.height(), choice.bFallback ? " (gewählter fehlt)" : "");
    if (bMoved || screen->size() != m_shownSize) {
        // A name may hold spaces; the journal's fields do not.
        QString line = QStringLiteral("screen name=%1 size=%2x%3")
                           .arg(QString(screen->name()).replace(u' ', u'_'))
                           .arg(screen->size().width())
                           .arg(screen->size().height());
        if (choice.bFallback)
            line += QStringLiteral(" missing=") + QString(m_wanted).replace(u' ', u'_');
        Journal(line);
        m_shownSize = screen->size();
    }
    m_pScreen = screen;
    m_window.setScreen(screen);
    if (m_bFill)
        m_window.setGeometry(geometry);
    else if (bMoved) // a maximised window is sized by its window manager
        m_window.move(geometry.topLeft());
    // Qt may hide a window whose screen went away: the show never ends up without one.
    if (m_bShown && !m_window.isVisible())
        m_window.show();
    emit ScreenFollowed(screen);
}

bool CScreenFollower::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::Close) {
        m_bShown = false;
    } else if (watched == &m_window && event->type() == QEvent::Show) {
        m_bShown = true;
        if (QWindow* handle = m_window.windowHandle()) {
            handle->removeEventFilter(this);
            handle->installEventFilter(this);
            connect(handle, &QWindow::screenChanged, this, &CScreenFollower::Follow,
                    Qt::UniqueConnection);
        }
    } else if (watched == m_window.windowHandle() && event->type() == QEvent::Expose &&
               m_window.windowHandle()->isExposed() && !m_window.isActiveWindow()) {
        // No window manager hands out the focus on a bare X server: the keys would go nowhere.
        m_window.activateWindow();
    }
    return false;
}
