#include "support/NonsenseWords.h"

namespace testsupport {

std::string Nonsense(int n) {
    std::string word = "zqj";
    do {
        word += static_cast<char>('a' + n % 26);
        n /= 26;
    } while (n > 0);
    return word;
}

}  // namespace testsupport
