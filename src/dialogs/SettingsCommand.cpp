#include "catalogue/CacheText.h"
#include "catalogue/SatzStore.h"
#include "dialogs/Commands.h"
#include "dialogs/DialogConstants.h"
#include "dialogs/DialogHost.h"
#include "dialogs/RestartMessage.h"
#include "dialogs/SettingsDlg.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/CredentialStore.h"

#include <QDir>
#include <QFile>

namespace {
// The settings command opens only once a password of this length is stored.
constexpr int kMinPasswordLength = 2;

constexpr int kAnzeigeOcc = 0;
constexpr int kAnzeigeNeuFz = 1;
constexpr int kAnzeigeBeide = 2;

// Every value the dialog edits, as stored.
struct DialogSettings {
    QString strMarken;
    QString strPreisVon;
    QString strPreisBis;
    QString strPreisVonOcc;
    QString strPreisBisOcc;
    QString strKmVon;
    QString strKmBis;
    int nKatID = 0;
    int nKatIDOcc = 0;
    int nScrRes = 0;
    QString strMarkenOccAnzeigen;
    QString strMarkenNeuFzAnzeigen;
    QString strPromoText;
    int nManuellUpdate = 0;
    int nShutDown = 0;
    int nShutDownTime = 0;
    int nAnzeige = 0;
};

DialogSettings ReadSettings() {
    using namespace setting;
    DialogSettings s;
    s.strMarken = GetProfileString(kSection, kMarken);
    s.strPreisVon = GetProfileString(kSection, kPreisVon);
    s.strPreisBis = GetProfileString(kSection, kPreisBis);
    s.strPreisVonOcc = GetProfileString(kSection, kPreisVonOcc);
    s.strPreisBisOcc = GetProfileString(kSection, kPreisBisOcc);
    s.strKmVon = GetProfileString(kSection, kKmVon);
    s.strKmBis = GetProfileString(kSection, kKmBis);
    s.nKatID = GetProfileInt(kSection, kKatID, 0);
    s.nKatIDOcc = GetProfileInt(kSection, kKatIDOcc, 0);
    s.nScrRes = GetProfileInt(kSection, kScrRes, 0);
    s.strMarkenOccAnzeigen = GetProfileString(kSection, kMarkenOccAnzeigen);
    s.strMarkenNeuFzAnzeigen = GetProfileString(kSection, kMarkenNeuFzAnzeigen);
    s.strPromoText = GetProfileString(kSection, kPromoText);
    s.nManuellUpdate = GetProfileInt(kSection, kManuellUpdate, 0);
    s.nShutDown = GetProfileInt(kSection, kShutDown, 0);
    s.nShutDownTime = GetProfileInt(kSection, kShutDownTime, 0);
    s.nAnzeige = GetProfileInt(kSection, kAnzeige, 0);
    return s;
}

void WriteSettings(const DialogSettings& s) {
    using namespace setting;
    WriteProfileString(kSection, kMarken, s.strMarken);
    WriteProfileInt(kSection, kAnzeige, s.nAnzeige);
    WriteProfileInt(kSection, kKatID, s.nKatID);
    WriteProfileInt(kSection, kKatIDOcc, s.nKatIDOcc);
    WriteProfileInt(kSection, kScrRes, s.nScrRes);
    WriteProfileString(kSection, kKmVon, s.strKmVon);
    WriteProfileString(kSection, kKmBis, s.strKmBis);
    WriteProfileString(kSection, kPreisVon, s.strPreisVon);
    WriteProfileString(kSection, kPreisBis, s.strPreisBis);
    WriteProfileString(kSection, kPreisVonOcc, s.strPreisVonOcc);
    WriteProfileString(kSection, kPreisBisOcc, s.strPreisBisOcc);
    WriteProfileString(kSection, kMarkenOccAnzeigen, s.strMarkenOccAnzeigen);
    WriteProfileString(kSection, kMarkenNeuFzAnzeigen, s.strMarkenNeuFzAnzeigen);
    WriteProfileString(kSection, kPromoText, s.strPromoText);
    WriteProfileInt(kSection, kManuellUpdate, s.nManuellUpdate);
    WriteProfileInt(kSection, kShutDown, s.nShutDown);
    WriteProfileInt(kSection, kShutDownTime, s.nShutDownTime);
}

void FillDialog(CSettingsDlg& dlg, const DialogSettings& s) {
    dlg.m_strMarken = s.strMarken;
    dlg.m_strPreisVon = s.strPreisVon;
    dlg.m_strPreisBis = s.strPreisBis;
    dlg.m_strPreisVonOcc = s.strPreisVonOcc;
    dlg.m_strPreisBisOcc = s.strPreisBisOcc;
    dlg.m_strKmVon = s.strKmVon;
    dlg.m_strKmBis = s.strKmBis;
    dlg.m_nKatID = s.nKatID;
    dlg.m_nKatIDOcc = s.nKatIDOcc;
    dlg.m_nScrRes = s.nScrRes;
    dlg.m_strMarkenOccAnzeigen = s.strMarkenOccAnzeigen;
    dlg.m_strMarkenNeuFzAnzeigen = s.strMarkenNeuFzAnzeigen;
    dlg.m_strPromoText = s.strPromoText;
    dlg.m_nManuellUpdate = s.nManuellUpdate != 0 ? 1 : 0;
    dlg.m_nShutDown = s.nShutDown != 0 ? 1 : 0;
    const int t = s.nShutDownTime;
    dlg.m_timeShutDown = LocalTime(dlg::kShutDownYear, dlg::kShutDownMonth, dlg::kShutDownDay,
                                   t / 3600, (t % 3600) / 60, t % 60);
    dlg.m_nOccAktiv = s.nAnzeige == kAnzeigeOcc || s.nAnzeige == kAnzeigeBeide ? 1 : 0;
    dlg.m_nNeuFzAktiv = s.nAnzeige == kAnzeigeNeuFz || s.nAnzeige == kAnzeigeBeide ? 1 : 0;
}

// Upper case, and one blank on either side of a comma goes: "ab , cd" becomes "AB,CD".
QString NormaliseMarken(const QString& marken) {
    return marken.toUpper()
        .replace(QStringLiteral(", "), QStringLiteral(","))
        .replace(QStringLiteral(" ,"), QStringLiteral(","));
}

int AnzeigeFromBoxes(const CSettingsDlg& dlg, int nLoaded) {
    if (dlg.m_nOccAktiv != 0 && dlg.m_nNeuFzAktiv != 0)
        return kAnzeigeBeide;
    if (dlg.m_nOccAktiv != 0)
        return kAnzeigeOcc;
    if (dlg.m_nNeuFzAktiv != 0)
        return kAnzeigeNeuFz;
    return nLoaded;
}

// A list with nothing selected (typed text that names no entry, or no entries in this language)
// keeps the stored value: -1 is no category and no screen size, and would empty the show.
int Selection(int nSelected, int nLoaded) {
    return nSelected >= 0 ? nSelected : nLoaded;
}

DialogSettings ReadDialog(const CSettingsDlg& dlg, const DialogSettings& loaded) {
    DialogSettings s;
    s.strMarken = NormaliseMarken(dlg.m_strMarken);
    s.strPreisVon = dlg.m_strPreisVon;
    s.strPreisBis = dlg.m_strPreisBis;
    s.strPreisVonOcc = dlg.m_strPreisVonOcc;
    s.strPreisBisOcc = dlg.m_strPreisBisOcc;
    s.strKmVon = dlg.m_strKmVon;
    s.strKmBis = dlg.m_strKmBis;
    s.nKatID = Selection(dlg.m_nKatID, loaded.nKatID);
    s.nKatIDOcc = Selection(dlg.m_nKatIDOcc, loaded.nKatIDOcc);
    s.nScrRes = Selection(dlg.m_nScrRes, loaded.nScrRes);
    s.strMarkenOccAnzeigen = NormaliseMarken(dlg.m_strMarkenOccAnzeigen);
    s.strMarkenNeuFzAnzeigen = NormaliseMarken(dlg.m_strMarkenNeuFzAnzeigen);
    s.strPromoText = dlg.m_strPromoText;
    s.nManuellUpdate = dlg.m_nManuellUpdate;
    s.nShutDown = dlg.m_nShutDown;
    s.nShutDownTime = SecondsOfDay(dlg.m_timeShutDown);
    // Without standard brands there are no new vehicles to show.
    s.nAnzeige = s.strMarken.isEmpty() ? kAnzeigeOcc : AnzeigeFromBoxes(dlg, loaded.nAnzeige);
    return s;
}

// What the show must reload for; the promotion text, the update and shutdown options take
// effect at the next LoadSettings.
bool FiltersDiffer(const DialogSettings& a, const DialogSettings& b) {
    return a.strKmVon != b.strKmVon || a.strKmBis != b.strKmBis || a.strPreisVon != b.strPreisVon ||
           a.strPreisBis != b.strPreisBis || a.strPreisVonOcc != b.strPreisVonOcc ||
           a.strPreisBisOcc != b.strPreisBisOcc ||
           a.strMarkenOccAnzeigen != b.strMarkenOccAnzeigen ||
           a.strMarkenNeuFzAnzeigen != b.strMarkenNeuFzAnzeigen || a.nKatID != b.nKatID ||
           a.nKatIDOcc != b.nKatIDOcc || a.nAnzeige != b.nAnzeige;
}

// The new-vehicle photos belong to the old brands or the old screen size. Files that cannot
// be deleted are left as they are.
void DeleteStandardPictures() {
    const QDir bilder(QString::fromLatin1(cache::kBilder));
    const QStringList names =
        bilder.entryList({QStringLiteral("_standard_bilder_*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        QFile::remove(bilder.filePath(name));
}
} // namespace

void RunSettingsCommand(IDialogHost& host) {
    if (LoadCredentials().strPassword.size() < kMinPasswordLength)
        return;

    CSatzStore& store = host.Store();
    const DialogSettings loaded = ReadSettings();
    store.m_nAnzeige = loaded.nAnzeige;
    CSettingsDlg dlg(host, host.DialogParent());
    FillDialog(dlg, loaded);
    if (host.RunModal(dlg) != QDialog::Accepted)
        return;

    const DialogSettings entered = ReadDialog(dlg, loaded);
    // The job fetches for the brands and screen size it read at its start.
    const bool bRestart =
        entered.strMarken != loaded.strMarken || entered.nScrRes != loaded.nScrRes;
    if (bRestart)
        host.StopSyncJob();
    store.m_strMarken = entered.strMarken;
    store.m_strMarkenOccAnzeigen = entered.strMarkenOccAnzeigen;
    store.m_strMarkenNeuFzAnzeigen = entered.strMarkenNeuFzAnzeigen;
    store.m_nAnzeige = entered.nAnzeige;
    WriteSettings(entered);
    store.LoadSettings();

    if (bRestart) {
        DeleteStandardPictures();
        WriteProfileString(setting::kSection, setting::kLastUpdate, QString());
        CloseForRestart(host, ERestartReason::Einstellungen);
    } else if (FiltersDiffer(entered, loaded)) {
        host.StartSettingsChangedTimer();
    }
}
