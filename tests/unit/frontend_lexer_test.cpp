// The lexer seen through the trees it leads to: comments, continuation, line ends,
// indentation, implicit blocks, literals, brackets, operators and the adjacency rule.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/error.h"
#include "frontend/tree_builder.h"
#include "frontend/tree_render.h"

namespace kavor {
namespace {

// The rendered tree, or "error <line>: <message>".
std::string build(const std::string& program, bool mainFile = true) {
  std::vector<std::string> lines(1);
  for (char c : program) {
    if (c == '\n') lines.emplace_back();
    else lines.back() += c;
  }
  try {
    return renderTree(buildTree("t.kv", lines, mainFile).get());
  } catch (const ERROR& error) {
    EXPECT_EQ(error.kind, ErrorKind::Syntax);
    EXPECT_EQ(error.file, "t.kv");
    return "error " + std::to_string(error.line) + ": " + error.message;
  }
}

using Cases = std::vector<std::pair<std::string, std::string>>;

void expectAll(const Cases& cases) {
  for (const auto& [program, expected] : cases) EXPECT_EQ(build(program), expected) << program;
}

TEST(FrontendLexer, Comments) {
  expectAll({
      {"a #( one #( two )# still )# b", "[' ' a b]"},
      {"a\n#( open\n#( inner\n)#\n", "error 2: Comment without closing ')#'"},
      {"a # rest ( ignored\nb", "[; a b]"},
      {"a ## rest\nb", "[; a b]"},
      {"a #\nb", "[; a b]"},
      {"a\t# tab\nb", "[; a b]"},
      {"x = #y", "error 1: Missing operator on right-hand side"},  // "#" before a letter stays
      {"x = \"#( no comment\"", "[= x \"#( no comment\"]"},
      {"# only\n#( a comment )#\n", "null"},
      {"", "null"},
  });
  EXPECT_EQ(build("#!/usr/bin/kavor\na"), "a");
  EXPECT_EQ(build("#!/usr/bin/kavor\na", false), "error 1: Unknown operator '!/'");
}

TEST(FrontendLexer, ContinuationKeepsPhysicalLines) {
  expectAll({
      {"x = 1 + \\\n  2", "[= x [+ 1 2]]"},
      {"x = 1 + \\# why\n  2", "[= x [+ 1 2]]"},
      {"x = 1 \\\n+ 2 \\\n+ 3\ny = (", "error 4: Round bracket without closing ')'"},
      {"x = 1\r\ny = 2\r", "[; [= x 1] [= y 2]]"},
  });
}

TEST(FrontendLexer, LineEnds) {
  expectAll({
      {"a\nb", "[; a b]"},
      {"a +\nb", "[+ a b]"},
      {"a\n+ b", "[+ a b]"},
      {"f(a,\nb)", "f([, a b])"},
      {"if(c){a}\n{b}", "if[}{ [){ (c) {a}] {b}]"},
      {"x = 1   # trailing blanks and comment\ny = 2", "[; [= x 1] [= y 2]]"},
      {"x = 1\n\n   \n# note\n#( block\n )#\ny = 2", "[; [= x 1] [= y 2]]"},
      {"x = 1;\ny = 2;", "[; [; [= x 1] [= y 2]] _]"},
      {"\n   x = 1\n   y", "[; [= x 1] y]"},
  });
}

TEST(FrontendLexer, IndentedLines) {
  expectAll({
      {"outl(a)\n    b = 1", "[; outl(a) [= b 1]]"},
      {"x = 5\n  y = 2", "[; [= x 5] [= y 2]]"},
      {"s = \"a\"\n  t = 1", "[; [= s \"a\"] [= t 1]]"},
      {"int\n    a, b", "[' ' int [, a b]]"},
      {"x = a\n    y = 2", "[' ' [= x a] [= y 2]]"},
      {"if(c){a}\n    {b}", "if[}{ [){ (c) {a}] {b}]"},
      {"proc p\n    (int a)\n    {\n        a = 1\n        outl(a)\n    }",
       "[' ' proc p[){ ([' ' int a]) {[; [= a 1] outl(a)]}]]"},
      {"x = 1 +\n\n    # comment between\n    2", "[= x [+ 1 2]]"},
  });
}

TEST(FrontendLexer, ImplicitBlocks) {
  expectAll({
      {"if(a)outl(1)", "if[){ (a) {outl(1)}]"},
      {"if(a)x = 1; y = 2\nz = 3", "[; if[){ (a) {[; [= x 1] [= y 2]]}] [= z 3]]"},
      {"if(a)if(b)c\nd", "[; if[){ (a) {if[){ (b) {c}]}] d]"},
      {"w({if(a)b}, c)", "w([, {if[){ (a) {b}]} c])"},
      {"if(a)\"s\"", "if[){ (a) {\"s\"}]"},
      {"if(a)f(1,\n  2)\nd", "[; if[){ (a) {f([, 1 2])}] d]"},
      {"if(a)x = 1 +\n  2\ny", "[; if[){ (a) {[= x [+ 1 2]]}] y]"},
      {"if(a)x = 1;\ny", "[; if[){ (a) {[; [= x 1] _]}] y]"},
      {"if(a)b\n{c}", "if[}{ [){ (a) {b}] {c}]"},
      {"if(a) b", "error 1: Name after Bracket"},  // only a ")" directly before the text
      {"if(a)\nb", "[; if(a) b]"},
  });
}

TEST(FrontendLexer, Literals) {
  expectAll({
      {"x = \"a\\\"b\\\\\"", "[= x \"a\\x22b\\x5c\"]"},
      {"x = \"\\t\\n\\0\\a\\r\\b\\f\\v\\'\"", "[= x \"\\x09\\x0a\\xff\\x07\\x0d\\x08\\x0c\\x0b'\"]"},
      {"x = '\\0'", "[= x '\\xff']"},
      {"x = \"ab\\\ncd\"", "[= x \"abcd\"]"},
      {"x = \"ab\ncd\"\ny = 1", "[; [= x \"ab\\x0acd\"] [= y 1]]"},
      {"x = \"a\\q\"",
       "error 1: Unknown escape sequence (feasible are \\', \\\", \\t, \\n, \\f, \\v, \\0, \\a, \\r, "
       "\\b and \\\\)"},
      {"x = ''", "error 1: Infeasible character constant (except exactly one character)"},
      {"x = 'a", "error 1: Character constant without closing '''"},
      {"x = \"it's\"", "[= x \"it's\"]"},
      {"x = 1.5e3 + 2E-4 + 7e+1 + 1.e5", "[= x [+ [+ [+ 1.5e3 2E-4] 7e+1] 1.e5]]"},
      {"x = 1..5 + 5.size()", "[= x [.. 1 [+ 5 [. 5 size(#)]]]]"},
  });
}

TEST(FrontendLexer, Brackets) {
  expectAll({
      {"a)", "error 1: Redundant bracket ')'"},
      {"a}", "error 1: Redundant bracket '}'"},
      {"a]", "error 1: Redundant bracket ']'"},
      {"(a}", "error 1: bracket '}': Previous bracket is '(' instead of '{'"},
      {"(a]", "error 1: Bracket ']': Previous bracket is '(' instead of '['"},
      {"x[[1]]", "error 1: Infeasible double bracket '[['"},
      {"x = (\n\na", "error 1: Round bracket without closing ')'"},
      {"x = [a", "error 1: Squared bracket without closing ']'"},
      {"l[1] = x.y[2][3]", "[= [[] l 1] [. x [[] [[] y 2] 3]]]"},
      {"x = [1, 2]", "[= x [[] _ [, 1 2]]]"},
  });
}

TEST(FrontendLexer, OperatorsAndAdjacency) {
  expectAll({
      {"x=-1", "[= x [-- _ 1]]"},
      {"f(a,-1)", "f([, a [-- _ 1]])"},
      {"f(+, <=)", "f([, + <=])"},
      {"a;;b", "error 1: Unknown operator ';;'"},
      {"a = = b", "error 1: Operator after Operator"},
      {"x = 5 a", "error 1: Name after Number"},
      {"x = \"a\" b", "error 1: Name after String"},
      {"x = 'a'(1)", "error 1: Bracket after Character"},
      {"x = !-a", "error 1: '-'-Operator after '!'-Operator"},
      {"x = -!a", "error 1: '!'-Operator after '-'-Operator"},
      {"x = (a) b", "error 1: Name after Bracket"},
      {"x = a \x01", "error 1: Unknown character '\x01'"},
  });
}

}  // namespace
}  // namespace kavor
