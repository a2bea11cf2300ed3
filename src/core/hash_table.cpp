// The hash table of `hash` and `set`: bucket chains for the visible order, a side index for
// the lookups.
#include "core/hash_table.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

#include "core/payloads.h"
#include "core/text_output.h"
#include "core/type_table.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

constexpr uint64_t kFnvOffset = 1469598103934665603ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

// Spreads the bits of a hash over the whole word, so that the low bits that pick an index
// slot depend on every byte.
uint64_t finish(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  h ^= h >> 33;
  return h;
}

KeyHash hashText(const char* text, size_t size) {
  unsigned char acc[2] = {0, 0};
  uint64_t full = kFnvOffset;
  for (size_t i = 0; i < size; ++i) {
    auto byte = static_cast<unsigned char>(text[i]);
    acc[i % 2] ^= byte;
    full = (full ^ byte) * kFnvPrime;
  }
  return {(acc[0] + 256 * acc[1]) % HashTable::kBuckets, finish(full)};
}

// Stands in for the comparison of parts where the values compared have none.
class NoParts final : public PartComparison {
 public:
  bool same(Object& a, Object& b, bool strict) override { return equals(a, b, strict); }
};

// Reference keys match only references to the same target; other keys match by value.
bool keysMatch(Object& entryKey, Object& key) {
  bool entryRef = isReferenceCode(entryKey.typeCode);
  bool keyRef = isReferenceCode(key.typeCode);
  if (entryRef || keyRef) return entryRef && keyRef && entryKey.target() == key.target();
  Object& left = entryKey.resolve();
  Object& right = key.resolve();
  // Keys without parts (ints, strs, ...) are compared by their row directly: a lookup in a
  // large table compares a key at nearly every step.
  if (!left.isIndirection() && !right.isIndirection() && left.value != nullptr && right.value != nullptr) {
    const TypeOps& row = typeOps(left.typeCode);
    if (left.base() != right.base()) return false;
    if (row.visitParts == nullptr) {
      NoParts parts;
      return row.equals(left, right, parts);
    }
  }
  return equals(entryKey, key, true);
}

}  // namespace

int nameHash(const std::string& text) { return hashText(text.data(), text.size()).bucket; }

namespace {

// The full hash of a key without its bucket, when that is quicker to get: small ints are
// hashed by their value. Equal keys have the same base type, so every int key that fits a
// machine word is hashed this way and no other key needs to agree with it.
std::optional<uint64_t> quickHash(Object& value, int64_t& small) {
  if (value.value == nullptr || value.isIndirection() || value.base() != 'i' || !value.readSmallInt(small))
    return std::nullopt;
  return finish(static_cast<uint64_t>(small) ^ 0x9e3779b97f4a7c15ull);
}

}  // namespace

KeyHash hashKey(Object& key) {
  if (isReferenceCode(key.typeCode) && key.value != nullptr) {
    auto identity = static_cast<int64_t>(reinterpret_cast<uintptr_t>(key.target()) >> 4);
    int32_t bucket = static_cast<int32_t>((identity < 0 ? -identity : identity) % HashTable::kBuckets);
    return {bucket, finish(static_cast<uint64_t>(identity))};
  }
  Object& value = key.resolve(true);
  // The commonest keys, small ints and strs, are hashed without building their text form.
  int64_t small;
  if (std::optional<uint64_t> quick = quickHash(value, small)) {
    char digits[24];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, small);
    return {hashText(digits, static_cast<size_t>(end - digits)).bucket, *quick};
  }
  if (value.value != nullptr && !value.isIndirection() && value.base() == 's') {
    // Strs are equal up to their first zero byte, so only that part is hashed.
    const std::string& text = value.asStr().text;
    return hashText(text.data(), std::min(text.size(), text.find('\0')));
  }
  if (value.value != nullptr && !value.isIndirection()) {
    if (auto keyText = typeOps(value.typeCode).keyText) {
      std::string text = keyText(value);
      return hashText(text.data(), text.size());
    }
  }
  // A real key is hashed by its exact value, whatever the output precision is now.
  OutputPrecisionOverride exact(-1);
  std::string text = textForm(value);
  return hashText(text.data(), text.size());
}

Failure makeStored(Object& source, std::unique_ptr<Object>& made) {
  made = std::make_unique<Object>();
  // A plain defined value, by far the commonest, is copied without the checks of transfer,
  // which a fresh any always passes.
  if (!source.isIndirection() && source.value != nullptr && source.base() != 'k' && source.typeCode != 'v') {
    made->createPayload(&source);
    typeOps(source.typeCode).copy(*made, source);
    return Failure::none();
  }
  return made->constructByTransfer(source, Transfer::ReferenceOrCopy);
}

HashTable::~HashTable() { clear(); }

HashEntry* HashTable::find(Object& key) {
  if (count == 0) return nullptr;
  // A lookup needs only the full hash.
  if (!isReferenceCode(key.typeCode)) {
    int64_t small;
    if (std::optional<uint64_t> quick = quickHash(key.resolve(true), small)) return find(key, KeyHash{0, *quick});
  }
  return find(key, hashKey(key));
}

HashEntry* HashTable::find(Object& key, const KeyHash& hash) {
  if (slots_.empty()) return nullptr;
  size_t mask = slots_.size() - 1;
  for (size_t at = hash.full & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.entry == nullptr) return nullptr;
    if (slot.hash == hash.full && keysMatch(*slot.entry->key, key)) return slot.entry;
  }
}

Failure HashTable::insert(Object& key, Object* value, int keyKind, int valueKind) {
  HashEntry made;
  made.key = std::make_unique<Object>();
  if (Failure failure = made.key->constructByTransfer(key, keyKind)) return failure;
  if (value != nullptr) {
    made.value = std::make_unique<Object>();
    if (Failure failure = made.value->constructByTransfer(*value, valueKind)) return failure;
  }
  adopt(std::move(made));
  return Failure::none();
}

