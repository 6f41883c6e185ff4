// CConditionChecker: the small boolean language of condition filters.
//
//   expression := or-expr
//   or-expr    := and-expr { OR and-expr }        all operands boolean
//   and-expr   := compare { AND compare }         all operands boolean
//   compare    := primary [ "=" primary ]         at most one "="
//   primary    := NOT primary | "(" or-expr ")" | "string" | TRUE | FALSE | NAME
//
// Keywords and parameter names are case-insensitive (words are upper-cased
// when read); inside a string literal "" stands for one double quote. A NAME
// that is a set parameter is a string; one that is not is "undefined":
// comparing with it is simply false, any other use of it is an error.
// Strings compare case-insensitively. Tokens after a complete expression are
// not examined ("TRUE )" holds), and an empty or blank expression holds.
//
// Evaluate never throws: a syntax error, a type error or a result that is
// not a boolean makes it return false with GetLastError() == kNotBoolean.
// Nesting of "(" and NOT deeper than kMaxNesting counts as a syntax error,
// so no expression can exhaust the stack: a level costs under 1 KB of stack
// (about 200 KB at the bound in an optimized build), within the smallest
// thread stacks a host is likely to use; real conditions nest a few levels.
//
// The parse state lives in the object: one checker serves one thread at a
// time. Copies are independent.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class CConditionChecker {
 public:
  enum CErrorCode : int32_t {
    kNoError = 0,
    kSyntaxError = 1,  // left by the parser; Evaluate reports it as kNotBoolean
    kNotBoolean = 2,
  };

  static constexpr int kMaxNesting = 256;

  explicit CConditionChecker(const std::u16string& expression = std::u16string());

  // Replaces the expression and clears the error code.
  void SetExpression(const std::u16string& expression);
  std::u16string GetExpression() const { return expression_; }

  // Stores `value` under the upper-case form of `name`.
  void SetParam(const std::u16string& name, const std::u16string& value);

  bool Evaluate();
  CErrorCode GetLastError() const { return error_; }

 private:
  enum TokenType {
    kErrorToken = 0,  // a string literal without its closing quote
    kEnd = 1,
    kName = 2,
    kStringLiteral = 3,
    kEquals = 4,
    kNot = 5,
    kOr = 6,
    kAnd = 7,
    kOpen = 8,
    kClose = 9,
  };

  struct CToken {
    int type = kErrorToken;
    std::u16string text;  // the upper-case word, or the literal's characters
  };

  enum ResultKind { kInvalid = 0, kBoolean = 1, kString = 2, kUndefined = 3 };

  struct CExprRes {
    int kind = kInvalid;
    std::u16string text;
    bool flag = false;
  };

  CToken GetNextToken(int& pos) const;
  void GetNextToken();

  CExprRes ParseLevel1();  // OR
  CExprRes ParseLevel2();  // AND
  CExprRes ParseLevel3();  // =
  CExprRes ParseLevel4();  // primary
  CExprRes Compare(const CExprRes& a, const CExprRes& b) const;

  // One chain of a boolean operator over operands of the next level.
  CExprRes ParseChain(int op, CExprRes (CConditionChecker::*operand)());
  // Marks a syntax error; the invalid result to return.
  CExprRes Invalid();

  std::map<std::u16string, std::u16string> params_;
  std::u16string expression_;
  CErrorCode error_ = kNoError;
  int pos_ = 0;
  CToken token_;
  int depth_ = 0;  // "(" and NOT being parsed, bounded by kMaxNesting
};
