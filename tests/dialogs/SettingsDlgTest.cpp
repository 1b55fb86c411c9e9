#include "dialogs/SettingsDlg.h"
#include "FakeDialogHost.h"
#include "dialogs/AuthorizationDlg.h"
#include "dialogs/ProxyDlg.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>
#include <algorithm>
#include <gtest/gtest.h>

using namespace setting;

namespace {
// Every text the dialog shows: labels, box and button texts, group titles.
QStringList Texts(const QWidget& dialog) {
    QStringList texts;
    for (const auto* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    for (const auto* button : dialog.findChildren<QAbstractButton*>())
        texts << button->text();
    for (const auto* group : dialog.findChildren<QGroupBox*>())
        texts << group->title();
    return texts;
}

QStringList Entries(const QComboBox& list) {
    QStringList entries;
    for (int i = 0; i < list.count(); ++i)
        entries << list.itemText(i);
    return entries;
}

void ExpectOkAndHiddenCancel(const QDialog& dialog, const QString& okText) {
    auto& ok = Control<QPushButton>(dialog, 1);
    auto& cancel = Control<QPushButton>(dialog, 2);
    EXPECT_EQ(ok.text(), okText);
    EXPECT_TRUE(ok.isVisible());
    EXPECT_TRUE(ok.isDefault());
    EXPECT_EQ(cancel.text(), QStringLiteral("Abbrechen"));
    EXPECT_FALSE(cancel.isVisible());
}

class SettingsDlg : public ::testing::Test {
protected:
    void SetUp() override { WriteProfileInt(kSection, kSprache, 1); }
    CTempWorkDir dir;
    CFakeDialogHost host;
};
} // namespace

TEST_F(SettingsDlg, HasEveryControlLabelAndGroup) {
    CSettingsDlg dlg(host);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Einstellungen"));
    for (int nId : {1002, 1003, 1004, 1011, 1012, 1013, 1014, 1015, 1016, 1022})
        EXPECT_NO_THROW(Control<QLineEdit>(dlg, nId)) << nId;
    for (int nId : {1009, 1010, 1023, 1025})
        EXPECT_NO_THROW(Control<QCheckBox>(dlg, nId)) << nId;
    for (int nId : {1017, 1018, 1021})
        EXPECT_TRUE(Control<QComboBox>(dlg, nId).isEditable()) << nId;
    EXPECT_EQ(Control<QTimeEdit>(dlg, 1027).displayFormat(), QStringLiteral("HH:mm:ss"));
    EXPECT_NO_THROW(Control<QLabel>(dlg, 1028));
    EXPECT_EQ(Control<QPushButton>(dlg, 1026).text(), QStringLiteral("PC Herunterfahren testen "));
    EXPECT_EQ(Control<QCheckBox>(dlg, 1009).text(), QStringLiteral("Occasionen aktiv"));
    EXPECT_EQ(Control<QCheckBox>(dlg, 1010).text(), QStringLiteral("Neufahrzeuge aktiv"));
    EXPECT_EQ(Control<QCheckBox>(dlg, 1025).text(), QStringLiteral("Nur manuell updaten"));
    EXPECT_EQ(Control<QCheckBox>(dlg, 1023).text(),
              QStringLiteral("Automatisches Herunterfahren um "));
    EXPECT_EQ(Control<QLineEdit>(dlg, 1022).maxLength(), 110);
    ExpectOkAndHiddenCancel(dlg, QStringLiteral("Speichern"));

    const QStringList texts = Texts(dlg);
    for (const char* text :
         {"Occasionen", "Neufahrzeuge", "Km von bis", "Anzeige Marken", "Kategorie",
          "Preis von bis", "Standard Marken ( Marken mit Komma trennen )",
          "Anzeige Marken ( Marken mit Komma trennen )", "Auflösung", "Promotion Text"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(texts.count(QStringLiteral("Kategorie")), 2);
    EXPECT_EQ(texts.count(QStringLiteral("Preis von bis")), 2);
    const auto groups = dlg.findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 3);
    EXPECT_EQ(std::count_if(groups.begin(), groups.end(),
                            [](const QGroupBox* group) { return group->title().isEmpty(); }),
              1);

    QTest::keyClicks(&Control<QLineEdit>(dlg, 1022), QString(120, QLatin1Char('x')));
    EXPECT_EQ(Control<QLineEdit>(dlg, 1022).text().size(), 110);
}

TEST_F(SettingsDlg, CategoryListsInTheStoredLanguage) {
    const QStringList aufloesung = {QStringLiteral("1366 x  768"), QStringLiteral("1680 x 1050"),
                                    QStringLiteral("1980 x 1080"), QStringLiteral("1920 x 1080")};
    struct Language {
        int nSprache;
        QString strFirst;
        QString strSecond;
        QString strLast;
    };
    const Language languages[] = {
        {1, QStringLiteral("Alle Kategorien"), QStringLiteral("Mofa"),
         QStringLiteral("e-Fahrzeuge")},
        {2, QStringLiteral("Toutes catégories Mob."), QStringLiteral("Vélomoteur"),
         QStringLiteral("e-Bicyclette")},
    };
    for (const Language& language : languages) {
        WriteProfileInt(kSection, kSprache, language.nSprache);
        CSettingsDlg dlg(host);
        dlg.m_nKatID = 14;
        dlg.m_nKatIDOcc = 9;
        dlg.show();
        for (int nId : {1017, 1018}) {
            const QStringList entries = Entries(Control<QComboBox>(dlg, nId));
            ASSERT_EQ(entries.size(), 15);
            EXPECT_EQ(entries[0], language.strFirst);
            EXPECT_EQ(entries[1], language.strSecond);
            EXPECT_EQ(entries[14], language.strLast);
        }
        EXPECT_EQ(Control<QComboBox>(dlg, 1017).currentIndex(), 14);
        EXPECT_EQ(Control<QComboBox>(dlg, 1018).currentText(),
                  language.nSprache == 1 ? QStringLiteral("Gespann") : QStringLiteral("Side-Car"));
        EXPECT_EQ(Entries(Control<QComboBox>(dlg, 1021)), aufloesung);
        EXPECT_EQ(dlg.m_nSprache, language.nSprache);
    }

    for (int nSprache : {0, 3}) {
        WriteProfileInt(kSection, kSprache, nSprache);
        CSettingsDlg dlg(host);
        dlg.m_nScrRes = 2;
        dlg.show();
        EXPECT_EQ(Control<QComboBox>(dlg, 1017).count(), 0);
        EXPECT_EQ(Control<QComboBox>(dlg, 1018).count(), 0);
        EXPECT_EQ(Control<QComboBox>(dlg, 1021).currentIndex(), 2);
        PressOk(dlg);
        EXPECT_EQ(dlg.m_nKatID, -1) << "nothing selected";
        EXPECT_EQ(dlg.m_nKatIDOcc, -1);
        EXPECT_EQ(dlg.m_nScrRes, 2);
    }
}

TEST_F(SettingsDlg, ClockLineFollowsTheShutdownBox) {
    host.m_clock.m_now = LocalTime(2026, 3, 1, 14, 5, 9);
    CSettingsDlg dlg(host);
    dlg.m_nShutDown = 1;
    dlg.m_strKmVon = QStringLiteral("100");
    dlg.show();
    auto& clock = Control<QLabel>(dlg, 1028);
    EXPECT_TRUE(clock.text().isEmpty()) << "until the first tick";

    dlg.OnTimer(6969);
    EXPECT_EQ(clock.text(), QStringLiteral("SysTime: 14:05:09"));
    host.m_clock.m_now += 1;
    dlg.OnTimer(4711);
    EXPECT_EQ(clock.text(), QStringLiteral("SysTime: 14:05:09")) << "not our timer";
    dlg.OnTimer(6969);
    EXPECT_EQ(clock.text(), QStringLiteral("SysTime: 14:05:10"));

    Control<QCheckBox>(dlg, 1023).setChecked(false);
    Control<QLineEdit>(dlg, 1014).setText(QStringLiteral("250"));
    dlg.OnTimer(6969);
    EXPECT_TRUE(clock.text().isEmpty());
    EXPECT_EQ(dlg.m_nShutDown, 0);
    EXPECT_EQ(dlg.m_strKmVon, QStringLiteral("250")) << "the tick reads the controls";
    EXPECT_EQ(Control<QLineEdit>(dlg, 1014).text(), QStringLiteral("250"));
}

TEST_F(SettingsDlg, ShutdownTestAsksFirst) {
    CSettingsDlg dlg(host);
    dlg.show();
    auto& test = Control<QPushButton>(dlg, 1026);

    test.click();
    ASSERT_EQ(host.m_questions.size(), 1U);
    EXPECT_EQ(host.m_questions[0].strText,
              QStringLiteral("Soll der PC jetzt heruntergefahren werden?"));
    EXPECT_EQ(host.m_questions[0].strCaption, QStringLiteral("PC Herunterfahren testen"));
    EXPECT_EQ(host.m_powerOff.m_nCalls, 0) << "No keeps the PC running";

    host.m_bAnswerYes = true;
    test.click();
    EXPECT_EQ(host.m_powerOff.m_nCalls, 1);
    EXPECT_TRUE(dlg.isVisible()) << "the dialog stays open";

    WriteProfileInt(kSection, kSprache, 2);
    CSettingsDlg french(host);
    french.show();
    Control<QPushButton>(french, 1026).click();
    ASSERT_EQ(host.m_questions.size(), 3U);
    EXPECT_EQ(host.m_questions[2].strText,
              QStringLiteral("Voulez-vous vraiment éteindre le PC maintenant ?"));
    EXPECT_EQ(host.m_questions[2].strCaption, QStringLiteral("Test d’arrêt du PC"));
}

TEST(OtherDialogs, HaveTheirControlsAndAHiddenCancel) {
    CAuthorizationDlg authorization;
    authorization.show();
    EXPECT_EQ(authorization.windowTitle(), QStringLiteral("Authorization"));
    EXPECT_EQ(Control<QLineEdit>(authorization, 1000).echoMode(), QLineEdit::Normal);
    EXPECT_EQ(Control<QLineEdit>(authorization, 1001).echoMode(), QLineEdit::Password);
    EXPECT_TRUE(Texts(authorization).contains(QStringLiteral("KundenNr")));
    EXPECT_TRUE(Texts(authorization).contains(QStringLiteral("Passwort")));
    ExpectOkAndHiddenCancel(authorization, QStringLiteral("OK"));

    CFakeDialogHost host;
    CProxyDlg proxy(host);
    proxy.show();
    EXPECT_EQ(proxy.windowTitle(), QStringLiteral("Proxy Server"));
    EXPECT_EQ(Control<QCheckBox>(proxy, 1020).text(), QStringLiteral("Proxy Server eingeschaltet"));
    EXPECT_NO_THROW(Control<QLineEdit>(proxy, 1018));
    EXPECT_NO_THROW(Control<QLineEdit>(proxy, 1019));
    EXPECT_TRUE(Texts(proxy).contains(QStringLiteral("Proxy IP")));
    EXPECT_TRUE(Texts(proxy).contains(QStringLiteral("Port")));
    ExpectOkAndHiddenCancel(proxy, QStringLiteral("OK"));
}

TEST_F(SettingsDlg, NumberFieldsTakeDigitsOnly) {
    CSettingsDlg settings(host);
    CAuthorizationDlg authorization;
    CProxyDlg proxy(host);
    const std::pair<QDialog*, int> fields[] = {
        {&settings, 1011}, {&settings, 1012}, {&settings, 1013},      {&settings, 1014},
        {&settings, 1015}, {&settings, 1016}, {&authorization, 1000}, {&proxy, 1019}};
    for (const auto& [dialog, nId] : fields) {
        dialog->show();
        auto& field = Control<QLineEdit>(*dialog, nId);
        QTest::keyClicks(&field, QStringLiteral("abc 12'3-4.5x"));
        EXPECT_EQ(field.text(), QStringLiteral("12345")) << nId;
    }
    auto& kundenNr = Control<QLineEdit>(authorization, 1000);
    QTest::keyClicks(&kundenNr, QStringLiteral("123456789012345"));
    EXPECT_EQ(kundenNr.text().size(), 16) << "the stored field's length";
    auto& port = Control<QLineEdit>(proxy, 1019);
    QTest::keyClicks(&port, QStringLiteral("678"));
    EXPECT_EQ(port.text(), QStringLiteral("12345")) << "five digits at most";
}
