#include "dialogs/SettingsDlg.h"
#include "dialogs/ChromeScale.h"
#include "dialogs/DialogConstants.h"
#include "dialogs/DialogControls.h"
#include "dialogs/DialogHost.h"
#include "dialogs/DialogTexts.h"
#include "platform/PowerOff.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {
constexpr int kFieldWidth = 90;
constexpr int kBrandFieldWidth = 260;
constexpr int kAufloesungChars = 14;

QLineEdit* NewEdit(int nId, QWidget* parent, int nMinWidth = kFieldWidth) {
    auto* edit = Named(nId, new QLineEdit(parent));
    edit->setMinimumWidth(ChromePixels(parent, nMinWidth));
    return edit;
}

// Prices and mileage: the filters read only the leading digits, so anything else is refused
// while typing rather than silently read as 0.
QLineEdit* NewNumberEdit(int nId, QWidget* parent) {
    QLineEdit* edit = NewEdit(nId, parent);
    AcceptDigitsOnly(edit);
    return edit;
}

QComboBox* NewList(int nId, QWidget* parent) {
    auto* list = Named(nId, new QComboBox(parent));
    list->setEditable(true);
    // Typed text selects nothing; it must never become a new entry with an index of its own.
    list->setInsertPolicy(QComboBox::NoInsert);
    return list;
}

// The typed text may no longer be the selected entry's: then the entry that carries exactly
// that text is selected, or none.
int SelectedIndex(const QComboBox* list) {
    const int nIndex = list->currentIndex();
    if (nIndex >= 0 && list->itemText(nIndex) == list->currentText())
        return nIndex;
    return list->findText(list->currentText(), Qt::MatchExactly);
}

void Fill(QComboBox* list, const QStringList& entries, int nSelected) {
    list->clear();
    list->addItems(entries);
    list->setCurrentIndex(nSelected);
}

void AddRange(QGridLayout* grid, int nRow, const QString& label, QLineEdit* von, QLineEdit* bis) {
    grid->addWidget(new QLabel(label), nRow, 0);
    grid->addWidget(von, nRow, 1);
    grid->addWidget(bis, nRow, 2);
}

void AddRow(QGridLayout* grid, int nRow, const QString& label, QWidget* field) {
    grid->addWidget(new QLabel(label), nRow, 0);
    grid->addWidget(field, nRow, 1, 1, 2);
}

std::tm LocalTm(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}
} // namespace

