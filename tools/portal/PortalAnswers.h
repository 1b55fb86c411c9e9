#pragma once
// The gateway's answers, as bytes: Windows-1252 text with line feeds, in the line layouts
// that the program's loaders read.

#include "PortalData.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <optional>
#include <vector>

namespace demoportal {

// 32 upper-case hex digits of the MD5 of the password's Windows-1252 bytes.
QByteArray PasswordDigest(const QString& password);
// Whether digest belongs to the dealer's password (either case of hex digits).
bool CheckLogin(const std::optional<CDataFile>& dealer, QByteArrayView digest);

// The address line, then "nr;YYYY-MM-DD HH:MM:SS;pic1;pic2;pic3;pic4;pic5" per record.
QByteArray RecordList(const CDataFile& dealer, const std::vector<OccasionRecord>& records,
                      Sprache la, int nResMode);
// Lines 0 to 18, "<zubehoer>", the accessories, "<ende>".
QByteArray RecordFile(const OccasionRecord& record, Sprache la, int nResMode);
// Every vehicle of the brands (compared in upper case; no brands: every vehicle), each
// introduced by "<neufz>" and followed by lines 1 to 26, and a final "<neufz>".
QByteArray NeuFzList(const std::vector<NeuFzRecord>& vehicles, const QStringList& brands,
                     Sprache la, int nResMode);

// The photo names of a used vehicle in list and record order: always five, empty when free.
QStringList OccasionPhotoNames(const CDataFile& record, int nResMode);
// The photo paths of a new vehicle, the same way.
QStringList NeuFzPhotoPaths(const CDataFile& vehicle, int nResMode);

} // namespace demoportal
