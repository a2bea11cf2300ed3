// Binary input read with -ib into every type that has a binary form (graphs and user values too), until the input ends;
// each value read is written again in text and in binary, copied and compared.
#include "harness.h"

namespace {

const char kReader[] = R"(bigtype P { int x; any y }
bigtype Q (P) { list l; P inner }
bigtype R (Q) { proc hi { } }
error err
graph g
P p
Q q
R rr
bool b
char c
int i
real r
str s
oper o
date d
time t
timezone z
datetime dt
error e
list l
args y
hash h
set m
array a
array2 w
any v, copy
str text
int n
bool more
more = true
while({more}, {
  if(n % 7 == 0){more = in(l, h)}{if(n % 7 == 1){more = in(m, a, w)}{if(n % 7 == 2){more = in(b, c, i, r, s)}{
  if(n % 7 == 3){more = in(o, d, t, z, dt, e)}{if(n % 7 == 4){more = in(y)}{if(n % 7 == 5){more = in(g, p, q, rr)}{more = in(v)}}}}}}
  catch(err, {more = true})
  n += 1
  sout(text, b, c, i, r, s, o, d, t, z, dt, e, l, y, h, m, a, w, g, p, q, rr)
  pout(b, c, i, r, s, o, d, t, z, dt, e, l, y, h, m, a, w, g, p, q, rr)
  catch(err, {})
  copy = l
  outl(copy == l, h == h, m == m, a == a, w == w, g == g, p == p, q == q, rr == rr)
  copy = h
  copy = a
  text = ""
})
)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return kavor_fuzz::runReader(kReader, data, size, true);
}
