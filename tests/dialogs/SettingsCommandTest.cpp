#include "FakeDialogHost.h"
#include "dialogs/Commands.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"
#include "sync/CredentialStore.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTimeEdit>
#include <gtest/gtest.h>
#include <tuple>

using namespace setting;

namespace {
constexpr int kMissing = -4711;

QString Text(const char* name) {
    return GetProfileString(kSection, name);
}
int Int(const char* name) {
    return GetProfileInt(kSection, name, kMissing);
}

void SetText(QDialog& dialog, int nId, const QString& text) {
    Control<QLineEdit>(dialog, nId).setText(text);
}
void SetCheck(QDialog& dialog, int nId, bool bChecked) {
    Control<QCheckBox>(dialog, nId).setChecked(bChecked);
}

// A stored password opens the command; the view runs in German.
class SettingsCommand : public ::testing::Test {
protected:
    void SetUp() override {
        WriteProfileInt(kSection, kSprache, 1);
        SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
    }
    // Standard brands, new and used vehicles shown, a few filters.
    static void StoreTypicalSettings() {
        WriteProfileString(kSection, kMarken, QStringLiteral("HONDA,KTM"));
        WriteProfileInt(kSection, kAnzeige, 2);
        WriteProfileInt(kSection, kKatID, 4);
        WriteProfileInt(kSection, kKatIDOcc, 8);
        WriteProfileInt(kSection, kScrRes, 1);
        WriteProfileString(kSection, kPreisVonOcc, QStringLiteral("1000"));
        WriteProfileString(kSection, kPreisBisOcc, QStringLiteral("9000"));
        WriteProfileString(kSection, kPromoText, QStringLiteral("ROT: Frühling"));
        WriteProfileInt(kSection, kShutDownTime, 18 * 3600 + 30 * 60 + 5);
        WriteProfileString(kSection, kLastUpdate, QStringLiteral("2026-03-01 10:00:00"));
    }
    void RunWith(const std::function<void(QDialog&)>& change) {
        host.m_operator = [change](QDialog& dialog) {
            change(dialog);
            PressOk(dialog);
        };
        RunSettingsCommand(host);
    }
    bool NothingHappened() const {
        return host.m_nSettingsTimerStarts == 0 && host.m_nCloseRequests == 0 &&
               host.m_messages.empty();
    }

    CTempWorkDir dir;
    CFakeDialogHost host;
};
} // namespace

TEST_F(SettingsCommand, NeedsAPasswordOfTwoCharacters) {
    for (const QString& password : {QString(), QStringLiteral("x")}) {
        SaveCredentials(QStringLiteral("4711"), password);
        RunSettingsCommand(host);
        EXPECT_EQ(host.m_nModalRuns, 0) << password.toStdString();
    }
    WriteProfileString(kSection, kCode, QString());
    RunSettingsCommand(host);
    EXPECT_EQ(host.m_nModalRuns, 0) << "no credentials stored";

    SaveCredentials(QStringLiteral("4711"), QStringLiteral("ab"));
    RunSettingsCommand(host);
    EXPECT_EQ(host.m_nModalRuns, 1);
}

