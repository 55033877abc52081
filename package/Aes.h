// The AES block cipher (128-, 192- and 256-bit keys), each 16-byte block on its own. It
// runs on the processor's AES instructions where there are any, and in plain code
// elsewhere. A general-purpose library would bring its whole interface for this one
// transform: four tenths of setup.exe.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qe {

class TAes {
public:
    static constexpr int BlockSize = 16;

    // KeySize is 16, 24 or 32 (callers check it). UseInstructions false keeps to the
    // plain code, for the tests that compare the two.
    TAes(const uint8_t* Key, int KeySize, bool UseInstructions = true);

    // Blocks whole blocks of In to Out; the two may be the same but not overlap otherwise.
    void EncryptBlocks(const uint8_t* In, uint8_t* Out, size_t Blocks) const;
    void DecryptBlocks(const uint8_t* In, uint8_t* Out, size_t Blocks) const;

    // Whether this processor has the AES instructions.
    static bool ProcessorHasInstructions();

private:
    int FRounds;
    bool FUseInstructions;
    uint8_t FEncryptKeys[15][BlockSize] = {};
    uint8_t FDecryptKeys[15][BlockSize] = {}; // for the instructions' inverse rounds
};

} // namespace qe
