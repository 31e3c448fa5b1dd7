// Test bodies that must run in a process of their own: one that changes its user, its mount
// namespace or its resource limits, or may be killed on the way.
#pragma once

#include <functional>
#include <string>

namespace testing_support {

// Runs `body` in a child process and hands back the text it returns, followed by "killed by
// signal N" when the child died of one. A child cannot fail the test itself, so it reports
// in text; by convention "skip: ..." means it could not set itself up.
std::string inChild(const std::function<std::string()>& body);

// For use inside a child: drops root to the unprivileged user "nobody" (uid and gid 65534),
// so that file permissions hold again. True when the process is not root, or no longer is.
bool becomeUnprivileged();

}  // namespace testing_support