TEST_F(SettingsCommand, OpensWithTheStoredValues) {
    StoreTypicalSettings();
    WriteProfileString(kSection, kKmBis, QStringLiteral("20'000"));
    WriteProfileInt(kSection, kShutDown, 3);
    host.m_operator = [](QDialog& dialog) {
        EXPECT_EQ(Control<QLineEdit>(dialog, 1002).text(), QStringLiteral("HONDA,KTM"));
        EXPECT_EQ(Control<QLineEdit>(dialog, 1013).text(), QStringLiteral("1000"));
        EXPECT_EQ(Control<QLineEdit>(dialog, 1016).text(), QStringLiteral("9000"));
        EXPECT_EQ(Control<QLineEdit>(dialog, 1015).text(), QStringLiteral("20'000"));
        EXPECT_EQ(Control<QLineEdit>(dialog, 1022).text(), QStringLiteral("ROT: Frühling"));
        EXPECT_EQ(Control<QComboBox>(dialog, 1017).currentIndex(), 4);
        EXPECT_EQ(Control<QComboBox>(dialog, 1018).currentIndex(), 8);
        EXPECT_EQ(Control<QComboBox>(dialog, 1021).currentText(), QStringLiteral("1680 x 1050"));
        EXPECT_EQ(Control<QTimeEdit>(dialog, 1027).time(), QTime(18, 30, 5));
        EXPECT_TRUE(Control<QCheckBox>(dialog, 1009).isChecked());
        EXPECT_TRUE(Control<QCheckBox>(dialog, 1010).isChecked());
        EXPECT_TRUE(Control<QCheckBox>(dialog, 1023).isChecked()) << "any non-zero is on";
        EXPECT_FALSE(Control<QCheckBox>(dialog, 1025).isChecked());
    };
    RunSettingsCommand(host);
    ASSERT_EQ(host.m_nModalRuns, 1);
    EXPECT_EQ(host.m_store.m_nAnzeige, 2) << "the display mode is read into the catalogue";

    struct Boxes {
        int nAnzeige;
        bool bOcc;
        bool bNeuFz;
    };
    for (const Boxes& expected : {Boxes{0, true, false}, Boxes{1, false, true},
                                  Boxes{-1, false, false}, Boxes{3, false, false}}) {
        WriteProfileInt(kSection, kAnzeige, expected.nAnzeige);
        host.m_operator = [expected](QDialog& dialog) {
            EXPECT_EQ(Control<QCheckBox>(dialog, 1009).isChecked(), expected.bOcc);
            EXPECT_EQ(Control<QCheckBox>(dialog, 1010).isChecked(), expected.bNeuFz);
        };
        RunSettingsCommand(host);
    }
}

TEST_F(SettingsCommand, CancelWritesNothing) {
    StoreTypicalSettings();
    const std::vector<std::function<void(QDialog&)>> cancels = {
        [](QDialog& dialog) {
            SetText(dialog, 1002, QStringLiteral("YAMAHA"));
            SetText(dialog, 1013, QStringLiteral("1"));
            PressEsc(dialog);
        },
        [](QDialog& dialog) { SetText(dialog, 1002, QStringLiteral("YAMAHA")); }, // close box
    };
    for (const auto& cancel : cancels) {
        host.m_operator = cancel;
        RunSettingsCommand(host);
    }
    EXPECT_EQ(host.m_nModalRuns, 2);
    EXPECT_EQ(Text(kMarken), QStringLiteral("HONDA,KTM"));
    EXPECT_EQ(Text(kPreisVonOcc), QStringLiteral("1000"));
    EXPECT_EQ(Int(kManuellUpdate), kMissing);
    EXPECT_EQ(Text(kLastUpdate), QStringLiteral("2026-03-01 10:00:00"));
    EXPECT_TRUE(NothingHappened());
}

TEST_F(SettingsCommand, BrandListsAreUpperCaseWithoutOneBlankAroundCommas) {
    RunWith([](QDialog& dialog) {
        SetText(dialog, 1002, QStringLiteral("ab , cd, ef"));
        SetText(dialog, 1004, QStringLiteral("ab  ,cd"));
        SetText(dialog, 1003, QStringLiteral("ktm ,Honda"));
    });
    EXPECT_EQ(Text(kMarken), QStringLiteral("AB,CD,EF"));
    EXPECT_EQ(Text(kMarkenOccAnzeigen), QStringLiteral("AB ,CD"));
    EXPECT_EQ(Text(kMarkenNeuFzAnzeigen), QStringLiteral("KTM,HONDA"));
    EXPECT_EQ(host.m_store.m_strMarken, QStringLiteral("AB,CD,EF"));
    EXPECT_EQ(host.m_store.m_strMarkenOccAnzeigen, QStringLiteral("AB ,CD"));
}

