#include "sync/BlowfishCipher.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
using Block = BlowfishCipher::Block;

Block BlockFromHex(const char* hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    Block block{};
    std::copy_n(bytes.constData(), block.size(), block.begin());
    return block;
}

QByteArray Hex(const Block& block) {
    return QByteArray(reinterpret_cast<const char*>(block.data()), block.size()).toHex().toUpper();
}

QByteArray EncryptWithKey(const QByteArray& key, const char* plainHex) {
    return Hex(BlowfishCipher(key).EncryptBlock(BlockFromHex(plainHex)));
}

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
};
} // namespace

// Eric Young's published ECB vectors, 8-byte keys.
TEST(BlowfishTest, ReproducesThePublishedEcbVectors) {
    const Vector vectors[] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
        {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
        {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
        {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
        {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
        {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
        {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
        {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
        {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
        {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
        {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
        {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
        {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
        {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
        {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
        {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
        {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
        {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
        {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
        {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
        {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
        {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
        {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
        {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
        {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
        {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
    };
    for (const Vector& v : vectors)
        EXPECT_EQ(EncryptWithKey(QByteArray::fromHex(v.key), v.plain), v.cipher) << v.key;
}

// The published variable-key set: keys of 1 to 24 bytes, one plaintext.
TEST(BlowfishTest, ReproducesThePublishedVariableKeyVectors) {
    const QByteArray fullKey =
        QByteArray::fromHex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677");
    const char* ciphers[] = {
        "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
        "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
        "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
        "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
        "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
        "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
    };
    for (int length = 1; length <= 24; ++length)
        EXPECT_EQ(EncryptWithKey(fullKey.left(length), "FEDCBA9876543210"), ciphers[length - 1])
            << length;
}

TEST(BlowfishTest, KeysAreCutTo56BytesAndMustNotBeEmpty) {
    QByteArray key;
    for (int i = 0; i < 72; ++i)
        key.append(char(0x30 + i));
    const QByteArray at56 = EncryptWithKey(key.left(56), "0123456789ABCDEF");
    EXPECT_EQ(EncryptWithKey(key.left(57), "0123456789ABCDEF"), at56);
    EXPECT_EQ(EncryptWithKey(key, "0123456789ABCDEF"), at56);
    EXPECT_NE(EncryptWithKey(key.left(55), "0123456789ABCDEF"), at56);

    EXPECT_THROW(BlowfishCipher{QByteArrayView()}, std::invalid_argument);
}

// The published chaining data: 64-bit cipher feedback from a given vector, 29 bytes, so the
// last block is partial.
TEST(BlowfishTest, CipherFeedbackReproducesThePublishedChainingVector) {
    const BlowfishCipher cipher(QByteArray::fromHex("0123456789ABCDEFF0E1D2C3B4A59687"),
                                BlockFromHex("FEDCBA9876543210"));
    const QByteArray text("7654321 Now is the time for ");
    const QString hex = cipher.EncryptToHex(text, 29);
    EXPECT_EQ(hex, "E73214A2822139CAF26ECF6D2EB9E76E3DA3DE04D1517200519D57A6C3");
    EXPECT_EQ(cipher.DecryptHexText(hex, 29), text);
}

TEST(BlowfishTest, FieldsArePaddedCutAndStartFromTheVectorEveryTime) {
    const BlowfishCipher cipher(QByteArray("\x01\x00\xFF", 3));
    const Block first = cipher.EncryptBlock(Block{});
    const Block second = cipher.EncryptBlock(first);

    // Zero bytes enciphered from the zero vector are the register's encipherments themselves.
    EXPECT_EQ(cipher.EncryptToHex("", 16), QString::fromLatin1(Hex(first) + Hex(second)));
    EXPECT_EQ(cipher.EncryptToHex("", 16), cipher.EncryptToHex("", 16));

    const QString hex = cipher.EncryptToHex("0123456789ABCDEFXYZ", 16);
    EXPECT_EQ(hex.size(), 32);
    EXPECT_EQ(cipher.DecryptHexText(hex, 16), "0123456789ABCDEF");
    EXPECT_EQ(cipher.DecryptHexText(cipher.EncryptToHex(QByteArray("ab\0cd", 5), 8), 8), "ab");

    EXPECT_EQ(cipher.EncryptToHex("abc", 0), "");
    EXPECT_EQ(cipher.EncryptToHex("abc", -8), "");
    EXPECT_EQ(cipher.DecryptHexText(hex, -8), "");
}

// A character that is not an upper-case hex digit ends its byte with the value gathered so
// far; the next byte starts at the next pair. The first block deciphers byte by byte, so a
// changed ciphertext byte changes only its own plaintext byte there.
TEST(BlowfishTest, LenientHexParseEndsAByteAtAnyOtherCharacter) {
    const BlowfishCipher cipher(QByteArray("Schluessel"));
    const QString hex = cipher.EncryptToHex("ABCDEFGH", 8);
    const int c0 = hex.left(2).toInt(nullptr, 16);
    const auto firstByte = [&](const QString& changed) {
        const QByteArray plain = cipher.DecryptHexText(changed, 8);
        EXPECT_EQ(plain.mid(1), "BCDEFGH") << changed.toStdString();
        return plain.isEmpty() ? -1 : static_cast<unsigned char>(plain[0]);
    };
    const auto expected = [&](int value) {
        return 'A' ^ c0 ^ value;
    };

    // High digit kept, the second character ends the byte.
    QString changed = hex;
    changed[1] = QLatin1Char('G');
    EXPECT_EQ(firstByte(changed), expected(c0 >> 4));
    changed[1] = QLatin1Char('a');
    EXPECT_EQ(firstByte(changed), expected(c0 >> 4));
    // The first character ends the byte at once: its second digit is not used.
    changed = hex;
    changed[0] = QLatin1Char(' ');
    EXPECT_EQ(firstByte(changed), expected(0));

    // Missing characters count as the end of their byte.
    EXPECT_EQ(cipher.DecryptHexText(hex.left(15), 8),
              cipher.DecryptHexText(hex.left(14) + QLatin1Char('0') + hex[14], 8));
    EXPECT_EQ(cipher.DecryptHexText(QString(), 8), cipher.DecryptHexText(QString(16, u'0'), 8));
}

// A partial last block is enciphered too, never left as plain text.
TEST(BlowfishTest, APartialLastBlockIsEnciphered) {
    const BlowfishCipher cipher(QByteArray("k"));
    const QString hex = cipher.EncryptToHex("abcdefghijkl", 12);
    EXPECT_EQ(hex.size(), 24);
    EXPECT_NE(hex.mid(16), QString::fromLatin1(QByteArray("ijkl").toHex().toUpper()));
    EXPECT_EQ(cipher.DecryptHexText(hex, 12), "abcdefghijkl");
}
