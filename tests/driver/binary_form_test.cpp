// The binary object form: the bytes -ob writes, values read back with -ib in another run,
// shared parts that stay shared, and every refusal of writer and reader.
#include <algorithm>

#include "kavor_process.h"

namespace kavor_test {
namespace {

// Declares and fills one variable of every type that has a binary form; both the writing
// and the reading program build them, so the reader can compare.
const std::string kValues =
    "bool t, e\nt = true\nchar c, x\nc = 'a'\nint i, big, ei\ni = -123\nbig = 10^30\n"
    "real r, er\nr = 2.5\nr /= 3\nstr s, es\ns = \"a\\0b\"\noper o\no = (+=)\n"
    "date d = date(\"2024-03-05\")\ndate df = date(\"2024-12-24\")\ndf.set_fmt(\"D.M.Y\")\n"
    "time tm = time(3661)\ntimezone tz = timezone(\"-09:45\")\n"
    "datetime dt = datetime(\"2024-03-05 10:20:30 +05:30\")\nerror er2 = error(\"disk: full\")\n"
    "list l\nl = 1, \"x\", 2.5\nlist nest\nnest = l, list(3, list(4, 5)), true\nargs ar\n"
    "hash h\nh[\"a\"] = 1\nh[5] = l\nh[list(1, 2)] = \"k\"\nset m = set(3, \"y\", 'z')\n"
    "array a = array(4)\na.set(1, 7)\na.set(3, \"w\")\narray2 z = array2(2, 3)\nz.set(1, 2, 8)\n";
const char* kNames[] = {"t", "e", "c", "x", "i", "big", "ei", "r", "er", "s", "es", "o", "d", "df", "tm", "tz",
                        "dt", "er2", "l", "nest", "ar", "h", "m", "a", "z"};

class BinaryFormTest : public KavorTest {
 protected:
  // Runs `program` with its standard output written in binary to out.bin; the bytes.
  std::string written(const std::string& program) {
    write("p.kv", program);
    Outcome run = kavor({"-ob", "out.bin", "p.kv"});
    EXPECT_EQ(run.output, "");
    return read("out.bin");
  }
  // Runs `program` reading `bytes` as binary input; what it prints.
  Outcome reading(const std::string& bytes, const std::string& program) {
    write("in.bin", bytes);
    write("p.kv", program);
    return kavor({"-ib", "in.bin", "p.kv"});
  }
};

TEST_F(BinaryFormTest, ExactBytesOfEveryItem) {
  EXPECT_EQ(written(kValues + "pout(t, e, c, x, i, ei, r, er, s, es, o)"),
            std::string("b1b2caxi-123iiir0.83333333rrrs3sa\0bs0so+=o", 42));
  EXPECT_EQ(written(kValues + "error ee\npout(d, df, tm, tz, dt, er2, ee)"),
            "010.2024-03-05016.2024-12-24 D.M.Yt01:01:01t26.-09:45426.2024-03-05 10:20:30 +05:30"
            "e20eu:p.kv:21:disk: fulle5eu::0:");
  EXPECT_EQ(written(kValues + "array2 ez\npout(l, ar, m, a, z, ez)"),
            "l3li1is1sxr2.5ry0ym3ms1syczi3ia4avi7ivs1swz2z3zvvvvvi8iz0z0z");
  // Hash entries go in bucket order, whatever order they were inserted in.
  EXPECT_EQ(written("hash h\nh[\"b\"] = 2\nh[\"a\"] = 1\nh[\"\"] = 0\npout(h)"), "h3hs1sai1is0si0is1sbi2i");
  // Two references to the same element: the element once, numbered, and the references by
  // its number; numbers follow the order in which references are met.
  EXPECT_EQ(written("list m\nm = 5, 6\nany r, q\nr @ m.get(1)\nq @ m.get(0)\nm.Ins0(r, q, r)\npout(m)"),
            "l5l$2$i5i$1$i6i@1@@2@@1@");
  // outl ends each item with a line end; separators and formats do not apply.
  EXPECT_EQ(written("set_out_spc(\",\")\nset_out_fmt(\"+6\")\nout(1, 2)\noutl(\"a\")"), "i1ii2is1sa\n");
  // -Ob appends to what an earlier run wrote.
  write("q.kv", "pout(true)");
  EXPECT_EQ(kavor({"-Ob", "out.bin", "q.kv"}).status, 0);
  EXPECT_EQ(read("out.bin"), "i1ii2is1sa\nb1");
}

TEST_F(BinaryFormTest, EveryValueRoundTrips) {
  std::string names;
  for (const char* name : kNames) names += std::string(names.empty() ? "" : ", ") + name;
  std::string bytes = written(kValues + "outl(" + names + ")\n");
  // The reader builds the same values and reads into variables of the same types.
  std::string program = kValues, reads, checks;
  for (const char* name : kNames) {
    reads += std::string(reads.empty() ? "" : ", ") + "v_" + name;
    checks += std::string(checks.empty() ? "" : ", ") + "v_" + name + " == " + name;
  }
  // Declarations of the reading variables by the types of the written ones.
  const std::string types[] = {"bool", "bool", "char", "char", "int", "int", "int", "real", "real", "str", "str",
                               "oper", "date", "date", "time", "timezone", "datetime", "error", "list", "list",
                               "args", "hash", "set", "array", "array2"};
  for (size_t k = 0; k < std::size(kNames); ++k) program += types[k] + " v_" + kNames[k] + "\n";
  program += "outl(in(" + reads + "))\noutl(" + checks + ")\noutl(v_df, v_s.size(), v_nest, v_h)\n";
  Outcome run = reading(bytes, program);
  EXPECT_EQ(run.output, "true\n" + [] {
    std::string all;
    for (size_t k = 0; k < std::size(kNames); ++k) all += "true";
    return all;
  }() + "\n24.12.20243((1,x,2.5),(3,(4,5)),true)[a->1,(1,2)->k,5->(1,x,2.5)]\n");
  EXPECT_EQ(run.status, 0);
}

TEST_F(BinaryFormTest, SharedPartsStaySharedAfterReading) {
  std::string bytes = written(
      "list m\nm = 5, list(6, 7)\nany r\nr @ m.get(0)\nm.Ins0(r)\nr @ m.get(1).get(1)\nm.Ins0(r)\npout(m)");
  EXPECT_EQ(bytes, "l4l$1$i5il2li6i$2$i7i@1@@2@");
  Outcome run = reading(bytes, "list m\nin(m)\nm.set(0, 50)\nm.get(1).set(1, 70)\noutl(m)");
  EXPECT_EQ(run.output, "(50,(6,70),50,70)\n");
  // A list holding a reference to itself: after reading, to the variable read into.
  EXPECT_EQ(written("list l\nl = 1\nany r\nr @ l\nl.Ins0(r)\npout(l)"), "$1$l2li1i@1@");
  run = reading("$1$l2li1i@1@", "list l\nin(l)\nl.set(0, 5)\noutl(l)");
  EXPECT_EQ(run.output, "(5,..)\n");
  // A reference may come before the part it refers to.
  run = reading("l2l@1@$1$s1sa", "list l\nin(l)\nl.set(1, \"b\")\noutl(l)");
  EXPECT_EQ(run.output, "(b,b)\n");
}

// Graphs: edge ends first, then node values, then edge values in chain order; parallel
// edges keep their order and a reference to an edge value stays one after reading.
TEST_F(BinaryFormTest, GraphsRoundTripWithParallelEdges) {
  std::string bytes = written(
      "list l\nl = graph(\"a\", list(1, 2), 3), 0\n"
      "l.get(0).ins(true, 0, 1, 5, 0, 1, 7, 2, 2, \"loop\", 0, 1, 6)\n"
      "any r\nr @ l.get(0).graph(0, 1, 1)\nl.set(1, r)\npout(l, graph())");
  EXPECT_EQ(bytes, "l2lg3g4g0&1&0&1&2&2&0&1&s1sal2li1ii2ii3ii5i$1$i7is4sloopi6i@1@g0g0g");
  Outcome run = reading(bytes, "list l\ngraph e\noutl(in(l, e), \" \", e.size(false))\n"
                               "l.get(1) = 70\noutl(l, \" \", l.get(0).graph(0, 1))\n");
  EXPECT_EQ(run.output, "true 0\n((a,(1,2),3){0->1:5,0->1:70,2->2:loop,0->1:6},70) 5706\n");
  // An edge end beyond the nodes, and a graph cut short inside its edge records.
  const std::string one = "error err\ngraph g\nin(g)\ncatch(err, {outl(err)})\noutl(g)\n";
  EXPECT_EQ(reading("g2g1g0&2&i1ii2ii3i", one).output,
            "Procedure 'sys:in': Binary input malformed at byte 9 of the value\n(){}\n");
  EXPECT_EQ(reading("g2g1g0&", one).output, "Procedure 'sys:in': Binary input ends inside a value\n(){}\n");
}

// Values of the program's own types: the type is named (with its layout) once per value and
// numbered after that; another program with the same types reads them back member by member,
// references between members included.
TEST_F(BinaryFormTest, UserValuesRoundTripBetweenPrograms) {
  const std::string types = "bigtype Point { int x; any y }\nbigtype Named (Point) { str name; list tags }\n";
  std::string bytes = written(types +
                              "Point p\np.x = 3\nNamed n\nn.name = \"a\\0b\"\nn.tags = 1, p, p\n"
                              "n.y @ n.tags.get(0)\npout(n, p)");
  EXPECT_EQ(bytes, std::string("k1kNamed:2:2:2:s3sa\0bl3l$1$i1ik2kPoint:1:2:i3ivk2ki3ivii@1@k1kPoint:1:2:i3iv", 76));
  Outcome run = reading(bytes, types +
                                   "Named n\nPoint p\nin(n, p)\nn.tags.set(0, 8)\n"
                                   "outl(n.tags, \" \", n.y, \" \", n.name.size(), \" \", p)\n");
  EXPECT_EQ(run.output, "(8,<3,>,<3,>) 8 3 <3,>\n");
  // A type with no members of its own has an empty group, which is read as one.
  const std::string bare = types + "bigtype Bare (Point) { proc hi { outl(\"hi\") } }\n";
  bytes = written(bare + "Bare b\nb.x = 4\npout(b)");
  EXPECT_EQ(bytes, "k1kBare:2:0:2:i4iv");
  EXPECT_EQ(reading(bytes, bare + "Bare b\nin(b)\noutl(b)\nb.hi()\n").output, "<;4,>\nhi\n");
  // A type the reader lacks or has with other members, a member of another type, a Named
  // where a Point is wanted: each refused once the value is read whole, so reading goes on.
  const std::string reads = types + "error err\nPoint p\nbool more = true\nwhile({more}, {\n"
                                    "  more = in(p)\n  if(more){outl(p)}\n  catch(err, {outl(err)\nmore = true})\n})\n";
  EXPECT_EQ(reading("k1kLine:1:1:i1i k1kPoint:1:3:i1ii2ii3i k1kPoint:1:2:s1sai2i "
                    "k1kNamed:2:2:2:s0sl0li1ii2i k1kPoint:1:2:i5ii6i",
                    reads)
                .output,
            "Function 'sys:in': Binary input holds type 'Line', which this program does not define\n"
            "Function 'sys:in': Binary input holds type 'Point' with other members than this program's\n"
            "Function 'sys:in': Reading only for equal types ('int' <- 'str')\n"
            "Function 'sys:in': Reading only for equal types ('Point' <- 'Named')\n<5,6>\n");
  // A type number never given, and a member cut short.
  const std::string one = types + "error err\nPoint p\nin(p)\ncatch(err, {outl(err)})\n";
  EXPECT_EQ(reading("k2kPoint:1:2:i1ii2i", one).output,
            "Procedure 'sys:in': Binary input malformed at byte 3 of the value\n");
  EXPECT_EQ(reading("k1kPoint:1:2:i1i", one).output, "Procedure 'sys:in': Binary input ends inside a value\n");
}

TEST_F(BinaryFormTest, WritingRefusesWhatHasNoBinaryForm) {
  const std::string prefix = "Procedure 'sys:pout': pout() for ";
  struct Case {
    std::string program, message;
  } cases[] = {
      {"int x\nany r\nr @ x\nlist l\nl.ins0(r)\npout(l)", "external references not allowed"},
      {"file f\npout(1, f)", "type 'file' not allowed"},
      {"dir d\npout(d)", "type 'dir' not allowed"},
      {"list l\nl = 1, {2}\npout(l)", "type 'code' not allowed"},
      {"any2 p = any2(1, 2)\npout(p)", "type 'any2' not allowed"},
  };
  for (const Case& c : cases) {
    write("w.kv", "error err\n" + c.program + "\ncatch(err, {pout(\"|\")\noutl(err)})");
    Outcome run = kavor({"-ob", "out.bin", "w.kv"});
    EXPECT_EQ(run.status, 0) << c.program;
    // Values before the refused one stay written.
    // The error is a value like any other: its kind, file, line and message.
    int line = static_cast<int>(std::count(c.program.begin(), c.program.end(), '\n')) + 2;
    std::string fields = "s:w.kv:" + std::to_string(line) + ":" + prefix + c.message;
    std::string expected = std::string(c.program.find("pout(1, f)") != std::string::npos ? "i1i" : "") +
                           "s1s|e" + std::to_string(fields.size()) + "e" + fields + "\n";
    EXPECT_EQ(read("out.bin"), expected) << c.program;
  }
}

TEST_F(BinaryFormTest, ReadingRefusesOtherTypesAndBadInput) {
  const std::string program =
      "error err\nstr s\nany a\nlist l\nhash h\nint i\nwhile({true}, {\n"
      "  if(in(s)){outl(\"str \", s.size())}{break(1)}\n  catch(err, {outl(err)})\n})\n";
  struct Case {
    std::string bytes, output;
  } cases[] = {
      {"i5i", "Function 'sys:in': Reading only for equal types ('str' <- 'int')\n"},
      {"s1sa s1sb\n", "str 1\nstr 1\n"},
      // The refused value was read whole: reading goes on behind it.
      {"l1li1is2sab", "Function 'sys:in': Reading only for equal types ('str' <- 'list')\nstr 2\n"},
      {"s5sab", "Function 'sys:in': Binary input ends inside a value\n"},
      // Too many digits; then reading goes on with what follows the byte that failed.
      {"s99999999999999999999s",
       "Function 'sys:in': Binary input malformed at byte 20 of the value\n"
       "Function 'sys:in': Binary input malformed at byte 1 of the value\n"
       "Function 'sys:in': Binary input ends inside a value\n"},
      {"q", "Function 'sys:in': Binary input malformed at byte 1 of the value\n"},
      {"s-1s",
       "Function 'sys:in': Binary input malformed at byte 2 of the value\n"
       "Function 'sys:in': Binary input malformed at byte 1 of the value\n"
       "Function 'sys:in': Binary input ends inside a value\n"},
      {"", ""},
  };
  for (const Case& c : cases) {
    Outcome run = reading(c.bytes, program);
    EXPECT_EQ(run.output, c.output) << c.bytes;
    EXPECT_EQ(run.status, 0) << c.bytes;
  }
  // Whole values only: a list whose count promises more than the input holds, a reference to
  // a number never given, a set holding a key twice, an item of a type without binary form.
  const std::string one = "error err\nlist l\nset m\nany a\nin(l)\ncatch(err, {outl(err)})\n";
  EXPECT_EQ(reading("l999999999999l", one).output, "Procedure 'sys:in': Binary input ends inside a value\n");
  EXPECT_EQ(reading("l1l@2@", one).output, "Procedure 'sys:in': Binary input malformed at byte 6 of the value\n");
  EXPECT_EQ(reading("l1l$1$@1@", one).output, "Procedure 'sys:in': Binary input malformed at byte 7 of the value\n");
  EXPECT_EQ(reading("l2lfv", one).output, "Procedure 'sys:in': Binary input malformed at byte 4 of the value\n");
  EXPECT_EQ(reading("m2mi1ii1i", "error err\nset m\nin(m)\ncatch(err, {outl(err)})\n").output,
            "Procedure 'sys:in': Binary input malformed at byte 9 of the value\n");
  EXPECT_EQ(reading("i1i", "error err\nany a\nin(a)\ncatch(err, {outl(err)})\n").output,
            "Procedure 'sys:in': Reading only for equal types ('any' <- 'int')\n");
  EXPECT_EQ(reading("v", "error err\nint i\nin(i)\ncatch(err, {outl(err)})\n").output,
            "Procedure 'sys:in': Reading only for equal types ('int' <- 'any')\n");
  // Reading stops at the first refusal of a statement; the error is reported like any other.
  Outcome run = reading("x", "int i\nin(i)\n");
  EXPECT_EQ(run.output, "System error in file 'p.kv', line '2':\n  Procedure 'sys:in': Reading only for equal "
                        "types ('int' <- 'char')\n");
  EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace kavor_test
