// TFilterChain: passing each block through both filters.
#include "tools/verselet-tool/FilterChain.h"

std::size_t TFilterChain::Scan(std::string_view data, bool final, std::string& out) {
  FBetween.clear();
  FFirst->Write(data, FBetween);
  if (final) FFirst->Finish(FBetween);
  FSecond->Write(FBetween, out);
  if (final) FSecond->Finish(out);
  return data.size();
}