TEST_F(SettingsCommand, DisplayModeFollowsTheBoxesAndTheStandardBrands) {
    StoreTypicalSettings();
    bool bStayedOpen = false;
    RunWith([&bStayedOpen](QDialog& dialog) {
        SetCheck(dialog, 1009, false);
        SetCheck(dialog, 1010, true);
        SetText(dialog, 1002, QString());
        PressOk(dialog);
        bStayedOpen = dialog.isVisible();
        SetText(dialog, 1002, QStringLiteral("KTM"));
    });
    EXPECT_TRUE(bStayedOpen) << "new vehicles without standard brands are not saved";
    ASSERT_FALSE(host.m_messages.empty());
    EXPECT_TRUE(host.m_messages[0].strText.startsWith(
        QStringLiteral("Neufahrzeuge werden nur mit Standard Marken gezeigt.")));
    EXPECT_EQ(Int(kAnzeige), 1) << "saved once the brands were entered";

    StoreTypicalSettings();
    RunWith([](QDialog& dialog) {
        SetCheck(dialog, 1009, false);
        SetCheck(dialog, 1010, false);
        SetText(dialog, 1002, QString());
    });
    EXPECT_EQ(Int(kAnzeige), 0) << "no standard brands, no new vehicles";
    EXPECT_EQ(host.m_store.m_nAnzeige, 0);

    WriteProfileString(kSection, kMarken, QStringLiteral("KTM"));
    WriteProfileInt(kSection, kAnzeige, 1);
    host.ForgetWhatHappened();
    RunWith([](QDialog& dialog) {
        SetCheck(dialog, 1009, false);
        SetCheck(dialog, 1010, false);
    });
    EXPECT_EQ(Int(kAnzeige), 1) << "neither box keeps the mode";
    EXPECT_TRUE(NothingHappened());

    RunWith([](QDialog& dialog) { SetCheck(dialog, 1009, true); });
    EXPECT_EQ(Int(kAnzeige), 2);
    EXPECT_EQ(host.m_store.m_nAnzeige, 2);
    EXPECT_EQ(host.m_nSettingsTimerStarts, 1) << "the display mode is a filter";
    EXPECT_EQ(host.m_nCloseRequests, 0);
}

TEST_F(SettingsCommand, OnlyTheOperatorsOwnChangeToNewVehiclesWithoutBrandsIsRefused) {
    // The stored display mode without standard brands, the operator's change, refused or not.
    const std::tuple<int, std::function<void(QDialog&)>, bool> cases[] = {
        {2, [](QDialog& d) { Control<QComboBox>(d, 1021).setCurrentIndex(2); }, false},
        {2, [](QDialog& d) { SetText(d, 1013, QStringLiteral("500")); }, false},
        {0, [](QDialog& d) { SetCheck(d, 1010, true); }, true},
    };
    for (const auto& [nAnzeige, change, bRefused] : cases) {
        WriteProfileString(kSection, kMarken, QString());
        WriteProfileInt(kSection, kAnzeige, nAnzeige);
        WriteProfileInt(kSection, kScrRes, 1);
        host.ForgetWhatHappened();
        bool bStayedOpen = false;
        RunWith([&change = change, &bStayedOpen](QDialog& dialog) {
            change(dialog);
            PressOk(dialog);
            bStayedOpen = dialog.isVisible();
        });
        EXPECT_EQ(bStayedOpen, bRefused) << nAnzeige;
        EXPECT_EQ(host.m_nSettingsTimerStarts + host.m_nCloseRequests, bRefused ? 0 : 1);
        EXPECT_EQ(Int(kAnzeige), bRefused ? nAnzeige : 0) << "no brands, no new vehicles";
    }
}

