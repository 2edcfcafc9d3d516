// TFilterChain: one block filter feeding its output into another, as one filter.
#pragma once

#include <memory>
#include <string>

#include "app/core/BlockFilter.h"

// Each filter holds back what it cannot decide yet, so the chain consumes
// every block whole and still gives the output of the two run one after
// the other over the whole text.
class TFilterChain : public TBlockFilter {
 public:
  TFilterChain(std::unique_ptr<TBlockFilter> first, std::unique_ptr<TBlockFilter> second)
      : FFirst(std::move(first)), FSecond(std::move(second)) {}

  const TBlockFilter& First() const { return *FFirst; }
  TBlockFilter& Second() { return *FSecond; }

 protected:
  std::size_t Scan(std::string_view data, bool final, std::string& out) override;

 private:
  std::unique_ptr<TBlockFilter> FFirst;
  std::unique_ptr<TBlockFilter> FSecond;
  std::string FBetween;
};