HashEntry* HashTable::newEntry() {
  if (unused_ != nullptr) {
    HashEntry* entry = unused_;
    unused_ = entry->next;
    return entry;
  }
  if (lastChunkFree_ == 0) {
    lastChunkSize_ = lastChunkSize_ == 0 ? 8 : std::min<size_t>(lastChunkSize_ * 2, 4096);
    chunks_.push_back(std::make_unique<HashEntry[]>(lastChunkSize_));
    lastChunkFree_ = lastChunkSize_;
  }
  return &chunks_.back()[lastChunkSize_ - lastChunkFree_--];
}

HashEntry* HashTable::adopt(HashEntry made, const KeyHash* known) {
  KeyHash hash = known != nullptr ? *known : hashKey(*made.key);
  HashEntry* entry = newEntry();
  entry->key = std::move(made.key);
  entry->value = std::move(made.value);
  entry->hash = hash.full;
  entry->bucket = hash.bucket;
  if (!buckets_) buckets_ = std::make_unique<Bucket[]>(kBuckets);
  Bucket& bucket = buckets_[hash.bucket];
  entry->previous = bucket.last;
  entry->next = nullptr;
  if (bucket.last != nullptr)
    bucket.last->next = entry;
  else
    bucket.first = entry;
  bucket.last = entry;
  ++count;
  indexInsert(entry);
  dropIndex();
  return entry;
}

bool HashTable::remove(Object& key) {
  HashEntry* entry = find(key);
  if (entry == nullptr) return false;
  erase(entry);
  return true;
}

HashEntry HashTable::detach(HashEntry* entry) {
  indexRemove(entry);
  Bucket& bucket = buckets_[entry->bucket];
  (entry->previous ? entry->previous->next : bucket.first) = entry->next;
  (entry->next ? entry->next->previous : bucket.last) = entry->previous;
  --count;
  dropIndex();
  HashEntry taken;
  taken.key = std::move(entry->key);
  taken.value = std::move(entry->value);
  taken.hash = entry->hash;
  taken.bucket = entry->bucket;
  entry->previous = nullptr;
  entry->next = unused_;
  unused_ = entry;
  return taken;
}

void HashTable::erase(HashEntry* entry) { (void)detach(entry); }

void HashTable::clear() {
  chunks_.clear();
  lastChunkFree_ = lastChunkSize_ = 0;
  unused_ = nullptr;
  buckets_.reset();
  slots_.clear();
  slots_.shrink_to_fit();
  count = 0;
  dropIndex();
}

void HashTable::handOverObjects(std::vector<std::unique_ptr<Object>>& out) {
  out.reserve(out.size() + 2 * static_cast<size_t>(count));
  for (size_t c = 0; c < chunks_.size(); ++c) {
    size_t size = c + 1 == chunks_.size() ? lastChunkSize_ - lastChunkFree_ : (c >= 9 ? 4096 : size_t{8} << c);
    for (size_t i = 0; i < size; ++i) {
      HashEntry& entry = chunks_[c][i];
      if (entry.key) out.push_back(std::move(entry.key));
      if (entry.value) out.push_back(std::move(entry.value));
    }
  }
  clear();
}

const std::vector<HashEntry*>& HashTable::entries() {
  if (indexValid) return index;
  index.clear();
  index.reserve(static_cast<size_t>(count));
  if (buckets_)
    for (int b = 0; b < kBuckets; ++b)
      for (HashEntry* entry = buckets_[b].first; entry != nullptr; entry = entry->next) index.push_back(entry);
  indexValid = true;
  return index;
}

void HashTable::swapContents(HashTable& other) {
  std::swap(chunks_, other.chunks_);
  std::swap(lastChunkFree_, other.lastChunkFree_);
  std::swap(lastChunkSize_, other.lastChunkSize_);
  std::swap(unused_, other.unused_);
  std::swap(count, other.count);
  std::swap(index, other.index);
  std::swap(indexValid, other.indexValid);
  std::swap(buckets_, other.buckets_);
  std::swap(slots_, other.slots_);
}

void HashTable::dropIndex() {
  if (!indexValid && index.empty()) return;
  indexValid = false;
  index.clear();
}

void HashTable::indexInsert(HashEntry* entry) {
  if (static_cast<size_t>(count) * 4 > slots_.size() * 3) growIndex();
  size_t mask = slots_.size() - 1;
  size_t at = entry->hash & mask;
  while (slots_[at].entry != nullptr) at = (at + 1) & mask;
  slots_[at] = {entry->hash, entry};
}

void HashTable::indexRemove(HashEntry* entry) {
  size_t mask = slots_.size() - 1;
  size_t at = entry->hash & mask;
  while (slots_[at].entry != entry) at = (at + 1) & mask;
  // Backward-shift deletion: later members of the probe run move up into the hole, so no
  // tombstones accumulate.
  size_t hole = at;
  for (size_t next = (hole + 1) & mask; slots_[next].entry != nullptr; next = (next + 1) & mask) {
    size_t home = slots_[next].hash & mask;
    // The entry at `next` may fill the hole when its home does not lie in (hole, next].
    bool homeBetween = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
    if (homeBetween) continue;
    slots_[hole] = slots_[next];
    hole = next;
  }
  slots_[hole] = Slot{};
}

void HashTable::growIndex() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 8 : old.size() * 2, Slot{});
  size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.entry == nullptr) continue;
    size_t at = slot.hash & mask;
    while (slots_[at].entry != nullptr) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace kavor
