//===- signed_setup_check.h - Is a signed file still the setup written? ---===//
// A signing command may only add an Authenticode signature: the certificate
// table at the end of the file (after at most 7 bytes of zero padding), its
// data directory entry and the PE checksum. Anything else, a signature that
// is missing included, means the command did something other than sign.
#ifndef VX_TOOLS_ZVPACK_SIGNED_SETUP_CHECK_H
#define VX_TOOLS_ZVPACK_SIGNED_SETUP_CHECK_H

#include <string>
#include <vector>

namespace zvpack {

// written: the unsigned setup as zvpack wrote it (no certificate table);
// signedFile: the file after the command. True when signedFile is written
// with a certificate table added and each of its archives verifies; else
// false with the reason in *why.
bool CheckSignedSetup(const std::vector<unsigned char>& written, const std::vector<unsigned char>& signedFile,
                      std::string* why);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_SIGNED_SETUP_CHECK_H
