// libcrypto still ships the Blowfish block function, but marks it deprecated since 3.0.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "sync/BlowfishCipher.h"

#include "catalogue/CacheText.h"

#include <openssl/blowfish.h>

#include <algorithm>
#include <stdexcept>

namespace {
int HexDigit(QChar ch) {
    const char16_t u = ch.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}
} // namespace

BlowfishCipher::BlowfishCipher(QByteArrayView key, const Block& iv)
    : m_key(std::make_unique<bf_key_st>()), m_iv(iv) {
    // libcrypto would read past an empty key and would use up to 72 bytes of a long one.
    if (key.isEmpty())
        throw std::invalid_argument("Blowfish key is empty");
    const auto length = static_cast<int>(std::min<qsizetype>(key.size(), kMaxKeyBytes));
    BF_set_key(m_key.get(), length, reinterpret_cast<const unsigned char*>(key.data()));
}

BlowfishCipher::~BlowfishCipher() = default;

BlowfishCipher::Block BlowfishCipher::EncryptBlock(const Block& plain) const {
    const auto load = [&plain](int at) {
        BF_LONG half = 0;
        for (int i = 0; i < 4; ++i)
            half = half << 8 | plain[at + i];
        return half;
    };
    BF_LONG halves[2] = {load(0), load(4)};
    BF_encrypt(halves, m_key.get());
    Block out;
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<unsigned char>(halves[0] >> (24 - 8 * i));
        out[4 + i] = static_cast<unsigned char>(halves[1] >> (24 - 8 * i));
    }
    return out;
}

QByteArray BlowfishCipher::Cfb(QByteArray field, bool bEncipher) const {
    Block reg = m_iv;
    for (qsizetype pos = 0; pos < field.size(); pos += reg.size()) {
        const Block stream = EncryptBlock(reg);
        const qsizetype count = std::min<qsizetype>(reg.size(), field.size() - pos);
        for (qsizetype i = 0; i < count; ++i) {
            const auto in = static_cast<unsigned char>(field[pos + i]);
            const auto out = static_cast<unsigned char>(in ^ stream[i]);
            field[pos + i] = static_cast<char>(out);
            reg[i] = bEncipher ? out : in;
        }
    }
    return field;
}

QString BlowfishCipher::EncryptToHex(QByteArrayView text, int n) const {
    QByteArray field(std::max(n, 0), '\0');
    std::copy_n(text.data(), std::min<qsizetype>(text.size(), field.size()), field.data());
    return QString::fromLatin1(Cfb(field, true).toHex().toUpper());
}

QByteArray BlowfishCipher::DecryptHexText(QStringView hex, int n) const {
    QByteArray field(std::max(n, 0), '\0');
    for (qsizetype i = 0; i < field.size(); ++i) {
        int value = 0;
        for (qsizetype at = 2 * i; at < 2 * i + 2; ++at) {
            const int digit = at < hex.size() ? HexDigit(hex[at]) : -1;
            if (digit < 0)
                break;
            value = value * 16 + digit;
        }
        field[i] = static_cast<char>(value);
    }
    return cache::UpToNul(Cfb(field, false));
}
