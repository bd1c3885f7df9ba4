#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace tarnwick::testing {

// Names a parameterised case after its `label`: "null notes and unknown keys" becomes
// null_notes_and_unknown_keys in the test's name.
template <typename Case>
std::string labelTestName(const ::testing::TestParamInfo<Case> &info)
{
    std::string name = info.param.label;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

}  // namespace tarnwick::testing
