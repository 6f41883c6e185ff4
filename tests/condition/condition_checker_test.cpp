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

Outcome Eval(const std::u16string& expression,
             const std::vector<std::pair<std::u16string, std::u16string>>& params = {}) {
  CConditionChecker checker(expression);
  for (const auto& [name, value] : params) checker.SetParam(name, value);
  const bool value = checker.Evaluate();
  return {value, checker.GetLastError()};
}

constexpr Outcome kTrue{true, 0}, kFalse{false, 0}, kError{false, 2};

}  // namespace

TEST(ConditionChecker, EmptyExpressionHolds) {
  EXPECT_EQ(Eval(u""), kTrue);
  EXPECT_EQ(Eval(u" \t\r\n "), kTrue);
}

TEST(ConditionChecker, BooleanOperatorsAndPrecedence) {
  EXPECT_EQ(Eval(u"true and not false"), kTrue);
  EXPECT_EQ(Eval(u"TRUE OR FALSE AND FALSE"), kTrue);   // AND binds tighter
  EXPECT_EQ(Eval(u"(TRUE OR FALSE) AND FALSE"), kFalse);
  EXPECT_EQ(Eval(u"NOT TRUE = FALSE"), kTrue);           // NOT takes the primary only
  EXPECT_EQ(Eval(u"not not True"), kTrue);
  EXPECT_EQ(Eval(u"FALSE OR FALSE OR TRUE"), kTrue);
  EXPECT_EQ(Eval(u"TRUE AND TRUE AND FALSE"), kFalse);
  EXPECT_EQ(Eval(u"TRUE = TRUE"), kTrue);
  EXPECT_EQ(Eval(u"FALSE = TRUE"), kFalse);
}

TEST(ConditionChecker, ParametersAndStrings) {
  EXPECT_EQ(Eval(u"LANG = \"de\"", {{u"lang", u"DE"}}), kTrue);
  EXPECT_EQ(Eval(u"lang = \"fr\"", {{u"LANG", u"de"}}), kFalse);
  EXPECT_EQ(Eval(u"LANG = \"de\""), kFalse);              // unset: false, no error
  EXPECT_EQ(Eval(u"X = Y"), kFalse);
  EXPECT_EQ(Eval(u"A=\"x\"", {{u"a", u"X"}}), kTrue);      // words end at = ( ) "
  EXPECT_EQ(Eval(u"\"a\"\"b\" = X", {{u"x", u"A\"B"}}), kTrue);
  EXPECT_EQ(Eval(u"\"\" = E", {{u"E", u""}}), kTrue);
  EXPECT_EQ(Eval(u"(A = \"1\") AND (B = \"2\")", {{u"A", u"1"}, {u"B", u"2"}}), kTrue);
  EXPECT_EQ(Eval(u"\"\u00c9T\u00c9\" = \"\u00e9t\u00e9\""), kTrue);  // case-insensitive beyond ASCII
  // A later value replaces an earlier one, whatever the case of the name.
  EXPECT_EQ(Eval(u"v = \"2\"", {{u"v", u"1"}, {u"V", u"2"}}), kTrue);
}

TEST(ConditionChecker, OnlyOneComparisonAndTrailingTokensIgnored) {
  EXPECT_EQ(Eval(u"\"a\" = \"a\" = \"b\""), kTrue);
  EXPECT_EQ(Eval(u"TRUE )"), kTrue);
  EXPECT_EQ(Eval(u"FALSE garbage ("), kFalse);
}

TEST(ConditionChecker, ErrorsMakeItFalse) {
  EXPECT_EQ(Eval(u"LANG", {{u"LANG", u"de"}}), kError);   // a string is no boolean
  EXPECT_EQ(Eval(u"UNSET"), kError);
  EXPECT_EQ(Eval(u"TRUE OR X"), kError);                   // undefined operand of OR
  EXPECT_EQ(Eval(u"NOT X"), kError);
  EXPECT_EQ(Eval(u"(TRUE"), kError);
  EXPECT_EQ(Eval(u"TRUE = \"TRUE\""), kError);             // boolean against string
  EXPECT_EQ(Eval(u"\"abc"), kError);                       // unterminated literal
  EXPECT_EQ(Eval(u"TRUE AND"), kError);
  EXPECT_EQ(Eval(u"= TRUE"), kError);
  EXPECT_EQ(Eval(u")"), kError);
  EXPECT_EQ(Eval(u"TRUE ="), kError);
  EXPECT_EQ(Eval(u"\"x\" OR TRUE"), kError);
}

TEST(ConditionChecker, NestingIsBounded) {
  const int limit = CConditionChecker::kMaxNesting;
  auto nested = [](int depth) {
    return std::u16string(depth, u'(') + u"TRUE" + std::u16string(depth, u')');
  };
  EXPECT_EQ(Eval(nested(limit)), kTrue);
  EXPECT_EQ(Eval(nested(limit + 1)), kError);
  std::u16string nots;
  for (int i = 0; i < limit; ++i) nots += u"NOT ";
  EXPECT_EQ(Eval(nots + u"FALSE"), Outcome({limit % 2 == 1, 0}));
  EXPECT_EQ(Eval(u"NOT " + nots + u"FALSE"), kError);
  // Far deeper than any stack would allow without the bound.
  EXPECT_EQ(Eval(std::u16string(1000000, u'(')), kError);
}

TEST(ConditionChecker, StateAndCopies) {
  CConditionChecker checker(u"X = \"1\"");
  checker.SetParam(u"x", u"1");
  EXPECT_EQ(checker.GetExpression(), u"X = \"1\"");
  EXPECT_TRUE(checker.Evaluate());
  EXPECT_TRUE(checker.Evaluate());  // evaluation can be repeated

  CConditionChecker copy = checker;
  copy.SetParam(u"X", u"2");
  EXPECT_FALSE(copy.Evaluate());
  EXPECT_TRUE(checker.Evaluate());

  checker.SetExpression(u"(");
  EXPECT_FALSE(checker.Evaluate());
  EXPECT_EQ(checker.GetLastError(), CConditionChecker::kNotBoolean);
  checker.SetExpression(u"TRUE");
  EXPECT_EQ(checker.GetLastError(), CConditionChecker::kNoError);
  checker = copy;
  EXPECT_EQ(checker.GetExpression(), u"X = \"1\"");
  EXPECT_FALSE(checker.Evaluate());
}
