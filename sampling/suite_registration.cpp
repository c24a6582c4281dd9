#include "sampling/suite_registration.h"

#include "host/sdk/selection.h"
#include "sampling/selection_suite.h"

namespace glyphoria {

ErrorCode RegisterSamplingImplementations(IImplementationRegistry* registry) {
    if (!registry) return kFailure;
    ErrorCode result = RegisterImplementationOf<MySuiteASB>(registry, kMySuiteASBImpl);
    if (result == kSuccess)
        result = RegisterImplementationOf<MySuiteLayoutCSB>(registry, kMySuiteLayoutCSBImpl);
    if (result == kSuccess) {
        result = RegisterImplementationOf<SelectionExt<MySuiteLayoutCSB>>(registry,
                                                                          kMySuiteLayoutExtImpl);
    }
    return result;
}

const char* SamplingResourceAddIns() {
    return R"({"to": "abstract-selection", "interfaces": [{"iid": "0x159840", "impl": "0x159845"}]},
    {"to": "layout-selection", "interfaces": [
      {"iid": "0x159840", "impl": "0x159847"},
      {"iid": "IID_ISELECTIONEXTENSION", "impl": "0x159848"}]})";
}

}  // namespace glyphoria
