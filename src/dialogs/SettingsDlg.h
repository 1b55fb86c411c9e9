#pragma once
// "Einstellungen": filters, display options, promotion text and automatic shutdown. The
// command fills the members, shows the dialog and reads the members back after OK.

#include "dialogs/ExchangeDlg.h"

#include <QString>
#include <QTimer>
#include <ctime>

class IDialogHost;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimeEdit;

class CSettingsDlg : public CExchangeDlg {
    Q_OBJECT
public:
    explicit CSettingsDlg(IDialogHost& host, QWidget* parent = nullptr);

    // Occasionen
    int m_nOccAktiv = 0;
    QString m_strKmVon;
    QString m_strKmBis;
    QString m_strMarkenOccAnzeigen;
    QString m_strPreisVonOcc;
    QString m_strPreisBisOcc;
    // Neufahrzeuge
    int m_nNeuFzAktiv = 0;
    QString m_strMarken;
    QString m_strMarkenNeuFzAnzeigen;
    QString m_strPreisVon;
    QString m_strPreisBis;
    // Display and shutdown
    int m_nManuellUpdate = 0;
    int m_nShutDown = 0;
    std::time_t m_timeShutDown = 0; // only the local time of day counts
    QString m_strSysTime;
    QString m_strPromoText;
    // Selected entries of the three lists; -1 when none is selected.
    int m_nKatID = 0;
    int m_nKatIDOcc = 0;
    int m_nScrRes = 0;
    // Read at initialisation; chooses the category names.
    int m_nSprache = 0;

    // The clock line follows the shutdown box; driven every 800 ms while the dialog is open.
    void OnTimer(int nIDEvent);
    // "Speichern"; refused, with a message, when the operator has ticked "Neufahrzeuge aktiv"
    // or changed the standard brands, and new vehicles are then ticked without standard brands.
    void accept() override;
    void done(int nResult) override;

private:
    void OnInitDialog() override;
    void DoDataExchange(bool bSaveAndValidate) override;
    void OnOK();
    void OnTestShutdown();

    IDialogHost& m_host;
    QTimer m_clockTimer;
    // As the dialog opened.
    bool m_bNeuFzAktivOpened = false;
    QString m_strMarkenOpened;

    QCheckBox* m_occAktiv;
    QLineEdit* m_kmVon;
    QLineEdit* m_kmBis;
    QLineEdit* m_markenOccAnzeigen;
    QComboBox* m_katIDOcc;
    QLineEdit* m_preisVonOcc;
    QLineEdit* m_preisBisOcc;
    QCheckBox* m_neuFzAktiv;
    QLineEdit* m_marken;
    QLineEdit* m_markenNeuFzAnzeigen;
    QComboBox* m_katID;
    QLineEdit* m_preisVon;
    QLineEdit* m_preisBis;
    QComboBox* m_scrRes;
    QCheckBox* m_manuellUpdate;
    QCheckBox* m_shutDown;
    QTimeEdit* m_shutDownTime;
    QLabel* m_sysTime;
    QLineEdit* m_promoText;
};
