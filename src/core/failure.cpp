#include "core/failure.h"

#include "core/messages.h"

namespace kavor {

Failure::Failure(const Refusal& refusal) {
  if (!refusal) return;
  text_ = refusal.hasArgument() ? fillKey(refusal.key(), {refusal.argument()}) : std::string(message(refusal.key()));
}

}  // namespace kavor
