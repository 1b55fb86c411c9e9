#include "app/PlatformStart.h"

#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
constexpr int kExitCannotStart = 1;

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// Qt takes a plain function as its message handler, so what it needs lives here, for the
// start only.
struct StartMessages {
    QtMessageHandler previous = nullptr;
    std::string requested;
    std::vector<HeldMessage> held;
};
StartMessages* g_pStart = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        g_pStart->held.push_back({type, QByteArray(context.category), text});
        return;
    }
    QStringList messages;
    for (const HeldMessage& message : g_pStart->held)
        messages << message.text;
    messages << text;
    std::fputs(PlatformFailureText(messages, g_pStart->requested).c_str(), stderr);
    std::fflush(stderr);
    // Nothing of the show is under way yet: a lock left behind is taken over at the next start.
    std::_Exit(kExitCannotStart);
}

QString FirstLine(const QString& text) {
    return text.section(u'\n', 0, 0).trimmed();
}
} // namespace

std::string PlatformFailureText(const QStringList& messages, const std::string& requested) {
    static const QRegularExpression pluginName(QStringLiteral("platform plugin \"([^\"]+)\""));
    static const QRegularExpression available(
        QStringLiteral("Available platform plugins are: ([^\\n]*?)\\.?\\s*$"));
    QString platform = QString::fromStdString(requested).section(u':', 0, 0);
    QString reason;
    QString choices;
    // The cause stands closest to the end; Qt's own closing words say nothing about it.
    for (auto it = messages.crbegin(); it != messages.crend(); ++it) {
        if (const auto match = pluginName.match(*it); match.hasMatch() && platform.isEmpty())
            platform = match.captured(1);
        if (const auto match = available.match(*it); match.hasMatch())
            choices = match.captured(1);
        if (reason.isEmpty() && !it->contains(QLatin1String("Could not load the Qt platform")) &&
            !it->startsWith(QLatin1String("This application failed to start")) &&
            !it->startsWith(QLatin1String("QStandardPaths")))
            reason = FirstLine(*it);
    }
    QString line = QStringLiteral("zelvora: the display platform \"%1\" cannot start")
                       .arg(platform.isEmpty() ? QStringLiteral("xcb") : platform);
    if (!reason.isEmpty())
        line += QStringLiteral(" (%1)").arg(reason);
    line += QStringLiteral("; start it in the graphical session, or check DISPLAY, "
                           "WAYLAND_DISPLAY or the display device, or choose another platform "
                           "with -platform");
    if (!choices.isEmpty())
        line += QStringLiteral(" (%1)").arg(choices);
    return line.toStdString() + '\n';
}

CPlatformStartGuard::CPlatformStartGuard(const std::string& requested) {
    g_pStart = new StartMessages{nullptr, requested, {}};
    g_pStart->previous = qInstallMessageHandler(HoldMessage);
}

CPlatformStartGuard::~CPlatformStartGuard() {
    Release();
}

void CPlatformStartGuard::Release() {
    if (!g_pStart)
        return;
    qInstallMessageHandler(g_pStart->previous);
    for (const HeldMessage& message : g_pStart->held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    delete std::exchange(g_pStart, nullptr);
}
