#pragma once
// The per-user settings store: QSettings("TarrelZelvora", "Zelvora"), read when needed and
// written at once. Integers are 32-bit and read with their default; texts with the empty text.
// Its file is readable by its owner only.

#include <QString>

int GetProfileInt(const char* section, const char* name, int nDefault);
QString GetProfileString(const char* section, const char* name, const QString& strDefault = {});
void WriteProfileInt(const char* section, const char* name, int nValue);
void WriteProfileString(const char* section, const char* name, const QString& strValue);
// The name of the last value whose write was not stored (the disk too full to take it whole,
// or the file not writable); empty once a later write was stored.
QString SkippedProfileWrite();
// Where the store keeps its values, for tools that tell the operator.
QString ProfileFileName();
