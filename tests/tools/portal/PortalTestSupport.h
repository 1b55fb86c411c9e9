#pragma once
// Shared by the portal tests: the generated sample data set, a small hand-made data folder
// and an HTTP/1.0 exchange on a raw socket, as the program's own client makes it.

#include "PortalData.h"

#include <QByteArray>
#include <QString>

// The sample data set: the one named by ZELVORA_SAMPLE_DATA, which ctest generates once, or
// else one generated once per test process.
const QString& SampleFolder();

// Writes bytes to folder/relative, making the folders on the way.
void WriteDataFile(const QString& folder, const QString& relative, const QByteArray& bytes);
void WriteDataFile(const QString& folder, const QString& relative,
                   const demoportal::CDataFile& data);

struct RawAnswer {
    int nStatus = 0;
    QByteArray head; // status line and header lines
    long long nContentLength = -1;
    QByteArray body; // everything after the header, up to the close
};

// Sends "GET target HTTP/1.0" with the program's User-Agent and Host lines (and extra header
// lines, each ending in CR LF) to 127.0.0.1:port and reads until the server closes.
RawAnswer RawGet(int nPort, const QByteArray& target, const QByteArray& extraHeaders = {});
