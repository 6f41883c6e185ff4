// Table-driven checks: one row per case, and a failing row names its input.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace testing_support {

template <typename Out, typename In = std::u16string>
struct Row {
  In in;
  Out out;
};

template <typename Out>
struct Row2 {
  std::u16string a, b;
  Out out;
};

// fn(row.in) == row.out for every row.
template <typename Out = std::u16string, typename In = std::u16string, typename Fn>
void ExpectRows(Fn&& fn, std::initializer_list<Row<Out, In>> rows) {
  for (const Row<Out, In>& row : rows) EXPECT_EQ(fn(row.in), row.out) << ::testing::PrintToString(row.in);
}

// fn(row.a, row.b) == row.out for every row.
template <typename Out = std::u16string, typename Fn>
void ExpectRows2(Fn&& fn, std::initializer_list<Row2<Out>> rows) {
  for (const Row2<Out>& row : rows) {
    EXPECT_EQ(fn(row.a, row.b), row.out) << ::testing::PrintToString(row.a) << ", "
                                         << ::testing::PrintToString(row.b);
  }
}

}  // namespace testing_support
