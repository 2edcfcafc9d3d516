// TTimeTagFilter: one forward walk over the characters, looking ahead at most one tag.
#include "app/core/TimeTagFilter.h"

#include <array>

#include "platform/LeadByte.h"

namespace {

constexpr std::size_t kTagLength = 10;

// What the walk needs to know of a byte at a character start.
enum TByteKind : unsigned char { bkOther, bkLead, bkOpen, bkLineFeed };

constexpr std::array<TByteKind, 256> MakeKinds() {
  std::array<TByteKind, 256> kinds{};
  for (unsigned b = 0; b < 256; ++b) kinds[b] = IsDBCSLeadByte(static_cast<unsigned char>(b)) ? bkLead : bkOther;
  kinds['['] = bkOpen;
  kinds['\n'] = bkLineFeed;
  return kinds;
}

constexpr std::array<TByteKind, 256> kKinds = MakeKinds();

// The shape of a tag, byte by byte: the set of bytes allowed at each place.
bool FitsTagAt(std::size_t place, char c) {
  switch (place) {
    case 0:
      return c == '[';
    case 3:
    case 6:
      return c == ':';
    case 4:
      return c >= '0' && c <= '5';
    case 9:
      return c == ']';
    default:
      return c >= '0' && c <= '9';
  }
}

// How many bytes from p on, of the n there, follow the tag's shape.
std::size_t TagPrefixLength(const char* p, std::size_t n) {
  std::size_t length = 0;
  while (length < n && length < kTagLength && FitsTagAt(length, p[length])) ++length;
  return length;
}

}  // namespace

std::size_t TTimeTagFilter::Scan(std::string_view data, bool final, std::string& out) {
  const char* p = data.data();
  const std::size_t n = data.size();
  std::size_t i = 0;
  if (FSkippingClosers) {
    while (i < n && p[i] == ']') ++i;
    if (i == n && !final) return n;
    FSkippingClosers = false;
  }
  std::size_t copied = i;
  const bool anywhere = FScope == TScope::All;
  bool afterCharacter = FAfterCharacter;
  while (i < n) {
    switch (kKinds[static_cast<unsigned char>(p[i])]) {
      case bkOther:
        ++i;
        afterCharacter = true;
        continue;
      case bkLineFeed:
        ++i;
        afterCharacter = false;
        continue;
      case bkLead:
        // Held back until its trail byte is here; alone at the end it is a
        // character by itself.
        if (i + 1 == n && !final) break;
        i += i + 1 == n ? 1 : 2;
        afterCharacter = true;
        continue;
      case bkOpen: {
        const std::size_t shape = TagPrefixLength(p + i, n - i);
        if (shape < kTagLength && shape == n - i && !final) break;  // the rest may complete a tag
        if (shape < kTagLength || !(anywhere || afterCharacter)) {
          ++i;
          afterCharacter = true;
          continue;
        }
        out.append(p + copied, i - copied);
        i += kTagLength;
        ++FRemoved;
        if (!anywhere) {
          while (i < n && p[i] == ']') ++i;
          FSkippingClosers = i == n && !final;
        }
        // afterCharacter stays: the character before the removed tag now
        // stands before what follows it.
        copied = i;
        continue;
      }
    }
    break;  // held back from i on
  }
  out.append(p + copied, i - copied);
  FAfterCharacter = afterCharacter;
  return i;
}
