#pragma once
// The show's health for those who watch it from elsewhere: the status file in the working
// folder, which `zelvora --status` reads, and, when "MetrikDatei" names one, a metrics file in
// the text format that node exporter's textfile collector reads. Both are replaced whole.

#include "show/ShowFacts.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <functional>

// The facts as the status file holds them.
QJsonObject StatusJson(const ShowFacts& facts);
// A sync kind's last attempt and success (Unix seconds, 0 for none) and whether it went well.
QJsonObject SyncJson(const SyncOutcome& outcome);
// The facts in Prometheus's text format; the show that writes them runs.
QByteArray MetricsText(const ShowFacts& facts);

class CHealthFiles : public QObject {
    Q_OBJECT

public:
    using FactsSource = std::function<ShowFacts()>;
    explicit CHealthFiles(FactsSource facts, QObject* parent = nullptr);

    // Writes now and then at every period.
    void Start();
    // Writes the status file and the metrics file, if one is set, now.
    void Write();

private:
    FactsSource m_facts;
    QTimer m_timer;
};
