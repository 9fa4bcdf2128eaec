#include "retrieval/line_reader.h"

#include <algorithm>
#include <iterator>

namespace bolta {

void LineReader::Append(std::string_view bytes) {
  // Consumed lines are let go once they are the larger part, so a long body costs linear time.
  if (start_ > 0 && start_ >= pending_.size() / 2) {
    pending_.erase(0, start_);
    scanned_ -= start_;
    start_ = 0;
  }
  pending_.reserve(pending_.size() + bytes.size());
  std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(pending_),
               [](char byte) { return byte != '\r'; });
}

bool LineReader::NextLine(std::string& line) {
  const std::size_t end = pending_.find('\n', std::max(start_, scanned_));
  if (end == std::string::npos) {
    scanned_ = pending_.size();
    return false;
  }
  line.assign(pending_, start_, end - start_);
  start_ = end + 1;
  scanned_ = start_;
  return true;
}

bool LineReader::LastLine(std::string& line) {
  if (start_ >= pending_.size()) return false;
  line.assign(pending_, start_, std::string::npos);
  start_ = pending_.size();
  return true;
}

}  // namespace bolta
