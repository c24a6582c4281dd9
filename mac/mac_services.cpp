#include "mac/mac_services.h"

namespace glyphoria::mac {

namespace {
MacServices& Slot() {
    static MacServices services;
    return services;
}
}  // namespace

void SetMacServices(const MacServices& services) {
    Slot() = services;
}
const MacServices& Services() {
    return Slot();
}

}  // namespace glyphoria::mac
