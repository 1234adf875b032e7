// The link com<n> in the settings folder that leads Com item n to a device.
#pragma once

#include <string>

#include "i18n/Failure.h"

// Points <folder>/com<n> (n 1..10) at target, making the folder when it is missing. The new
// link takes the old one's name in one step, so com<n> always leads either to the old or to
// the new device. A file or folder that stands there instead of a link is the user's and
// is left as it is (NotALink). On failure returns false and says why.
bool WriteComLink(const std::string& folder, int n, const std::string& target,
                  TFailureReport& failure);
