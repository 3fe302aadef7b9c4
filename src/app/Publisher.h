#pragma once
// The maker of Zapnix as the program knows it: the web server that the update check, the download and
// the web links go to, and the public key that its packages are signed with. Both are chosen when the
// program is built (the program reads no arguments and no environment), so that a test build can ask a
// loopback server and trust a test key.

#include "update/PackageSignature.h"

namespace zapnix {

// Scheme and host without a trailing slash, such as "http://www.quorb.com".
const char* ServerBase();

// The publisher's public key that packages are signed with.
const PublicKey& ReleasePublicKey();

}  // namespace zapnix
