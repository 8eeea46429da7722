#pragma once
// Words that no dictionary knows, for tests that fill personal dictionaries.
#include <string>

namespace testsupport {

// One word per `n`: "zqj" and `n` in letters.
std::string Nonsense(int n);

}  // namespace testsupport
