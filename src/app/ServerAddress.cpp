#include "app/ServerAddress.h"

#ifndef ZAPNIX_SERVER_BASE
#error "ZAPNIX_SERVER_BASE is given by the build for each executable"
#endif

namespace zapnix {

const char* ServerBase() {
    return ZAPNIX_SERVER_BASE;
}

}  // namespace zapnix