CSettingsDlg::CSettingsDlg(IDialogHost& host, QWidget* parent)
    : CExchangeDlg(parent), m_host(host) {
    setWindowTitle(QStringLiteral("Einstellungen"));

    auto* occ = new QGroupBox(QStringLiteral("Occasionen"), this);
    m_occAktiv = Named(dlg::kIdOccAktiv, new QCheckBox(QStringLiteral("Occasionen aktiv"), occ));
    m_kmVon = NewNumberEdit(dlg::kIdKmVon, occ);
    m_kmBis = NewNumberEdit(dlg::kIdKmBis, occ);
    m_markenOccAnzeigen = NewEdit(dlg::kIdMarkenOccAnzeigen, occ, kBrandFieldWidth);
    m_katIDOcc = NewList(dlg::kIdKatIDOcc, occ);
    m_preisVonOcc = NewNumberEdit(dlg::kIdPreisVonOcc, occ);
    m_preisBisOcc = NewNumberEdit(dlg::kIdPreisBisOcc, occ);
    auto* occGrid = new QGridLayout(occ);
    occGrid->addWidget(m_occAktiv, 0, 0, 1, 3);
    AddRange(occGrid, 1, QStringLiteral("Km von bis"), m_kmVon, m_kmBis);
    AddRow(occGrid, 2, QStringLiteral("Anzeige Marken"), m_markenOccAnzeigen);
    AddRow(occGrid, 3, QStringLiteral("Kategorie"), m_katIDOcc);
    AddRange(occGrid, 4, QStringLiteral("Preis von bis"), m_preisVonOcc, m_preisBisOcc);
    occGrid->setRowStretch(5, 1);

    auto* neu = new QGroupBox(QStringLiteral("Neufahrzeuge"), this);
    m_neuFzAktiv =
        Named(dlg::kIdNeuFzAktiv, new QCheckBox(QStringLiteral("Neufahrzeuge aktiv"), neu));
    m_marken = NewEdit(dlg::kIdMarken, neu, kBrandFieldWidth);
    m_markenNeuFzAnzeigen = NewEdit(dlg::kIdMarkenNeuFzAnzeigen, neu, kBrandFieldWidth);
    m_katID = NewList(dlg::kIdKatID, neu);
    m_preisVon = NewNumberEdit(dlg::kIdPreisVon, neu);
    m_preisBis = NewNumberEdit(dlg::kIdPreisBis, neu);
    auto* neuGrid = new QGridLayout(neu);
    neuGrid->addWidget(m_neuFzAktiv, 0, 0, 1, 3);
    AddRow(neuGrid, 1, QStringLiteral("Standard Marken ( Marken mit Komma trennen )"), m_marken);
    AddRow(neuGrid, 2, QStringLiteral("Anzeige Marken ( Marken mit Komma trennen )"),
           m_markenNeuFzAnzeigen);
    AddRow(neuGrid, 3, QStringLiteral("Kategorie"), m_katID);
    AddRange(neuGrid, 4, QStringLiteral("Preis von bis"), m_preisVon, m_preisBis);
    neuGrid->setRowStretch(5, 1);

    auto* anzeige = new QGroupBox(this);
    m_scrRes = NewList(dlg::kIdScrRes, anzeige);
    m_scrRes->setMinimumContentsLength(kAufloesungChars);
    m_scrRes->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_manuellUpdate =
        Named(dlg::kIdManuellUpdate, new QCheckBox(QStringLiteral("Nur manuell updaten"), anzeige));
    m_shutDown = Named(dlg::kIdShutDown,
                       new QCheckBox(QStringLiteral("Automatisches Herunterfahren um "), anzeige));
    m_shutDownTime = Named(dlg::kIdShutDownTime, new QTimeEdit(anzeige));
    m_shutDownTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_sysTime = Named(dlg::kIdSysTime, new QLabel(anzeige));
    m_sysTime->setMinimumWidth(ChromePixels(anzeige, kBrandFieldWidth / 2));
    auto* testShutdown =
        Named(dlg::kIdTestShutdown,
              new QPushButton(QStringLiteral("PC Herunterfahren testen "), anzeige));
    testShutdown->setAutoDefault(false);
    m_promoText = NewEdit(dlg::kIdPromoText, anzeige, 2 * kBrandFieldWidth);
    m_promoText->setMaxLength(dlg::kMaxPromoText);

    auto* shutdownRow = new QHBoxLayout;
    shutdownRow->addWidget(m_shutDown);
    shutdownRow->addWidget(m_shutDownTime);
    shutdownRow->addWidget(m_sysTime);
    shutdownRow->addStretch();
    shutdownRow->addWidget(testShutdown);
    auto* anzeigeGrid = new QGridLayout(anzeige);
    anzeigeGrid->addWidget(new QLabel(QStringLiteral("Auflösung")), 0, 0);
    anzeigeGrid->addWidget(m_scrRes, 0, 1, Qt::AlignLeft);
    anzeigeGrid->addWidget(m_manuellUpdate, 1, 0, 1, 2);
    anzeigeGrid->addLayout(shutdownRow, 2, 0, 1, 2);
    anzeigeGrid->addWidget(new QLabel(QStringLiteral("Promotion Text")), 3, 0);
    anzeigeGrid->addWidget(m_promoText, 3, 1);
    anzeigeGrid->setColumnStretch(1, 1);

    auto* groups = new QHBoxLayout;
    groups->addWidget(occ);
    groups->addWidget(neu);
    auto* page = new QVBoxLayout(this);
    page->addLayout(groups);
    page->addWidget(anzeige);
    page->addLayout(OkCancelRow(*this, QStringLiteral("Speichern")));

    m_clockTimer.setInterval(dlg::kClockTimerMs);
    connect(&m_clockTimer, &QTimer::timeout, this, [this] { OnTimer(dlg::kClockTimer); });
    connect(testShutdown, &QPushButton::clicked, this, &CSettingsDlg::OnTestShutdown);
}