TEST_F(SettingsCommand, NewResolutionDropsTheStandardPicturesAndCloses) {
    StoreTypicalSettings();
    const QStringList standard = {QStringLiteral("Bilder/_standard_bilder_4711.jpg"),
                                  QStringLiteral("Bilder/_standard_bilder_noext")};
    const QStringList kept = {QStringLiteral("Bilder/satz_4711_1_a.jpg"),
                              QStringLiteral("Bilder/x_standard_bilder_1.jpg"),
                              QStringLiteral("Daten/_standard_bilder_1.jpg")};
    for (const QString& path : standard + kept)
        CTempWorkDir::WriteFile(path, "photo");

    RunWith([](QDialog& dialog) { Control<QComboBox>(dialog, 1021).setCurrentIndex(3); });

    for (const QString& path : standard)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    for (const QString& path : kept)
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    EXPECT_EQ(Int(kScrRes), 3);
    EXPECT_TRUE(Text(kLastUpdate).isEmpty());
    ASSERT_EQ(host.m_messages.size(), 1U);
    EXPECT_EQ(
        host.m_messages[0].strText,
        QStringLiteral("Einstellungen wurden geändert, bitte starten Sie das Programm neu !"));
    EXPECT_EQ(host.m_messages[0].strCaption, QStringLiteral("Programm schliesst nun automatisch"));
    EXPECT_EQ(host.m_nCloseRequests, 1);
    EXPECT_EQ(host.m_nSettingsTimerStarts, 0);
}

TEST_F(SettingsCommand, NewStandardBrandsCloseInTheViewsLanguage) {
    struct Expected {
        int nSprache;
        const char* szText;
        const char* szCaption;
    };
    const Expected languages[] = {
        {2, "Les réglages ont été modifiés, SVP redémarrer le programme !",
         "Le programme se ferme automatiquement"},
        {0, nullptr, nullptr},
        {3, nullptr, nullptr},
    };
    int nBrand = 0;
    for (const Expected& expected : languages) {
        host.ForgetWhatHappened();
        host.m_store.m_nSprache = expected.nSprache;
        WriteProfileString(kSection, kLastUpdate, QStringLiteral("2026-03-01 10:00:00"));
        const QString brand = QStringLiteral("MARKE%1").arg(++nBrand);
        RunWith([brand](QDialog& dialog) { SetText(dialog, 1002, brand); });
        EXPECT_EQ(Text(kMarken), brand);
        EXPECT_TRUE(Text(kLastUpdate).isEmpty());
        EXPECT_EQ(host.m_nCloseRequests, 1) << "closes even without a message";
        if (expected.szText == nullptr) {
            EXPECT_TRUE(host.m_messages.empty()) << expected.nSprache;
        } else {
            ASSERT_EQ(host.m_messages.size(), 1U);
            EXPECT_EQ(host.m_messages[0].strText, QString::fromUtf8(expected.szText));
            EXPECT_EQ(host.m_messages[0].strCaption, QString::fromUtf8(expected.szCaption));
        }
    }
}

TEST_F(SettingsCommand, UsedVehiclePriceWritesEverythingAndReloads) {
    StoreTypicalSettings();
    RunWith([](QDialog& dialog) { SetText(dialog, 1013, QStringLiteral("2500")); });

    EXPECT_EQ(Text(kPreisVonOcc), QStringLiteral("2500"));
    EXPECT_EQ(Text(kPreisBisOcc), QStringLiteral("9000"));
    EXPECT_EQ(Text(kMarken), QStringLiteral("HONDA,KTM"));
    EXPECT_EQ(Int(kAnzeige), 2);
    EXPECT_EQ(Int(kKatID), 4);
    EXPECT_EQ(Int(kKatIDOcc), 8);
    EXPECT_EQ(Int(kScrRes), 1);
    EXPECT_EQ(Text(kPromoText), QStringLiteral("ROT: Frühling"));
    EXPECT_EQ(Int(kManuellUpdate), 0) << "written although unchanged";
    EXPECT_EQ(Int(kShutDown), 0);
    EXPECT_EQ(Int(kShutDownTime), 18 * 3600 + 30 * 60 + 5);
    for (const char* name : {kKmVon, kKmBis, kPreisVon, kPreisBis})
        EXPECT_NE(GetProfileString(kSection, name, QStringLiteral("missing")),
                  QStringLiteral("missing"))
            << name;
    EXPECT_EQ(Text(kLastUpdate), QStringLiteral("2026-03-01 10:00:00"));
    EXPECT_EQ(host.m_store.m_nPreisVonOcc, 2500) << "the catalogue re-read its settings";
    EXPECT_EQ(host.m_nSettingsTimerStarts, 1);
    EXPECT_EQ(host.m_nCloseRequests, 0);
    EXPECT_TRUE(host.m_messages.empty());
}

