#pragma once
// The per-user settings store: QSettings("TarrelZelvora", "Zelvora"), read when needed and
// written at once. Integers are 32-bit and read with their default; texts with the empty text.

#include <QString>

int GetProfileInt(const char* section, const char* name, int nDefault);
QString GetProfileString(const char* section, const char* name, const QString& strDefault = {});
void WriteProfileInt(const char* section, const char* name, int nValue);
void WriteProfileString(const char* section, const char* name, const QString& strValue);
// Where the store keeps its values, for tools that tell the operator.
QString ProfileFileName();
