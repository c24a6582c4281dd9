// The Mac form's cases on the headless seam.
#include "tests/mac/module/mac_module_cases.h"

namespace glyphoria::mac {

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, MacModuleCases, HeadlessSeamChoice);

}  // namespace glyphoria::mac
