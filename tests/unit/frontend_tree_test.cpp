// The tree builder: operator strength and associativity, the shapes of definitions,
// declarations, control statements and member calls, and the shape checks.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/error.h"
#include "frontend/operators.h"
#include "frontend/tree_builder.h"
#include "frontend/tree_render.h"

namespace kavor {
namespace {

std::string build(const std::string& program) {
  std::vector<std::string> lines(1);
  for (char c : program) {
    if (c == '\n') lines.emplace_back();
    else lines.back() += c;
  }
  try {
    return renderTree(buildTree("t.kv", lines, true).get());
  } catch (const ERROR& error) {
    return "error " + std::to_string(error.line) + ": " + error.message;
  }
}

using Cases = std::vector<std::pair<std::string, std::string>>;

void expectAll(const Cases& cases) {
  for (const auto& [program, expected] : cases) EXPECT_EQ(build(program), expected) << program;
}

TEST(FrontendTree, StrengthAndAssociativity) {
  expectAll({
      {"a + b * c", "[+ a [* b c]]"},
      {"a - b - c", "[- [- a b] c]"},
      {"a = b = c", "[= a [= b c]]"},
      {"a ^ b ^ c", "[^ [^ a b] c]"},
      {"- - a", "[-- _ [-- _ a]]"},
      {"-a + !b * +c", "[+ [-- _ a] [* [! _ b] [++ _ c]]]"},
      {"!a.b && c || d", "[|| [&& [! _ [. a b]] c] d]"},
      {"a, b = c, d", "[= [, a b] [, c d]]"},
      {"x = 1 .. n -> y", "[= x [-> [.. 1 n] y]]"},
      {"a::b::c(1) + d", "[+ a\\x1bb\\x1bc(1) d]"},
      {"x.y:z", "[. x [: y z]]"},
  });
  EXPECT_EQ(operatorStrength(' ', 0), 2);
  EXPECT_EQ(operatorStrength('}', '{'), 0);
  EXPECT_EQ(operatorStrength(':', ':'), 19);
  EXPECT_EQ(operatorStrength('#', 0), -1);
  EXPECT_EQ(operatorStrength('=', '<'), -1);
}

TEST(FrontendTree, Definitions) {
  expectAll({
      {"int a, b", "[' ' int [, a b]]"},
      {"int n = 5", "[' ' int [= n 5]]"},
      {"int:$ a, b", "[:$ int [, a b]]"},
      {"list l.(1, 2, 3)", "[' ' list [. l ([, [, 1 2] 3])]]"},
      {"int n.(5)", "[' ' int [. n (5)]]"},
      {"proc p (int a; str b, c) { x = 1 }",
       "[' ' proc p[){ ([; [' ' int a] [' ' str [, b c]]]) {[= x 1]}]]"},
      {"proc p () {}", "[' ' proc p[){ (#) {#}]]"},
      {"proc p {x}", "[' ' proc p{x}]"},
      {"func f (int a) (int r, s) { r = a }",
       "[' ' func f[){ [)( ([' ' int a]) ([' ' int [, r s]])] {[= r a]}]]"},
      {"proc T:f (int:$ a) {}", "[' ' proc [: T f[){ ([:$ int a]) {#}]]]"},
      {"bigtype T (A, B) { int x }", "[' ' bigtype T[){ ([, A B]) {[' ' int x]}]]"},
      {"need \"a.kv\", app:\"b.kv\"", "[' ' need [, \"a.kv\" [: app \"b.kv\"]]]"},
      {"T += {int y}", "[+= T {[' ' int y]}]"},
  });
  // Spread over indented lines, the same definition builds the same tree.
  EXPECT_EQ(build("func f\n    (int a)\n    (int r, s)\n    {\n        r = a\n    }"),
            build("func f (int a) (int r, s) { r = a }"));
  EXPECT_EQ(build("bigtype T (A, B)\n{\n    int x\n    str y\n}"),
            "[' ' bigtype T[){ ([, A B]) {[' ' [' ' int x] [' ' str y]]}]]");
}

TEST(FrontendTree, ControlStatements) {
  expectAll({
      {"if(c){a}{b}", "if[}{ [){ (c) {a}] {b}]"},
      {"if (c) {a} {b}", "if[}{ [){ (c) {a}] {b}]"},
      {"if(c, {a})", "if([, c {a}])"},
      {"if(a)b", "if[){ (a) {b}]"},
      {"while({c}, {body})", "while([, {c} {body}])"},
      {"for(i, 1 .. 9, {body})", "for([, [, i [.. 1 9]] {body}])"},
      {"for({i = 0}, {i < 3}, {i += 1}, {})", "for([, [, [, {[= i 0]} {[< i 3]}] {[+= i 1]}] {#}])"},
      {"switch(x, { case(1, {a}); case({b}) })", "switch([, x {[; case([, 1 {a}]) case({b})]}])"},
      {"catch(e, {body})", "catch([, e {body}])"},
      {"return(1)", "return(1)"},
  });
  EXPECT_EQ(build("switch(x, {\n    case(1, {a})\n    case({b})\n})"),
            "switch([, x {[; case([, 1 {a}]) case({b})]}])");
  EXPECT_EQ(build("if (c) {\n  a\n}\nelse_is_next_line = 1"),
            "[; if[){ (c) {a}] [= else_is_next_line 1]]");
  EXPECT_EQ(build("if (c) {\n  a\n} {\n  b\n}"), "if[}{ [){ (c) {a}] {b}]");
}

TEST(FrontendTree, MemberCalls) {
  expectAll({
      {"x.f(1)", "[. x f(1)]"},
      {"x.(1, 2)", "[. x ([, 1 2])]"},
      {"s.(x)", "[. s (x)]"},
      {"\"abc\".size()", "[. \"abc\" size(#)]"},
      {"\"%d\"(5)", "\"%d\"(5)"},
      {"l.for(x, {2 * x})", "[. l for([, x {[* 2 x]}])]"},
      {"T:f(1)", "[: T f(1)]"},
      {"p.(move(1), show())", "[. p ([, move(1) show(#)])]"},
      {"x = (a, b).f()", "[= x [. ([, a b]) f(#)]]"},
      {"f(x)(y){z}", "f[){ [)( (x) (y)] {z}]"},
  });
}

TEST(FrontendTree, OperandChecks) {
  expectAll({
      {"a +", "error 1: Non-empty/empty tree left/right of operator '+'"},
      {"x = (= b)", "error 1: Empty/non-empty tree left/right of operator '='"},
      {"x = (+)", "[= x (+)]"},
      {"f(:)", "error 1: Empty tree left of operator ':'"},
      {"a.", "error 1: Empty tree right of operator '.'"},
      {"x = a ->", "error 1: Empty tree right of operator '->'"},
      {"a--b", "error 1: Empty tree left of unary operator '--'"},
      {"y\nx = #!b", "[; y [= x [! # b]]]"},
      {"a.m::b", "error 1: '::'-operator not allowed left/right of operator '.'"},
      {"m::b.c", "error 1: '::'-operator not allowed left/right of operator '.'"},
      {"x = a::5", "error 1: Expect name (of type, variable, procedure or function) right of '::'-operator"},
      {"x = f(1)::a", "error 1: Expect name of module right of '::'-operator"},
      {"x = 5::a::b", "error 1: Expect name of module right of '::'-operator"},
  });
}

TEST(FrontendTree, BracketChecks) {
  expectAll({
      {"{b}", "error 1: Infeasible local block '{..}'"},
      {"x = {b}", "[= x {b}]"},
      {"x = (a)", "error 1: Infeasible round brackets"},
      {"x = (a = b)", "error 1: Infeasible round brackets"},
      {"x = (f(1))", "error 1: Infeasible round brackets"},
      {"x = (a + b) * (\"s\") - (5)", "[= x [- [* ([+ a b]) (\"s\")] (5)]]"},
      {"x = ({a})", "[= x ({a})]"},
      {"x = a\n\n(b)", "[= x a(b)]"},
  });
}

TEST(FrontendTree, ArgumentChecks) {
  expectAll({
      {"f()", "f(#)"},
      {"f(,)", "error 1: Procedure/Function contains too many empty expressions as arguments"},
      {"f(a b)", "error 1: Procedure/Function contains neighboring expressions as arguments"},
      {"f({int a; a = 1}, (b + c))", "f([, {[; [' ' int a] [= a 1]]} ([+ b c])])"},
      {"x = a b", "[' ' [= x a] b]"},
      {"x = a\"x\"", "error 1: Missing operator on right-hand side"},
      {"x = y[1](2)", "error 1: Missing operator on right-hand side"},
  });
}

}  // namespace
}  // namespace kavor
