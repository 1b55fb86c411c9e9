#pragma once
// The dealer's customer number and password, stored together enciphered in the setting "code"
// so that neither stands in the settings store as plain text. The only code that reads or
// writes "code".

#include <QByteArray>
#include <QString>

class CSatzStore;

struct Credentials {
    QString strKundenNr;
    QString strPassword;
};

// The stored bytes themselves: the digest is formed over these, not over a decoded text.
struct CredentialBytes {
    QByteArray kundenNr;
    QByteArray password;
};

// Both are empty when no credentials are stored.
CredentialBytes LoadCredentialBytes();
// Both texts are empty when no credentials are stored.
Credentials LoadCredentials();
// Texts are stored as Windows-1252 bytes, the password cut to 32, the customer number to 16.
void SaveCredentials(const QString& kundenNr, const QString& password);

// Loads the credentials afresh for a list request: m_strPasswordDigest becomes the MD5 of the
// password's bytes in upper-case hex, m_strKundenNr the customer number and, when one is
// stored, m_nKundenNr its leading number. Returns whether a customer number is stored.
bool FormPasswordDigest(CSatzStore& store);
// The same from credentials taken earlier.
bool FormPasswordDigest(CSatzStore& store, const CredentialBytes& bytes);
