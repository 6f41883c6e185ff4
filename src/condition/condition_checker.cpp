#include "locmodel/condition/condition_checker.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace {

// Whole-string case conversion in the root locale: the same text maps the
// same way on every machine, whatever the user's locale.
std::u16string ToUpper(const std::u16string& s) {
  icu::UnicodeString u(s.data(), static_cast<int32_t>(s.size()));
  u.toUpper(icu::Locale::getRoot());
  return std::u16string(u.getBuffer(), static_cast<size_t>(u.length()));
}

std::u16string ToLower(const std::u16string& s) {
  icu::UnicodeString u(s.data(), static_cast<int32_t>(s.size()));
  u.toLower(icu::Locale::getRoot());
  return std::u16string(u.getBuffer(), static_cast<size_t>(u.length()));
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

bool EndsWord(char16_t c) {
  return IsBlank(c) || c == u'=' || c == u'(' || c == u')' || c == u'"';
}

}  // namespace

CConditionChecker::CConditionChecker(const std::u16string& expression)
    : expression_(expression) {}

void CConditionChecker::SetExpression(const std::u16string& expression) {
  expression_ = expression;
  error_ = kNoError;
}

void CConditionChecker::SetParam(const std::u16string& name, const std::u16string& value) {
  params_[ToUpper(name)] = value;
}

bool CConditionChecker::Evaluate() {
  error_ = kNoError;
  pos_ = 0;
  depth_ = 0;
  GetNextToken();
  if (token_.type == kEnd) return true;
  const CExprRes result = ParseLevel1();
  if (result.kind == kBoolean) return result.flag;
  error_ = kNotBoolean;
  return false;
}

CConditionChecker::CToken CConditionChecker::GetNextToken(int& pos) const {
  const std::u16string& e = expression_;
  const int n = static_cast<int>(e.size());
  while (pos < n && IsBlank(e[pos])) ++pos;
  CToken token;
  if (pos == n) {
    token.type = kEnd;
    return token;
  }
  const char16_t c = e[pos++];
  switch (c) {
    case u'=': token.type = kEquals; return token;
    case u'(': token.type = kOpen; return token;
    case u')': token.type = kClose; return token;
    case u'"':
      for (;;) {
        if (pos == n) return CToken{};  // no closing quote
        const char16_t d = e[pos++];
        if (d != u'"') {
          token.text.push_back(d);
        } else if (pos < n && e[pos] == u'"') {
          token.text.push_back(u'"');
          ++pos;
        } else {
          token.type = kStringLiteral;
          return token;
        }
      }
    default: break;
  }
  const int start = pos - 1;
  while (pos < n && !EndsWord(e[pos])) ++pos;
  token.text = ToUpper(e.substr(start, pos - start));
  if (token.text == u"OR") token = CToken{kOr, {}};
  else if (token.text == u"AND") token = CToken{kAnd, {}};
  else if (token.text == u"NOT") token = CToken{kNot, {}};
  else token.type = kName;
  return token;
}

void CConditionChecker::GetNextToken() { token_ = GetNextToken(pos_); }

CConditionChecker::CExprRes CConditionChecker::Invalid() {
  error_ = kSyntaxError;
  return CExprRes{};
}

CConditionChecker::CExprRes CConditionChecker::ParseChain(int op,
                                                          CExprRes (CConditionChecker::*operand)()) {
  CExprRes result = (this->*operand)();
  if (token_.type != op) return result;
  // Every operand is parsed even when the value is already known: the
  // tokens must be consumed and a type error anywhere still counts.
  bool all_boolean = result.kind == kBoolean;
  bool value = result.flag;
  while (token_.type == op) {
    GetNextToken();
    const CExprRes next = (this->*operand)();
    all_boolean = all_boolean && next.kind == kBoolean;
    value = op == kOr ? (value || next.flag) : (value && next.flag);
  }
  if (!all_boolean) return Invalid();
  return CExprRes{kBoolean, {}, value};
}

CConditionChecker::CExprRes CConditionChecker::ParseLevel1() {
  return ParseChain(kOr, &CConditionChecker::ParseLevel2);
}

CConditionChecker::CExprRes CConditionChecker::ParseLevel2() {
  return ParseChain(kAnd, &CConditionChecker::ParseLevel3);
}

CConditionChecker::CExprRes CConditionChecker::ParseLevel3() {
  const CExprRes left = ParseLevel4();
  if (token_.type != kEquals) return left;
  GetNextToken();
  return Compare(left, ParseLevel4());
}

CConditionChecker::CExprRes CConditionChecker::ParseLevel4() {
  CExprRes result;
  switch (token_.type) {
    case kNot:
    case kOpen: {
      if (depth_ >= kMaxNesting) return Invalid();
      const bool negate = token_.type == kNot;
      GetNextToken();
      ++depth_;
      result = negate ? ParseLevel4() : ParseLevel1();
      --depth_;
      if (negate) {
        if (result.kind != kBoolean) return Invalid();
        result.flag = !result.flag;
        return result;
      }
      if (token_.type != kClose) return Invalid();
      GetNextToken();
      return result;
    }
    case kStringLiteral:
      result = CExprRes{kString, token_.text, false};
      break;
    case kName:
      if (token_.text == u"TRUE" || token_.text == u"FALSE") {
        result = CExprRes{kBoolean, {}, token_.text == u"TRUE"};
      } else if (const auto it = params_.find(token_.text); it != params_.end()) {
        result = CExprRes{kString, it->second, false};
      } else {
        result.kind = kUndefined;
      }
      break;
    default:
      return Invalid();  // the token stays for the caller
  }
  GetNextToken();
  return result;
}

CConditionChecker::CExprRes CConditionChecker::Compare(const CExprRes& a,
                                                       const CExprRes& b) const {
  if (a.kind == kInvalid || b.kind == kInvalid) return CExprRes{};
  if (a.kind == kUndefined || b.kind == kUndefined) return CExprRes{kBoolean, {}, false};
  if (a.kind == kBoolean && b.kind == kBoolean) return CExprRes{kBoolean, {}, a.flag == b.flag};
  if (a.kind == kString && b.kind == kString)
    return CExprRes{kBoolean, {}, ToLower(a.text) == ToLower(b.text)};
  return CExprRes{};
}
