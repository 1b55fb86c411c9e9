#pragma once
// The published Blowfish block cipher in 64-bit cipher feedback mode, one instance per key.
// Every field starts from the initial vector, so equal texts always give equal ciphertext.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <array>
#include <memory>

struct bf_key_st;

class BlowfishCipher {
public:
    static constexpr int kMaxKeyBytes = 56;
    using Block = std::array<unsigned char, 8>;

    // A key longer than kMaxKeyBytes is cut; an empty key throws std::invalid_argument.
    explicit BlowfishCipher(QByteArrayView key, const Block& iv = {});
    ~BlowfishCipher();
    BlowfishCipher(const BlowfishCipher&) = delete;
    BlowfishCipher& operator=(const BlowfishCipher&) = delete;

    // Bytes 1 to 4 form the left half, byte 1 most significant; 5 to 8 the right half.
    Block EncryptBlock(const Block& plain) const;

    // The text's bytes, zero-padded or cut to n bytes, enciphered: 2n upper-case hex digits.
    QString EncryptToHex(QByteArrayView text, int n) const;
    // Deciphers 2n hex characters, read up to the first zero byte. Only "0"-"9" and "A"-"F"
    // are digits: any other character, or the end of hex, ends its byte with the value
    // gathered so far.
    QByteArray DecryptHexText(QStringView hex, int n) const;

private:
    // Cipher feedback over the whole field; a last partial block uses the leading bytes of
    // the enciphered register.
    QByteArray Cfb(QByteArray field, bool bEncipher) const;

    std::unique_ptr<bf_key_st> m_key;
    Block m_iv;
};
