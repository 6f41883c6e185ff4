#include "locmodel/condition/condition_checker.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Outcome {
  bool value;
  int error;
  bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
  return os << (o.value ? "true" : "false") << " (error " << o.error << ")";
}

using Params = std::vector<std::pair<std::u16string, std::u16string>>;

Outcome Eval(const std::u16string& expression, const Params& params = {}) {
  CConditionChecker checker(expression);
  for (const auto& [name, value] : params) checker.SetParam(name, value);
  const bool value = checker.Evaluate();
  return {value, checker.GetLastError()};
}

constexpr Outcome kTrue{true, 0}, kFalse{false, 0}, kError{false, 2};

struct Case {
  std::u16string expression;
  Outcome want;
  Params params = {};
};

void ExpectOutcomes(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(Eval(c.expression, c.params), c.want) << testing::PrintToString(c.expression);
}

}  // namespace

TEST(ConditionChecker, OperatorsPrecedenceAndParameters) {
  ExpectOutcomes({
      {u"", kTrue}, {u" \t\r\n ", kTrue},  // an empty expression holds
      {u"true and not false", kTrue}, {u"TRUE OR FALSE AND FALSE", kTrue},  // AND binds tighter
      {u"(TRUE OR FALSE) AND FALSE", kFalse}, {u"NOT TRUE = FALSE", kTrue},  // NOT takes the primary only
      {u"not not True", kTrue}, {u"FALSE OR FALSE OR TRUE", kTrue}, {u"TRUE AND TRUE AND FALSE", kFalse},
      {u"TRUE = TRUE", kTrue}, {u"FALSE = TRUE", kFalse},
      // Names compare without case; unset names are false without error.
      {u"LANG = \"de\"", kTrue, {{u"lang", u"DE"}}}, {u"lang = \"fr\"", kFalse, {{u"LANG", u"de"}}},
      {u"LANG = \"de\"", kFalse}, {u"X = Y", kFalse},
      {u"A=\"x\"", kTrue, {{u"a", u"X"}}},  // words end at = ( ) "
      {u"\"a\"\"b\" = X", kTrue, {{u"x", u"A\"B"}}}, {u"\"\" = E", kTrue, {{u"E", u""}}},
      {u"(A = \"1\") AND (B = \"2\")", kTrue, {{u"A", u"1"}, {u"B", u"2"}}},
      {u"\"\u00c9T\u00c9\" = \"\u00e9t\u00e9\"", kTrue},  // case-insensitive beyond ASCII
      {u"v = \"2\"", kTrue, {{u"v", u"1"}, {u"V", u"2"}}},  // a later value replaces an earlier one
      // Only one comparison; trailing tokens are ignored.
      {u"\"a\" = \"a\" = \"b\"", kTrue}, {u"TRUE )", kTrue}, {u"FALSE garbage (", kFalse},
  });
}

TEST(ConditionChecker, ErrorsMakeItFalse) {
  ExpectOutcomes({
      {u"LANG", kError, {{u"LANG", u"de"}}},  // a string is no boolean
      {u"UNSET", kError}, {u"TRUE OR X", kError}, {u"NOT X", kError}, {u"(TRUE", kError},
      {u"TRUE = \"TRUE\"", kError}, {u"\"abc", kError}, {u"TRUE AND", kError}, {u"= TRUE", kError},
      {u")", kError}, {u"TRUE =", kError}, {u"\"x\" OR TRUE", kError},
  });
}

TEST(ConditionChecker, NestingIsBounded) {
  const int limit = CConditionChecker::kMaxNesting;
  auto nested = [](int depth) { return std::u16string(depth, u'(') + u"TRUE" + std::u16string(depth, u')'); };
  std::u16string nots;
  for (int i = 0; i < limit; ++i) nots += u"NOT ";
  ExpectOutcomes({{nested(limit), kTrue}, {nested(limit + 1), kError},
                  {nots + u"FALSE", {limit % 2 == 1, 0}}, {u"NOT " + nots + u"FALSE", kError},
                  // Far deeper than any stack would allow without the bound.
                  {std::u16string(1000000, u'('), kError}});
}

// Each evaluation starts over; a new expression clears the last error.
TEST(ConditionChecker, EvaluationCanBeRepeatedAndErrorsReset) {
  CConditionChecker checker(u"X = \"1\"");
  checker.SetParam(u"x", u"1");
  EXPECT_EQ(checker.GetExpression(), u"X = \"1\"");
  EXPECT_TRUE(checker.Evaluate());
  EXPECT_TRUE(checker.Evaluate());
  checker.SetExpression(u"(");
  EXPECT_FALSE(checker.Evaluate());
  EXPECT_EQ(checker.GetLastError(), CConditionChecker::kNotBoolean);
  checker.SetExpression(u"TRUE");
  EXPECT_EQ(checker.GetLastError(), CConditionChecker::kNoError);
}
