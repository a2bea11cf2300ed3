// Text input read by the input statements: tokens, words, fields and lines converted into
// every type that reads text, until the input ends.
#include "harness.h"

namespace {

const char kReader[] = R"(error err
int i
real r
str s
char c
bool b
date d
time t
timezone z
datetime dt
any a
int n
bool more
more = true
while({more}, {
  if(n % 8 == 0){more = in(i, r)}{if(n % 8 == 1){more = inw(s, c)}{if(n % 8 == 2){more = inc(b, d)}{
  if(n % 8 == 3){more = inl(s)}{if(n % 8 == 4){more = in(t, z)}{if(n % 8 == 5){more = inc(dt, a)}{
  if(n % 8 == 6){more = in(a); sin(s, a)}{more = inw(c, s); set_in_spc(s)}}}}}}}
  catch(err, {more = true})
  n += 1
  outl(i, r, s, c, b, d, t, z, dt, a)
})
)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return kavor_fuzz::runReader(kReader, data, size, false);
}
