#pragma once
// One retrieval of a board's SETTING.TXT, ending in the page that its outcome calls for.
#include <string>

#include "app/proxy_setting.h"
#include "retrieval/board_address.h"
#include "retrieval/signboard_info.h"

namespace bolta {

class InternetOpener;  // retrieval/internet.h: opens sessions of the HTTP layer

// The two page operations that end a retrieval (the view implements them).
class SignboardPages {
 public:
  virtual void ShowSignboardPage() = 0;
  virtual void ShowMessagePage(const std::string& message) = 0;

 protected:
  ~SignboardPages() = default;
};

// Parses `address` into `boardAddress`, fetches SETTING.TXT (through the named proxy when `proxy`
// says so), applies its lines to `info` as they arrive, closes the session and calls
// exactly one page operation of `pages`. A session that cannot be opened is the one failure that
// leaves it, as an exception, with no page called.
void FetchSignboard(const std::string& address, const ProxySetting& proxy, InternetOpener& internet,
                    BoardAddress& boardAddress, SignboardInfo& info, SignboardPages& pages);

}  // namespace bolta