void CSettingsDlg::OnInitDialog() {
    DoDataExchange(false);
    m_bNeuFzAktivOpened = m_nNeuFzAktiv != 0;
    m_strMarkenOpened = m_strMarken;
    m_nSprache = GetProfileInt(setting::kSection, setting::kSprache, 0);
    const QStringList kategorien = dlgtext::KategorieNamen(m_nSprache);
    Fill(m_katID, kategorien, m_nKatID);
    Fill(m_katIDOcc, kategorien, m_nKatIDOcc);
    Fill(m_scrRes, dlgtext::AufloesungNamen(), m_nScrRes);
    m_clockTimer.start();
}

void CSettingsDlg::DoDataExchange(bool bSaveAndValidate) {
    const bool b = bSaveAndValidate;
    ExchangeCheck(b, m_occAktiv, m_nOccAktiv);
    ExchangeText(b, m_kmVon, m_strKmVon);
    ExchangeText(b, m_kmBis, m_strKmBis);
    ExchangeText(b, m_markenOccAnzeigen, m_strMarkenOccAnzeigen);
    ExchangeText(b, m_preisVonOcc, m_strPreisVonOcc);
    ExchangeText(b, m_preisBisOcc, m_strPreisBisOcc);
    ExchangeCheck(b, m_neuFzAktiv, m_nNeuFzAktiv);
    ExchangeText(b, m_marken, m_strMarken);
    ExchangeText(b, m_markenNeuFzAnzeigen, m_strMarkenNeuFzAnzeigen);
    ExchangeText(b, m_preisVon, m_strPreisVon);
    ExchangeText(b, m_preisBis, m_strPreisBis);
    ExchangeCheck(b, m_manuellUpdate, m_nManuellUpdate);
    ExchangeCheck(b, m_shutDown, m_nShutDown);
    // The edit field holds at most 110 characters, so the promotion text needs no check here.
    ExchangeText(b, m_promoText, m_strPromoText);
    if (b) {
        const QTime time = m_shutDownTime->time();
        m_timeShutDown = LocalTime(dlg::kShutDownYear, dlg::kShutDownMonth, dlg::kShutDownDay,
                                   time.hour(), time.minute(), time.second());
    } else {
        const std::tm tm = LocalTm(m_timeShutDown);
        const QTime time(tm.tm_hour, tm.tm_min, tm.tm_sec);
        if (m_shutDownTime->time() != time)
            m_shutDownTime->setTime(time);
        if (m_sysTime->text() != m_strSysTime)
            m_sysTime->setText(m_strSysTime);
    }
}

void CSettingsDlg::OnTimer(int nIDEvent) {
    if (nIDEvent != dlg::kClockTimer)
        return;
    DoDataExchange(true);
    m_strSysTime.clear();
    if (m_nShutDown != 0) {
        const std::tm tm = LocalTm(m_host.Clock().Now());
        char szTime[16] = {};
        std::strftime(szTime, sizeof szTime, "%H:%M:%S", &tm);
        m_strSysTime = QStringLiteral("SysTime: ") + QString::fromLatin1(szTime);
    }
    DoDataExchange(false);
}

void CSettingsDlg::accept() {
    OnOK();
}

void CSettingsDlg::OnOK() {
    // The command shows no new vehicles without standard brands: rather than untick the box
    // behind the operator's back, the dialog says so and stays open. A store that held such
    // values already is saved as it is, or no other change could be saved.
    const bool bChanged =
        m_neuFzAktiv->isChecked() != m_bNeuFzAktivOpened || m_marken->text() != m_strMarkenOpened;
    if (bChanged && m_neuFzAktiv->isChecked() && m_marken->text().isEmpty()) {
        const dlgtext::Message message = dlgtext::NeuFzOhneMarken(m_nSprache);
        m_host.ShowMessage(message.strText, message.strCaption);
        m_marken->setFocus();
        return;
    }
    m_nKatID = SelectedIndex(m_katID);
    m_nKatIDOcc = SelectedIndex(m_katIDOcc);
    m_nScrRes = SelectedIndex(m_scrRes);
    CExchangeDlg::accept();
}

void CSettingsDlg::done(int nResult) {
    m_clockTimer.stop();
    QDialog::done(nResult);
}

void CSettingsDlg::OnTestShutdown() {
    // Powering off is not undone by a click that slipped: the operator confirms first.
    const dlgtext::Message question = dlgtext::ShutdownTestQuestion(m_nSprache);
    if (m_host.AskYesNo(question.strText, question.strCaption))
        m_host.PowerOff().ShutdownPC();
}
