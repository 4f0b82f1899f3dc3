#pragma once
// clsCryptoAPI: one-way hashes of text, password-based encryption of byte
// data, random data, salt values, and conversions between byte arrays, text
// and hexadecimal text. It reports its own failures in message boxes and then
// gives an empty or false result; nothing throws out of it.
//
// Text is a byte string, one char per byte. Byte arrays carry one extra
// trailing element: arrays made here end in an extra 0, and arrays read here
// have their last element ignored, so an array of one element counts as empty.
//
// Encryption: set EnhancedProvider (before the first operation that needs the
// provider), then Password or UseDefaultPWD, then InputData; call Encrypt or
// Decrypt and read OutputData.

#include "crypto/cryptoservice.h"
#include "platform/notifier.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm
{

using ByteArray = std::vector<std::uint8_t>;

class clsCryptoAPI
{
public:
    // Runs on the platform's service.
    explicit clsCryptoAPI(Notifier &notifier);
    // Runs on the given service, which must outlive the instance.
    clsCryptoAPI(Notifier &notifier, crypto::Service &service);
    ~clsCryptoAPI();
    clsCryptoAPI(const clsCryptoAPI &) = delete;
    clsCryptoAPI &operator=(const clsCryptoAPI &) = delete;

    // Properties.
    void InputData(const ByteArray &arInData);
    ByteArray OutputData() const { return outData_; }
    bool EnhancedProvider() const { return enhanced_; }
    void EnhancedProvider(bool blnUseEnhanced) { enhanced_ = blnUseEnhanced; }
    ByteArray Password() const { return password_; }
    // Takes the password and wipes the caller's array. An empty array sets
    // the built-in default password when UseDefaultPWD is on, else no password.
    void Password(ByteArray &arPWord);
    void UseDefaultPWD(bool blnUseDefaultPWD) { useDefaultPwd_ = blnUseDefaultPWD; }

    // Conversions. Trailing blanks of the text results are dropped (stored
    // data made by earlier releases relies on it).
    std::string ByteArrayToString(const ByteArray &arByte) const;
    std::string ConvertByteToHex(const ByteArray &abytData) const;
    // Odd length or a non-hex pair: "Data corrupted" box and "".
    std::string ConvertStringFromHex(std::string_view strHex);
    // Always upper case; the flag is kept for callers that pass it.
    std::string ConvertStringToHex(std::string_view strInput, bool blnRetUppercase = false) const;
    ByteArray StringToByteArray(std::string_view varInput) const;

    // intHashChoice: 1 MD5, 2 MD4, 3 MD2, 4 SHA-1. Hex digits are upper case
    // whatever blnCaseSensitive says. "" on any failure, without a message.
    std::string CreateHash(std::string_view strInText = {}, std::int16_t intHashChoice = 1,
                           bool blnConvertToHex = true, bool blnAppendPassword = false,
                           bool blnCaseSensitive = false);
    std::string CreateRandom(std::int32_t lngDataLength, bool blnExactLength, bool blnHexReturn);
    std::string CreateSaltValue(std::int32_t lngReturnLength = 16,
                                bool blnUseLettersNumbersOnly = true);

    // intHashType as for CreateHash; intCipherType: 1 RC4, 2 RC2, 3 DES,
    // 4 Triple DES, 5 two-key Triple DES (4 and 5 on the enhanced provider only).
    bool Encrypt(std::int16_t intHashType = 1, std::int16_t intCipherType = 1);
    bool Decrypt(std::int16_t intHashType = 1, std::int16_t intCipherType = 1);

    // Uniform in [sngLow, sngHigh).
    float Rnd2(float sngLow, float sngHigh);

private:
    bool acquireProvider();
    void releaseProvider() { context_.reset(); }
    bool crypt(bool encrypting, std::int16_t hashType, std::int16_t cipherType);
    std::string passwordTextForHash();

    Notifier &notifier_;
    // The platform's service: Rnd2's, and the others' unless one was given.
    std::unique_ptr<crypto::Service> randomService_;
    crypto::Service &service_;
    std::unique_ptr<crypto::Context> context_;
    bool enhanced_ = false;
    bool useDefaultPwd_ = true;
    std::string inData_;
    ByteArray outData_;
    ByteArray password_{0};
    // Rnd2's generator, the platform's whatever service runs the rest.
    std::unique_ptr<crypto::Context> random_;
};

} // namespace qm