TEST_F(SettingsCommand, EachFilterReloadsButPromotionAndOptionsDoNot) {
    StoreTypicalSettings();
    const std::vector<std::function<void(QDialog&)>> filters = {
        [](QDialog& d) { SetText(d, 1014, QStringLiteral("10")); },
        [](QDialog& d) { SetText(d, 1015, QStringLiteral("90000")); },
        [](QDialog& d) { SetText(d, 1011, QStringLiteral("5000")); },
        [](QDialog& d) { SetText(d, 1012, QStringLiteral("15000")); },
        [](QDialog& d) { SetText(d, 1016, QStringLiteral("8000")); },
        [](QDialog& d) { SetText(d, 1004, QStringLiteral("KTM")); },
        [](QDialog& d) { SetText(d, 1003, QStringLiteral("HONDA")); },
        [](QDialog& d) { Control<QComboBox>(d, 1017).setCurrentIndex(5); },
        [](QDialog& d) { Control<QComboBox>(d, 1018).setCurrentIndex(1); },
    };
    for (const auto& change : filters) {
        host.ForgetWhatHappened();
        RunWith(change);
        EXPECT_EQ(host.m_nSettingsTimerStarts, 1);
        EXPECT_EQ(host.m_nCloseRequests, 0);
    }

    const std::vector<std::function<void(QDialog&)>> options = {
        [](QDialog& d) { SetText(d, 1022, QStringLiteral("BLAU: Sommer")); },
        [](QDialog& d) { SetCheck(d, 1025, true); },
        [](QDialog& d) { SetCheck(d, 1023, true); },
        [](QDialog& d) { Control<QTimeEdit>(d, 1027).setTime(QTime(7, 30, 15)); },
        [](QDialog&) {},
    };
    for (const auto& change : options) {
        host.ForgetWhatHappened();
        RunWith(change);
        EXPECT_TRUE(NothingHappened());
    }
    EXPECT_EQ(Text(kPromoText), QStringLiteral("BLAU: Sommer"));
    EXPECT_EQ(Int(kManuellUpdate), 1);
    EXPECT_EQ(Int(kShutDown), 1);
    EXPECT_EQ(Int(kShutDownTime), 27015);
    EXPECT_EQ(host.m_store.m_strPromoText, QStringLiteral("BLAU: Sommer"));
    EXPECT_TRUE(host.m_store.m_bShutDown);
}

TEST_F(SettingsCommand, AListWithoutSelectionKeepsTheStoredValue) {
    StoreTypicalSettings();
    RunWith([](QDialog& dialog) {
        Control<QComboBox>(dialog, 1021).setEditText(QStringLiteral("800 x 600"));
        Control<QComboBox>(dialog, 1017).setEditText(QStringLiteral("Oldtimer"));
        Control<QComboBox>(dialog, 1018).setEditText(QStringLiteral("Mofa"));
    });
    EXPECT_EQ(Int(kScrRes), 1);
    EXPECT_EQ(Int(kKatID), 4);
    EXPECT_EQ(Int(kKatIDOcc), 1) << "typed text that names an entry selects it";
    EXPECT_EQ(host.m_nCloseRequests, 0);

    // Without category names in this language both lists are empty.
    WriteProfileInt(kSection, kSprache, 3);
    host.ForgetWhatHappened();
    RunWith([](QDialog&) {});
    EXPECT_EQ(Int(kKatID), 4);
    EXPECT_EQ(Int(kKatIDOcc), 1);
    EXPECT_TRUE(NothingHappened());
}
