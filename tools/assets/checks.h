#pragma once
#include <string>

// Checks every frame and icon under a resources folder; prints each fault and returns the number of faults.
int checkResources(const std::string& resourcesDir);
