// Checks on the text a command or a message produced.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace testing_support {

// Every one of `parts` occurs in `text`.
inline void ExpectContains(const std::string& text, std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) EXPECT_NE(text.find(part), std::string::npos) << part << " in:\n" << text;
}

}  // namespace testing_support
