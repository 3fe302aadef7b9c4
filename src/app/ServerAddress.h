#pragma once
// The maker's web server: where the update check and download go and what the web links open.

namespace zapnix {

// Scheme and host without a trailing slash, such as "http://www.quorb.com". Chosen when the program is
// built (the program reads no arguments and no environment), so that a test build can use a loopback
// address.
const char* ServerBase();

}  // namespace zapnix
